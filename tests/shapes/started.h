// The shapes stage started on letters of its own, as the suite starts it, and what the tests
// of the shapes folders share.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "shapes/session.h"
#include "support/temp_folder.h"
#include "support/tground.h"
#include "workfile/workfile_io.h"

namespace testsupport {

// A with a counter held by one bridge, and B: the letters most tests work on
inline const std::string kTwoLetters =
    tground("AB", {{"A", 30, square(-5, 0, 20), {{"1", 5, 8, 5, 20}}}, {"B", 5, square(0, 0, 10), {}}});

// n squares 20 high, one per letter of `text`, none with a bridge
inline std::string squares(const std::string& text) {
    std::vector<HandLetter> letters;
    for (char c : text) letters.push_back({std::string(1, c), 30, square(0, 0, 20), {}});
    return tground(text, letters);
}

// the letter files the build makes from real fonts
inline std::string testLetters(const char* name) { return wf::readFile(fs::path(LK_TEST_DATA) / name); }
// "ABC" of the bundled sample folder
inline std::string sampleLetters() { return wf::readFile(fs::path(LK_PROGRAM_DIR) / "workfiles" / "tground.dat"); }

// A port that keeps what the window would show while a long operation runs: Label2 whenever
// it is shown, each time the windows are held or let go; `atEvents` runs where events are let
// through, `atRedraw` where the preview is drawn again (a fault below the handlers, say).
struct WatchingUi : shapes::HeadlessUi {
    shapes::Session* s = nullptr;
    std::vector<std::string> labels;
    std::vector<bool> enabled;
    std::function<void()> atEvents, atRedraw;
    void controlsChanged() override {
        if (s && s->controls().Label2.visible) labels.push_back(s->controls().Label2.value());
    }
    void setWindowsEnabled(bool on) override { enabled.push_back(on); }
    void processEvents() override {
        if (atEvents) atEvents();
    }
    void redraw() override {
        HeadlessUi::redraw();
        if (atRedraw) atRedraw();
    }
};

template <typename UiT = shapes::HeadlessUi>
struct Started {
    TempFolder t;
    std::unique_ptr<UiT> port;
    std::unique_ptr<shapes::Session> s;
    shapes::WindowPlace place{};
    // `ground` goes to tground.dat unless empty; `line` is the suite's command line
    explicit Started(const std::string& ground = kTwoLetters, const std::string& line = "stvt", bool withWork = true)
        : t(withWork) {
        if (!ground.empty()) t.write("tground.dat", ground);
        start(line);
    }
    // a new program on the same folder, with a new port
    void start(const std::string& line = "stvt3") {
        s.reset();
        port = std::make_unique<UiT>();
        s = std::make_unique<shapes::Session>(t.path(), line, *port);
        place = s->load();
        s->activate();
    }
    UiT& ui() { return *port; }
    shapes::Controls& c() { return s->controls(); }
    engine::Model& m() { return s->model(); }
    // "title|text" of the last message, "" without one
    std::string last() const {
        return port->messages.empty() ? "" : port->messages.back().title + "|" + port->messages.back().text;
    }
};

}  // namespace testsupport

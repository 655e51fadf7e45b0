#include "shapes/session.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <tuple>

#include "engine/contours.h"
#include "workfile/spawn.h"
#include "workfile/workfile_io.h"
#include "support/temp_folder.h"
#include "support/tground.h"

using namespace shapes;
using namespace testsupport;
namespace fs = std::filesystem;

namespace {

const std::string kTwoLetters =
    tground("AB", {{"A", 30, square(-5, 0, 20), {{"1", 5, 8, 5, 20}}}, {"B", 5, square(0, 0, 10), {}}});

struct Started {
    HeadlessUi ui;
    std::unique_ptr<Session> s;
    WindowPlace place{};
    Started(const TempFolder& t, const std::string& commandLine) {
        s = std::make_unique<Session>(t.path(), commandLine, ui);
        place = s->load();
        s->activate();
    }
};

}  // namespace

// First start in a fresh folder: probed files created, text scaled to 4 inches, limits fixed.
TEST(StartUp, FreshFolderCreatesTheProbedFilesAndUsesDefaults) {
    TempFolder t;
    t.write("tground.dat", kTwoLetters);
    Started r(t, "stvt");
    EXPECT_EQ(std::tie(r.place.topTwips, r.place.leftTwips), std::make_tuple(200, 200));
    for (const char* f : {"top.dat", "th.dat", "workfile.dcc"}) {
        EXPECT_TRUE(t.exists(f)) << f;
        EXPECT_EQ(t.read(f), "") << f;
    }
    EXPECT_TRUE(r.ui.messages.empty());
    EXPECT_FALSE(r.ui.terminated);
    EXPECT_TRUE(r.s->activated());
    EXPECT_TRUE(r.s->controls().Bild1);
    EXPECT_EQ(r.s->controls().Texth.value(), " 4");  // 20 mm tall letters become 101.6 mm
    EXPECT_EQ(r.s->controls().Textv.value(), " 9");  // 45 mm wide, times 5.08
    EXPECT_EQ(r.s->apertureLimits().min, 0.3048);  // a bridge exists: limits for h = 101.6 mm
    EXPECT_DOUBLE_EQ(r.s->apertureLimits().max, 10.16);
    EXPECT_EQ(r.s->controls().Text4.value(), " .08");
    EXPECT_LT(r.s->model().view.xmin, 0);  // the fitted view window, not the default
    EXPECT_GT(r.ui.redraws, 0);
    EXPECT_TRUE(r.s->zoom().wheelHooked());
    // a later activation changes nothing
    r.s->model().smallHeight = 50;
    const int redraws = r.ui.redraws;
    r.s->activate();
    EXPECT_EQ(r.s->model().smallHeight, 50);
    EXPECT_EQ(r.ui.redraws, redraws);
}

// Only the token "stvt" (blanks dropped, nothing else) starts; anything else hands to zodu.exe.
TEST(StartUp, CommandLineTokenDecidesTheStart) {
    struct Case {
        const char* line;
        bool runs;
    } cases[] = {{"stvt", true},  {" st vt ", true}, {"st\tvt", false}, {"STVT", false},     {"", false},
                 {"stvt4", false}, {"stvt ", true},  {"stvt3", true},   {"s t v t 3", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.line + "\"");
        TempFolder t;
        t.write("tground.dat", kTwoLetters);
        t.addProgram("zodu.exe");
        Started r(t, c.line);
        EXPECT_EQ(r.ui.terminated, !c.runs);
        EXPECT_EQ(r.s->model().elements.empty(), !c.runs);
        if (c.runs) {
            EXPECT_TRUE(r.ui.started.empty());
            continue;
        }
        ASSERT_EQ(r.ui.started.size(), 1u);
        EXPECT_EQ(r.ui.started[0].program, t.path().string() + "/zodu.exe");
        EXPECT_TRUE(r.ui.started[0].arguments.empty());
        EXPECT_EQ(r.ui.redraws, 0);
    }
    TempFolder t;  // without the start program the program still ends, silently
    Started r(t, "");
    EXPECT_TRUE(r.ui.terminated);
    EXPECT_TRUE(r.ui.started.empty());
    EXPECT_TRUE(r.ui.messages.empty());
}

TEST(StartUp, BadLetterFilesGiveTheMessageAndNoCrash) {
    {
        TempFolder t(false);  // no workfiles/ folder at all
        Started r(t, "stvt");
        EXPECT_EQ(r.place.topTwips, 200);
        ASSERT_EQ(r.ui.messages.size(), 1u);
        EXPECT_EQ(r.ui.messages[0].text, "File access error !");
        EXPECT_FALSE(r.ui.terminated);
        EXPECT_FALSE(std::filesystem::exists(t.path() / "workfiles"));
    }
    const std::string garbled[] = {
        "", "AB\r\n0\r\n2\r\n0\r\n0\r\nA\r\n", std::string(5000, '\x07'),
        crlf({"A", "0", "1", "0", "0", "A", "0", "0", "0", "0", "0", "2", "1", "1", "1", "1", "1", "1", "0"})};
    for (const auto& content : garbled) {
        TempFolder t;
        t.write("tground.dat", content);
        Started r(t, "stvt");
        EXPECT_GE(r.ui.messages.size(), 1u);
        for (const auto& m : r.ui.messages) EXPECT_EQ(m.text, "File access error !");
        EXPECT_TRUE(r.s->controls().Bild1);
        EXPECT_FALSE(r.s->flags().any());
        EXPECT_EQ(t.read("tground.dat"), content);  // the input is never touched
    }
}

// stv2b.dat written and resumed gives the same state, and the same bytes when written again.
TEST(SavedState, WriteThenResumeGivesTheSameState) {
    TempFolder t;
    t.write("tground.dat", kTwoLetters);
    // a visible knot slider ticks "On" anyway, so all four boxes are ticked
    SavedState s{.shapeNumber = 7, .smallHeight = 50.8, .bigHeight = 127, .apertureWidthMin = 0.3048,
                 .apertureWidthMax = 5.08, .check1 = true, .check2 = true, .check4 = true, .check3 = true,
                 .text4 = " .05", .text5 = "0.1 typed", .text6 = " .16", .hscroll2 = -20,
                 .frame11Visible = true, .hscroll1 = -735};
    for (int i = 0; i < 256; ++i) {
        s.signDistanceA[i] = i * 0.01;
        // "Remove empty space" distances refuse "Cut"; only entries it does not look at here
        s.signDistanceB[i] = i == 0 || i > 250 ? -i * 0.254 : 0;
    }
    writeStv2b(t.path(), s);
    EXPECT_EQ(wf::splitLines(t.read("stv2b.dat")).size(), 529u);

    Started r(t, "stvt3");
    const SavedState b = r.s->currentState();
    const auto fields = [](const SavedState& x) {
        return std::tie(x.shapeNumber, x.smallHeight, x.bigHeight, x.apertureWidthMin, x.apertureWidthMax,
                        x.check1, x.check2, x.check3, x.check4, x.text5, x.text6, x.hscroll2,
                        x.frame11Visible, x.hscroll1);
    };
    EXPECT_EQ(fields(b), fields(s));
    for (int i = 0; i < 256; ++i) {  // the file keeps 15 significant digits
        EXPECT_EQ(b.signDistanceA[i], wf::parseNumber(wf::formatNumber(s.signDistanceA[i])));
        EXPECT_EQ(b.signDistanceB[i], wf::parseNumber(wf::formatNumber(s.signDistanceB[i])));
    }
    EXPECT_EQ(r.s->controls().HScroll1.value(), -735);  // the knot slider, visible, where it was
    EXPECT_TRUE(r.s->controls().Frame9);
    EXPECT_TRUE(r.s->controls().Check4.visible);
    EXPECT_FALSE(r.s->controls().Picture4);
    EXPECT_FALSE(r.s->flags().any());
    const std::string first = t.read("stv2b.dat");
    writeStv2b(t.path(), r.s->currentState());
    EXPECT_EQ(t.read("stv2b.dat"), first);
}

TEST(SavedState, ShortOrDamagedFilesRestoreSafely) {
    TempFolder t;
    t.write("tground.dat", kTwoLetters);
    t.write("stv2b.dat", "5\r");  // 2 bytes: nothing restored
    Started r(t, "stvt3");
    EXPECT_EQ(r.s->model().shapeNumber, 0);
    EXPECT_EQ(r.s->model().smallHeight, 101.6);
    EXPECT_EQ(r.s->controls().Texth.value(), " 4");

    // cut after the heights: what was read stays, the guard flag is cleared
    t.write("stv2b.dat", crlf({" 3", " 76.2", " 152.4"}));
    Started c(t, "stvt3");
    EXPECT_EQ(c.s->model().shapeNumber, 3);
    EXPECT_EQ(c.s->model().smallHeight, 76.2);
    EXPECT_FALSE(c.s->flags().any());
    EXPECT_EQ(c.s->controls().Texth.value(), " 6");  // h = 3 in, bent to H = 6 in at the ends
    EXPECT_TRUE(c.ui.messages.empty());

    // without the connection, orgdim.dat decides "Create as one object" (1.4 rounds to 1)
    writeStv2b(t.path(), SavedState{});
    for (const auto& [orgdim, expected] : {std::pair{"0\r\n", 0}, {" 1\r\n", 1}, {"1.4\r\n", 1}}) {
        t.write("orgdim.dat", orgdim);
        EXPECT_EQ(Started(t, "stvt3").s->controls().Check5.value(), expected) << orgdim;
    }
    // flags count only when exactly 1
    std::vector<std::string> lines = wf::splitLines(t.read("stv2b.dat"));
    lines[517] = "1.4";
    std::string text;
    for (const auto& l : lines) text += l + "\r\n";
    t.write("stv2b.dat", text);
    EXPECT_EQ(Started(t, "stvt3").s->controls().Check1.value(), 0);
}

// Closing rewrites wif.dat and starts STV3.EXE; without wif.dat (or its line 2) or the
// program it refuses with the file message and stays open.
TEST(Closing, HandsOverToTheLaterStageOrSaysWhy) {
    struct Case {
        const char* wif;  // nullptr: no wif.dat
        bool program, handsOver;
    } cases[] = {{"kept as it is\r\n1\r\n", true, true}, {nullptr, true, false},
                 {"1\r\n", true, false},                 {"x\r\n1\r\n", false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.wif ? c.wif : "no wif.dat");
        TempFolder t;
        t.write("tground.dat", kTwoLetters);
        if (c.wif) t.write("wif.dat", c.wif);
        if (c.program) t.addProgram("STV3.EXE");
        Started r(t, "stvt");
        if (c.handsOver) {
            EXPECT_TRUE(r.s->closeWindow());
            EXPECT_EQ(t.read("wif.dat"), crlf({"kept as it is", "0"}));
            ASSERT_EQ(r.ui.started.size(), 1u);
            EXPECT_EQ(r.ui.started[0].program, t.path().string() + "/STV3.EXE");
            EXPECT_EQ(r.ui.started[0].arguments, std::vector<std::string>{"stvt"});
            EXPECT_TRUE(r.ui.terminated);
            EXPECT_TRUE(r.ui.messages.empty());
            continue;
        }
        EXPECT_FALSE(r.s->exitMenu());
        ASSERT_EQ(r.ui.messages.size(), 1u);
        EXPECT_EQ(r.ui.messages[0].text, "File access error !");
        EXPECT_EQ(r.ui.messages[0].title, "Error");
        EXPECT_EQ(r.ui.messages[0].icon, Icon::Critical);
        EXPECT_TRUE(r.ui.started.empty());
        EXPECT_FALSE(r.ui.terminated);
        EXPECT_FALSE(r.s->zoom().wheelHooked());
        if (c.wif && c.program) {  // a wif.dat too short is left as it was
            EXPECT_EQ(t.read("wif.dat"), c.wif);
        }
    }
}

TEST(Helpers, DriveBlanksAndFolders) {
    EXPECT_EQ(driveOfPath("C:\\prog\\x"), "C:");
    EXPECT_EQ(driveOfPath("/usr/lib"), "");
    EXPECT_EQ(driveOfPath("AB:"), "");  // the last character is not looked at
    EXPECT_EQ(driveOfPath("AB:x"), "AB:");
    EXPECT_EQ(stripBlanks(std::string(" a b\0c ", 7)), "abc");
    EXPECT_EQ(suite::folderOfProgram("/opt/letter kerf/letterkerf"), "/opt/letter kerf/");
    EXPECT_EQ(suite::folderOfProgram("/letterkerf"), "/");
}

namespace {
// A port that fails below the handlers when armed, as a broken display or disk would.
struct FailingUi : HeadlessUi {
    bool armed = false;
    std::vector<bool> enabled;
    void redraw() override {
        HeadlessUi::redraw();
        if (armed) throw std::runtime_error("injected");
    }
    void setWindowsEnabled(bool on) override { enabled.push_back(on); }
};
}  // namespace

// No letter file and no fault below a handler ends the program: each event ends with the
// fault message, the session stays usable and the work files stay whole.
TEST(Faults, NothingEscapesAnEvent) {
    {  // a negative letter count is refused by the loader, never used as a size
        TempFolder t;
        std::string ground = tground("AB", {{"A", 30, square(0, 0, 20), {}}});
        ground.replace(ground.find("\r\n1\r\n"), 5, "\r\n-3\r\n");  // line 3, the count
        t.write("tground.dat", ground);
        Started r(t, "stvt");
        ASSERT_EQ(r.ui.messages.size(), 1u);
        EXPECT_EQ(r.ui.messages[0].text, "File access error !");
        EXPECT_EQ(r.s->model().letterCount, 0);
        EXPECT_TRUE(r.s->handleEvent([&] {
            r.s->controls().Check2.set(1);
            r.s->controls().Check4.set(1);
        }));
    }
    {  // extents beyond the double range: the operations report, nothing escapes
        TempFolder t;
        t.write("tground.dat", tground("AB", {{"A", 30, {{0, 0, "1"}, {1e308, 0, "1"}, {1e308, 10, "1"}, {0, 10, "6"}, {0, 0, "0"}}, {}},
                                              {"B", 5, square(0, 0, 10), {}}}));
        Started r(t, "stvt");
        for (auto click : {+[](Session& s) { s.controls().Check2.set(1); }, +[](Session& s) { s.toggleFitIn(); },
                           +[](Session& s) { s.controls().Check4.set(1); }}) {
            r.ui.messages.clear();
            EXPECT_TRUE(r.s->handleEvent([&] { click(*r.s); }));
            ASSERT_FALSE(r.ui.messages.empty());
            for (const auto& m : r.ui.messages)
                EXPECT_EQ(std::tie(m.text, m.title, m.icon), std::make_tuple(kFileAccessError, wf::kErrorTitle, Icon::Critical));
        }
    }
    // a fault injected below a handler: the event ends with the message, the next one works
    TempFolder t;
    t.write("tground.dat", kTwoLetters);
    FailingUi ui;
    Session s(t.path(), "stvt", ui);
    s.load();
    s.activate();
    const std::string th = t.read("th.dat");
    ui.armed = true;
    EXPECT_FALSE(s.handleEvent([&] { s.controls().Check2.set(1); }));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(std::tie(ui.messages[0].text, ui.messages[0].title, ui.messages[0].icon),
              std::make_tuple(kFileAccessError, wf::kErrorTitle, Icon::Critical));
    EXPECT_EQ(ui.enabled, std::vector<bool>{true});  // windows a long operation disabled take input again
    EXPECT_FALSE(s.flags().any());
    EXPECT_EQ(s.controls().Check2.value(), 1);
    ui.armed = false;
    EXPECT_TRUE(s.handleEvent([&] { s.controls().Check4.set(1); }));
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_FALSE(s.model().barLines.empty());
    EXPECT_EQ(t.read("th.dat"), th);
    EXPECT_EQ(t.read("tground.dat"), kTwoLetters);
}

// A single-line box never carries a line break or NUL into the saved state.
TEST(SavedState, TextBoxesHoldOneLine) {
    TempFolder t;
    t.write("tground.dat", kTwoLetters);
    Started r(t, "stvt");
    r.s->controls().Text4.set(std::string(" .1\r\n7\0", 7));
    r.s->controls().Text5.set("0\n1");
    writeStv2b(t.path(), r.s->currentState());
    EXPECT_EQ(wf::splitLines(t.read("stv2b.dat")).size(), std::size_t(kStv2bLines));
    Started back(t, "stvt3");
    EXPECT_EQ(back.s->controls().Text4.value(), " .17");
    EXPECT_EQ(back.s->controls().Text5.value(), "01");
    EXPECT_EQ(back.s->controls().HScroll1.value(), r.s->controls().HScroll1.value());
}

// A program folder whose name is no valid UTF-8, with blanks and quotes: the letters load and
// closing really starts the later stage there, with its token, by the folder's own bytes.
TEST(Closing, AFolderNameOfAnyBytesWorks) {
    TempFolder base(false);
    const fs::path dir = base.path() / "prog \xFF\xFE 'x' \"y\"";
    fs::create_directories(dir / "workfiles");
    fs::copy_file(fs::path(LK_PROGRAM_DIR) / "workfiles" / "tground.dat", dir / "workfiles" / "tground.dat");
    wf::replaceFile(dir / "workfiles" / "wif.dat", crlf({"1", "1"}));
    fs::copy_file(LK_STANDIN, dir / "STV3.EXE");
    HeadlessUi ui;
    ui.realStart = &wf::startDetached;
    Session s(dir, "stvt", ui);
    s.load();
    s.activate();
    EXPECT_EQ(s.model().letterCount, 3);
    ASSERT_TRUE(s.closeWindow());
    const fs::path log = dir / "workfiles" / "standin.log";
    for (int i = 0; i < 500 && !fs::exists(log); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(wf::readFile(log), "STV3.EXE stvt\n");
    EXPECT_FALSE(wf::startDetached((dir / "workfiles" / "wif.dat").string(), {}));  // not executable
}

namespace {

// Should a reader still wait at a FIFO, this opens and closes the FIFOs after a while, again and
// again, so that the wait ends (and the test fails on its time instead of hanging).
struct FifoWatchdog {
    std::vector<std::filesystem::path> fifos;
    std::atomic<bool> stop{false};
    std::thread thread;
    explicit FifoWatchdog(std::vector<std::filesystem::path> f) : fifos(std::move(f)) {
        thread = std::thread([this] {
            const auto start = std::chrono::steady_clock::now();
            while (!stop) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                if (std::chrono::steady_clock::now() - start < std::chrono::seconds(3)) continue;
                for (const auto& p : fifos) {
                    const int fd = ::open(p.c_str(), O_RDWR | O_NONBLOCK);
                    if (fd >= 0) ::close(fd);
                }
            }
        });
    }
    ~FifoWatchdog() {
        stop = true;
        thread.join();
    }
};

}  // namespace

// A FIFO or a folder in place of a work file, or a letter file far
// beyond any the capacities allow: the start neither waits nor reads it in; each reader does
// what it does with a file it cannot read (the letters: "File access error !"; the presets,
// the window place and the saved state: their defaults), and nothing is put in their place.
// (A device: Files.OnlyRegularFilesWithinTheLimitAreRead.)
TEST(StartUp, FifosFoldersAndHugeFilesAreNotRead) {
    using Clock = std::chrono::steady_clock;
    {
        TempFolder t;
        for (const char* n : {"tground.dat", "th.dat", "stv2b.dat", "workfile.dcc"})
            ASSERT_EQ(::mkfifo(t.work(n).c_str(), 0644), 0) << n;
        std::filesystem::create_directories(t.work("top.dat"));
        FifoWatchdog watchdog({t.work("tground.dat"), t.work("th.dat"), t.work("stv2b.dat"), t.work("workfile.dcc")});
        const auto start = Clock::now();
        Started r(t, "stvt3");
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
        ASSERT_EQ(r.ui.messages.size(), 1u);
        EXPECT_EQ(r.ui.messages[0].text, "File access error !");
        EXPECT_EQ(r.place.topTwips, 200);
        EXPECT_EQ(r.s->presets().maxArcRadius, 8890);
        EXPECT_EQ(r.s->model().smallHeight, 101.6);
        EXPECT_TRUE(r.s->model().elements.empty());
        EXPECT_TRUE(std::filesystem::is_fifo(t.work("th.dat")));
        EXPECT_TRUE(std::filesystem::is_directory(t.work("top.dat")));
    }
    {
        // the letters themselves, then zero bytes up to one past the limit (a sparse file)
        TempFolder t;
        t.write("tground.dat", kTwoLetters);
        std::filesystem::resize_file(t.work("tground.dat"), wf::kMaxReadBytes + 1);
        const auto start = Clock::now();
        Started r(t, "stvt");
        EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
        ASSERT_EQ(r.ui.messages.size(), 1u);
        EXPECT_EQ(r.ui.messages[0].text, "File access error !");
        EXPECT_TRUE(r.s->model().elements.empty());
    }
}

// A user's whole visit: tground.dat as the earlier stage left it, then clicks in the order the
// input asks for, then "Start convert".
//
// Input: byte 0 holds the number of clicks (low 3 bits; few enough that an input stays cheap)
// and the answer to every Yes/No question (bit 3); then 4 bytes per click (what, and three
// arguments); the rest is tground.dat.
//
// Each click is one event, run through the session's event guard as the window and the
// command line run it. Whatever the file and the clicks: nothing escapes an event; after every
// event the flags that live only inside a handler are clear again (else every later click
// would be ignored); and the hand-over files are whole: workrl.dat ends in "s", hl.dat and
// workm.dat hold exactly the lines their counts announce, no temporary file is left behind, and
// the cut stage's reader takes the whole set.
//
// With LK_FUZZ_STRICT=1 in the environment a fault that only the guard catches is a finding
// too: it names an operation that does not handle its own faults.
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <vector>

#include "fuzz_support.h"
#include "preview/svg.h"
#include "shapes/dimension_dialog.h"
#include "shapes/preset_dialogs.h"
#include "shapes/session.h"
#include "shapes/spacing_dialog.h"
#include "workfile/workfile_io.h"
#include "cut/handover.h"

namespace {

namespace fs = std::filesystem;

// What a user types into a box: the texts that sit on an edge of some check, or a number
// made from the byte.
std::string typed(std::uint8_t b) {
    static const char* const kTexts[] = {
        "",     "0",       "-1",     ".5",        "1",      "2",     "4",    "5",     "6",      "39",
        "39.1", "0.32",    "0.31",   "1E+308",    "-1E+308", "1E-308", "abc", " 4",    "780",    "780.5",
        "1D+3", ".",       "-0",     "2147483648", "0.16",  "0.04",  "0.004", "0.003", "1,5",   "12abc",
        "9E99", "-.005",   "0.0001", "100",       "1e5",    "3.9",   "0.008", "7.99",  "32767", "-32769"};
    constexpr std::uint8_t kCount = sizeof kTexts / sizeof *kTexts;
    if (b < kCount) return kTexts[b];
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", (b - kCount) * 0.125);
    return buf;
}

// The clicks that open a dialog are told here what the user does in it.
struct ScriptedUi : shapes::HeadlessUi {
    std::uint8_t a = 0, b = 0, c = 0;  // the click's arguments
    // what "Start convert" was clicked on, to compare with what it leaves
    bool connection = false;
    shapes::SavedState state;

    using HeadlessUi::runDialog;

    void runDialog(shapes::SpacingDialog& d) override {
        HeadlessUi::dialogsShown.push_back(shapes::DialogId::SignDistances);
        d.activate();
        switch (a % 6) {
            case 0: d.reset(); break;
            case 1:
                if (!d.rows.empty()) {
                    d.selectPair(b % static_cast<int>(d.rows.size()));
                    d.scroll(shapes::kSpacingScrollMin + (c * 8) % (shapes::kSpacingScrollMax - shapes::kSpacingScrollMin + 1));
                }
                break;
            case 2:
                d.Text2.set(typed(b));
                d.distanceForAll();
                break;
            case 3: d.removeEmptySpace(); break;
            case 4:
                if (!d.rows.empty()) d.selectPair(b % static_cast<int>(d.rows.size()));
                d.zeroDistance();
                break;
            default:
                d.Text2.set(typed(b));
                d.distanceForAll();
                d.removeEmptySpace();
                break;
        }
        d.close();
    }

    void runDialog(shapes::ApertureDialog& d) override {
        HeadlessUi::dialogsShown.push_back(shapes::DialogId::ApertureWidth);
        d.text1 = typed(b);
        if (!d.accept()) d.cancel();
    }

    void runDialog(shapes::PresettingDialog& d) override {
        HeadlessUi::dialogsShown.push_back(shapes::DialogId::Presetting);
        d.option = b % 3 == 0 ? 0 : 2 + b % 3;
        d.text1 = typed(c);
        if (!d.apply()) d.exit();
    }
};

int sliderPosition(const shapes::ScrollBar& s, std::uint8_t hi, std::uint8_t lo) {
    const int span = s.max() - s.min() + 1;
    return s.min() + ((hi << 8) | lo) % span;
}

void toggle(shapes::Control<int>& box) { box.set(box == 1 ? 0 : 1); }

void startConvert(shapes::Session& s, ScriptedUi& ui) {
    ui.connection = s.controls().Check2 == 1;
    ui.state = s.currentState();
    s.startConvert();
}

// One click of the main window, as far as the control is there to be clicked.
void click(shapes::Session& s, ScriptedUi& ui, std::uint8_t what) {
    shapes::Controls& c = s.controls();
    const std::uint8_t a = ui.a, b = ui.b, cc = ui.c;
    switch (what % 16) {
        case 0: s.toggleFitIn(); break;  // "Fit in"
        case 1: {                        // a gallery picture, its heights typed, accepted
            const int shape = a % shapes::kShapeCount;
            ui.typedText1 = typed(shape == 0 ? cc : b);
            ui.typedText2 = typed(cc);
            if (a & 0x80) ui.typedText1.reset(), ui.typedText2.reset();  // the offered heights
            s.chooseShape(shape);
            break;
        }
        case 2:
            if (c.HScroll1.visible) c.HScroll1.set(sliderPosition(c.HScroll1, a, b));
            break;
        case 3: toggle(c.Check2); break;  // "Contour connection"
        case 4:                           // width and distance typed, "Apply"
            if (c.Frame9) {
                c.Text6.set(typed(a));
                c.Text5.set(typed(b));
                s.applyConnectionValues();
            }
            break;
        case 5:
            if (c.Check4.visible) toggle(c.Check4);  // "Cut"
            break;
        case 6: s.openSignDistanceDialog(); break;
        case 7: s.openApertureDialog(); break;
        case 8: toggle(c.Check5); break;  // "Create as one object"
        case 9:
            if (c.HScroll2.visible) c.HScroll2.set(sliderPosition(c.HScroll2, a, b));
            break;
        case 10:
            if (c.Command2) s.putBarOnBaseline();  // "= 0"
            break;
        case 11: s.openPresetting(); break;
        case 12:
            switch (a % 6) {
                case 0: s.zoom().zoomIn(); break;
                case 1: s.zoom().zoomOut(); break;
                case 2: s.fitAndRedraw(); break;
                case 3: s.redrawPreview(); break;
                default:
                    s.zoom().mouseDown(a % 2 ? shapes::ViewZoom::kLeftButton : shapes::ViewZoom::kRightButton, b * 2.5, cc * 1.875);
                    break;
            }
            break;
        case 13: s.toggleKnotPoints(); break;  // "On"
        case 14:
            if (c.Picture4) s.tickConnection();
            break;
        default: startConvert(s, ui); break;  // "Start convert"
    }
}

[[noreturn]] void finding(const std::string& what, const std::string& detail) {
    std::fprintf(stderr, "pipeline: %s: %s\n", what.c_str(), detail.c_str());
    std::abort();
}

const bool strict = [] {
    const char* v = std::getenv("LK_FUZZ_STRICT");
    return v && *v == '1';
}();

// LK_FUZZ_VERBOSE=1: every event with the messages it showed, for reading a finding
const bool verbose = [] {
    const char* v = std::getenv("LK_FUZZ_VERBOSE");
    return v && *v == '1';
}();

// One event through the guard, then the session must take the next one.
void event(shapes::Session& s, const std::string& name, const std::function<void()>& handler) {
    const std::size_t shown = static_cast<shapes::HeadlessUi&>(s.ui()).messages.size();
    s.handleEvent([&] {
        try {
            handler();
        } catch (const std::exception& e) {
            if (strict) finding("the guard caught a fault of " + name, e.what());
            throw;
        }
    });
    if (verbose) {
        const auto& messages = static_cast<shapes::HeadlessUi&>(s.ui()).messages;
        std::fprintf(stderr, "%s: shape %d, h %g, H %g, %zu points, connection %d, cut %d, bar %zu+%zu\n", name.c_str(),
                     s.model().shapeNumber, s.model().smallHeight, s.model().bigHeight, s.model().elements.size(),
                     s.controls().Check2.value(), s.controls().Check4.value(), s.model().barLines.size(), s.model().barArcs.size());
        for (std::size_t i = shown; i < messages.size(); ++i)
            std::fprintf(stderr, "    %s|%s|%s\n", shapes::iconName(messages[i].icon), messages[i].title.c_str(), messages[i].text.c_str());
    }
    if (s.flags().any())
        finding("a handler flag stays set after " + name, "every later click would be ignored");
}

std::vector<std::string> linesOf(const fs::path& file) { return wf::splitLines(wf::readFile(file)); }

// the counts at the head of a hand-over file against the lines that follow them
void checkHandOver(const fs::path& work) {
    std::error_code ec;
    if (fs::exists(work / "workrl.dat", ec)) {
        const std::string rl = wf::readFile(work / "workrl.dat");
        if (rl.size() < 3 || rl.compare(rl.size() - 3, 3, "s\r\n") != 0 || (rl.size() > 3 && rl[rl.size() - 4] != '\n'))
            finding("workrl.dat does not end in \"s\"", rl.substr(rl.size() > 40 ? rl.size() - 40 : 0));
    }
    if (fs::exists(work / "hl.dat", ec)) {
        const auto lines = linesOf(work / "hl.dat");
        if (lines.empty()) finding("hl.dat", "empty");
        const double count = wf::parseNumber(lines[0]);
        if (count < 0 || lines.size() != 1 + 5 * static_cast<std::size_t>(count))
            finding("hl.dat count against its lines", lines[0] + " / " + std::to_string(lines.size()));
    }
    if (fs::exists(work / "workm.dat", ec)) {
        const auto lines = linesOf(work / "workm.dat");
        if (lines.size() < 2) finding("workm.dat", "fewer than two lines");
        const double arcs = wf::parseNumber(lines[0]), bars = wf::parseNumber(lines[1]);
        if (arcs < 0 || bars < 0 || lines.size() != 2 + 6 * static_cast<std::size_t>(arcs) + 5 * static_cast<std::size_t>(bars))
            finding("workm.dat counts against its lines", lines[0] + "," + lines[1] + " / " + std::to_string(lines.size()));
    }
    // every writer renames its temporary file or removes it; the scan files go with their dialog
    for (const auto& e : fs::directory_iterator(work, ec)) {
        const std::string name = e.path().filename().string();
        const bool temporary = name[0] == '.' && name.find(".tmp") != std::string::npos;
        if (temporary || name.rfind("kon", 0) == 0) finding("left behind", name);
    }
}

// a number line as the writers make it: a blank or "-" ahead, a value that reads back
double numberLine(const std::vector<std::string>& lines, std::size_t i, const char* file) {
    if (i >= lines.size()) finding(file, "cut short at line " + std::to_string(i + 1));
    const std::string& l = lines[i];
    if (l.size() < 2 || (l[0] != ' ' && l[0] != '-')) finding(file, "line " + std::to_string(i + 1) + " is no number: " + l);
    try {
        return wf::parseNumber(l);
    } catch (const fault::OverflowFault&) {
        finding(file, "line " + std::to_string(i + 1) + " cannot be read back: " + l);
    }
}

// workrl.dat as the later stage reads it: ("a" ("n" | "1" x1 y1 x2 y2 | "2" cx cy r a1 a2)* "e")* "s"
void checkContourFile(const fs::path& file) {
    const auto lines = linesOf(file);
    std::size_t i = 0;
    const auto key = [&] { return i < lines.size() ? lines[i] : std::string("(end)"); };
    while (key() == "a") {
        ++i;
        for (;;) {
            const std::string k = key();
            if (k == "e") break;
            const int numbers = k == "n" ? 0 : k == "1" ? 4 : k == "2" ? 5 : -1;
            if (numbers < 0) finding("workrl.dat", "unknown record \"" + k + "\" at line " + std::to_string(i + 1));
            ++i;
            for (int n = 0; n < numbers; ++n) numberLine(lines, i++, "workrl.dat");
        }
        ++i;
    }
    if (key() != "s" || i + 1 != lines.size()) finding("workrl.dat", "no \"s\" after the last contour (line " + std::to_string(i + 1) + ")");
}

// the saved state read back by a resumed start is the state that was saved
void checkSavedState(const shapes::SavedState& saved) {
    shapes::HeadlessUi ui;
    shapes::Session resumed(fuzzsupport::programFolder(), shapes::kTokenResume, ui);
    resumed.restoreSavedState();
    const shapes::SavedState back = resumed.currentState();
    const auto near = [](double a, double b) { return std::fabs(a - b) <= std::fabs(a) * 1e-14; };
    bool same = back.shapeNumber == saved.shapeNumber && near(saved.smallHeight, back.smallHeight) &&
                near(saved.bigHeight, back.bigHeight) && back.check1 == saved.check1 && back.check2 == saved.check2 &&
                back.check4 == saved.check4 && back.check3 == saved.check3 && back.text4 == saved.text4 &&
                back.text5 == saved.text5 && back.text6 == saved.text6 && back.hscroll2 == saved.hscroll2 &&
                back.frame11Visible == saved.frame11Visible;
    for (std::size_t i = 0; i < saved.signDistanceA.size(); ++i)
        same = same && near(saved.signDistanceA[i], back.signDistanceA[i]) && near(saved.signDistanceB[i], back.signDistanceB[i]);
    if (!same) finding("stv2b.dat", "a resumed start restores another state than the one saved");
    if (resumed.knotPosition() != saved.hscroll1) finding("stv2b.dat", "the knot slider comes back elsewhere");
}

// the later stage was started: it must find the whole set, and workm.dat exactly when the
// connection was ticked
void checkHandedOver(const fs::path& work, bool connection) {
    std::error_code ec;
    for (const char* name : {"workrl.dat", "hl.dat", "c3.dat", "stv2b.dat", "th.dat", "top.dat"})
        if (!fs::exists(work / name, ec)) finding("handed over without", name);
    checkContourFile(work / "workrl.dat");
    const auto c3 = linesOf(work / "c3.dat");
    if (c3.size() != 6 || c3[1] != "1" || c3[3] != " 0" || c3[4] != c3[5] || !(numberLine(c3, 0, "c3.dat") > 0))
        finding("c3.dat", "not the six lines of the scale");
    numberLine(c3, 4, "c3.dat");
    // the cut stage reads the whole set as it stands; it may only say that there is nothing to
    // cut or that a value lies beyond the sizes it cuts (letter files may hold any number)
    try {
        (void)cut::readHandover(work);
    } catch (const fault::HandoverFault& e) {
        const bool nothing = e.file == "workrl.dat" && e.text == "holds no letter contours";
        const bool tooLarge = e.text.size() > 12 && e.text.compare(e.text.size() - 12, 12, "out of range") == 0;
        if (!nothing && !tooLarge) finding("the cut stage refuses the hand-over", e.what());
    }
    // (an empty bar is no fault: a mitre without intersection and a cut of one letter leave none)
    if (fs::exists(work / "workm.dat", ec) != connection)
        finding("handed over", connection ? "without the ticked bar" : "a bar that is not ticked");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // a stand-in for the later stage, so that "Start convert" hands over as on a user's machine
    const fs::path stv3 = fuzzsupport::programFolder() / "STV3.EXE";
    std::ofstream(stv3).put('\n');
    chmod(stv3.c_str(), 0755);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::size_t clicks = data[0] & 0x07;
    const std::size_t header = 1 + 4 * clicks;
    if (size < header) return 0;

    const fs::path work = fuzzsupport::programFolder() / "workfiles";
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(work, ec)) fs::remove_all(e.path(), ec);
    fuzzsupport::writeWork("tground.dat", fuzzsupport::asText(data + header, size - header));

    fuzzsupport::KeepWorkingFolder keep;
    ScriptedUi ui;
    ui.answerYes = (data[0] & 0x08) == 0;
    try {
        shapes::Session s(fuzzsupport::programFolder(), shapes::kTokenFresh, ui);
        event(s, "load", [&] { s.load(); });
        event(s, "activate", [&] { s.activate(); });
        event(s, "paint", [&] { s.paintEvent(); });
        for (std::size_t step = 0; step < clicks && !s.terminated(); ++step) {
            const std::uint8_t* arg = data + 1 + 4 * step;
            ui.a = arg[1], ui.b = arg[2], ui.c = arg[3];
            event(s, "click " + std::to_string(step) + " (" + std::to_string(arg[0] % 16) + ")",
                  [&] { click(s, ui, arg[0]); });
        }
        if (!s.terminated()) {
            event(s, "paint", [&] { s.paintEvent(); });
            event(s, "svg", [&] {
                const double b = wf::parseNumberOrZero(s.controls().Text4.value()) * 25.4;
                (void)preview::svgDocument(s.model(), s.controls().Check2 == 1, b);
            });
            event(s, "Start convert", [&] { startConvert(s, ui); });
        }
    } catch (const std::exception& e) {
        finding("escaped an event", e.what());
    }
    // the program has ended; the later stage (and a later resume) take over its files
    if (!ui.started.empty()) {
        checkHandedOver(work, ui.connection);
        checkSavedState(ui.state);
    }
    checkHandOver(work);
    return 0;
}

// The session from start to close: the suite's token, the letters, the saved state and the
// way it comes back, faults that must end in a message; the preview's zoom and pan, the
// millimetres beside the inches, the Info menu's documents; undo and redo, each user step
// recorded with its name and a step's state coming back whole (the model, the preview and the
// saved files, byte for byte).
#include <gtest/gtest.h>

#include <array>
#include <sstream>
#include <tuple>

#include "shapes/inches_shown.h"
#include "shapes/report.h"
#include "shapes/spacing_dialog.h"
#include "shapes/started.h"
#include "shapes/zoom.h"

using namespace shapes;
using namespace testsupport;

// First start in a fresh folder: probed files created, text scaled to 4 inches, limits fixed.
TEST(StartUp, FreshFolderCreatesTheProbedFilesAndUsesDefaults) {
    Started r;
    EXPECT_EQ(std::make_tuple(r.place.topTwips, r.place.leftTwips), std::make_tuple(200, 200));
    for (const char* f : {"top.dat", "th.dat", "workfile.dcc"}) EXPECT_EQ(r.t.read(f), "") << f;
    EXPECT_TRUE(r.ui().messages.empty());
    EXPECT_TRUE(r.s->activated() && r.c().Bild1 && r.s->zoom().wheelHooked());
    // 20 mm tall letters become 4 in (101.6 mm), 45 mm wide ones 9 in (times 5.08)
    EXPECT_EQ(std::make_tuple(r.c().Texth.value(), r.c().Textv.value()), std::make_tuple(" 4", " 9"));
    EXPECT_EQ(r.s->apertureLimits().min, 0.3048);  // a bridge exists: limits for h = 101.6 mm
    EXPECT_DOUBLE_EQ(r.s->apertureLimits().max, 10.16);
    EXPECT_EQ(r.c().Text4.value(), " .08");
    EXPECT_LT(r.m().view.xmin, 0);  // the fitted view window, not the default
    r.m().smallHeight = 50;  // a later activation changes nothing
    const int redraws = r.ui().redraws;
    r.s->activate();
    EXPECT_EQ(r.m().smallHeight, 50);
    EXPECT_EQ(r.ui().redraws, redraws);
}

// Only the token "stvt" or "stvt3" (blanks dropped, nothing else) starts; anything else hands
// to zodu.exe with no argument and ends, silently when there is none.
TEST(StartUp, CommandLineTokenDecidesTheStart) {
    const struct {
        const char* line;
        bool runs, startProgram = true;
    } cases[] = {{"stvt", true},  {" st vt ", true}, {"st\tvt", false}, {"STVT", false}, {"", false},
                 {"stvt4", false}, {"stvt3", true},  {"s t v t 3", true}, {"", false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.line + "\"" + (c.startProgram ? "" : " without zodu.exe"));
        Started r;
        if (c.startProgram) r.t.addProgram("zodu.exe");
        r.start(c.line);
        const HeadlessUi& ui = r.ui();
        EXPECT_EQ(ui.terminated, !c.runs);
        EXPECT_EQ(r.m().elements.empty(), !c.runs);
        EXPECT_TRUE(ui.messages.empty());
        ASSERT_EQ(ui.started.size(), !c.runs && c.startProgram ? 1u : 0u);
        if (c.runs || !c.startProgram) continue;
        EXPECT_EQ(ui.started[0].program, r.t.path().string() + "/zodu.exe");
        EXPECT_TRUE(ui.started[0].arguments.empty());
        EXPECT_EQ(ui.redraws, 0);
    }
}

// A missing folder, garbled letters or a negative letter count: the file message, the input
// untouched, no handler left half-done; clicks afterwards do no harm. A fault below a handler
// ends the event with the fault message, not the program; the session stays usable and the
// work files stay whole.
TEST(Faults, BadLettersOrAFaultBelowAHandlerEndInTheMessageAndNoCrash) {
    Started none("", "stvt", false);  // no workfiles/ folder at all
    EXPECT_EQ(none.last(), "Error|File access error !");
    EXPECT_FALSE(fs::exists(none.t.path() / "workfiles"));
    std::string negative = tground("AB", {{"A", 30, square(0, 0, 20), {}}});
    negative.replace(negative.find("\r\n1\r\n"), 5, "\r\n-3\r\n");  // line 3, the count
    for (const std::string& content :
         {std::string(), std::string("AB\r\n0\r\n2\r\n0\r\n0\r\nA\r\n"), std::string(5000, '\x07'), negative,
          crlf({"A", "0", "1", "0", "0", "A", "0", "0", "0", "0", "0", "2", "1", "1", "1", "1", "1", "1", "0"})}) {
        SCOPED_TRACE(content.substr(0, 20));
        Started r(content);
        ASSERT_GE(r.ui().messages.size(), 1u);
        for (const auto& m : r.ui().messages) EXPECT_EQ(m.text, "File access error !");
        EXPECT_TRUE(r.c().Bild1);
        EXPECT_FALSE(r.s->flags().any());
        EXPECT_TRUE(r.s->handleEvent([&] { r.c().Check2.set(1), r.c().Check4.set(1); }));
        EXPECT_EQ(r.t.read("tground.dat"), content);  // the input is never touched
    }

    Started<WatchingUi> r;
    const std::string th = r.t.read("th.dat");
    r.ui().atRedraw = [] { throw std::runtime_error("injected"); };
    EXPECT_FALSE(r.s->handleEvent([&] { r.c().Check2.set(1); }));
    ASSERT_EQ(r.ui().messages.size(), 1u);
    EXPECT_EQ(std::make_tuple(r.ui().messages[0].text, r.ui().messages[0].title, r.ui().messages[0].icon),
              std::make_tuple(std::string(kFileAccessError), std::string(wf::kErrorTitle), Icon::Critical));
    EXPECT_EQ(r.ui().enabled, std::vector<bool>{true});  // windows a long operation disabled take input again
    EXPECT_FALSE(r.s->flags().any());
    r.ui().atRedraw = nullptr;  // the next one works
    EXPECT_TRUE(r.s->handleEvent([&] { r.c().Check4.set(1); }));
    EXPECT_EQ(r.ui().messages.size(), 1u);
    EXPECT_FALSE(r.m().barLines.empty());
    EXPECT_EQ(r.t.read("th.dat"), th);
    EXPECT_EQ(r.t.read("tground.dat"), kTwoLetters);
}

// The saved state's fields in the order the siblings read them, line by line; read back and
// written again, the same bytes. A file cut short restores the fields it still holds; "Create
// as one object" comes from orgdim.dat without the connection; a box is ticked only by exactly
// 1; a box holds one line.
TEST(SavedState, FieldOrderTheWayBackAndDamagedFiles) {
    Started r;
    SavedState s{.shapeNumber = 7, .smallHeight = 50.8, .bigHeight = 127, .apertureWidthMin = 0.3048,
                 .apertureWidthMax = 5.08, .check1 = true, .check2 = true, .check4 = true, .check3 = false,
                 .text4 = " .05", .text5 = "0.1 typed", .text6 = " .16", .hscroll2 = -20,
                 .frame11Visible = true, .hscroll1 = -735};
    for (int i = 0; i < 256; ++i) {
        s.signDistanceA[i] = i * 0.01;
        s.signDistanceB[i] = i == 0 || i > 250 ? -i * 0.254 : 0;  // entries "Cut" does not look at
    }
    writeStv2b(r.t.path(), s);
    const auto lines = wf::splitLines(r.t.read("stv2b.dat"));
    ASSERT_EQ(lines.size(), std::size_t(kStv2bLines));
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 9),
              (std::vector<std::string>{" 7", " 50.8", " 127", " .3048", " 5.08", " 0", " 0", " .01", " 0"}));
    EXPECT_EQ(lines[kStv2bSignDistances + 2 * 255], " 2.55");
    EXPECT_EQ(std::vector<std::string>(lines.begin() + kStv2bCheck1, lines.end()),
              (std::vector<std::string>{"1", "1", "1", "0", " .05", "0.1 typed", " .16", "-20", "1", " 1000", "-1000",
                                        "-735"}));

    // read back into the model and the controls, the state they make is written with the same bytes
    r.start("stvt3");
    EXPECT_EQ(r.m().shapeNumber, 7);
    EXPECT_TRUE(r.c().Frame11 && r.c().HScroll1.visible);  // the knot slider, visible, where it was
    EXPECT_FALSE(r.s->flags().any());
    const std::string first = r.t.read("stv2b.dat");
    writeStv2b(r.t.path(), r.s->currentState());
    EXPECT_EQ(r.t.read("stv2b.dat"), first);

    r.t.write("stv2b.dat", "5\r");  // 2 bytes: nothing restored
    r.start();
    EXPECT_EQ(std::make_tuple(r.m().shapeNumber, r.m().smallHeight), std::make_tuple(std::int16_t(0), 101.6));
    r.t.write("stv2b.dat", crlf({" 3", " 76.2", " 152.4"}));  // cut after the heights
    r.start();
    EXPECT_EQ(std::make_tuple(r.m().shapeNumber, r.m().smallHeight), std::make_tuple(std::int16_t(3), 76.2));
    EXPECT_EQ(r.c().Texth.value(), " 6");  // h = 3 in, bent to H = 6 in at the ends
    EXPECT_TRUE(r.ui().messages.empty());
    EXPECT_FALSE(r.s->flags().any());
    const Stv2bRead part = readStv2b(r.t.path());
    EXPECT_EQ(std::make_tuple(part.present, part.fields), std::make_tuple(true, 3));

    writeStv2b(r.t.path(), SavedState{});
    for (const auto& [orgdim, expected] : {std::pair{"0\r\n", 0}, {" 1\r\n", 1}, {"1.4\r\n", 1}}) {
        r.t.write("orgdim.dat", orgdim);  // 1.4 rounds to 1
        r.start();
        EXPECT_EQ(r.c().Check5.value(), expected) << orgdim;
    }
    auto damaged = wf::splitLines(r.t.read("stv2b.dat"));
    damaged[kStv2bCheck1] = "1.4";
    std::string text;
    for (const auto& l : damaged) text += l + "\r\n";
    r.t.write("stv2b.dat", text);
    r.start();
    EXPECT_EQ(r.c().Check1.value(), 0);

    r.c().Text4.set(std::string(" .1\r\n7\0", 7));
    r.c().Text5.set("0\n1");
    writeStv2b(r.t.path(), r.s->currentState());
    EXPECT_EQ(wf::splitLines(r.t.read("stv2b.dat")).size(), std::size_t(kStv2bLines));
    r.start();
    EXPECT_EQ(std::make_tuple(r.c().Text4.value(), r.c().Text5.value()), std::make_tuple(std::string(" .17"), std::string("01")));
}


// The pictures halve and double about the centre; the mouse halves about the pointer (left)
// or widens 2.2 times (right) and pauses; each within its limits, drawn again either way; the
// wheel zooms the same ways, forward in and backward out; the middle button pans.
TEST(ViewZoom, PicturesMouseWheelAndPanWithinTheLimits) {
    struct PausingUi : HeadlessUi {
        int pauses = 0;
        void pause(double) override { ++pauses; }
    } ui;
    engine::ViewWindow v{0, 40, 10, 30};
    int redraws = 0;
    ViewZoom zoom{v, ui, [&] { ++redraws; }};
    const auto win = [&] { return std::array<double, 4>{v.xmin, v.xmax, v.ymin, v.ymax}; };
    const auto width = [&] { return v.xmax - v.xmin; };
    zoom.zoomIn();
    EXPECT_EQ(win(), (std::array<double, 4>{10, 30, 15, 25}));
    zoom.zoomOut();
    EXPECT_EQ(win(), (std::array<double, 4>{0, 40, 10, 30}));
    const struct {
        engine::ViewWindow from;
        void (ViewZoom::*step)();
        double width;
    } limits[] = {{{0, 9.9, 0, 5}, &ViewZoom::zoomIn, 9.9},         {{0, 10, 0, 5}, &ViewZoom::zoomIn, 5},
                  {{0, 100001, 0, 5}, &ViewZoom::zoomOut, 100001},  {{0, 0.9, 0, 0.5}, &ViewZoom::zoomInAtPointer, 0.9},
                  {{0, 45455, 0, 100}, &ViewZoom::zoomOutAtPointer, 45455}};
    for (const auto& l : limits) {
        v = l.from;
        (zoom.*l.step)();
        EXPECT_DOUBLE_EQ(width(), l.width) << l.from.xmax;
    }
    EXPECT_EQ(std::make_pair(redraws, ui.pauses), std::make_pair(6, 1));  // a window under 1 mm: neither

    v = {0, 64, 0, 48};
    zoom.mouseMove(160, 120);  // a quarter in from the top left: model point (16, 36)
    zoom.mouseDown(ViewZoom::kLeftButton, 160, 120);
    EXPECT_EQ(win(), (std::array<double, 4>{0, 32, 24, 48}));
    zoom.mouseDown(ViewZoom::kRightButton, 320, 240);  // the centre (16, 36), 2.2 times as wide
    EXPECT_DOUBLE_EQ(width(), 32 * 2.2);
    EXPECT_DOUBLE_EQ((v.xmin + v.xmax) / 2, 16);
    EXPECT_EQ(std::make_pair(redraws, ui.pauses), std::make_pair(8, 3));

    const double w = width();  // the wheel: only while hooked and over a picture
    EXPECT_FALSE(zoom.onWheel(120, true));  // not hooked before the start-up hooks it
    zoom.hookWheel();
    EXPECT_FALSE(zoom.onWheel(120, false));
    EXPECT_TRUE(zoom.onWheel(120, true));  // forward: in once
    EXPECT_DOUBLE_EQ(width(), w / 2);
    EXPECT_TRUE(zoom.onWheel(-120, true));  // backward: out once
    EXPECT_DOUBLE_EQ(width(), w / 2 * 2.2);
    zoom.unhookWheel();
    EXPECT_FALSE(zoom.onWheel(120, true));
    EXPECT_DOUBLE_EQ(width(), w / 2 * 2.2);

    v = {0, 64, 0, 48};  // a pan keeps the size and moves the letters with the pointer
    zoom.panTo(0, 0);  // no pan started: nothing moves
    zoom.panStart(320, 240);
    zoom.panTo(480, 360);  // a quarter of the picture right and down
    zoom.panEnd();
    EXPECT_EQ(win(), (std::array<double, 4>{-16, 48, 12, 60}));
}

TEST(InchesShown, EachBoxSaysInAndItsMillimetres) {
    const struct {
        const char *typed, *shown;
    } cases[] = {
        {"5", "in = 127 mm"},    {" .08", "in = 2.03 mm"},   {"0.32", "in = 8.13 mm"}, {"39", "in = 990.6 mm"},
        {"0.004", "in = 0.102 mm"}, {"-0.25", "in = -6.35 mm"}, {"0", "in = 0 mm"},       {"", "in"},
        {"5.", "in = 127 mm"},   {"5 in", "in"},             {"abc", "in"},            {"1e400", "in"},
    };
    for (const auto& c : cases) EXPECT_EQ(inchesBeside(c.typed), c.shown) << '"' << c.typed << '"';
    EXPECT_EQ(rangeInMillimetres(0.32, 39), "in = 8.13 to 990.6 mm");
}

// Help documents are looked for beside the programs, not among the work files (what is said
// when one does not open is the suite's own).
TEST(Menus, HelpDocumentsBesideThePrograms) {
    Started b;
    std::ofstream(b.t.path() / "main.pdf") << "%PDF";
    std::ofstream(b.t.work("menu1.pdf")) << "%PDF";
    b.s->openHelp("main.pdf");
    b.s->openHelp("menu1.pdf");
    EXPECT_EQ(b.ui().documents, std::vector<std::string>{b.s->appFolder() + "main.pdf"});
    ASSERT_EQ(b.ui().messages.size(), 1u);
    EXPECT_EQ(b.ui().messages[0].text, suite::helpNotOpenedText(b.s->appFolder() + "menu1.pdf", "menu1.pdf"));
    EXPECT_EQ(b.ui().messages[0].icon, Icon::None);
}

namespace {

struct Program : Started<> {
    Program()
        : Started(tground("ABC", {{"A", 30, square(-5, 0, 20), {{"1", 5, 8, 5, 20}}},
                                  {"B", 25, square(0, 0, 15), {}}, {"C", 20, square(0, 0, 10), {}}})) {}
    // the model, the preview and the saved files as bytes
    std::string everything() {
        std::ostringstream o;
        o << dumpJson(m()) << "|";
        for (const auto& k : s->picture().strokes) o << k.x1 << ',' << k.y1 << ',' << k.x2 << ',' << k.y2 << ',' << int(k.colour) << ';';
        for (const auto& c : s->picture().captions) o << c.text << ';';
        s->saveStateOnLeaving();
        o << "|" << t.read("stv2b.dat") << "|" << t.read("orgdim.dat");
        return o.str();
    }
    void shape(int n, const char* big, const char* small) {
        ui().typedText1 = big;
        ui().typedText2 = small;
        s->chooseShape(n);
    }
    void distance(int row, std::int32_t steps) {
        SpacingDialog d(*s);
        d.load();
        d.activate();
        d.selectPair(row);
        d.scroll(steps);
        d.close();
    }
    std::size_t steps() const { return s->history().undoCount(); }
};

}  // namespace

// Arch, H 6 in, connection, two spacing steps; undo four times gives back what was there
// before the four steps, byte for byte; redo twice redoes two; a new step drops the redo steps.
// A knot slider dragged is one step, its shift comes back with it; typing into a box and
// leaving it ("Apply") is one step; what changes nothing (a redraw, a fit) is none; a hundred
// steps are kept.
TEST(Undo, StepsBackAndForthWholeAsTheUserMadeThemAndAHundredKept) {
    Program p;
    const std::string start = p.everything();
    p.shape(9, "5", "4");
    const std::string afterArch = p.everything();
    p.shape(9, "6", "4");
    p.s->tickConnection();
    const std::string afterConnection = p.everything();
    p.distance(0, 10);
    p.distance(1, 20);
    ASSERT_EQ(p.steps(), 5u);
    EXPECT_EQ(p.s->history().undoName(), "distance after letter 2");
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(p.s->undo());
    EXPECT_EQ(p.s->history().undoName(), "shape Arch");
    EXPECT_EQ(p.everything(), afterArch);
    EXPECT_TRUE(p.s->redo() && p.s->redo());
    EXPECT_EQ(p.s->history().redoName(), "distance after letter 1");
    EXPECT_EQ(p.everything(), afterConnection);
    while (p.s->undo()) {
    }
    EXPECT_EQ(p.everything(), start);
    EXPECT_EQ(p.s->history().redoCount(), 5u);
    p.s->userSet(p.c().Check1, 0);
    EXPECT_FALSE(p.s->history().canRedo());
    EXPECT_EQ(p.s->history().undoName(), "view shape");

    p.shape(3, "6", "4");  // V-shaped top: a knot
    const std::string before = p.everything();
    for (int v = 10; v <= 100; v += 10) p.s->userSet(p.c().HScroll1, v);
    EXPECT_EQ(p.steps(), 3u);  // the view shape, the shape, the knot
    EXPECT_EQ(p.s->history().undoName(), "knot");
    p.s->redrawPreview();
    p.s->fitAndRedraw();
    EXPECT_EQ(p.steps(), 3u);
    p.s->undo();
    EXPECT_EQ(p.everything(), before);

    p.s->tickConnection();
    const std::string ticked = p.everything();
    for (const char* t : {"0", "0.", "0.1"}) p.s->userSet(p.c().Text6, t);
    p.s->applyConnectionValues();
    EXPECT_EQ(p.steps(), 4u);
    EXPECT_EQ(p.s->history().undoName(), "connection width");
    p.s->undo();
    EXPECT_EQ(p.everything(), ticked);

    for (int i = 0; i < 105; ++i) p.s->toggleFitIn();
    EXPECT_EQ(p.steps(), 100u);  // a hundred steps are kept (which go first, the history's test shows)
}

// The history alone: typing into one box folds, typed back to where it began is no step.
TEST(UndoHistory, FoldsTypingOfOneBoxOnly) {
    UndoHistory h(3);
    UndoState a, b, c;
    b.saved.text4 = "1";
    c.saved.text4 = "12";
    h.record("width", a, b, Fold::Typing);
    h.record("width", b, c, Fold::Typing);
    EXPECT_EQ(h.undoCount(), 1u);
    h.record("width", c, a, Fold::Typing);
    EXPECT_EQ(h.undoCount(), 0u);
    for (int i = 0; i < 5; ++i) h.record("step" + std::to_string(i), a, b);
    EXPECT_EQ(h.undoCount(), 3u);  // the depth: the oldest went first
    EXPECT_EQ(h.undoName(), "step4");
}

// Undo and redo in the shapes stage: each user step is recorded with its name, and a step's
// state comes back whole (the model, the preview and the saved files, byte for byte).
#include <gtest/gtest.h>

#include <sstream>

#include "shapes/report.h"
#include "shapes/session.h"
#include "shapes/spacing_dialog.h"
#include "support/temp_folder.h"
#include "support/tground.h"

using namespace shapes;
using namespace testsupport;

namespace {

const std::string kThreeLetters = tground("ABC", {{"A", 30, square(-5, 0, 20), {{"1", 5, 8, 5, 20}}},
                                                  {"B", 25, square(0, 0, 15), {}},
                                                  {"C", 20, square(0, 0, 10), {}}});

struct Program {
    TempFolder t;
    HeadlessUi ui;
    std::unique_ptr<Session> s;
    Program() {
        t.write("tground.dat", kThreeLetters);
        s = std::make_unique<Session>(t.path(), "stvt", ui);
        s->load();
        s->activate();
    }
    // the model, the preview and the saved files as bytes
    std::string everything() {
        std::ostringstream o;
        o << dumpJson(s->model()) << "|";
        for (const auto& k : s->picture().strokes) o << k.x1 << ',' << k.y1 << ',' << k.x2 << ',' << k.y2 << ',' << int(k.colour) << ';';
        for (const auto& c : s->picture().captions) o << c.text << ';';
        s->saveStateOnLeaving();
        o << "|" << t.read("stv2b.dat") << "|" << t.read("orgdim.dat");
        return o.str();
    }
    void shape(int n, const char* big, const char* small) {
        ui.typedText1 = big;
        ui.typedText2 = small;
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
};

// equal, or where they part (the whole is too long to print)
::testing::AssertionResult same(const std::string& a, const std::string& b) {
    if (a == b) return ::testing::AssertionSuccess();
    std::size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
    const std::size_t from = i < 120 ? 0 : i - 120;
    return ::testing::AssertionFailure() << "differ at " << i << ":\n" << a.substr(from, 240) << "\n---\n" << b.substr(from, 240);
}

}  // namespace

// The check: Arch, H 6 in, connection, two spacing steps; undo four times gives back
// what was there before the four steps, byte for byte; redo twice redoes two.
TEST(Undo, FourStepsBackAndTwoForward) {
    Program p;
    p.shape(9, "5", "4");
    const std::string afterArch = p.everything();
    p.shape(9, "6", "4");
    p.s->tickConnection();
    const std::string afterConnection = p.everything();
    p.distance(0, 10);
    p.distance(1, 20);
    ASSERT_EQ(p.s->history().undoCount(), 5u);
    EXPECT_EQ(p.s->history().undoName(), "distance after letter 2");
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(p.s->undo());
    EXPECT_EQ(p.s->history().undoName(), "shape Arch");
    EXPECT_TRUE(same(p.everything(), afterArch));
    EXPECT_TRUE(p.s->redo());
    EXPECT_TRUE(p.s->redo());
    EXPECT_EQ(p.s->history().redoName(), "distance after letter 1");
    EXPECT_TRUE(same(p.everything(), afterConnection));
    EXPECT_EQ(p.s->controls().Check2.value(), 1);
}

// Undo to the very start equals the program as it came up; a new step drops the redo steps.
TEST(Undo, BackToTheStartAndANewStepDropsRedo) {
    Program p;
    const std::string start = p.everything();
    p.shape(4, "6", "4");
    p.s->userSet(p.s->controls().Check3, 1);
    p.s->userSet(p.s->controls().Check1, 0);
    EXPECT_EQ(p.s->history().undoName(), "view shape");
    while (p.s->undo()) {
    }
    EXPECT_TRUE(same(p.everything(), start));
    EXPECT_EQ(p.s->history().redoCount(), 3u);
    p.s->tickConnection();
    EXPECT_FALSE(p.s->history().canRedo());
    EXPECT_EQ(p.s->history().undoName(), "contour connection");
}

// A knot slider dragged is one step, the knot's shift comes back with it, and a dialog cancelled or
// an action that changes nothing is no step.
TEST(Undo, DragIsOneStepAndNothingChangedIsNone) {
    Program p;
    p.shape(3, "6", "4");  // V-shaped top: a knot
    const std::string before = p.everything();
    for (int v = 10; v <= 100; v += 10) p.s->userSet(p.s->controls().HScroll1, v);
    EXPECT_EQ(p.s->history().undoCount(), 2u);
    EXPECT_EQ(p.s->history().undoName(), "knot");
    p.s->redrawPreview();
    p.s->fitAndRedraw();
    EXPECT_EQ(p.s->history().undoCount(), 2u);
    p.s->undo();
    EXPECT_TRUE(same(p.everything(), before));
    EXPECT_EQ(p.s->model().knotShift, 0);
}

// Typing into the connection width and leaving the box ("Apply") is one step.
TEST(Undo, TypingAndApplyAreOneStep) {
    Program p;
    p.s->tickConnection();
    const std::string before = p.everything();
    for (const char* t : {"0", "0.", "0.1"}) p.s->userSet(p.s->controls().Text6, t);
    p.s->applyConnectionValues();
    EXPECT_EQ(p.s->history().undoCount(), 2u);
    EXPECT_EQ(p.s->history().undoName(), "connection width");
    p.s->undo();
    EXPECT_TRUE(same(p.everything(), before));
}

// At least 100 steps; the oldest goes first.
TEST(Undo, KeepsAHundredSteps) {
    Program p;
    for (int i = 0; i < 105; ++i) p.s->toggleFitIn();
    EXPECT_EQ(p.s->history().undoCount(), kUndoDepth);
    int undone = 0;
    while (p.s->undo()) ++undone;
    EXPECT_EQ(undone, 100);
    EXPECT_EQ(p.s->controls().Check3.value(), 1);  // 5 toggles were dropped: ticked
}

// The history alone: the names, typing folded, the depth.
TEST(UndoHistory, FoldsTypingOfOneBoxOnly) {
    UndoHistory h(3);
    UndoState a, b, c;
    b.saved.text4 = "1";
    c.saved.text4 = "12";
    h.record("width", a, b, Fold::Typing);
    h.record("width", b, c, Fold::Typing);
    EXPECT_EQ(h.undoCount(), 1u);
    h.record("width", c, a, Fold::Typing);  // typed back to where it began: no step
    EXPECT_EQ(h.undoCount(), 0u);
    for (int i = 0; i < 5; ++i) h.record("step" + std::to_string(i), a, b);
    EXPECT_EQ(h.undoCount(), 3u);
    EXPECT_EQ(h.undoName(), "step4");
    EXPECT_EQ(h.undo(b).saved.text4, "0.08");
    EXPECT_EQ(h.redoName(), "step4");
}

// A pan keeps the view's size and moves the letters with the pointer; it is no step of undo.
TEST(Pan, MovesTheViewWithThePointer) {
    Program p;
    const engine::ViewWindow v = p.s->model().view;
    ViewZoom& z = p.s->zoom();
    z.panTo(100, 100);  // no pan started: nothing moves
    EXPECT_EQ(p.s->model().view.xmin, v.xmin);
    z.panStart(320, 240);
    z.panTo(384, 240);  // a tenth of the picture to the right
    z.panEnd();
    const engine::ViewWindow& w = p.s->model().view;
    EXPECT_NEAR(w.xmax - w.xmin, v.xmax - v.xmin, 1e-9);
    EXPECT_NEAR(w.ymax - w.ymin, v.ymax - v.ymin, 1e-9);
    EXPECT_NEAR(w.xmin, v.xmin - (v.xmax - v.xmin) / 10, 1e-9);  // the letters follow the pointer
    EXPECT_NEAR(w.ymin, v.ymin, 1e-9);
    z.panStart(0, 0);
    z.panTo(0, 48);  // down a tenth
    EXPECT_NEAR(p.s->model().view.ymin, v.ymin + (v.ymax - v.ymin) / 10, 1e-9);
    EXPECT_FALSE(p.s->history().canUndo());
}

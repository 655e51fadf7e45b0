// Undo and redo in the shapes stage: each user step is recorded with its name, and a step's
// state comes back whole (the model, the preview and the saved files, byte for byte).
#include <gtest/gtest.h>

#include <sstream>

#include "shapes/report.h"
#include "shapes/spacing_dialog.h"
#include "shapes/started.h"

using namespace shapes;
using namespace testsupport;

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
TEST(Undo, FourStepsBackTwoForwardAndANewStepDropsRedo) {
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
    EXPECT_EQ(p.c().Check2.value(), 1);
    while (p.s->undo()) {
    }
    EXPECT_EQ(p.everything(), start);
    EXPECT_EQ(p.s->history().redoCount(), 5u);
    p.s->userSet(p.c().Check1, 0);
    EXPECT_FALSE(p.s->history().canRedo());
    EXPECT_EQ(p.s->history().undoName(), "view shape");
}

// A knot slider dragged is one step, its shift comes back with it; typing into a box and
// leaving it ("Apply") is one step; what changes nothing (a redraw, a fit) is none; a hundred
// steps are kept.
TEST(Undo, DragsAndTypingAreOneStepNothingChangedIsNoneAndAHundredAreKept) {
    Program p;
    p.shape(3, "6", "4");  // V-shaped top: a knot
    const std::string before = p.everything();
    for (int v = 10; v <= 100; v += 10) p.s->userSet(p.c().HScroll1, v);
    EXPECT_EQ(p.steps(), 2u);
    EXPECT_EQ(p.s->history().undoName(), "knot");
    p.s->redrawPreview();
    p.s->fitAndRedraw();
    EXPECT_EQ(p.steps(), 2u);
    p.s->undo();
    EXPECT_EQ(p.everything(), before);
    EXPECT_EQ(p.m().knotShift, 0);

    p.s->tickConnection();
    const std::string ticked = p.everything();
    for (const char* t : {"0", "0.", "0.1"}) p.s->userSet(p.c().Text6, t);
    p.s->applyConnectionValues();
    EXPECT_EQ(p.steps(), 3u);
    EXPECT_EQ(p.s->history().undoName(), "connection width");
    p.s->undo();
    EXPECT_EQ(p.everything(), ticked);

    for (int i = 0; i < 105; ++i) p.s->toggleFitIn();  // a hundred steps are kept, the oldest goes first
    int undone = 0;
    while (p.s->undo()) ++undone;
    EXPECT_EQ(undone, 100);
    EXPECT_EQ(p.c().Check3.value(), 1);  // 5 toggles were dropped: ticked
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

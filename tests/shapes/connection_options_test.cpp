#include <gtest/gtest.h>

#include <array>

#include "shapes/session.h"
#include "support/temp_folder.h"
#include "support/tground.h"

using namespace shapes;
using namespace testsupport;

namespace {

// two squares; the text is scaled to h, so h = 2 inches gives a contour height of 2 inches
struct Program {
    TempFolder t;
    HeadlessUi ui;
    std::unique_ptr<Session> s;
    explicit Program(double hInches = 2) {
        t.write("tground.dat", tground("AB", {{"A", 30, square(0, 0, 20), {}}, {"B", 30, square(0, 0, 20), {}}}));
        s = std::make_unique<Session>(t.path(), "stvt", ui);
        s->model().smallHeight = hInches * 25.4;
        s->load();
        s->activate();
        s->model().smallHeight = hInches * 25.4;
        s->rebuild(kRebuildAll);
        ui.messages.clear();
    }
    std::string last() const { return ui.messages.empty() ? "" : ui.messages.back().text; }
};

}  // namespace

// Ticking the connection shows its group, forces one object, fills h x 0.04 and builds the bar;
// unticking clears the cut and hides the group.
TEST(ConnectionOptions, TickingShowsTheGroupAndBuildsTheBar) {
    Program p;
    Controls& c = p.s->controls();
    c.Check5.set(0);
    c.Check2.set(1);
    EXPECT_TRUE(c.Check4.visible && c.Frame9 && c.Text5.visible && c.Text6.visible && c.HScroll2.visible);
    EXPECT_FALSE(c.Picture4);
    EXPECT_EQ(c.Check5.value(), 1);
    EXPECT_EQ(c.Text6.value(), " .08");  // 2 inches x 0.04
    EXPECT_EQ(c.Text5.value(), " 0");
    EXPECT_FALSE(p.s->model().barLines.empty());
    c.Check4.set(1);
    c.Check2.set(0);
    EXPECT_EQ(c.Check4.value(), 0);
    EXPECT_FALSE(c.Check4.visible || c.Frame9);
    EXPECT_TRUE(c.Picture4);
    p.s->tickConnection();
    EXPECT_EQ(c.Check2.value(), 1);
}

// Width and distance at their limits and one step past, with the messages and the reset values.
TEST(ConnectionOptions, ApplyChecksTheRanges) {
    Program p;
    ASSERT_EQ(p.s->controls().Texth.value(), " 2");  // the contour height Hc the ranges follow
    Controls& c = p.s->controls();
    c.Text6.set(" .6");
    p.s->applyConnectionValues();
    EXPECT_TRUE(p.ui.messages.empty()) << p.last();
    EXPECT_EQ(c.Check2.value(), 1);
    c.Text6.set(" .61");
    p.s->applyConnectionValues();
    EXPECT_EQ(p.last(), "Please change. >Connection width<. Range 0.008 to  .6");
    EXPECT_EQ(c.Text6.value(), " 0.008");

    p.ui.messages.clear();
    c.Text5.set(" 0");
    p.s->applyConnectionValues();
    EXPECT_EQ(c.HScroll2.value(), 0);
    c.Text5.set(" .5");  // 25 steps of 0.02
    p.s->applyConnectionValues();
    EXPECT_EQ(c.HScroll2.value(), 25);
    c.Text5.set(" 2.42");  // the upper limit, 121 steps: the slider stays where it was
    p.s->applyConnectionValues();
    EXPECT_TRUE(p.ui.messages.empty()) << p.last();
    EXPECT_EQ(c.HScroll2.value(), 25);
    c.Text5.set(" 2.43");
    p.s->applyConnectionValues();
    EXPECT_EQ(p.last(), "Please change. >Distance to baseline<. Range -.42 to  2.42");
    EXPECT_EQ(c.Text5.value(), " 0");

    c.HScroll2.set(10);
    EXPECT_EQ(c.Text5.value(), " .2");
    p.s->putBarOnBaseline();
    EXPECT_EQ(c.Text5.value(), " 0");
    EXPECT_EQ(c.HScroll2.value(), 0);
}

// Cut is refused with removed space; leaving "one object" asks and turns the connection off.
TEST(ConnectionOptions, CutAndOneObjectRefusals) {
    Program p;
    Controls& c = p.s->controls();
    c.Check2.set(1);
    p.s->model().signDistanceB[3] = 0.5;
    c.Check4.set(1);
    EXPECT_EQ(p.last(), ">Remove empty space< activated -> Option >Cut< not avaible !");
    EXPECT_EQ(c.Check4.value(), 0);
    p.s->model().signDistanceB[3] = 0;
    c.Check4.set(1);
    EXPECT_EQ(c.Check4.value(), 1);

    p.ui.answerYes = false;
    c.Check5.set(0);
    EXPECT_EQ(p.ui.questions.back(), "Create as one object|Deactivate option >Contour connection< ?");
    EXPECT_EQ(c.Check5.value(), 1);
    EXPECT_EQ(c.Check2.value(), 1);
    p.ui.answerYes = true;
    c.Check5.set(0);
    EXPECT_EQ(c.Check2.value(), 0);
    EXPECT_TRUE(c.Picture4);
}

// Dialogs that cannot open say why; presetting re-applies the connection values.
TEST(ConnectionOptions, DialogOpenersAndTheirNotices) {
    Program p;  // no bridges, two letters
    p.s->openApertureDialog();
    EXPECT_EQ(p.last(), "No apertures !");
    EXPECT_EQ(p.ui.messages.back().title, "Exit");
    p.s->openSignDistanceDialog();
    p.s->openPresetting();
    EXPECT_EQ(p.ui.dialogsShown, (std::vector<DialogId>{DialogId::SignDistances, DialogId::Presetting}));
    p.s->model().bridges.push(engine::Bridge{});
    p.s->openApertureDialog();
    EXPECT_EQ(p.ui.dialogsShown.back(), DialogId::ApertureWidth);

    // presetting applies the connection values when the connection is on
    p.s->controls().Check2.set(1);
    p.s->controls().Text6.set(" 5");
    p.ui.messages.clear();
    p.s->openPresetting();
    EXPECT_EQ(p.s->controls().Text6.value(), " 0.008");

    Program one;
    one.s->model().groundText = "A";
    one.s->openSignDistanceDialog();
    EXPECT_EQ(one.last(), "Only one char !");
    EXPECT_TRUE(one.ui.dialogsShown.empty());
}

// "b" typed redraws; restored with the saved state it waits for the start-up's own drawing.
TEST(ConnectionOptions, ApertureTextRedrawsUnlessSettingsAreLoading) {
    Program p;
    const int before = p.ui.redraws;
    p.s->controls().Text4.set(" .05");
    EXPECT_EQ(p.ui.redraws, before + 1);
    SavedState saved = p.s->currentState();
    saved.text4 = " .06";
    writeStv2b(p.t.path(), saved);
    p.s->restoreSavedState();
    EXPECT_EQ(p.s->controls().Text4.value(), " .06");
    EXPECT_EQ(p.ui.redraws, before + 1);
    EXPECT_FALSE(p.s->flags().any());
}

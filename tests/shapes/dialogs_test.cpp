// The shapes stage's dialogs and their range rules: the gallery's height dialogs, the
// apertures, the presetting, and the connection's width and distance.
#include <gtest/gtest.h>

#include <cmath>

#include "shapes/dimension_dialog.h"
#include "shapes/preset_dialogs.h"
#include "shapes/started.h"

using namespace shapes;
using namespace testsupport;

namespace {

// Height dialogs answered by a script: per step the texts typed (empty: as pre-filled), then
// accept, or cancel; what the dialog showed is kept.
struct ScriptedUi : HeadlessUi {
    struct Step {
        std::string text1, text2 = {};
        bool accept = true;
    };
    std::vector<Step> steps;
    std::vector<std::string> seen, label4;  // "text1|text2" on opening; label4 after each accept
    using HeadlessUi::runDialog;
    void runDialog(DimensionDialog& d) override {
        d.activate();
        seen.push_back(d.text1 + "|" + d.text2);
        for (const Step& s : steps) {
            if (!s.accept) return d.cancel();
            if (!s.text1.empty()) d.text1 = s.text1;
            if (!s.text2.empty()) d.text2 = s.text2;
            const bool taken = d.accept();
            label4.push_back(d.label4);
            if (taken) return;
        }
        d.cancel();
    }
};

struct Gallery : Started<ScriptedUi> {
    using Started::Started;
    void click(int shape, std::vector<ScriptedUi::Step> steps) {
        ui().messages.clear();
        ui().steps = std::move(steps);
        s->chooseShape(shape);
    }
    // shape, H and h in inches to 6 decimals
    std::tuple<int, double, double> heights() {
        const auto in = [](double mm) { return std::round(mm / 25.4 * 1e6) / 1e6; };
        return {m().shapeNumber, in(m().bigHeight), in(m().smallHeight)};
    }
};

}  // namespace

// Each range rule at its edge: the refused input keeps the dialog open and the heights as
// they were; the accepted edges are taken. "Wide" text puts H(max) at its cap.
TEST(DimensionDialogs, RangeRulesAtTheirEdges) {
    const struct {
        int shape;
        const char *H, *h;
        const char* message;  // "title|text", "" when accepted
        Icon icon = Icon::Critical;
        bool wide = false;
    } cases[] = {
        {1, "39", "6.4", "Info|Maximum ratio H/h =6. Please change H or h !"},
        {1, "39", "6.5", "", Icon::None, true},
        {1, "4", "4", "Info|The height H must be greater than the height h. Please change !"},
        {2, "39", "38.99", "", Icon::None, true},
        {1, "40", "7", "Error|Height: 0.32 to 39. Please change !"},
        {3, "1", "0.16", "Error|Height: 0.32 to 39. Please change !"},
        {10, "1", "0.1", "Error|Height: 0.16 to 39. Please change !"},
        {10, "1", "0.16", "", Icon::None, true},
        {1, "abc", "2", "Error|Height: 0.32 to 39. Please change !"},
        {4, "39", "4", "Info|Please reduce the value H !", Icon::Information},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.shape) + " H " + c.H + " h " + c.h);
        Gallery g(squares("AB"));
        if (c.wide) g.c().Textv.set(" 400");
        g.click(c.shape, {{c.H, c.h}});
        EXPECT_EQ(g.last(), c.message);
        if (*c.message) {
            EXPECT_EQ(g.ui().messages.back().icon, c.icon);
            EXPECT_EQ(g.heights(), std::make_tuple(0, 4.0, 4.0));  // cancelled after the refusal
        } else {
            EXPECT_EQ(g.m().shapeNumber, c.shape);
        }
    }
}

TEST(DimensionDialogs, HMaxNoticeFollowsTheTextWidth) {
    Gallery g;
    // h from 4 to 2 inches halves the text's 9 inches: a = 9 / 4, H(max) = (2 + a) * 0.8 = 3.4
    g.click(9, {{"39", "2"}, {"3.4", "2"}});
    ASSERT_EQ(g.ui().label4.size(), 2u);
    EXPECT_EQ(g.ui().label4[0], "H(max)= 3.4");
    EXPECT_EQ(g.last(), "Info|Please reduce the value H !");
    EXPECT_EQ(g.heights(), std::make_tuple(9, 3.4, 2.0));  // H = H(max) itself is taken
    g.c().Textv.set(" 400");
    g.click(13, {{"39", "4"}});
    EXPECT_EQ(g.ui().label4.back(), "H(max)= 39");
    EXPECT_EQ(g.m().shapeNumber, 13);
}

// One letter: only the straight band, and no pair to space.
TEST(Gallery, OneCharacterAllowsOnlyTheStraightBandAndNoSpacing) {
    Gallery g(squares("A"));
    g.click(4, {{"5", "4"}});
    EXPECT_TRUE(g.ui().seen.empty());
    EXPECT_EQ(g.last(), "Exit|More character for this shape required. You need 2 signs.");
    g.click(0, {{"2"}});
    EXPECT_EQ(g.ui().seen.size(), 1u);
    EXPECT_EQ(g.m().smallHeight, 50.8);
    g.s->openSignDistanceDialog();
    EXPECT_EQ(g.last(), "Exit|Only one char !");
    EXPECT_TRUE(g.ui().dialogsShown.empty());
}

// A dialog offers the heights in force (a new shape with H = h: 5 and 4 inches); cancelled it
// changes nothing; another shape clears the sign distances and says so, shows the knot group
// for a knot shape; the one-height dialog leaves H alone; the connection's values reset only
// with a height.
TEST(Gallery, WhatADialogOffersAndWhatAShapeChangeResets) {
    Gallery g;
    g.m().signDistanceA[1] = 0.1;
    g.click(4, {{"", "", false}});  // cancel: the offered 5 / 4 inches are withdrawn
    EXPECT_EQ(g.ui().seen.back(), " 5| 4");
    EXPECT_TRUE(g.ui().messages.empty());
    EXPECT_EQ(std::make_tuple(g.m().signDistanceA[1], g.m().bigHeight), std::make_tuple(0.1, 101.6));
    g.click(8, {{"5", "4"}});
    EXPECT_EQ(g.ui().messages.back().text, "Delete existing sign distances /Menu: Sign distance d/ !");
    EXPECT_EQ(g.m().signDistanceA[1], 0);
    EXPECT_TRUE(g.c().Frame11 && g.c().HScroll1.visible);
    EXPECT_EQ(g.c().HScroll1.value(), 0);
    EXPECT_EQ(g.m().knots.size(), 1u);
    g.click(13, {{"5", "4"}});
    EXPECT_FALSE(g.c().Frame11 || g.c().HScroll1.visible);
    EXPECT_EQ(std::make_pair(g.m().shapeArcs.size(), g.m().shapeLines.size()), std::make_pair(std::size_t{1}, std::size_t{1}));
    g.click(1, {{"6.25", "2.5"}});
    EXPECT_EQ(g.heights(), std::make_tuple(1, 6.25, 2.5));
    g.click(1, {{"", "", false}});
    EXPECT_EQ(g.ui().seen.back(), " 6.25| 2.5");
    g.click(0, {{"", "", false}});  // shape 0 shows h in its one box
    EXPECT_EQ(g.ui().seen.back(), " 2.5|");
    g.click(0, {{"3"}});
    EXPECT_EQ(g.heights(), std::make_tuple(0, 6.25, 3.0));

    Gallery b(squares("AB"));
    b.c().Check2.set(1);
    b.c().Text5.set(" .5");
    b.c().Text6.set(" .2");
    b.click(1, {{"5", "4"}});  // the heights change from 4 / 4: reset
    EXPECT_EQ(std::make_tuple(b.c().Text6.value(), b.c().Text5.value()), std::make_tuple(" .16", " 0"));  // 4 in x 0.04
    ASSERT_EQ(b.m().barLines.size(), 4u);  // the bar follows the new baseline, 0.16 inches wide
    EXPECT_NEAR(b.m().barLines[0].y1 - b.m().barLines[1].y1, 0.16 * 25.4, 1e-9);
    b.c().Text5.set(" .5");
    b.click(2, {{"5", "4"}});  // only the shape changes: kept
    EXPECT_EQ(b.c().Text5.value(), " .5");
    b.click(0, {{"0.32"}});  // 0.32 x 0.04 = 0.0128
    EXPECT_EQ(b.c().Text6.value(), " .0128");
}

TEST(Gallery, ABarBeyondItsCapacityIsReportedAndEmptied) {
    Gallery g(testLetters("long.dat"));  // 250 letters
    g.c().Check2.set(1);
    g.c().Check4.set(1);
    g.c().Text6.set(" .16");
    g.click(4, {{"5", "4"}});  // every gap's pieces together need more than 641 elements
    EXPECT_EQ(g.ui().messages.back().text, "The connection bar needs more than 641 elements.");
    EXPECT_TRUE(g.m().barLines.empty() && g.m().barArcs.empty());
    EXPECT_EQ(g.m().shapeNumber, 4);
    g.s->startConvert();  // the later stage never gets a ticked connection without its bar
    EXPECT_EQ(g.ui().messages.back().text,
              "The connection bar is missing: change the connection or untick \"Contour connection\".");
    EXPECT_FALSE(g.s->terminated() || g.t.exists("workrl.dat"));
    g.c().Check4.set(0);  // an uncut bar fits: the conversion runs
    g.s->startConvert();
    EXPECT_TRUE(g.s->terminated() && g.t.exists("workrl.dat"));
}

// The apertures' width within the rounded limits; the presetting's radius range, its options
// and the presets it stores.
TEST(ApertureAndPresettingDialogs, RangesAtTheirRoundedLimitsAndTheStoredPresets) {
    Started b(squares("AB"));  // the limits as a resumed start brings them: 0.004 to 0.15750 inch
    writeStv2b(b.t.path(), SavedState{.apertureWidthMin = 0.1016, .apertureWidthMax = 4.0005});
    b.s->restoreSavedState();
    EXPECT_EQ(ApertureDialog(*b.s).label2, "b=  .004 to .1575");
    for (const auto& [typed, taken] : {std::pair{" .004", true}, {"0.1575", true}, {"0.12345", true},
                                       {"0.0039", false}, {"0.1576", false}, {"b", false}}) {
        ApertureDialog d(*b.s);
        d.text1 = typed;
        EXPECT_EQ(d.accept(), taken) << typed;
        EXPECT_EQ(d.closed(), taken) << typed;
        if (!taken) { EXPECT_EQ(b.last(), "Abort|Width of apertures b:  .004 inches to  .1575 inches !"); }
    }
    EXPECT_EQ(b.c().Text4.value(), " .1235");  // the last taken, rounded to 4 decimals

    b.s->presets().minArcLength = 0.05;  // neither option
    b.s->presets().maxArcRadius = 1999;  // out of range: the default 350 inches
    PresettingDialog d(*b.s);
    EXPECT_EQ(std::make_tuple(d.option, d.text1), std::make_tuple(0, std::string(" 350")));
    d.text1 = "390.0001";
    EXPECT_FALSE(d.apply());
    EXPECT_EQ(d.text1, "390");
    EXPECT_EQ(b.last(), "Please change..|>Maximum radius< outside of value range (79 to 390) ");
    EXPECT_TRUE(d.apply());  // 390 itself
    EXPECT_DOUBLE_EQ(b.s->presets().maxArcRadius, 390 * 25.4);
    EXPECT_EQ(b.s->presets().minArcLength, 0.05);  // kept: no option chosen
    EXPECT_EQ(wf::splitLines(b.t.read("th.dat"))[2], " 9906");
    b.s->presets().minArcLength = 0.05085;  // within 0.0001 of 0.002 inch
    PresettingDialog e(*b.s);
    EXPECT_EQ(std::make_tuple(e.option, e.text1), std::make_tuple(4, std::string(" 390")));
    e.option = 3;
    e.text1 = "79";
    EXPECT_TRUE(e.apply());
    EXPECT_DOUBLE_EQ(b.s->presets().minArcLength, 0.1016);
    EXPECT_DOUBLE_EQ(b.s->presets().maxArcRadius, 79 * 25.4);
}

// Ticking the connection shows its group, forces one object, fills h x 0.04 and builds the
// bar; unticking clears "Cut". Width and distance at their limits and one step past; then what
// is refused and what is said.
TEST(ConnectionOptions, TickingRangesRefusalsAndNotices) {
    Started p(squares("AB"));
    p.m().smallHeight = 2 * 25.4;  // the contour height Hc the ranges follow: 2 inches
    p.s->rebuild(kRebuildAll);
    Controls& c = p.c();
    ASSERT_EQ(c.Texth.value(), " 2");
    c.Check5.set(0);
    c.Check2.set(1);
    EXPECT_TRUE(c.Check4.visible && c.Frame9 && c.Text5.visible && c.Text6.visible && c.HScroll2.visible);
    EXPECT_EQ(std::make_tuple(c.Check5.value(), c.Text6.value(), c.Text5.value()), std::make_tuple(1, std::string(" .08"), std::string(" 0")));
    EXPECT_FALSE(p.m().barLines.empty());
    c.Check4.set(1);
    c.Check2.set(0);
    EXPECT_EQ(c.Check4.value(), 0);
    EXPECT_TRUE(!c.Check4.visible && !c.Frame9 && c.Picture4);
    p.s->tickConnection();
    // the box, what is typed, what is said ("" when taken), the box and the slider HScroll2 afterwards
    const std::tuple<Control<std::string>*, const char*, const char*, const char*, int> cases[] = {
        {&c.Text6, " .6", "", " .6", 0},
        {&c.Text6, " .61", "Please change. >Connection width<. Range 0.008 to  .6", " 0.008", 0},
        {&c.Text5, " .5", "", " .5", 25},  // 25 steps of 0.02
        {&c.Text5, " 2.42", "", " 2.42", 25},  // the upper limit, 121 steps: the slider stays
        {&c.Text5, " 2.43", "Please change. >Distance to baseline<. Range -.42 to  2.42", " 0", 0},
    };
    for (const auto& [box, typed, message, after, slider] : cases) {
        SCOPED_TRACE(typed);
        p.ui().messages.clear();
        box->set(typed);
        p.s->applyConnectionValues();
        EXPECT_EQ(p.ui().messages.empty() ? "" : p.ui().messages.back().text, std::string(message));
        EXPECT_EQ(box->value(), after);
        EXPECT_EQ(c.HScroll2.value(), slider);
        EXPECT_EQ(c.Check2.value(), 1);
    }
    c.HScroll2.set(10);
    EXPECT_EQ(c.Text5.value(), " .2");
    p.s->putBarOnBaseline();
    EXPECT_EQ(std::make_tuple(c.Text5.value(), c.HScroll2.value()), std::make_tuple(std::string(" 0"), 0));

    // "Cut" is refused with removed space; presetting applies the connection values again;
    // leaving "one object" asks and turns the connection off; dialogs that cannot open say why
    p.m().signDistanceB[3] = 0.5;
    c.Check4.set(1);
    EXPECT_EQ(p.ui().messages.back().text, ">Remove empty space< activated -> Option >Cut< not avaible !");
    EXPECT_EQ(c.Check4.value(), 0);
    p.m().signDistanceB[3] = 0;
    c.Check4.set(1);
    EXPECT_EQ(c.Check4.value(), 1);
    c.Text6.set(" 5");
    p.s->openPresetting();
    EXPECT_EQ(c.Text6.value(), " 0.008");
    p.ui().answerYes = false;
    c.Check5.set(0);
    EXPECT_EQ(p.ui().questions.back(), "Create as one object|Deactivate option >Contour connection< ?");
    EXPECT_EQ(std::make_tuple(c.Check5.value(), c.Check2.value()), std::make_tuple(1, 1));
    p.ui().answerYes = true;
    c.Check5.set(0);
    EXPECT_EQ(c.Check2.value(), 0);
    p.s->openApertureDialog();
    EXPECT_EQ(p.last(), "Exit|No apertures !");
    p.s->openSignDistanceDialog();
    EXPECT_EQ(p.ui().dialogsShown, (std::vector<DialogId>{DialogId::Presetting, DialogId::SignDistances}));
}

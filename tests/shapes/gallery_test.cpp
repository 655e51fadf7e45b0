#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <tuple>

#include "engine/contours.h"
#include "engine/shape.h"
#include "shapes/dimension_dialog.h"
#include "shapes/session.h"
#include "workfile/workfile_io.h"
#include "support/temp_folder.h"
#include "support/tground.h"

using namespace shapes;
using namespace testsupport;

namespace {

const std::string kTwoLetters =
    tground("AB", {{"A", 30, square(-5, 0, 20), {{"1", 5, 8, 5, 20}}}, {"B", 5, square(0, 0, 10), {}}});
const std::string kOneLetter = tground("A", {{"A", 30, square(0, 0, 20), {}}});

// A started program whose dialogs are answered by a script: each entry is the texts typed
// (empty: as pre-filled) and whether to press accept or cancel.
struct ScriptedUi : HeadlessUi {
    struct Step {
        std::string text1, text2 = {};
        bool accept = true;
    };
    std::vector<Step> steps;
    std::vector<std::string> seenText1, seenText2, seenLabel4;
    int opened = 0;
    using HeadlessUi::runDialog;
    void runDialog(DimensionDialog& d) override {
        ++opened;
        d.activate();
        seenText1.push_back(d.text1);
        seenText2.push_back(d.text2);
        for (const Step& s : steps) {
            if (!s.accept) return d.cancel();
            if (!s.text1.empty()) d.text1 = s.text1;
            if (!s.text2.empty()) d.text2 = s.text2;
            const bool taken = d.accept();
            seenLabel4.push_back(d.label4);
            if (taken) return;
        }
        d.cancel();
    }
};

struct Program {
    TempFolder t;
    ScriptedUi ui;
    std::unique_ptr<Session> s;
    explicit Program(const std::string& ground = kTwoLetters) {
        t.write("tground.dat", ground);
        s = std::make_unique<Session>(t.path(), "stvt", ui);
        s->load();
        s->activate();
        ui.messages.clear();
    }
    // one click on picture i, the dialog answered by the given steps
    void click(int shape, std::vector<ScriptedUi::Step> steps) {
        ui.steps = std::move(steps);
        s->chooseShape(shape);
    }
    std::string lastMessage() const { return ui.messages.empty() ? "" : ui.messages.back().text; }
    // shape, H and h in inches to 6 decimals
    std::tuple<int, double, double> heights() const {
        const auto in = [](double mm) { return std::round(mm / 25.4 * 1e6) / 1e6; };
        return {s->model().shapeNumber, in(s->model().bigHeight), in(s->model().smallHeight)};
    }
};

}  // namespace

// The dialog table agrees with the shapes that have a knot; no form outside 0..19.
TEST(DimensionDialogs, FormTableMatchesTheShapes) {
    for (int i = 0; i < kShapeCount; ++i) EXPECT_EQ(dialogForm(i).knot, engine::shapeHasKnot(i)) << i;
    EXPECT_THROW(dialogForm(20), std::out_of_range);
    EXPECT_THROW(dialogForm(-1), std::out_of_range);
}

TEST(DimensionDialogs, StartingValuesAndPreFilledTexts) {
    Program p;  // a fresh start: H = h = 4 inches
    p.click(4, {{"", "", false}});
    EXPECT_EQ(p.ui.seenText1.back(), " 5");  // a new shape with H = h offers 5 and 4 inches
    EXPECT_EQ(p.ui.seenText2.back(), " 4");
    p.click(1, {{"6.25", "2.5"}});
    EXPECT_EQ(p.heights(), std::make_tuple(1, 6.25, 2.5));
    p.click(1, {{"", "", false}});  // reopening shows the current values
    EXPECT_EQ(p.ui.seenText1.back(), " 6.25");
    EXPECT_EQ(p.ui.seenText2.back(), " 2.5");
    p.click(0, {{"", "", false}});  // shape 0 shows h in its one box
    EXPECT_EQ(p.ui.seenText1.back(), " 2.5");
    p.click(0, {{"3"}});
    EXPECT_EQ(p.heights(), std::make_tuple(0, 6.25, 3.0));  // the one-height dialog leaves H alone
}

TEST(DimensionDialogs, RefusedInputKeepsTheDialogOpenAndTheHeights) {
    struct Case {
        int shape;
        std::string H, h;
        std::string message = {}, title = {};
        Icon icon = Icon::None;
    };
    const Case cases[] = {
        {1, "39", "6.4", "Maximum ratio H/h =6. Please change H or h !", "Info", Icon::Critical},
        {1, "4", "4", "The height H must be greater than the height h. Please change !", "Info", Icon::Critical},
        {1, "40", "7", "Height: 0.32 to 39. Please change !", "Error", Icon::Critical},
        {3, "1", "0.16", "Height: 0.32 to 39. Please change !", "Error", Icon::Critical},
        {10, "1", "0.1", "Height: 0.16 to 39. Please change !", "Error", Icon::Critical},
        {1, "abc", "2", "Height: 0.32 to 39. Please change !", "Error", Icon::Critical},
        {4, "39", "4", "Please reduce the value H !", "Info", Icon::Information},
    };
    for (const Case& c : cases) {
        Program p;
        p.click(c.shape, {{c.H, c.h}});
        ASSERT_FALSE(p.ui.messages.empty()) << c.shape << " " << c.H << "/" << c.h;
        EXPECT_EQ(p.ui.messages[0].text, c.message);
        EXPECT_EQ(p.ui.messages[0].title, c.title);
        EXPECT_EQ(p.ui.messages[0].icon, c.icon);
        EXPECT_EQ(p.heights(), std::make_tuple(0, 4.0, 4.0));  // cancelled after the refusal
    }
    // the accepted edges
    for (const Case& c : {Case{1, "39", "6.5"}, Case{10, "1", "0.16"}, Case{2, "39", "38.99"}}) {
        Program p(tground("AB", {{"A", 30, square(0, 0, 20), {}}, {"B", 30, square(0, 0, 20), {}}}));
        p.s->controls().Textv.set(" 400");  // wide text: H(max) is at its cap
        p.click(c.shape, {{c.H, c.h}});
        EXPECT_TRUE(p.ui.messages.empty()) << c.shape << " " << p.lastMessage();
        EXPECT_EQ(p.s->model().shapeNumber, c.shape);
    }
}

TEST(DimensionDialogs, HMaxNoticeFollowsTheTextWidth) {
    Program p;
    const double width = wf::parseNumber(p.s->controls().Textv.value());
    // h from 4 to 2 inches halves the width: a = width / 4, H(max) = (2 + a) * 0.8
    const double hmax = engine::roundTo((2 + engine::roundTo(width * 0.5 * 0.5, 3)) * 0.8, 3);
    ASSERT_LT(hmax, 39);
    p.click(9, {{"39", "2"}, {wf::formatNumber(hmax), "2"}});
    ASSERT_EQ(p.ui.seenLabel4.size(), 2u);
    EXPECT_EQ(p.ui.seenLabel4[0], "H(max)=" + wf::formatNumber(hmax));
    EXPECT_EQ(p.lastMessage(), "Please reduce the value H !");
    EXPECT_EQ(p.heights(), std::make_tuple(9, hmax, 2.0));  // H = H(max) itself is taken

    Program wide;
    wide.s->controls().Textv.set(" 400");
    wide.click(13, {{"39", "4"}});
    EXPECT_EQ(wide.ui.seenLabel4.back(), "H(max)= 39");
    EXPECT_EQ(wide.s->model().shapeNumber, 13);
}

TEST(Gallery, OneCharacterAllowsOnlyTheStraightBand) {
    Program p(kOneLetter);
    p.click(4, {{"5", "4"}});
    EXPECT_EQ(p.ui.opened, 0);
    EXPECT_EQ(p.lastMessage(), "More character for this shape required. You need 2 signs.");
    EXPECT_EQ(p.ui.messages.back().title, "Exit");
    p.click(0, {{"2"}});
    EXPECT_EQ(p.ui.opened, 1);
    EXPECT_EQ(p.s->model().smallHeight, 50.8);
}

TEST(Gallery, SignDistancesClearedOnlyWhenSomethingChanged) {
    Program p;
    p.s->model().signDistanceA[1] = 0.1;
    p.click(4, {{"", "", false}});  // cancel: the offered 5 / 4 inches are withdrawn
    EXPECT_TRUE(p.ui.messages.empty());
    EXPECT_EQ(p.s->model().signDistanceA[1], 0.1);
    EXPECT_EQ(p.s->model().bigHeight, 101.6);

    p.click(8, {{"5", "4"}});
    EXPECT_EQ(p.lastMessage(), "Delete existing sign distances /Menu: Sign distance d/ !");
    EXPECT_EQ(p.s->model().signDistanceA[1], 0);
    EXPECT_EQ(p.s->model().shapeNumber, 8);
    // a knot shape shows the knot group with the slider at the middle
    EXPECT_TRUE(p.s->controls().Frame11);
    EXPECT_TRUE(p.s->controls().HScroll1.visible);
    EXPECT_EQ(p.s->controls().HScroll1.value(), 0);
    EXPECT_EQ(p.s->model().knots.size(), 1u);

    p.click(13, {{"5", "4"}});
    EXPECT_FALSE(p.s->controls().Frame11);
    EXPECT_FALSE(p.s->controls().HScroll1.visible);
    EXPECT_EQ(p.s->model().shapeArcs.size(), 1u);
    EXPECT_EQ(p.s->model().shapeLines.size(), 1u);
}

TEST(Gallery, ConnectionValuesResetOnlyWhenAHeightChanges) {
    Program p;
    p.s->controls().Check2.set(1);
    p.s->controls().Text5.set(" .5");
    p.s->controls().Text6.set(" .2");
    p.click(1, {{"5", "4"}});  // heights change from 4 / 4: reset
    EXPECT_EQ(p.s->controls().Text6.value(), " .16");  // 4 inches x 0.04
    EXPECT_EQ(p.s->controls().Text5.value(), " 0");
    ASSERT_EQ(p.s->model().barLines.size(), 4u);  // the bar follows the new baseline, 0.16 inches wide
    EXPECT_NEAR(p.s->model().barLines[0].y1 - p.s->model().barLines[1].y1, 0.16 * 25.4, 1e-9);
    p.s->controls().Text5.set(" .5");
    p.click(2, {{"5", "4"}});  // only the shape changes: kept
    EXPECT_EQ(p.s->model().shapeNumber, 2);
    EXPECT_EQ(p.s->controls().Text5.value(), " .5");
    p.click(2, {{"5", "0.05"}});  // refused, then cancelled
    p.click(0, {{"0.05"}});
    EXPECT_EQ(p.s->controls().Text5.value(), " .5");
    p.click(0, {{"0.32"}});  // 0.32 x 0.04 = 0.0128
    EXPECT_EQ(p.s->controls().Text6.value(), " .0128");
}

TEST(Gallery, ABarBeyondItsCapacityIsReportedAndEmptied) {
    std::ifstream in(std::filesystem::path(LK_TEST_DATA) / "long.dat", std::ios::binary);  // 250 letters
    Program p(std::string(std::istreambuf_iterator<char>(in), {}));
    p.s->controls().Check2.set(1);
    p.s->controls().Check4.set(1);
    p.s->controls().Text6.set(" .16");
    p.click(4, {{"5", "4"}});  // every gap's pieces together need more than 641 elements
    EXPECT_EQ(p.lastMessage(), "The connection bar needs more than 641 elements.");
    EXPECT_TRUE(p.s->model().barLines.empty());
    EXPECT_TRUE(p.s->model().barArcs.empty());
    EXPECT_EQ(p.s->model().shapeNumber, 4);
    // the later stage never gets a ticked connection without its bar
    p.s->startConvert();
    EXPECT_EQ(p.lastMessage(), "The connection bar is missing: change the connection or untick \"Contour connection\".");
    EXPECT_FALSE(p.s->terminated());
    EXPECT_FALSE(p.t.exists("workrl.dat"));
    EXPECT_TRUE(p.ui.started.empty());
    p.s->controls().Check4.set(0);  // an uncut bar fits: the conversion runs
    p.s->startConvert();
    EXPECT_TRUE(p.s->terminated());
    EXPECT_TRUE(p.t.exists("workrl.dat"));
}

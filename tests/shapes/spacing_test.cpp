// The sign distances: the dialog's rows, slider, box and buttons, and "Remove empty space"
// closing the gaps between the letters.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/contours.h"
#include "shapes/spacing_dialog.h"
#include "shapes/spacing_scan.h"
#include "shapes/started.h"

using namespace shapes;
using namespace testsupport;

namespace {

int scanFiles(const fs::path& work) {
    int n = 0;
    for (const auto& e : fs::directory_iterator(work)) n += e.path().extension() == ".tmp";
    return n;
}

struct Spacing : Started<WatchingUi> {
    std::unique_ptr<SpacingDialog> d;
    explicit Spacing(const std::string& ground) : Started(ground) {
        ui().s = s.get();
        d = std::make_unique<SpacingDialog>(*s);
        d->load();
        d->activate();
        ui().messages.clear();
    }
};

}  // namespace

TEST(SpacingDialog, RowsSliderAndButtons) {
    Spacing p(tground("A B", {{"A", 30, square(0, 0, 20), {}}, {" ", 30, {}, {}}, {"B", 30, square(0, 0, 20), {}}}));
    SpacingDialog& d = *p.d;
    ASSERT_EQ(d.rows, (std::vector<std::string>{"A <> _    0", "_ <> B    0"}));
    EXPECT_EQ(d.selectedRow, 0);
    p.c().Check2.set(1);
    const engine::ViewWindow view = p.m().view;
    const double before = engine::contourExtents(p.m()).xmax;
    d.scroll(20);
    EXPECT_EQ(d.Text2.value(), "20");
    EXPECT_DOUBLE_EQ(p.m().signDistanceA[1], 0.1);
    EXPECT_EQ(d.rows[0], "A <> _    .1");
    EXPECT_EQ(p.c().Check2.value(), 0);
    EXPECT_NEAR(engine::contourExtents(p.m()).xmax - before, 2.54, 1e-9);  // the letters after the pair: 0.1 inch
    EXPECT_EQ(std::make_tuple(p.m().view.xmin, p.m().view.xmax), std::make_tuple(view.xmin, view.xmax));  // not refitted
    d.selectPair(1);
    EXPECT_EQ(std::make_pair(d.HScroll2.value(), d.Text2.value()), std::make_pair(0, std::string("0")));
    d.selectPair(0);
    EXPECT_EQ(std::make_pair(d.HScroll2.value(), d.Text2.value()), std::make_pair(20, std::string("0.1")));
    d.zeroDistance();
    EXPECT_EQ(p.m().signDistanceA[1], 0);

    // one distance for all: the number in the box in inches; beyond the slider's reach the
    // slider stops at its end and the distance stays; within it, it goes to the nearest step
    d.Text2.set("20");
    d.distanceForAll();
    EXPECT_EQ(std::make_tuple(p.m().signDistanceA[1], p.m().signDistanceA[2], d.rows[1]),
              std::make_tuple(20.0, 20.0, std::string("_ <> B    20")));
    d.selectPair(1);
    EXPECT_EQ(std::make_tuple(d.HScroll2.value(), p.m().signDistanceA[2], d.Text2.value()),
              std::make_tuple(kSpacingScrollMax, 20.0, std::string("20")));
    d.Text2.set("-0.0126");
    d.distanceForAll();
    d.selectPair(0);
    EXPECT_EQ(d.HScroll2.value(), -3);  // -2.52 steps
    EXPECT_DOUBLE_EQ(p.m().signDistanceA[1], -0.015);

    // Enter in the box gives the selected pair the typed distance as the slider would: to its
    // step and within its reach; the box then shows what the pair has, the row as well
    d.selectPair(1);
    for (const auto& [typed, applied] : std::vector<std::pair<std::string, double>>{
             {"0.1", 0.1}, {"0.1", 0.1}, {"-0.0126", -0.015}, {"99", 5}, {"junk", 0}}) {
        d.Text2.assign(typed);
        d.enterDistance();
        EXPECT_DOUBLE_EQ(p.m().signDistanceA[2], applied) << typed;
        EXPECT_EQ(d.Text2.value(), textBoxNumber(applied)) << typed;
        EXPECT_EQ(d.rows[1], spacingRow(" ", "B", applied)) << typed;
        EXPECT_EQ(p.m().signDistanceA[1], -0.015);
    }

    // reopened with the second row remembered: the slider shows that row's own distance
    p.m().signDistanceA[1] = 0.05;
    p.m().signDistanceA[2] = -0.25;
    p.s->rememberPair(1);
    SpacingDialog again(*p.s);
    again.activate();
    EXPECT_EQ(std::make_tuple(again.selectedRow, again.HScroll2.value(), again.Text2.value()),
              std::make_tuple(1, -50, std::string("-0.25")));
    EXPECT_EQ(p.m().signDistanceA[1], 0.05);

    p.ui().answerYes = false;
    d.reset();
    EXPECT_EQ(p.ui().questions.back(), "LETTERKERF|Clear all distances ?");
    EXPECT_EQ(p.m().signDistanceA[2], -0.25);
    p.ui().answerYes = true;
    d.reset();
    EXPECT_FALSE(anySignDistance(p.m()));
    EXPECT_EQ(std::make_tuple(d.Text2.value(), d.rows[0]), std::make_tuple(std::string("0"), std::string("A <> _    0")));
    d.close();
    EXPECT_TRUE(d.closed());
    EXPECT_EQ(p.s->rememberedPair(), 0);
}

namespace {
// a rectangle as the earlier stage writes it: line records, closing entry, extra entry
std::vector<Pt> rect(double x, double y, double w, double h) {
    const double X = x + w, Y = y + h;
    return {{x, y, "1"}, {X, y, "0"}, {X, y, "1"}, {X, Y, "0"}, {X, Y, "1"}, {x, Y, "0"}, {x, y, "6"}, {x, y, "0"}};
}
std::vector<Pt> operator+(std::vector<Pt> a, const std::vector<Pt>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
}  // namespace

// T, o, p: the o slides under the bar, the p is held back by the bar's end; each letter is
// announced before it is examined, the scan files of the letters before stay meanwhile and
// are gone afterwards. Letters that never face each other on one line keep their distance.
TEST(EmptySpace, HandMadeLettersCloseUp) {
    Started t(tground("Top", {{"T", 45, rect(10, 0, 10, 20) + rect(0, 20, 35, 10), {}},
                              {"o", 20, rect(0, 0, 15, 15), {}},
                              {"p", 15, rect(0, 0, 10, 25), {}}}));
    engine::Model& m = t.m();
    const engine::Box box = engine::contourExtents(m);
    const double f = (box.ymax - box.ymin) / 30;  // the text is scaled to h
    const fs::path work = t.t.path() / "workfiles";
    std::vector<std::pair<int, int>> announced;
    const SpacingScan::Result r = SpacingScan(work).closeGaps(m, [&](int k, int n) {
        announced.emplace_back(k, n);
        EXPECT_EQ(scanFiles(work), k - 1);
    });
    ASSERT_TRUE(r.written);
    EXPECT_NEAR(r.distances[1], -25 * f - kOverlap, 1e-9);
    EXPECT_NEAR(r.distances[2], -5 * f, 1e-9);
    EXPECT_EQ(r.distances[3], 0);
    EXPECT_EQ(announced, (std::vector<std::pair<int, int>>{{1, 3}, {2, 3}, {3, 3}}));
    EXPECT_EQ(scanFiles(work), 0);
    EXPECT_EQ(m.signDistanceB[1], 0);  // the model is only read

    Started apart(tground("AB", {{"A", 30, square(0, 0, 10), {}}, {"B", 30, square(0, 20, 10), {}}}));
    EXPECT_EQ(SpacingScan(work).closeGaps(apart.m(), {}).distances[1], 0);
}

// Through the dialog on real letters: asked first when distances are set, the connection
// unticked, the windows held while it runs, the progress shown per letter, done once until
// "Reset"; a scan file that cannot be written or is spoiled abandons the removal whole; with
// "Fit in" the letters are examined on the plain shape and the chosen one stays.
TEST(EmptySpace, ThroughTheDialogQuestionsFaultsAndFitIn) {
    const std::string letters = testLetters("avatar.dat");
    {
        Spacing p(letters);
        const int n = p.m().letterCount;
        p.d->scroll(20);
        p.ui().answerYes = false;
        p.d->removeEmptySpace();
        EXPECT_EQ(p.ui().questions.back(), "LETTERKERF|Delete existing sign distances ! Continue ?");
        EXPECT_EQ(std::make_tuple(p.m().signDistanceA[1], p.m().signDistanceB[1]), std::make_tuple(0.1, 0.0));
        p.ui().answerYes = true;
        p.c().Check2.set(1);
        p.d->removeEmptySpace();
        EXPECT_TRUE(p.ui().messages.empty());
        EXPECT_EQ(std::make_tuple(p.c().Check2.value(), p.m().signDistanceA[1], p.d->rows[0]),
                  std::make_tuple(0, 0.0, std::string("A <> V    0")));
        EXPECT_EQ(p.ui().enabled, (std::vector<bool>{false, true}));
        EXPECT_EQ(scanFiles(p.t.path() / "workfiles"), 0);
        EXPECT_FALSE(p.c().Label2.visible);
        EXPECT_EQ(p.ui().labels.back(),
                  "Please wait.... !  Examine contour >" + std::to_string(n) + " from " + std::to_string(n) + " <");
        const auto removed = p.m().signDistanceB;
        EXPECT_LT(removed[1], 0);
        p.c().Check2.set(1);  // done once: a second press changes nothing until Reset
        p.d->removeEmptySpace();
        EXPECT_EQ(p.m().signDistanceB, removed);
        EXPECT_EQ(p.c().Check2.value(), 1);
        p.d->reset();
        p.d->removeEmptySpace();
        EXPECT_EQ(p.m().signDistanceB, removed);
    }
    for (const bool spoiled : {false, true}) {
        SCOPED_TRACE(spoiled ? "spoiled" : "unwritable");
        Spacing p(letters);
        if (spoiled) {
            p.ui().atEvents = [&] {
                if (p.t.exists("kon5.tmp")) p.t.write("kon1.tmp", " 1\r\n");
            };
        } else {
            fs::create_directories(p.t.work("kon3.tmp") / "inside");
        }
        p.d->removeEmptySpace();
        EXPECT_EQ(p.last(), spoiled ? "Exit|Error !" : "Error|File access error !");
        EXPECT_EQ(p.ui().messages.size(), 1u);
        EXPECT_FALSE(anySignDistance(p.m()));
        EXPECT_EQ(p.ui().enabled, (std::vector<bool>{false, true}));
        EXPECT_FALSE(p.c().Label2.visible);
        EXPECT_FALSE(p.t.exists("kon1.tmp") || p.t.exists("kon2.tmp"));
    }
    Spacing p(letters);
    p.c().Check3.set(1);
    p.m().shapeNumber = 4;
    p.m().bigHeight = 2 * p.m().smallHeight;
    p.d->removeEmptySpace();
    EXPECT_TRUE(p.ui().messages.empty());
    EXPECT_EQ(p.m().shapeNumber, 4);
    EXPECT_LT(p.m().signDistanceB[1], 0);
    EXPECT_FALSE(p.m().shapeArcs.empty());  // rebuilt with the chosen shape
}

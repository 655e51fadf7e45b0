#include "shapes/spacing_scan.h"

#include <gtest/gtest.h>

#include "engine/contours.h"
#include "preview/scale.h"
#include "workfile/workfile_io.h"
#include "support/temp_folder.h"
#include "support/tground.h"

using namespace shapes;
using namespace testsupport;

namespace {

// letters as the start-up loads them (scaled to h, unbent), with a work folder for the scan
struct Letters {
    TempFolder t;
    engine::Model m;
    explicit Letters(const std::string& ground) {
        t.write("tground.dat", ground);
        engine::readGroundContours(m, t.work("tground.dat"), false);
        preview::scaleToHeight(m);
    }
    SpacingScan scan() const { return SpacingScan(t.path() / "workfiles"); }
    int scanFiles() const {
        int n = 0;
        for (const auto& e : std::filesystem::directory_iterator(t.path() / "workfiles"))
            n += e.path().extension() == ".tmp";
        return n;
    }
};

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

// The scan file of one square: a row per line, the crossings at its two sides, then zeros; a
// letter without outline writes none; no line above the top however the steps add up.
TEST(SpacingScan, ScanFileOfOneLetter) {
    Letters l(tground("AB", {{"A", 30, square(0, 0, 20), {}}, {"B", 30, {}, {}}}));
    const engine::Box b = engine::contourExtents(l.m);
    const double step = (b.ymax - b.ymin) / 300;
    std::int16_t status = -1, error = -1;
    examineLetter(l.m, 1, status, b.xmin - 1, b.ymin, b.xmax + 1, b.ymax, step, l.t.work("kon1.tmp"), error);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(error, 0);
    const auto lines = wf::splitLines(l.t.read("kon1.tmp"));
    ASSERT_GE(lines.size(), 903u);
    EXPECT_EQ(lines.size() % 3, 0u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 6),
              (std::vector<std::string>{" 1", " 0", wf::formatNumber(b.xmax), " 1", " 0", wf::formatNumber(b.xmax)}));
    EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()), (std::vector<std::string>(3, " 0")));
    EXPECT_NE(l.t.read("kon1.tmp").find("\r\n"), std::string::npos);
    examineLetter(l.m, 2, status, b.xmin - 1, b.ymin, b.xmax + 1, b.ymax, step, l.t.work("kon2.tmp"), error);
    EXPECT_EQ(status, 2);
    EXPECT_FALSE(l.t.exists("kon2.tmp"));
    examineLetter(l.m, 1, status, b.xmin - 1, 5, b.xmax + 1, 5, 0, l.t.work("kon1.tmp"), error);
    EXPECT_EQ(wf::splitLines(l.t.read("kon1.tmp")).size(), 3u * 301 + 3);
}

// T, o, p: the o slides under the bar, the p is held back by the bar's end; each letter is
// announced before it is examined, and its scan file is gone afterwards. Letters that never
// face each other on one line keep their distance.
TEST(SpacingScan, HandMadeLettersCloseUp) {
    Letters l(tground("Top", {{"T", 45, rect(10, 0, 10, 20) + rect(0, 20, 35, 10), {}},
                              {"o", 20, rect(0, 0, 15, 15), {}},
                              {"p", 15, rect(0, 0, 10, 25), {}}}));
    const engine::Box box = engine::contourExtents(l.m);
    const double f = (box.ymax - box.ymin) / 30;  // the text is scaled to h
    std::vector<std::pair<int, int>> announced;
    const SpacingScan::Result r = l.scan().closeGaps(l.m, [&](int k, int n) {
        announced.emplace_back(k, n);
        EXPECT_EQ(l.scanFiles(), k - 1);  // the files of the letters before stay meanwhile
    });
    ASSERT_TRUE(r.written);
    EXPECT_NEAR(r.distances[1], -25 * f - kOverlap, 1e-9);
    EXPECT_NEAR(r.distances[2], -5 * f, 1e-9);
    EXPECT_EQ(r.distances[3], 0);
    EXPECT_EQ(announced, (std::vector<std::pair<int, int>>{{1, 3}, {2, 3}, {3, 3}}));
    EXPECT_EQ(l.scanFiles(), 0);
    EXPECT_EQ(l.m.signDistanceB[1], 0);  // the model is only read

    Letters apart(tground("AB", {{"A", 30, square(0, 0, 10), {}}, {"B", 30, square(0, 20, 10), {}}}));
    EXPECT_EQ(apart.scan().closeGaps(apart.m, {}).distances[1], 0);
    EXPECT_EQ(apart.scanFiles(), 0);
}

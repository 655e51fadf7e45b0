#include "connection/bar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "engine/contours.h"
#include "engine/shape.h"
#include "preview/scale.h"
#include "support/temp_folder.h"
#include "support/tground.h"

using namespace connection;
using namespace engine;
using namespace testsupport;

namespace {

Model shaped(const std::string& groundText, int shape, double H = 127) {
    TempFolder t;
    t.write("tground.dat", groundText);
    Model m;
    readGroundContours(m, t.work("tground.dat"), false);
    preview::masstaebe(m);
    m.shapeNumber = static_cast<std::int16_t>(shape);
    m.bigHeight = H;
    buildShape(m, false);
    return m;
}

// "AB CD": four squares and a space
const std::string kWithSpace = tground(
    "AB CD", {{"A", 30, square(0, 0, 20), {}}, {"B", 30, square(0, 0, 20), {}}, {" ", 30, {}, {}},
              {"C", 30, square(0, 0, 20), {}}, {"D", 30, square(0, 0, 20), {}}});

std::pair<double, double> letterXRange(const Model& m, int letter) {
    double lo = 1e300, hi = -1e300;
    for (const auto& e : m.elements)
        if (e.object == letter) lo = std::min(lo, e.x), hi = std::max(hi, e.x);
    return {lo, hi};
}

}  // namespace

TEST(ConnectionBar, StraightBaselineUncut) {
    Model m = shaped(kWithSpace, 0);
    const Box box = contourBoundingBox(m, 1, false);
    const BarOutcome o = buildBar(m, BarInput{0, 5, 0, true, {}});
    EXPECT_TRUE(o.built);
    ASSERT_EQ(m.barLines.size(), 4u);  // offset edge, shifted baseline, two caps
    EXPECT_TRUE(m.barArcs.empty());
    for (const auto& l : m.barLines) EXPECT_EQ(l.type, 4);
    EXPECT_DOUBLE_EQ(m.barLines[0].y1, box.ymin + 5);  // the offset side is above
    EXPECT_DOUBLE_EQ(m.barLines[1].y1, box.ymin);      // d = 0: edge 2 on the baseline
    EXPECT_NEAR(m.barLines[2].x1, m.barLines[2].x2, 1e-9);  // caps are vertical here

    // d moves both edges; w = 0 makes them coincide
    buildBar(m, BarInput{2, 0, 0, true, {}});
    EXPECT_DOUBLE_EQ(m.barLines[0].y1, box.ymin + 2);
    EXPECT_DOUBLE_EQ(m.barLines[0].y1, m.barLines[1].y1);
}

TEST(ConnectionBar, CutAcrossASpaceGivesOnePiecePerGap) {
    Model m = shaped(kWithSpace, 0);
    const BarOutcome o = buildBar(m, BarInput{0, 5, 1, true, {}});
    ASSERT_TRUE(o.built);
    EXPECT_FALSE(o.cutAbandoned);
    std::map<int, std::vector<BarLine>> byPair;
    for (const auto& l : m.barLines) {
        EXPECT_EQ(l.type, 5);
        byPair[l.pairIndex].push_back(l);
    }
    ASSERT_EQ(byPair.size(), 3u);
    EXPECT_EQ(byPair.begin()->first, 1);
    EXPECT_TRUE(byPair.count(3) && byPair.count(4));
    const std::map<int, std::pair<int, int>> gaps = {{1, {1, 2}}, {3, {2, 4}}, {4, {4, 5}}};
    for (const auto& [pair, lines] : byPair) {
        // two long edges and two closing lines, inside the gap window
        EXPECT_EQ(lines.size(), 4u) << pair;
        const double xL = letterXRange(m, gaps.at(pair).first).second - m.bigHeight / 90;
        const double xR = letterXRange(m, gaps.at(pair).second).first + m.bigHeight / 90;
        for (const auto& l : lines)
            for (double x : {l.x1, l.x2}) {
                EXPECT_GE(x, xL - 1e-9) << pair;
                EXPECT_LE(x, xR + 1e-9) << pair;
            }
        // the piece is closed: every end point is shared by exactly two lines
        std::map<std::pair<long, long>, int> ends;
        for (const auto& l : lines) {
            ++ends[{std::lround(l.x1 * 1e6), std::lround(l.y1 * 1e6)}];
            ++ends[{std::lround(l.x2 * 1e6), std::lround(l.y2 * 1e6)}];
        }
        for (const auto& [p, n] : ends) EXPECT_EQ(n, 2) << pair;
    }
}

TEST(ConnectionBar, CutEdges) {
    Model one = shaped(tground("A", {{"A", 30, square(0, 0, 20), {}}}), 0);
    EXPECT_FALSE(buildBar(one, BarInput{0, 5, 1, true, {}}).cutAbandoned);
    EXPECT_TRUE(one.barLines.empty());  // no gap: an empty cut bar

    Model beside = shaped(kWithSpace, 0);
    const BarOutcome o = buildBar(beside, BarInput{500, 5, 1, true, {}});  // the bar floats above the letters
    EXPECT_TRUE(o.cutAbandoned);
    ASSERT_EQ(beside.barLines.size(), 4u);
    for (const auto& l : beside.barLines) EXPECT_EQ(l.type, 4);
}

TEST(ConnectionBar, ArcsOffsetToTheRightSide) {
    Model m = shaped(kWithSpace, 4);  // the baseline sags: the bar's second arc lies inside
    ASSERT_EQ(m.shapeArcs.size(), 2u);
    const double r = m.shapeArcs[0].radius;
    buildBar(m, BarInput{0, 5, 0, true, {}});
    std::set<long> radii;
    for (const auto& a : m.barArcs) radii.insert(std::lround(a.radius * 1000));
    EXPECT_TRUE(radii.count(std::lround(r * 1000)));
    EXPECT_TRUE(radii.count(std::lround((r - 5) * 1000)));
    EXPECT_EQ(m.barArcs.size(), 4u);  // each arc in two halves

    Model up = shaped(kWithSpace, 9);  // arching up: outside
    const double ru = up.shapeArcs[0].radius;
    buildBar(up, BarInput{0, 5, 0, true, {}});
    bool outside = false;
    for (const auto& a : up.barArcs) outside |= std::fabs(a.radius - (ru + 5)) < 1e-3;
    EXPECT_TRUE(outside);
}

TEST(ConnectionBar, EveryShapeOnFontLetters) {
    const std::filesystem::path sample = std::filesystem::path(LK_PROGRAM_DIR) / "workfiles" / "tground.dat";
    TempFolder t;
    std::filesystem::copy_file(sample, t.work("tground.dat"));
    for (int shape = 0; shape < 20; ++shape)
        for (int cut : {0, 1}) {
            Model m;
            readGroundContours(m, t.work("tground.dat"), false);
            preview::masstaebe(m);
            m.shapeNumber = static_cast<std::int16_t>(shape);
            m.bigHeight = 127;
            buildShape(m, false);
            const BarOutcome o = buildBar(m, BarInput{0, 4, cut, true, {}});
            ASSERT_TRUE(o.built) << shape;
            EXPECT_FALSE(m.barLines.empty() && m.barArcs.empty()) << shape << " cut " << cut;
            const int want = cut == 1 && !o.cutAbandoned && !o.halfCircle ? 5 : 4;
            for (const auto& l : m.barLines) EXPECT_EQ(l.type, want) << shape;
            for (const auto& a : m.barArcs) EXPECT_EQ(a.type, want) << shape;
        }
}

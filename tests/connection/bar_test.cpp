#include "connection/bar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

#include "support/shaped.h"
#include "support/temp_folder.h"
#include "support/tground.h"

using namespace connection;
using namespace engine;
using namespace testsupport;

namespace {

// the letters of a hand-made file at h = 4 in, bent into `shape` of H = 5 in
Model shaped(const std::string& groundText, int shape) {
    TempFolder t;
    t.write("tground.dat", groundText);
    return built(t.work("tground.dat"), shape, 127, false);
}

}  // namespace

// Uncut on a straight baseline: offset edge above, edge 2 at d, vertical caps; w = 0 collapses.
// Cut: one closed piece per gap (the space joins B to C), each inside its gap window. A cut bar
// without a gap is empty; one that cannot reach the letters stays uncut.
TEST(ConnectionBar, StraightBaselineCutIntoOnePiecePerGap) {
    const auto letter = [](const char* name) { return HandLetter{name, 30, square(0, 0, 20), {}}; };
    Model m = shaped(tground("AB CD", {letter("A"), letter("B"), {" ", 30, {}, {}}, letter("C"), letter("D")}), 0);
    const Box box = contourExtents(m);
    EXPECT_TRUE(buildBar(m, BarInput{0, 5, 0, true, {}}).built);
    ASSERT_EQ(m.barLines.size(), 4u);
    EXPECT_TRUE(m.barArcs.empty());
    for (const auto& l : m.barLines) EXPECT_EQ(l.type, 4);
    EXPECT_DOUBLE_EQ(m.barLines[0].y1, box.ymin + 5);
    EXPECT_DOUBLE_EQ(m.barLines[1].y1, box.ymin);
    EXPECT_NEAR(m.barLines[2].x1, m.barLines[2].x2, 1e-9);

    buildBar(m, BarInput{2, 0, 0, true, {}});
    EXPECT_DOUBLE_EQ(m.barLines[0].y1, box.ymin + 2);
    EXPECT_DOUBLE_EQ(m.barLines[0].y1, m.barLines[1].y1);

    const BarOutcome o = buildBar(m, BarInput{0, 5, 1, true, {}});
    ASSERT_TRUE(o.built);
    EXPECT_FALSE(o.cutAbandoned);
    std::map<int, std::vector<BarLine>> byPair;
    for (const auto& l : m.barLines) {
        EXPECT_EQ(l.type, 5);
        byPair[l.pairIndex].push_back(l);
    }
    EXPECT_EQ(byPair.size(), 3u);
    for (auto [pair, left, right] : {std::array{1, 1, 2}, {3, 2, 4}, {4, 4, 5}}) {
        SCOPED_TRACE(pair);
        const std::vector<BarLine>& lines = byPair[pair];
        ASSERT_EQ(lines.size(), 4u);  // two long edges, two closing lines
        const double xL = letterBox(m, left).xmax - m.bigHeight / 90, xR = letterBox(m, right).xmin + m.bigHeight / 90;
        std::map<std::pair<long, long>, int> ends;
        for (const auto& l : lines)
            for (auto [x, y] : {std::pair{l.x1, l.y1}, {l.x2, l.y2}}) {
                EXPECT_TRUE(x >= xL - 1e-9 && x <= xR + 1e-9) << x;
                ++ends[{std::lround(x * 1e6), std::lround(y * 1e6)}];
            }
        for (const auto& [p, n] : ends) EXPECT_EQ(n, 2);  // closed: every end shared by two lines
    }

    Model one = shaped(tground("A", {letter("A")}), 0);
    EXPECT_FALSE(buildBar(one, BarInput{0, 5, 1, true, {}}).cutAbandoned);
    EXPECT_TRUE(one.barLines.empty());
    EXPECT_TRUE(buildBar(m, BarInput{500, 5, 1, true, {}}).cutAbandoned);
    ASSERT_EQ(m.barLines.size(), 4u);
    for (const auto& l : m.barLines) EXPECT_EQ(l.type, 4);
}

// Real font letters: every shape builds a bar, cut or not, all of one type. The offset arc lies
// inside a sagging baseline (shape 4) and outside an arch (shape 9).
TEST(ConnectionBar, EveryShapeOnFontLettersWithTheArcsOffsetToTheRightSide) {
    for (int shape = 0; shape < 20; ++shape)
        for (int cut : {0, 1}) {
            SCOPED_TRACE(::testing::Message() << "shape " << shape << " cut " << cut);
            Model m = built(kSample, shape, 127, false);
            const BarOutcome o = buildBar(m, BarInput{0, 4, cut, true, {}});
            ASSERT_TRUE(o.built);
            EXPECT_FALSE(m.barLines.empty() && m.barArcs.empty());
            const int want = cut == 1 && !o.cutAbandoned && !o.halfCircle ? 5 : 4;
            for (const auto& l : m.barLines) EXPECT_EQ(l.type, want);
            for (const auto& a : m.barArcs) EXPECT_EQ(a.type, want);
            if (cut == 1 || (shape != 4 && shape != 9)) continue;
            ASSERT_EQ(m.barArcs.size(), 4u);  // each arc in two halves
            for (const double radius : {m.shapeArcs[0].radius, m.shapeArcs[0].radius + (shape == 4 ? -4 : 4)})
                EXPECT_TRUE(std::any_of(m.barArcs.begin(), m.barArcs.end(),
                                        [radius](const BarArc& a) { return std::fabs(a.radius - radius) < 1e-3; }))
                    << radius;
        }
}

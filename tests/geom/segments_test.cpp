#include "geom/segments.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <tuple>

using geom::crossingInPlace;

namespace {

// crossingInPlace on eight numbers: the crossings, and the segments as the call left them
std::pair<geom::Crossings, std::array<double, 8>> cross(std::array<double, 8> p) {
    geom::Segment s1{{p[0], p[1]}, {p[2], p[3]}}, s2{{p[4], p[5]}, {p[6], p[7]}};
    const geom::Crossings c = crossingInPlace(s1, s2);
    return {c, {s1.a.x, s1.a.y, s1.b.x, s1.b.y, s2.a.x, s2.a.y, s2.b.x, s2.b.y}};
}

}  // namespace

// Every orientation (sloping, horizontal, vertical, nearly horizontal), touching ends, the
// 0.0005 end tolerance and the misses; NaN: the coordinate is not checked.
TEST(SegmentIntersection, CrossingsAndMisses) {
    const double n = NAN;
    struct Case {
        std::array<double, 8> p;
        int ok;
        double ix, iy, tol;
    };
    const Case cases[] = {
        {{0, 0, 10, 10, 0, 10, 10, 0}, 1, 5, 5, 1e-12},
        {{0, 3, 10, 3, 7, 100000, 7, -100000}, 1, 7, 3, 0},    // probe line through a horizontal
        {{4, 100000, 4, -100000, 0, 0, 10, 5}, 1, 4, 2, 1e-12},  // vertical against sloping
        {{2, 1, 8, 1.00005, 0, 0, 10, 5}, 1, 2, n, 1e-3},     // nearly horizontal is horizontal
        {{0, 0, 5, 5, 5, 5, 10, 0}, 1, 5, n, 1e-12},          // meeting at an end point
        {{0, 0, 4.9995, 4.9995, 0, 10, 10, 0}, 1, n, n, 0},   // 0.0005 beyond the end: crossing
        {{0, 0, 4.99, 4.99, 0, 10, 10, 0.02}, 0, n, n, 0},    // 0.01 beyond: none
        {{0, 0, 10, 0, 0, 1, 10, 1}, 0, n, n, 0},             // parallel horizontal
        {{0, 0, 10, 10, 1, 0, 11, 10}, 0, n, n, 0},           // parallel sloping
        {{0, 0, 1, 1, 5, 0, 6, -1}, 0, n, n, 0},              // apart in x
        {{0, 3, 10, 3, 11, 100000, 11, -100000}, 0, n, n, 0}, // probe beyond the end
        {{0, 0, 10, 2, 3, 5, 3, 100}, 0, n, n, 0},            // boxes overlap, lines miss
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.p));
        const geom::Crossings h = cross(c.p).first;
        ASSERT_EQ(h.onFirst, c.ok == 1);
        EXPECT_FALSE(h.onSecond);
        EXPECT_TRUE(std::isnan(c.ix) || std::fabs(h.first.x - c.ix) <= c.tol) << h.first.x;
        EXPECT_TRUE(std::isnan(c.iy) || std::fabs(h.first.y - c.iy) <= c.tol) << h.first.y;
    }
}

// Overlaps on one line give both shared ends, with the segments sorted in place.
TEST(SegmentIntersection, CollinearSegmentsGiveTheirSharedEndsInAscendingOrder) {
    auto [h, ends] = cross({10, 2, 0, 2, 12, 2, 5, 2});  // horizontal, both right to left
    ASSERT_TRUE(h.onFirst && h.onSecond);
    EXPECT_EQ(h.first.x, 10);   // end of segment 1 on segment 2
    EXPECT_EQ(h.second.x, 5);   // start of segment 2 on segment 1
    EXPECT_EQ(ends, (std::array<double, 8>{0, 2, 10, 2, 5, 2, 12, 2}));
    std::tie(h, ends) = cross({1, 5, 1, 0, 1, 3, 1, 9});  // vertical, sorted by y
    ASSERT_TRUE(h.onSecond);
    EXPECT_TRUE(h.first.y == 5 && h.second.y == 3 && ends[1] == 0);
    h = cross({0, 0, 4, 4, 4, 4, 9, 9}).first;  // sloping, touching end to end: one point
    ASSERT_TRUE(h.onFirst && !h.onSecond);
    EXPECT_EQ(h.first.x, 4);

    // the value form sorts copies and gives the same two points
    const geom::Crossings c = geom::crossing({{10, 2}, {0, 2}}, {{12, 2}, {5, 2}});
    EXPECT_TRUE(c.onFirst && c.onSecond);
    EXPECT_TRUE(c.first == (geom::Point{10, 2}) && c.second == (geom::Point{5, 2}));
}

// Only the two inner ends move; parallel segments fail and keep their lengthened ends.
TEST(SegmentJoin, EndsMoveToTheCrossingOfTheExtensions) {
    std::array<double, 8> s{0, 0, 4, 0, 10, 2, 10, 8};
    EXPECT_TRUE(geom::joinAtIntersection(s[0], s[1], s[2], s[3], s[4], s[5], s[6], s[7]));
    const std::array<double, 8> want{0, 0, 10, 0, 10, 0, 10, 8};
    for (int i = 0; i < 8; ++i) EXPECT_NEAR(s[i], want[i], 1e-9) << i;

    s = {0, 0, 4, 0, 10, 2, 14, 2};
    EXPECT_FALSE(geom::joinAtIntersection(s[0], s[1], s[2], s[3], s[4], s[5], s[6], s[7]));
    EXPECT_NEAR(s[2], 20, 1e-9);
    EXPECT_NEAR(s[4], -6, 1e-9);
}

// Across 0 degrees, the long way round, and equal angles as a full turn.
TEST(SegmentSpan, CounterClockwiseDegrees) {
    for (auto [from, to, want] : {std::array<double, 3>{350, 10, 20}, {10, 350, 340}, {90, 90, 360}}) {
        EXPECT_DOUBLE_EQ(geom::ccwSpan(from, to), want) << from << " -> " << to;
    }
}

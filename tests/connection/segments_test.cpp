#include "connection/segments.h"

#include <gtest/gtest.h>

#include <array>

using connection::intersectSegments;

namespace {

struct Hit {
    std::int16_t ok, ok2;
    double ix, iy, jx, jy;
    std::array<double, 8> ends;  // the arguments after the call
};

Hit cross(std::array<double, 8> p) {
    Hit h{};
    intersectSegments(p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7], h.ix, h.iy, h.ok, h.jx, h.jy,
                      h.ok2);
    h.ends = p;
    return h;
}

}  // namespace

TEST(SegmentIntersection, CrossingSegmentsOfEveryOrientation) {
    Hit h = cross({0, 0, 10, 10, 0, 10, 10, 0});  // two sloping
    EXPECT_EQ(h.ok, 1);
    EXPECT_EQ(h.ok2, 0);
    EXPECT_NEAR(h.ix, 5, 1e-12);
    EXPECT_NEAR(h.iy, 5, 1e-12);

    h = cross({0, 3, 10, 3, 7, 100000, 7, -100000});  // a probe line through a horizontal one
    ASSERT_EQ(h.ok, 1);
    EXPECT_EQ(h.ix, 7);
    EXPECT_EQ(h.iy, 3);

    h = cross({4, 100000, 4, -100000, 0, 0, 10, 5});  // vertical against sloping
    ASSERT_EQ(h.ok, 1);
    EXPECT_NEAR(h.iy, 2, 1e-12);

    h = cross({2, 1, 8, 1.00005, 0, 0, 10, 5});  // nearly horizontal counts as horizontal
    ASSERT_EQ(h.ok, 1);
    EXPECT_NEAR(h.ix, 2, 1e-3);
}

TEST(SegmentIntersection, SegmentsMeetingAtAnEndPointCross) {
    Hit h = cross({0, 0, 5, 5, 5, 5, 10, 0});
    ASSERT_EQ(h.ok, 1);
    EXPECT_NEAR(h.ix, 5, 1e-12);
    // the carrier lines cross 0.0005 beyond the end of segment 1: still a crossing
    h = cross({0, 0, 4.9995, 4.9995, 0, 10, 10, 0});
    EXPECT_EQ(h.ok, 1);
    // 0.01 beyond: none (the boxes still overlap, so the length check decides)
    h = cross({0, 0, 4.99, 4.99, 0, 10, 10, 0.02});
    EXPECT_EQ(h.ok, 0);
}

TEST(SegmentIntersection, SegmentsThatDoNotMeet) {
    EXPECT_EQ(cross({0, 0, 10, 0, 0, 1, 10, 1}).ok, 0);         // parallel horizontal
    EXPECT_EQ(cross({0, 0, 10, 10, 1, 0, 11, 10}).ok, 0);       // parallel sloping
    EXPECT_EQ(cross({0, 0, 10, 10, 1, 0, 11, 10}).ok2, 0);
    EXPECT_EQ(cross({0, 0, 1, 1, 5, 0, 6, -1}).ok, 0);          // apart in x
    EXPECT_EQ(cross({0, 3, 10, 3, 11, 100000, 11, -100000}).ok, 0);  // probe beyond the end
    EXPECT_EQ(cross({0, 0, 10, 2, 3, 5, 3, 100}).ok, 0);        // boxes overlap, lines miss
}

TEST(SegmentIntersection, CollinearSegmentsGiveTheirSharedEndsInAscendingOrder) {
    // overlapping on one horizontal line, both given right to left
    Hit h = cross({10, 2, 0, 2, 12, 2, 5, 2});
    ASSERT_EQ(h.ok, 1);
    ASSERT_EQ(h.ok2, 1);
    EXPECT_EQ(h.ix, 10);  // end of segment 1 on segment 2
    EXPECT_EQ(h.jx, 5);   // start of segment 2 on segment 1
    EXPECT_EQ(h.ends, (std::array<double, 8>{0, 2, 10, 2, 5, 2, 12, 2}));

    h = cross({1, 5, 1, 0, 1, 3, 1, 9});  // vertical, sorted by y
    ASSERT_EQ(h.ok2, 1);
    EXPECT_EQ(h.iy, 5);
    EXPECT_EQ(h.jy, 3);
    EXPECT_EQ(h.ends[1], 0);

    h = cross({0, 0, 4, 4, 4, 4, 9, 9});  // sloping, touching end to end: one point
    ASSERT_EQ(h.ok, 1);
    EXPECT_EQ(h.ok2, 0);
    EXPECT_EQ(h.ix, 4);
}

TEST(SegmentJoin, EndsMoveToTheCrossingOfTheExtensions) {
    double ax1 = 0, ay1 = 0, ax2 = 4, ay2 = 0, bx1 = 10, by1 = 2, bx2 = 10, by2 = 8;
    std::int16_t failed = 9;
    connection::joinAtIntersection(ax1, ay1, ax2, ay2, bx1, by1, bx2, by2, failed);
    EXPECT_EQ(failed, 0);
    EXPECT_NEAR(ax2, 10, 1e-9);
    EXPECT_NEAR(ay2, 0, 1e-9);
    EXPECT_NEAR(bx1, 10, 1e-9);
    EXPECT_NEAR(by1, 0, 1e-9);
    EXPECT_EQ(bx2, 10);  // the far ends stay
    EXPECT_EQ(by2, 8);
    EXPECT_EQ(ax1, 0);

    // parallel: no crossing, the lengthened ends remain
    ax1 = 0, ay1 = 0, ax2 = 4, ay2 = 0, bx1 = 10, by1 = 2, bx2 = 14, by2 = 2;
    connection::joinAtIntersection(ax1, ay1, ax2, ay2, bx1, by1, bx2, by2, failed);
    EXPECT_EQ(failed, 1);
    EXPECT_NEAR(ax2, 20, 1e-9);
    EXPECT_NEAR(bx1, -6, 1e-9);
}

TEST(SegmentSpan, CounterClockwiseDegrees) {
    double s = 0;
    connection::ccwSpan(350, 10, s);
    EXPECT_DOUBLE_EQ(s, 20);
    connection::ccwSpan(10, 350, s);
    EXPECT_DOUBLE_EQ(s, 340);
    connection::ccwSpan(90, 90, s);
    EXPECT_DOUBLE_EQ(s, 360);
}

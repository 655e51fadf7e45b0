#include "geom/geom.h"
#include "geom/segments.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>
#include <tuple>

using namespace geom;

namespace {
double rounded(double v, int d) { return roundTo(v, static_cast<std::int16_t>(d)); }
double num(const std::string& s) { return std::strtod(s.c_str(), nullptr); }
double ccw(double a, double b) { return std::fmod(std::fmod(b - a, 2 * kPi) + 4 * kPi, 2 * kPi); }
double apart(double a, double b) { return std::min(ccw(a, b), ccw(b, a)); }
double onSegmentError(double x, double y, double x1, double y1, double x2, double y2) {
    return std::hypot(x - x1, y - y1) + std::hypot(x - x2, y - y2) - std::hypot(x2 - x1, y2 - y1);
}

// crossingInPlace on eight numbers: the crossings, and the segments as the call left them
std::pair<Crossings, std::array<double, 8>> cross(std::array<double, 8> p) {
    Segment s1{{p[0], p[1]}, {p[2], p[3]}}, s2{{p[4], p[5]}, {p[6], p[7]}};
    const Crossings c = crossingInPlace(s1, s2);
    return {c, {s1.a.x, s1.a.y, s1.b.x, s1.b.y, s2.a.x, s2.a.y, s2.b.x, s2.b.y}};
}

}  // namespace

TEST(RoundTo, DecimalTiesCarriesAndSigns) {
    for (int d : {3, 4}) {
        const std::string lo = "e-" + std::to_string(d + 1), hi = "e-" + std::to_string(d);
        for (int k = 0; k < 20000; k += 7) {
            const std::string ks = std::to_string(k), up = std::to_string(k + 1);
            EXPECT_EQ(rounded(num(ks + "5" + lo), d), num(up + hi)) << k;
            EXPECT_EQ(rounded(num(ks + "4" + lo), d), num(ks + hi)) << k;
            EXPECT_EQ(rounded(-num(ks + "5" + lo), d), -num(up + hi)) << k;
        }
    }
    for (auto [v, d, want] : {std::tuple{0.12345, 4, 0.1235}, {2.675, 2, 2.68}, {0.99995, 4, 1.0}})
        EXPECT_EQ(rounded(v, d), want) << v;
    EXPECT_FALSE(std::signbit(rounded(-0.0001, 3)));
    EXPECT_TRUE(std::isnan(rounded(NAN, 3)));
    EXPECT_EQ(rounded(-INFINITY, 3), -INFINITY);
}

TEST(Direction, RangeAndDirection) {
    for (int k = -720; k <= 720; ++k) {
        const double t = k * kPi / 180.0 + 1e-3, a = direction({3, -2}, {3 + 7 * std::cos(t), -2 + 7 * std::sin(t)});
        ASSERT_TRUE(a >= 0 && a < 2 * kPi) << a;
        EXPECT_LT(apart(a, t), 1e-12);
    }
    const double tiny = direction({0, 0}, {1, -1e-300});  // -tiny + 2*pi rounds to 2*pi
    EXPECT_TRUE(tiny >= 0 && tiny < 2 * kPi) << tiny;
}

TEST(CircleThrough, CircleThroughThreePointsAndArcThroughMiddle) {
    std::mt19937 rng(12345);
    std::uniform_real_distribution<double> u(-300, 300);
    for (int i = 0; i < 5000; ++i) {
        const Point p1{u(rng), u(rng)}, p2{u(rng), u(rng)}, p3{u(rng), u(rng)};
        if (std::fabs((p2.x - p1.x) * (p3.y - p1.y) - (p2.y - p1.y) * (p3.x - p1.x)) < 1.0) continue;
        const Arc a = circleThrough(p1, p2, p3);
        const Point c = a.centre;
        for (const Point p : {p1, p2, p3}) ASSERT_NEAR(std::hypot(p.x - c.x, p.y - c.y), a.radius, 1e-9 * a.radius);
        ASSERT_TRUE(a.start >= 0 && a.start < 2 * kPi && a.end >= 0 && a.end < 2 * kPi);
        const double s1 = direction(c, p1), s2 = direction(c, p2);
        EXPECT_TRUE(std::max(apart(a.start, s1), apart(a.end, s2)) < 1e-9 ||
                    std::max(apart(a.start, s2), apart(a.end, s1)) < 1e-9);
        EXPECT_LT(ccw(a.start, direction(c, p3)), ccw(a.start, a.end)) << i;  // ccw start -> P3 -> end
    }
    for (auto [p1y, p2y, p3x, w1, w2] : {std::array<double, 5>{-1, 1, 1, 1.5, 0.5},
                                         {1, -1, 1, 1.5, 0.5},
                                         {-1, 1, -1, 0.5, 1.5}}) {  // arcs across angle 0 and not
        const Arc a = circleThrough({0, p1y}, {0, p2y}, {p3x, 0});
        EXPECT_NEAR(a.start, w1 * kPi, 1e-12);
        EXPECT_NEAR(a.end, w2 * kPi, 1e-12);
    }
    for (auto p : {std::array<double, 6>{0, 0, 10, 4, 5, 2}, {0, 0, 10, 4, 20, 8}, {1, 1, 1, 1, 1, 1},
                   {2, 3, 2, 3, 7, 9}, {0, 0, 1e6, 0, 5e5, 1e-9}}) {  // straight or coincident
        const Arc a = circleThrough({p[0], p[1]}, {p[2], p[3]}, {p[4], p[5]});
        EXPECT_TRUE(a.radius == 0 && a.start == 0 && a.end == 0);
        EXPECT_DOUBLE_EQ(a.centre.x, (p[0] + p[2]) / 2);
        EXPECT_DOUBLE_EQ(a.centre.y, (p[1] + p[3]) / 2);
    }
    // nearly straight is still a circle: a chord of 10 and a rise of 1e-7 (a sine of 4e-8)
    EXPECT_NEAR(circleThrough({0, 0}, {10, 0}, {5, 1e-7}).radius, 1.25e8, 1e2);
}

TEST(Crossings, CrossingsOnCircleSegmentAndArc) {
    const auto cut = [](Point a, Point b, Point centre, double r, double a1, double a2) {
        return crossings({a, b}, Arc{centre, r, a1, a2});
    };
    // line y = 0 through the circle r = 5 at the origin; arcs: full turn, across 0, left half,
    // point at 0, starting a rounding error after 0, and a segment starting inside
    for (auto [lx1, a1, a2, ok1, ok2] : {std::array<double, 5>{-10, 0, kTwoPi, 1, 1},
                                         {-10, 1.5 * kPi, 0.5 * kPi, 0, 1},
                                         {-10, 0.5 * kPi, 1.5 * kPi, 1, 0},
                                         {-10, 0, 0, 0, 1},
                                         {-10, 1e-12, 1, 0, 1},
                                         {0, 0, kTwoPi, 0, 1}}) {
        const Crossings h = cut({lx1, 0}, {10, 0}, {0, 0}, 5, a1, a2);
        EXPECT_TRUE(h.onFirst == ok1 && h.onSecond == ok2 && h.first.x == -5 && h.second.x == 5)
            << lx1 << " " << a1 << " " << a2;
    }
    for (const Crossings& h : {cut({-10, 6}, {10, 6}, {0, 0}, 5, 0, kTwoPi), cut({3, 3}, {3, 3}, {0, 0}, 5, 0, kTwoPi)})
        EXPECT_TRUE(!h.onFirst && !h.onSecond && h.first == Point{} && h.second == Point{});
    for (int k = 0; k < 64; ++k) {  // tangents: one crossing
        const double t = k * 0.1, px = 2 + 5 * std::cos(t), py = 1 + 5 * std::sin(t), s = std::sin(t), c = std::cos(t);
        const Crossings h = cut({px - 9 * s, py + 9 * c}, {px + 9 * s, py - 9 * c}, {2, 1}, 5, 0, kTwoPi);
        EXPECT_TRUE(h.onFirst && !h.onSecond && std::hypot(h.first.x - px, h.first.y - py) < 1e-5) << k;
    }
    std::mt19937 rng(99);
    std::uniform_real_distribution<double> u(-50, 50), ang(0, 2 * kPi);
    for (int i = 0; i < 3000; ++i) {
        const Point c{u(rng), u(rng)}, l1{u(rng), u(rng)}, l2{u(rng), u(rng)};
        const double r = 1 + std::fabs(u(rng)), a1 = ang(rng), a2 = ang(rng);
        const Crossings full = cut(l1, l2, c, r, 0, kTwoPi), part = cut(l1, l2, c, r, a1, a2);
        int signChanges = 0;  // independent count by walking the segment
        double prev = std::hypot(l1.x - c.x, l1.y - c.y) - r;
        for (int s = 1; s <= 4000; ++s) {
            const double t = s / 4000.0, g = std::hypot(l1.x + t * (l2.x - l1.x) - c.x, l1.y + t * (l2.y - l1.y) - c.y) - r;
            signChanges += (g < 0) != (prev < 0);
            prev = g;
        }
        EXPECT_EQ(full.onFirst + full.onSecond, signChanges) << i;
        for (auto [p, okFull, okPart] : {std::tuple{part.first, full.onFirst, part.onFirst},
                                         {part.second, full.onSecond, part.onSecond}}) {
            EXPECT_TRUE(okFull || !okPart) << i;  // the arc's crossings are the circle's
            if (!okFull) continue;
            EXPECT_NEAR(std::hypot(p.x - c.x, p.y - c.y), r, 1e-9 * r);
            EXPECT_LT(onSegmentError(p.x, p.y, l1.x, l1.y, l2.x, l2.y), 1e-9 * r);
            const double th = direction(c, p);
            EXPECT_TRUE(apart(th, a1) <= 1e-6 || apart(th, a2) <= 1e-6 || okPart == (ccw(a1, th) <= ccw(a1, a2))) << i;
        }
    }
}

TEST(PictureMapping, RoundTripsCirclesAndClippedSegments) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> u(-1000, 1000), w(0.5, 800);
    for (int i = 0; i < 2000; ++i) {
        const double xmin = u(rng), ymin = u(rng), xmax = xmin + w(rng), ymax = ymin + w(rng),
                     ox = u(rng), oy = u(rng);
        const Point pic = toPicture({ox, oy}, xmin, xmax, ymin, ymax);
        const Point back = fromPicture(pic, xmin, xmax, ymin, ymax);
        EXPECT_TRUE(std::fabs(back.x - ox) < 1e-9 && std::fabs(back.y - oy) < 1e-9) << i;
        const Point corner = toPicture({xmax, ymin}, xmin, xmax, ymin, ymax);
        EXPECT_TRUE(std::fabs(corner.x - 640) < 1e-9 && std::fabs(corner.y - 480) < 1e-9) << i;
    }
    Point p = toPicture({3, 4}, 2, 2, 0, 10);  // zero-width window
    EXPECT_TRUE(p.x == 0 && std::fabs(p.y - 288) < 1e-12);
    p = toPicture({3, 4}, 0, 10, 5, 5);
    EXPECT_TRUE(p.y == 0 && std::fabs(p.x - 192) < 1e-12);
    for (double t = 0; t < 7; t += 0.37) {  // circles run counter-clockwise on screen, y downwards
        p = onPictureCircle({-3, 8}, 12, t);
        EXPECT_NEAR(std::hypot(p.x + 3, p.y - 8), 12, 1e-12);
        EXPECT_LT(apart(direction({-3, -8}, {p.x, -p.y}), t), 1e-9);  // y turned upwards
    }

    // clipped segments stay on their line and in the box
    rng.seed(11);
    std::uniform_real_distribution<double> ux(-600, 1300), uy(-500, 1000);
    int shown = 0;
    for (int i = 0; i < 5000; ++i) {
        const Point o1{ux(rng), uy(rng)}, o2{ux(rng), uy(rng)};
        const std::optional<Segment> s = clippedToPicture({o1, o2});
        bool inside = false;
        for (int k = 0; k <= 2000 && !inside; ++k) {
            const double t = k / 2000.0, x = o1.x + t * (o2.x - o1.x), y = o1.y + t * (o2.y - o1.y);
            inside = x > 1e-6 && x < 640 - 1e-6 && y > 1e-6 && y < 480 - 1e-6;
        }
        EXPECT_TRUE(!inside || s) << i;
        if (!s) continue;
        ++shown;
        const double len = std::hypot(o2.x - o1.x, o2.y - o1.y);
        EXPECT_TRUE(inside || std::hypot(s->b.x - s->a.x, s->b.y - s->a.y) < 2 * len / 2000 + 1e-5) << i;  // else a graze
        for (const Point end : {s->a, s->b}) {
            EXPECT_TRUE(end.x >= 0 && end.x <= 640 && end.y >= 0 && end.y <= 480) << i;
            EXPECT_LT(onSegmentError(end.x, end.y, o1.x, o1.y, o2.x, o2.y), 1e-9 * len);
        }
        EXPECT_GE((s->b.x - s->a.x) * (o2.x - o1.x) + (s->b.y - s->a.y) * (o2.y - o1.y), 0);  // same direction
    }
    EXPECT_GT(shown, 500);
    const std::optional<Segment> whole = clippedToPicture({{10, 20}, {630, 470}});
    EXPECT_TRUE(whole && whole->a == (Point{10, 20}) && whole->b == (Point{630, 470}));
    EXPECT_FALSE(clippedToPicture({{-100, -10}, {800, -10}}));  // parallel to an edge, outside
}

// Every orientation (sloping, horizontal, vertical, nearly horizontal), touching ends, the
// 0.0005 end tolerance and the misses; NaN: the coordinate is not checked. Overlaps on one line
// give both shared ends, with the segments sorted in place.
TEST(SegmentIntersection, CrossingsMissesAndCollinearOverlaps) {
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
        const Crossings h = cross(c.p).first;
        ASSERT_EQ(h.onFirst, c.ok == 1);
        EXPECT_FALSE(h.onSecond);
        EXPECT_TRUE(std::isnan(c.ix) || std::fabs(h.first.x - c.ix) <= c.tol) << h.first.x;
        EXPECT_TRUE(std::isnan(c.iy) || std::fabs(h.first.y - c.iy) <= c.tol) << h.first.y;
    }

    auto [h, ends] = cross({10, 2, 0, 2, 12, 2, 5, 2});  // horizontal, both right to left
    ASSERT_TRUE(h.onFirst && h.onSecond);
    // the end of segment 1 on segment 2, the start of segment 2 on segment 1
    EXPECT_TRUE(h.first == (Point{10, 2}) && h.second == (Point{5, 2}));
    EXPECT_EQ(ends, (std::array<double, 8>{0, 2, 10, 2, 5, 2, 12, 2}));
    std::tie(h, ends) = cross({1, 5, 1, 0, 1, 3, 1, 9});  // vertical, sorted by y
    ASSERT_TRUE(h.onSecond);
    EXPECT_TRUE(h.first.y == 5 && h.second.y == 3 && ends[1] == 0);
    h = cross({0, 0, 4, 4, 4, 4, 9, 9}).first;  // sloping, touching end to end: one point
    ASSERT_TRUE(h.onFirst && !h.onSecond);
    EXPECT_EQ(h.first.x, 4);

    // the value form sorts copies and gives the same two points
    const Crossings c = crossing({{10, 2}, {0, 2}}, {{12, 2}, {5, 2}});
    EXPECT_TRUE(c.onFirst && c.onSecond && c.first == (Point{10, 2}) && c.second == (Point{5, 2}));
}

// Only the two inner ends move; parallel segments fail and keep their lengthened ends. Spans in
// degrees run across 0, the long way round, and equal angles are a full turn.
TEST(SegmentJoin, EndsMoveToTheCrossingOfTheExtensionsAndSpansRunCounterClockwise) {
    using Eight = std::array<double, 8>;
    for (auto [s, joined, want] : {std::tuple{Eight{0, 0, 4, 0, 10, 2, 10, 8}, true, Eight{0, 0, 10, 0, 10, 0, 10, 8}},
                                   {Eight{0, 0, 4, 0, 10, 2, 14, 2}, false, Eight{0, 0, 20, 0, -6, 2, 14, 2}}}) {
        EXPECT_EQ(joinAtIntersection(s[0], s[1], s[2], s[3], s[4], s[5], s[6], s[7]), joined);
        for (int i = 0; i < 8; ++i) EXPECT_NEAR(s[i], want[i], 1e-9) << joined << " " << i;
    }

    for (auto [from, to, want] : {std::array<double, 3>{350, 10, 20}, {10, 350, 340}, {90, 90, 360}})
        EXPECT_DOUBLE_EQ(ccwSpan(from, to), want) << from << " -> " << to;
}


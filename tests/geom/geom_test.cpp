#include "geom/geom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

using namespace geom;

namespace {
double rounded(double v, int d) { return roundTo(v, static_cast<std::int16_t>(d)); }
double num(const std::string& s) { return std::strtod(s.c_str(), nullptr); }
double angleOf(double x, double y) { return std::fmod(std::atan2(y, x) + 2 * kPi, 2 * kPi); }
double ccw(double a, double b) { return std::fmod(std::fmod(b - a, 2 * kPi) + 4 * kPi, 2 * kPi); }
double apart(double a, double b) { return std::min(ccw(a, b), ccw(b, a)); }
double onSegmentError(double x, double y, double x1, double y1, double x2, double y2) {
    return std::hypot(x - x1, y - y1) + std::hypot(x - x2, y - y2) - std::hypot(x2 - x1, y2 - y1);
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
    EXPECT_EQ(rounded(0.12345, 4), 0.1235);
    EXPECT_EQ(rounded(2.675, 2), 2.68);
    EXPECT_EQ(rounded(0.99995, 4), 1.0);
    EXPECT_FALSE(std::signbit(rounded(-0.0001, 3)));
    EXPECT_TRUE(std::isnan(rounded(NAN, 3)));
    EXPECT_EQ(rounded(-INFINITY, 3), -INFINITY);
}

TEST(Direction, RangeAndDirection) {
    double a = -1;
    for (int k = -720; k <= 720; ++k) {
        const double t = k * kPi / 180.0 + 1e-3;
        a = direction({3, -2}, {3 + 7 * std::cos(t), -2 + 7 * std::sin(t)});
        ASSERT_TRUE(a >= 0 && a < 2 * kPi) << a;
        EXPECT_LT(apart(a, t), 1e-12);
    }
    a = direction({0, 0}, {1, -1e-300});  // -tiny + 2*pi rounds to 2*pi
    EXPECT_TRUE(a >= 0 && a < 2 * kPi) << a;
}

namespace {
// circleThrough's arc unpacked: centre, ends, radius
void arcThrough(double x1, double y1, double x2, double y2, double& cx, double& cy, double& a1, double& a2,
                double& r, double x3, double y3) {
    const Arc a = circleThrough({x1, y1}, {x2, y2}, {x3, y3});
    cx = a.centre.x, cy = a.centre.y, a1 = a.start, a2 = a.end, r = a.radius;
}
}  // namespace

TEST(CircleThrough, CircleThroughThreePointsAndArcThroughMiddle) {
    std::mt19937 rng(12345);
    std::uniform_real_distribution<double> u(-300, 300);
    double cx, cy, a1, a2, r;
    for (int i = 0; i < 5000; ++i) {
        const double x1 = u(rng), y1 = u(rng), x2 = u(rng), y2 = u(rng), x3 = u(rng), y3 = u(rng);
        if (std::fabs((x2 - x1) * (y3 - y1) - (y2 - y1) * (x3 - x1)) < 1.0) continue;
        arcThrough(x1, y1, x2, y2, cx, cy, a1, a2, r, x3, y3);
        ASSERT_GT(r, 0);
        for (auto [x, y] : {std::pair{x1, y1}, {x2, y2}, {x3, y3}})
            ASSERT_NEAR(std::hypot(x - cx, y - cy), r, 1e-9 * r);
        ASSERT_TRUE(a1 >= 0 && a1 < 2 * kPi && a2 >= 0 && a2 < 2 * kPi);
        const double s1 = angleOf(x1 - cx, y1 - cy), s2 = angleOf(x2 - cx, y2 - cy);
        EXPECT_TRUE(std::max(apart(a1, s1), apart(a2, s2)) < 1e-9 ||
                    std::max(apart(a1, s2), apart(a2, s1)) < 1e-9);
        EXPECT_LT(ccw(a1, angleOf(x3 - cx, y3 - cy)), ccw(a1, a2)) << i;  // ccw a1 -> P3 -> a2
    }
    for (auto [p1y, p2y, p3x, w1, w2] : {std::array<double, 5>{-1, 1, 1, 1.5, 0.5},
                                         {1, -1, 1, 1.5, 0.5},
                                         {-1, 1, -1, 0.5, 1.5}}) {  // arcs across angle 0 and not
        arcThrough(0, p1y, 0, p2y, cx, cy, a1, a2, r, p3x, 0);
        EXPECT_NEAR(a1, w1 * kPi, 1e-12);
        EXPECT_NEAR(a2, w2 * kPi, 1e-12);
    }
    for (auto p : {std::array<double, 6>{0, 0, 10, 4, 5, 2},
                   {0, 0, 10, 4, 20, 8},
                   {1, 1, 1, 1, 1, 1},
                   {2, 3, 2, 3, 7, 9},
                   {0, 0, 1e6, 0, 5e5, 1e-9}}) {  // straight or coincident
        arcThrough(p[0], p[1], p[2], p[3], cx, cy, a1, a2, r, p[4], p[5]);
        EXPECT_TRUE(r == 0 && a1 == 0 && a2 == 0);
        EXPECT_DOUBLE_EQ(cx, (p[0] + p[2]) / 2);
        EXPECT_DOUBLE_EQ(cy, (p[1] + p[3]) / 2);
    }
    // nearly straight is still a circle: a chord of 10 and a rise of 1e-7 (a sine of 4e-8)
    arcThrough(0, 0, 10, 0, cx, cy, a1, a2, r, 5, 1e-7);
    EXPECT_NEAR(r, 1.25e8, 1e2);
}

TEST(Scaling, PointsOnArcStayOnScaledArc) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(-100, 100), f(0.1, 5);
    for (int i = 0; i < 500; ++i) {
        const double cx = u(rng), cy = u(rng), k = f(rng), mx = u(rng), my = u(rng), t = u(rng),
                     r = f(rng);
        const double sr = r * k;  // an arc's radius goes with the factor in x
        const Point sm = scaledAbout({mx, my}, {cx, cy}, k, k);
        const Point p = scaledAbout({mx + r * std::cos(t), my + r * std::sin(t)}, {cx, cy}, k, k);
        const Point q = scaledAbout({cx, cy}, {cx, cy}, k, k);
        EXPECT_TRUE(std::hypot(q.x - cx, q.y - cy) < 1e-12);  // the centre of scaling stays put
        EXPECT_NEAR(p.x, sm.x + sr * std::cos(t), 1e-9);
        EXPECT_NEAR(p.y, sm.y + sr * std::sin(t), 1e-9);
    }
    const Point m = scaledAbout({2, 2}, {1, 1}, 2, 3);
    EXPECT_TRUE(m.x == 3 && m.y == 4);
}

namespace {
struct Hits {
    double x1 = -7, y1 = -7, x2 = -7, y2 = -7;
    std::int16_t ok1 = -7, ok2 = -7;
};
Hits cut(double lx1, double ly1, double lx2, double ly2, double cx, double cy, double r, double a1,
         double a2) {
    Hits h;
    const Crossings c = crossings({{lx1, ly1}, {lx2, ly2}}, Arc{{cx, cy}, r, a1, a2});
    h.x1 = c.first.x, h.y1 = c.first.y, h.ok1 = c.onFirst ? 1 : 0;
    h.x2 = c.second.x, h.y2 = c.second.y, h.ok2 = c.onSecond ? 1 : 0;
    return h;
}
}  // namespace

TEST(Crossings, CrossingsOnCircleSegmentAndArc) {
    // line y = 0 through the circle r = 5 at the origin; arcs: full turn, across 0, left half,
    // point at 0, starting a rounding error after 0, and a segment starting inside
    for (auto [lx1, a1, a2, ok1, ok2] : {std::array<double, 5>{-10, 0, kTwoPi, 1, 1},
                                         {-10, 1.5 * kPi, 0.5 * kPi, 0, 1},
                                         {-10, 0.5 * kPi, 1.5 * kPi, 1, 0},
                                         {-10, 0, 0, 0, 1},
                                         {-10, 1e-12, 1, 0, 1},
                                         {0, 0, kTwoPi, 0, 1}}) {
        const Hits h = cut(lx1, 0, 10, 0, 0, 0, 5, a1, a2);
        EXPECT_TRUE(h.ok1 == ok1 && h.ok2 == ok2 && h.x1 == -5 && h.x2 == 5)
            << lx1 << " " << a1 << " " << a2;
    }
    for (const Hits& h :
         {cut(-10, 6, 10, 6, 0, 0, 5, 0, kTwoPi), cut(3, 3, 3, 3, 0, 0, 5, 0, kTwoPi)})
        EXPECT_TRUE(h.ok1 == 0 && h.ok2 == 0 && h.x1 == 0 && h.y1 == 0 && h.x2 == 0 && h.y2 == 0);
    for (int k = 0; k < 64; ++k) {  // tangents: one crossing
        const double t = k * 0.1, px = 2 + 5 * std::cos(t), py = 1 + 5 * std::sin(t),
                     s = std::sin(t), c = std::cos(t);
        const Hits h = cut(px - 9 * s, py + 9 * c, px + 9 * s, py - 9 * c, 2, 1, 5, 0, kTwoPi);
        EXPECT_TRUE(h.ok1 == 1 && h.ok2 == 0 && std::hypot(h.x1 - px, h.y1 - py) < 1e-5) << k;
    }
    std::mt19937 rng(99);
    std::uniform_real_distribution<double> u(-50, 50), ang(0, 2 * kPi);
    for (int i = 0; i < 3000; ++i) {
        const double cx = u(rng), cy = u(rng), r = 1 + std::fabs(u(rng)), a1 = ang(rng),
                     a2 = ang(rng);
        const double lx1 = u(rng), ly1 = u(rng), lx2 = u(rng), ly2 = u(rng);
        const Hits full = cut(lx1, ly1, lx2, ly2, cx, cy, r, 0, kTwoPi),
                   part = cut(lx1, ly1, lx2, ly2, cx, cy, r, a1, a2);
        int signChanges = 0;  // independent count by walking the segment
        double prev = std::hypot(lx1 - cx, ly1 - cy) - r;
        for (int s = 1; s <= 4000; ++s) {
            const double t = s / 4000.0,
                         g = std::hypot(lx1 + t * (lx2 - lx1) - cx, ly1 + t * (ly2 - ly1) - cy) - r;
            signChanges += (g < 0) != (prev < 0);
            prev = g;
        }
        EXPECT_EQ(full.ok1 + full.ok2, signChanges) << i;
        for (auto [x, y, okFull, okPart] :
             {std::array<double, 4>{part.x1, part.y1, 1.0 * full.ok1, 1.0 * part.ok1},
              {part.x2, part.y2, 1.0 * full.ok2, 1.0 * part.ok2}}) {
            if (!okFull) {
                EXPECT_EQ(okPart, 0);
                continue;
            }
            EXPECT_NEAR(std::hypot(x - cx, y - cy), r, 1e-9 * r);
            EXPECT_LT(onSegmentError(x, y, lx1, ly1, lx2, ly2), 1e-9 * r);
            const double th = angleOf(x - cx, y - cy);
            if (apart(th, a1) > 1e-6 && apart(th, a2) > 1e-6) {
                EXPECT_EQ(okPart, ccw(a1, th) <= ccw(a1, a2) ? 1 : 0);
            }
        }
    }
}

TEST(PictureMapping, RoundTrips) {
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
}

namespace {
// clippedToPicture on four numbers, in place; hidden = 1 when nothing is visible (the
// numbers are left as they were)
void clip(double& x1, double& y1, double& x2, double& y2, std::int32_t& hidden) {
    const std::optional<Segment> s = clippedToPicture({{x1, y1}, {x2, y2}});
    hidden = s ? 0 : 1;
    if (s) x1 = s->a.x, y1 = s->a.y, x2 = s->b.x, y2 = s->b.y;
}
}  // namespace

TEST(ClippedToPicture, ClippedSegmentsStayOnLineAndInBox) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> ux(-600, 1300), uy(-500, 1000);
    int shown = 0;
    for (int i = 0; i < 5000; ++i) {
        const double ox1 = ux(rng), oy1 = uy(rng), ox2 = ux(rng), oy2 = uy(rng);
        double x1 = ox1, y1 = oy1, x2 = ox2, y2 = oy2;
        std::int32_t hidden = -1;
        clip(x1, y1, x2, y2, hidden);
        bool inside = false;
        for (int s = 0; s <= 2000 && !inside; ++s) {
            const double t = s / 2000.0, x = ox1 + t * (ox2 - ox1), y = oy1 + t * (oy2 - oy1);
            inside = x > 1e-6 && x < 640 - 1e-6 && y > 1e-6 && y < 480 - 1e-6;
        }
        ASSERT_TRUE(hidden == 0 || hidden == 1);
        EXPECT_TRUE(!inside || hidden == 0) << i;
        if (hidden) continue;
        ++shown;
        const double len = std::hypot(ox2 - ox1, oy2 - oy1);
        EXPECT_TRUE(inside || std::hypot(x2 - x1, y2 - y1) < 2 * len / 2000 + 1e-5)
            << i;  // else a graze
        for (auto [x, y] : {std::pair{x1, y1}, {x2, y2}}) {
            EXPECT_TRUE(x >= 0 && x <= 640 && y >= 0 && y <= 480) << i;
            EXPECT_LT(onSegmentError(x, y, ox1, oy1, ox2, oy2), 1e-9 * len);
        }
        EXPECT_GE((x2 - x1) * (ox2 - ox1) + (y2 - y1) * (oy2 - oy1), 0);  // same direction
    }
    EXPECT_GT(shown, 500);
    std::int32_t hidden = -1;
    double x1 = 10, y1 = 20, x2 = 630, y2 = 470;
    clip(x1, y1, x2, y2, hidden);
    EXPECT_TRUE(hidden == 0 && x1 == 10 && y1 == 20 && x2 == 630 && y2 == 470);
    x1 = -100, y1 = -10, x2 = 800, y2 = -10;  // parallel to an edge, outside
    clip(x1, y1, x2, y2, hidden);
    EXPECT_EQ(hidden, 1);
}

TEST(PictureCircle, CounterClockwiseOnScreen) {
    for (double t = 0; t < 7; t += 0.37) {
        const Point p = onPictureCircle({-3, 8}, 12, t);
        EXPECT_NEAR(std::hypot(p.x + 3, p.y - 8), 12, 1e-12);
        EXPECT_LT(apart(angleOf(p.x + 3, 8 - p.y), t), 1e-9);  // ccw on screen with y downwards
    }
}

// Every rounded form of pi and of the degree factors is its exact value cut to the digits it
// names, and none is the exact double: what each place writes depends on the one it uses.
TEST(Units, RoundedFormsAreTheirDigitsOfTheExactValue) {
    const struct {
        double rounded, exact;
        int digits;
    } forms[] = {{kPi15, kPi, 15},         {kPi10, kPi, 10},         {kHalfPi14, kPi / 2, 14},
                 {kHalfPi10, kPi / 2, 10}, {kTwoPi, kFullTurn, 15},  {kTwoPi10, kFullTurn, 10},
                 {kTwoPi3, kFullTurn, 3},  {kRadToDeg, 180 / kPi, 15}, {kRadToDeg13, 180 / kPi, 13},
                 {kDegToRad, kDegToRadExact, 15}};
    for (const auto& f : forms) {
        char text[40];
        std::snprintf(text, sizeof text, "%.*g", f.digits, f.exact);
        EXPECT_EQ(f.rounded, num(text)) << text;
        EXPECT_NE(f.rounded, f.exact) << text;
    }
    EXPECT_NEAR(kTwoPi10Up - kTwoPi10, 1e-9, 1e-15);  // the fitting's corner turn: rounded up
    EXPECT_EQ(kFullTurn, 6.283185307179586);
}

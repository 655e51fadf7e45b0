#include "geom/segments.h"

#include <algorithm>
#include <cmath>

#include "geom/geom.h"

namespace geom {

namespace {

// A segment whose ends differ by less than this in y is horizontal, in x vertical; two
// segments this close to one common line lie on it.
constexpr double kAxisTolerance = 0.0001;
// A crossing may lie this far beyond the end of either segment (segments meeting at an end).
constexpr double kLengthSlack = 0.001;
// The crossing, walked back along each segment from its start, must land this close in x and y.
constexpr double kPointTolerance = 0.005;
// Sloping segments whose directions differ by a sine below this are parallel.
constexpr double kParallelSine = 1e-12;

double dist(double ax, double ay, double bx, double by) { return distance({ax, ay}, {bx, by}); }

// ascending order of the two ends by x (byY: by y); exchanged only when strictly greater
void ascend(double& xa, double& ya, double& xb, double& yb, bool byY) {
    if (byY ? (ya > yb) : (xa > xb)) {
        std::swap(xa, xb);
        std::swap(ya, yb);
    }
}

// y of the segment at x (its first y when it has no extent in x)
double yAt(double xa, double ya, double xb, double yb, double x) {
    return xb == xa ? ya : ya + (x - xa) * (yb - ya) / (xb - xa);
}
double xAt(double xa, double ya, double xb, double yb, double y) {
    return yb == ya ? xa : xa + (y - ya) * (xb - xa) / (yb - ya);
}

// whether the point lies within the segment's range along its common line
bool within(double v, double a, double b) {
    return v >= std::min(a, b) - kAxisTolerance && v <= std::max(a, b) + kAxisTolerance;
}

// Two segments on one common line: the end points lying on the other segment, ordered along
// the line (by x, or by y). The ends are put into ascending order first.
void collinearEnds(Segment& s1, Segment& s2, bool byY, Crossings& c) {
    double &x1 = s1.a.x, &y1 = s1.a.y, &x2 = s1.b.x, &y2 = s1.b.y;
    double &x3 = s2.a.x, &y3 = s2.a.y, &x4 = s2.b.x, &y4 = s2.b.y;
    ascend(x1, y1, x2, y2, byY);
    ascend(x3, y3, x4, y4, byY);
    const Point cand[4] = {{x1, y1}, {x2, y2}, {x3, y3}, {x4, y4}};
    const bool on[4] = {
        byY ? within(y1, y3, y4) : within(x1, x3, x4),
        byY ? within(y2, y3, y4) : within(x2, x3, x4),
        byY ? within(y3, y1, y2) : within(x3, x1, x2),
        byY ? within(y4, y1, y2) : within(x4, x1, x2),
    };
    for (int i = 0; i < 4; ++i) {
        if (!on[i]) continue;
        if (!c.onFirst) {
            c.first = cand[i];
            c.onFirst = true;
        } else if (std::fabs(cand[i].x - c.first.x) >= kAxisTolerance ||
                   std::fabs(cand[i].y - c.first.y) >= kAxisTolerance) {
            c.second = cand[i];
            c.onSecond = true;
            break;
        }
    }
}

// Whether p lies on both segments: no further from either start than that segment is long,
// and the same distance walked along each segment from its start lands on p.
bool onBoth(const Segment& s1, const Segment& s2, Point p) {
    const double x1 = s1.a.x, y1 = s1.a.y, x3 = s2.a.x, y3 = s2.a.y, cx = p.x, cy = p.y;
    if (!std::isfinite(cx) || !std::isfinite(cy)) return false;
    const double l1 = dist(x1, y1, s1.b.x, s1.b.y), l2 = dist(x3, y3, s2.b.x, s2.b.y);
    const double t1 = direction(s1.a, s1.b), t2 = direction(s2.a, s2.b);
    const double d1 = dist(x1, y1, cx, cy), d2 = dist(x3, y3, cx, cy);
    if (d1 > l1 + kLengthSlack || d2 > l2 + kLengthSlack) return false;
    const double px = x1 + d1 * std::cos(t1), py = y1 + d1 * std::sin(t1);
    const double qx = x3 + d2 * std::cos(t2), qy = y3 + d2 * std::sin(t2);
    return std::fabs(px - cx) <= kPointTolerance && std::fabs(py - cy) <= kPointTolerance &&
           std::fabs(qx - cx) <= kPointTolerance && std::fabs(qy - cy) <= kPointTolerance;
}

// The crossing of s1 and s2 into c (the points are written only where the work needs them,
// the flags always); the ends of either segment may come back in ascending order.
void intersect(Segment& s1, Segment& s2, Crossings& c) {
    double &x1 = s1.a.x, &y1 = s1.a.y, &x2 = s1.b.x, &y2 = s1.b.y;
    double &x3 = s2.a.x, &y3 = s2.a.y, &x4 = s2.b.x, &y4 = s2.b.y;
    double &ix = c.first.x, &iy = c.first.y;
    bool& ok = c.onFirst;
    c.onFirst = c.onSecond = false;
    if (std::max(x1, x2) < std::min(x3, x4) || std::max(x3, x4) < std::min(x1, x2) ||
        std::max(y1, y2) < std::min(y3, y4) || std::max(y3, y4) < std::min(y1, y2))
        return;

    const bool h1 = std::fabs(y1 - y2) < kAxisTolerance, v1 = std::fabs(x1 - x2) < kAxisTolerance;
    const bool h2 = std::fabs(y3 - y4) < kAxisTolerance, v2 = std::fabs(x3 - x4) < kAxisTolerance;
    const auto collinear = [&](bool byY) { collinearEnds(s1, s2, byY, c); };

    if (h1 && h2 && !(v1 && v2)) {
        if (std::fabs(y1 - y3) >= kAxisTolerance) return;
        collinear(false);
    } else if (v1 && v2) {
        if (std::fabs(x1 - x3) >= kAxisTolerance) return;
        collinear(true);
    } else if (h1 && v2) {
        ascend(x1, y1, x2, y2, false);
        ascend(x3, y3, x4, y4, true);
        ix = x3;
        iy = yAt(x1, y1, x2, y2, ix);
        ok = true;
    } else if (v1 && h2) {
        ascend(x1, y1, x2, y2, true);
        ascend(x3, y3, x4, y4, false);
        ix = x1;
        iy = yAt(x3, y3, x4, y4, ix);
        ok = true;
    } else if (h1) {  // against a sloping segment
        ascend(x1, y1, x2, y2, false);
        iy = y1;
        ix = xAt(x3, y3, x4, y4, iy);
        ok = true;
    } else if (v1) {
        ascend(x1, y1, x2, y2, true);
        ix = x1;
        iy = yAt(x3, y3, x4, y4, ix);
        ok = true;
    } else if (h2) {
        ascend(x3, y3, x4, y4, false);
        iy = y3;
        ix = xAt(x1, y1, x2, y2, iy);
        ok = true;
    } else if (v2) {
        ascend(x3, y3, x4, y4, true);
        ix = x3;
        iy = yAt(x1, y1, x2, y2, ix);
        ok = true;
    } else {
        const double ax = x2 - x1, ay = y2 - y1, bx = x4 - x3, by = y4 - y3;
        const double den = ax * by - ay * bx;
        const double l1 = std::hypot(ax, ay), l2 = std::hypot(bx, by);
        if (std::fabs(den) <= kParallelSine * l1 * l2) {
            // parallel: on one line when both ends of segment 2 lie on the line of segment 1
            const double off3 = std::fabs(ax * (y3 - y1) - ay * (x3 - x1)) / l1;
            const double off4 = std::fabs(ax * (y4 - y1) - ay * (x4 - x1)) / l1;
            if (off3 >= kAxisTolerance || off4 >= kAxisTolerance) return;
            collinear(false);
        } else {
            const double t = ((x3 - x1) * by - (y3 - y1) * bx) / den;
            ix = x1 + t * ax;
            iy = y1 + t * ay;
            ok = true;
        }
    }

    // Every candidate must lie on both segments.
    if (c.onFirst && !onBoth(s1, s2, c.first)) c.onFirst = false;
    if (c.onSecond && !onBoth(s1, s2, c.second)) c.onSecond = false;
}

}  // namespace

Crossings crossing(Segment s1, Segment s2) {
    Crossings c;
    intersect(s1, s2, c);
    return c;
}

Crossings crossingInPlace(Segment& s1, Segment& s2) {
    Crossings c;
    intersect(s1, s2, c);
    return c;
}

bool joinAtIntersection(double& ax1, double& ay1, double& ax2, double& ay2, double& bx1,
                        double& by1, double& bx2, double& by2) {
    constexpr double kLengthen = 5.0;
    const double ta = direction({ax1, ay1}, {ax2, ay2});
    const double la = dist(ax1, ay1, ax2, ay2);
    ax2 = ax1 + kLengthen * la * std::cos(ta);
    ay2 = ay1 + kLengthen * la * std::sin(ta);
    const double tb = direction({bx2, by2}, {bx1, by1});
    const double lb = dist(bx1, by1, bx2, by2);
    bx1 = bx2 + kLengthen * lb * std::cos(tb);
    by1 = by2 + kLengthen * lb * std::sin(tb);

    // on copies: the intersection may reorder the ends, which must keep their direction here
    const Crossings c = crossing({{ax1, ay1}, {ax2, ay2}}, {{bx1, by1}, {bx2, by2}});
    if (!c.onFirst) return false;
    ax2 = bx1 = c.first.x;
    ay2 = by1 = c.first.y;
    return true;
}

double ccwSpan(double start, double end) { return start >= end ? 360.0 - start + end : end - start; }

}  // namespace geom

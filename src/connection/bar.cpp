#include "connection/bar.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/outline_pieces.h"
#include "geom/segments.h"
#include "engine/contours.h"
#include "geom/geom.h"

namespace connection {

namespace {

using engine::BarArc;
using engine::BarLine;
using engine::Model;

using geom::Point;
using geom::kDegToRad;
using geom::kPi15;
using geom::kRadToDeg13;
constexpr double kFar = 100000;       // half length of a vertical probe
constexpr double kNotFound = 1e6;     // start of the gap search
constexpr double kEndReach = 0.1;     // how far outline ends are lengthened, mm
constexpr double kMinTangent = 0.05, kMaxTangent = 10;
constexpr double kLineChordLimit = 1.0;  // mm: a shorter part becomes one line

Point onCircle(double cx, double cy, double r, double a) { return geom::polar({cx, cy}, a, r); }

double ccwRadians(double a1, double a2) { return a1 > a2 ? 2 * kPi15 - a1 + a2 : a2 - a1; }

// ---- the outline's baseline lines: end extensions of the shapes that need them

void move(Point& p, double theta, double length) { p = geom::polar(p, theta, length); }

void extendEnds(int shape, std::size_t index, double w, double theta, Point& a, Point& b) {
    const auto steep = [&](double offset) { return std::max(std::fabs(std::tan(theta - offset)), kMinTangent); };
    const auto flat = [&] { return std::min(std::fabs(std::tan(theta)), kMaxTangent); };
    switch (shape) {
        case 11: {
            move(b, theta, kEndReach);
            const double t = std::fabs(std::tan(theta));
            if (t != 0) move(a, theta, -(w * t + kEndReach));
            break;
        }
        case 12:
            move(b, theta, kEndReach);
            move(a, theta, -(w / steep(kPi15 / 2) + kEndReach));
            break;
        case 16:
            if (index == 2) move(a, theta, -(w / steep(3 * kPi15 / 2) + kEndReach));
            if (index == 3 && flat() != 0) move(b, theta, w * flat() + kEndReach);
            break;
        case 17:
            if (index == 2) move(b, theta, kEndReach);
            if (index == 3) move(a, theta, -kEndReach);
            break;
        case 18:
            if (index == 0) move(a, theta, -(w / steep(kPi15 / 2) + kEndReach));
            if (index == 1 && flat() != 0) move(b, theta, w * flat() + kEndReach);
            break;
        case 19:
            if (index == 0) move(a, theta, -kEndReach);
            if (index == 1) move(b, theta, kEndReach);
            break;
        default: break;
    }
}

bool joinOffsetEdges(Model& m) {
    auto& lines = m.barLines;
    if (lines.size() < 4) return false;
    BarLine& p = lines[0];
    BarLine& q = lines[3];
    if (m.shapeNumber == 17)  // the starts of line 0 and the end of line 3 meet
        return geom::joinAtIntersection(p.x2, p.y2, p.x1, p.y1, q.x2, q.y2, q.x1, q.y1);
    return geom::joinAtIntersection(p.x1, p.y1, p.x2, p.y2, q.x1, q.y1, q.x2, q.y2);
}

using geom::Segment;

// the vertical probe through x, from far above to far below
Segment verticalAt(double x) { return {{x, kFar}, {x, -kFar}}; }

// a bar arc as the geometry takes it, its angles in radians
geom::Arc barCircle(const BarArc& a) { return {{a.cx, a.cy}, a.radius, a.startDeg * kDegToRad, a.endDeg * kDegToRad}; }

// where a letter's outline crosses the bar's two long edges: the largest x while the letter is
// the left one of a pair, the smallest while it is the right one
struct EdgeCrossings {
    double edge[3];  // index 1 and 2
};

EdgeCrossings letterBarCrossings(const Model& m, std::size_t from, std::size_t to, std::int32_t letter, bool first) {
    EdgeCrossings c{{0, first ? -kNotFound : kNotFound, first ? -kNotFound : kNotFound}};
    const auto keep = [&](int edge, double x) {
        if (edge != 1 && edge != 2) return;
        c.edge[edge] = first ? std::max(c.edge[edge], x) : std::min(c.edge[edge], x);
    };
    engine::forLetterSegments(m, from, to, letter, [&](Segment s) {
        for (const BarLine& l : m.barLines) {
            if (l.type != 1 && l.type != 2) continue;
            const geom::Crossings c = geom::crossing(s, {{l.x1, l.y1}, {l.x2, l.y2}});
            if (c.onFirst) keep(l.type, c.first.x);
            if (c.onSecond) keep(l.type, c.second.x);
        }
        for (const BarArc& a : m.barArcs) {
            const geom::Crossings c = geom::crossings(s, barCircle(a));
            if (c.onFirst) keep(a.type, c.first.x);
            if (c.onSecond) keep(a.type, c.second.x);
        }
    });
    return c;
}

// the two y values where the vertical line at x meets the bar (lines first, then arcs)
void cutLineCrossings(const Model& m, double x, double& y1, double& y2) {
    y1 = y2 = kNoCrossing;
    int found = 0;
    const auto take = [&](double y) {
        if (found == 0) y1 = y;
        else if (found == 1) y2 = y;
        ++found;
    };
    const auto takePair = [&](const geom::Crossings& c) {
        const Point i = c.first, j = c.second;
        if (c.onFirst) take(i.y);
        if (c.onSecond && !(c.onFirst && std::fabs(i.x - j.x) < 0.001 && std::fabs(i.y - j.y) < 0.001)) take(j.y);
    };
    for (const BarLine& l : m.barLines) takePair(geom::crossing(verticalAt(x), {{l.x1, l.y1}, {l.x2, l.y2}}));
    for (const BarArc& a : m.barArcs) takePair(geom::crossings(verticalAt(x), barCircle(a)));
}

// the crossing of a bar arc's circle with the vertical line at x, as an angle in degrees
bool arcCrossingDeg(const BarArc& a, double x, double& deg) {
    const geom::Crossings c = geom::crossings(verticalAt(x), barCircle(a));
    if (!c.onFirst && !c.onSecond) return false;
    const double angle = geom::direction({a.cx, a.cy}, c.onFirst ? c.first : c.second);
    deg = angle * kRadToDeg13;
    return true;
}

// the crossing of a bar line with the vertical line at x; the line's ends may come back ordered
bool lineCrossing(BarLine& l, double x, Point& p) {
    Segment line{{l.x1, l.y1}, {l.x2, l.y2}}, vertical = verticalAt(x);
    const geom::Crossings c = geom::crossingInPlace(line, vertical);
    l.x1 = line.a.x, l.y1 = line.a.y, l.x2 = line.b.x, l.y2 = line.b.y;
    if (!c.onFirst && !c.onSecond) return false;
    p = c.onFirst ? c.first : c.second;
    return true;
}

struct Pieces {
    engine::Table<BarLine, engine::kMaxBarElements> lines;
    engine::Table<BarArc, engine::kMaxBarElements> arcs;
};

// Cuts the pieces of one gap window out of the full bar in `m`; false when the cut is abandoned.
bool cutGap(Model& m, double xL, double xR, std::int32_t pair, Pieces& out) {
    double yL1, yL2, yR1, yR2;
    cutLineCrossings(m, xL, yL1, yL2);
    cutLineCrossings(m, xR, yR1, yR2);
    if (yL1 == kNoCrossing || yL2 == kNoCrossing || yR1 == kNoCrossing || yR2 == kNoCrossing) return false;

    for (BarArc& a : m.barArcs) {
        const Point s = onCircle(a.cx, a.cy, a.radius, a.startDeg * kDegToRad);
        const Point e = onCircle(a.cx, a.cy, a.radius, a.endDeg * kDegToRad);
        const double lo = std::min(s.x, e.x), hi = std::max(s.x, e.x);
        bool kept = lo >= xL && hi <= xR;
        if (lo < xL && xL < hi) {
            double deg;
            if (!arcCrossingDeg(a, xL, deg)) return false;
            (s.x < xL ? a.startDeg : a.endDeg) = deg;
            kept = true;
        }
        if (lo < xR && xR < hi) {
            double deg;
            if (!arcCrossingDeg(a, xR, deg)) return false;
            (s.x < xR ? a.endDeg : a.startDeg) = deg;
            kept = true;
        }
        if (!kept) continue;
        a.type = 3;
        BarArc piece = a;
        piece.type = 5;
        piece.pairIndex = pair;
        out.arcs.push(piece);
    }

    for (BarLine& l : m.barLines) {
        const double lo = std::min(l.x1, l.x2), hi = std::max(l.x1, l.x2);
        bool kept = lo >= xL && hi <= xR;
        BarLine c = l;
        Point p;
        if (lo < xL && xL < hi) {
            if (!lineCrossing(c, xL, p)) return false;
            if (c.x1 >= xL) c.x2 = p.x, c.y2 = p.y;
            else c.x1 = p.x, c.y1 = p.y;
            kept = true;
        }
        if (lo < xR && hi > xR) {
            if (!lineCrossing(c, xR, p)) return false;
            if (c.x1 <= xR) c.x2 = p.x, c.y2 = p.y;
            else c.x1 = p.x, c.y1 = p.y;
            kept = true;
        }
        if (!kept) continue;
        l = c;
        l.type = 5;
        l.pairIndex = pair;
        out.lines.push(l);
    }

    int capsMet = 0;
    for (const BarLine& l : m.barLines) {
        if (l.type != 3) continue;
        ++capsMet;
        if (capsMet == 1) out.lines.push(BarLine{xL, yL2, xL, yL1, 5, pair});
        if (capsMet == 2) out.lines.push(BarLine{xR, yR1, xR, yR2, 5, pair});
    }
    return true;
}

// index ranges of each letter's points, found in one pass
std::vector<std::pair<std::size_t, std::size_t>> letterRanges(const Model& m) {
    std::vector<std::pair<std::size_t, std::size_t>> r(m.letterCount + 2, {0, 0});
    std::vector<bool> seen(r.size(), false);
    for (std::size_t i = 0; i < m.elements.size(); ++i) {
        const std::int32_t o = m.elements[i].object;
        if (o < 0 || o >= static_cast<std::int32_t>(r.size())) continue;
        if (!seen[o]) r[o].first = i, seen[o] = true;
        r[o].second = i + 1;
    }
    return r;
}

}  // namespace

void addBarArc(Model& m, double cx, double cy, double r, double a1, double a2, std::int16_t type,
               const engine::Presets& limits) {
    const double span = ccwRadians(a1, a2);
    for (int half = 0; half < 2; ++half) {
        const double t0 = a1 + half * span / 2;
        const Point p0 = onCircle(cx, cy, r, t0), p1 = onCircle(cx, cy, r, t0 + span / 4),
                 p2 = onCircle(cx, cy, r, t0 + span / 2);
        const geom::Arc c = geom::circleThrough(p0, p2, p1);
        const double fx = c.centre.x, fy = c.centre.y, s = c.start, e = c.end, fr = c.radius;
        const double length = fr * ccwRadians(s, e);
        if (fr > 0 && fr <= limits.maxArcRadius && length >= limits.minArcLength && fr >= limits.minArcRadius) {
            m.barArcs.push(BarArc{fx, fy, fr, s * kRadToDeg13, e * kRadToDeg13, type, 0});
        } else if (std::hypot(p2.x - p0.x, p2.y - p0.y) < kLineChordLimit) {
            m.barLines.push(BarLine{p0.x, p0.y, p2.x, p2.y, type, 0});
        } else {
            m.barLines.push(BarLine{p0.x, p0.y, p1.x, p1.y, type, 0});
            m.barLines.push(BarLine{p1.x, p1.y, p2.x, p2.y, type, 0});
        }
    }
}

namespace {

// The bar along the baseline arcs of the outline: the arc lifted by d and its copy w further
// out, with the caps the outline asks for.
void addArcEdges(Model& m, const BarInput& in) {
    const double d = in.distance, w = in.width;
    for (std::size_t i = 0; i < m.shapeArcs.size(); ++i) {
        const engine::ShapeArc& s = m.shapeArcs[i];
        if (s.kind != 0) continue;
        const double cx = s.cx, cy = s.cy + d, r = s.radius;
        const double a1 = s.startDeg * kPi15 / 180, a2 = s.endDeg * kPi15 / 180;
        addBarArc(m, cx, cy, r, a1, a2, 1, in.limits);
        const double mid = ((s.endDeg - s.startDeg) * 0.5 + s.startDeg) * kPi15 / 180;
        const double r2 = cy + r * std::sin(mid) >= cy ? r + w : r - w;
        addBarArc(m, cx, cy, r2, a1, a2, 2, in.limits);
        const Point s1 = onCircle(cx, cy, r, a1), e1 = onCircle(cx, cy, r, a2);
        const Point s2 = onCircle(cx, cy, r2, a1), e2 = onCircle(cx, cy, r2, a2);
        if (m.capStart[i] == 1) m.barLines.push(BarLine{s1.x, s1.y, s2.x, s2.y, 3, 0});
        if (m.capEnd[i] == 1) m.barLines.push(BarLine{e1.x, e1.y, e2.x, e2.y, 3, 0});
    }
}

// The bar along the baseline lines: the line lifted by d and its copy w to the left of it,
// with the caps; with the connection on, the shapes that need it first have the ends of their
// baseline lines lengthened (in the outline too).
void addLineEdges(Model& m, const BarInput& in) {
    const double d = in.distance, w = in.width;
    for (std::size_t i = 0; i < m.shapeLines.size(); ++i) {
        engine::ShapeLine& s = m.shapeLines[i];
        if (s.kind != 0) continue;
        Point a{s.x1, s.y1}, b{s.x2, s.y2};
        double theta = geom::direction(a, b);
        if (in.connectionOn) {
            extendEnds(m.shapeNumber, i, w, theta, a, b);
            s.x1 = a.x, s.y1 = a.y, s.x2 = b.x, s.y2 = b.y;
        }
        if (a.x > b.x) theta = geom::direction(b, a);
        const double phi = theta + kPi15 / 2;
        const Point a2{a.x + w * std::cos(phi), a.y + w * std::sin(phi)};
        const Point b2{b.x + w * std::cos(phi), b.y + w * std::sin(phi)};
        m.barLines.push(BarLine{a2.x, a2.y + d, b2.x, b2.y + d, 1, 0});
        m.barLines.push(BarLine{a.x, a.y + d, b.x, b.y + d, 2, 0});
        if (m.capStart[i] == 1) m.barLines.push(BarLine{a2.x, a2.y + d, a.x, a.y + d, 3, 0});
        if (m.capEnd[i] == 1) m.barLines.push(BarLine{b2.x, b2.y + d, b.x, b.y + d, 3, 0});
    }
}

}  // namespace

BarOutcome buildBar(Model& m, const BarInput& in) {
    BarOutcome out;
    const engine::Box box = engine::contourExtents(m);
    m.barArcs.clear();
    m.barLines.clear();
    addArcEdges(m, in);
    addLineEdges(m, in);

    const int shape = m.shapeNumber;
    if ((shape >= 16 && shape <= 19) && !joinOffsetEdges(m)) {
        m.barArcs.clear();
        m.barLines.clear();
        out.built = false;
        return out;
    }

    const auto fullLines = m.barLines;
    const auto fullArcs = m.barArcs;
    bool uncut = false;
    if (in.cut == 0) {
        uncut = true;
    } else if (in.cut == 1) {
        Pieces pieces;
        const auto ranges = letterRanges(m);
        const auto clamp = [&](double v, double other) { return v < box.xmin || v > box.xmax ? other : v; };
        for (int i = 1; i <= m.letterCount - 1 && !out.cutAbandoned;) {
            int j = i + 1;
            while (j <= m.letterCount && j < static_cast<int>(m.letterText.size()) && m.letterText[j] == " ") ++j;
            if (j > m.letterCount) break;
            const EdgeCrossings left = letterBarCrossings(m, ranges[i].first, ranges[i].second, i, true);
            const EdgeCrossings right = letterBarCrossings(m, ranges[j].first, ranges[j].second, j, false);
            const double gL1 = clamp(left.edge[1], left.edge[2]), gL2 = clamp(left.edge[2], left.edge[1]);
            const double gR1 = clamp(right.edge[1], right.edge[2]), gR2 = clamp(right.edge[2], right.edge[1]);
            const double xL = std::min(gL1, gL2) - m.bigHeight / 90;
            const double xR = std::max(gR1, gR2) + m.bigHeight / 90;
            if (!cutGap(m, xL, xR, j - 1, pieces)) out.cutAbandoned = true;
            m.barLines = fullLines;
            m.barArcs = fullArcs;
            i = j;
        }
        if (out.cutAbandoned) {
            uncut = true;
        } else {
            m.barLines = pieces.lines;
            m.barArcs = pieces.arcs;
        }
    }

    for (const BarArc& a : m.barArcs) {
        if (geom::ccwSpan(a.startDeg, a.endDeg) > 180) {
            out.halfCircle = true;
            uncut = true;
            break;
        }
    }
    if (uncut) {
        m.barLines = fullLines;
        m.barArcs = fullArcs;
        for (BarLine& l : m.barLines) l.type = 4;
        for (BarArc& a : m.barArcs) a.type = 4;
    }
    return out;
}

}  // namespace connection

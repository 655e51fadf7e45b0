#include "convert/contour_writer.h"

#include <algorithm>
#include <cmath>

#include "geom/geom.h"

namespace convert {

namespace {

using engine::kCodeArcMiddle;
using engine::kCodeEnd;
using engine::kCodeLine;
using engine::kCodeQuadratic;

constexpr std::int16_t kMarkLine = 1;
constexpr std::int16_t kMarkArc = 10;
constexpr std::int16_t kFirstRunGroup = 13;

constexpr std::int32_t kCurveSamples = 20;   // per curve in the work list
constexpr std::int32_t kCornerSamples = 99;  // per curve when judging a join
constexpr double kFlat = 0.05;               // internal units: a curve this flat is a line
constexpr double kCornerTurn = 0.3;          // rad
constexpr double kNearFullTurn = 0.1745329;  // directions this close below 2 pi count as just below 0
constexpr double kFullTurnCorner = geom::kTwoPi10Up;
constexpr double kFullTurnSweep = geom::kTwoPi10;
constexpr double kLevelArc = 0.01;           // mm: an arc point this level with the middle one
constexpr double kMinSweep = 0.01, kMaxSweep = 1.57;  // rad, per fitted arc
constexpr double kMinRise = 0.001;           // mm, height of a fitted arc over its chord
constexpr double kEndMatch = 0.0001;         // internal units, recomputed arc end vs sample point
constexpr double kSamePoint = 0.00001;       // internal units: a straight piece this short is left out

std::int16_t entriesOf(std::int16_t kind) {
    switch (kind) {
        case kCodeLine:
        case kCodeEnd: return 2;
        case kCodeArcMiddle: return 3;
        case kCodeQuadratic: return kCurveSamples;
        default: return 0;
    }
}

double distance(double ax, double ay, double bx, double by) { return std::hypot(bx - ax, by - ay); }

double toSegment(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay;
    const double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((px - ax) * dx + (py - ay) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    return distance(px, py, ax + t * dx, ay + t * dy);
}

// true when angle t lies on the counter-clockwise way from a1 to a2
bool between(double t, double a1, double a2) { return a1 <= a2 ? (t >= a1 && t <= a2) : (t >= a1 || t <= a2); }

struct Piece {
    bool arc = false;
    double v[5] = {};        // arc: cx cy r a1 a2; straight: x1 y1 x2 y2
    std::int32_t from = 0, to = 0;  // sample range it covers
};

bool finite(const Piece& p) {
    for (double v : p.v)
        if (!std::isfinite(v)) return false;
    return true;
}

// True when no circle through a (nor straight line) passes within t of each of p1, p2 and p3,
// in x and in y. Four points on one circle (or line) through a make the lifted determinant of
// p - a, (x, y, x^2 + y^2), vanish; it is proved out of reach here by bounding how far moving
// the three points by up to t can change it, with the rounding of the sums on top.
bool offEveryCircleThrough(const ContourPoint& a, const ContourPoint& p1, const ContourPoint& p2,
                           const ContourPoint& p3, double t) {
    constexpr double kEps = 0x1p-52;
    const ContourPoint* p[3] = {&p1, &p2, &p3};
    double x[3], y[3], q[3], dq[3];
    double far = 0;
    for (int i = 0; i < 3; ++i) {
        x[i] = p[i]->x - a.x;
        y[i] = p[i]->y - a.y;
        far = std::max({far, std::fabs(x[i]), std::fabs(y[i])});
    }
    t += 4 * kEps * far;  // the differences are rounded
    for (int i = 0; i < 3; ++i) {
        q[i] = x[i] * x[i] + y[i] * y[i];
        // how far q moves with the point, plus its own rounding
        dq[i] = 2 * (std::fabs(x[i]) + std::fabs(y[i])) * t + 2 * t * t + 4 * kEps * q[i];
    }
    // cofactors of the rows, with what their rounding may have taken off them
    double cof[3][3], row[3], drow[3];
    for (int i = 0; i < 3; ++i) {
        const int j = (i + 1) % 3, k = (i + 2) % 3;
        cof[i][0] = std::fabs(y[j] * q[k] - q[j] * y[k]) + 2 * kEps * (std::fabs(y[j] * q[k]) + std::fabs(q[j] * y[k]));
        cof[i][1] = std::fabs(q[j] * x[k] - x[j] * q[k]) + 2 * kEps * (std::fabs(q[j] * x[k]) + std::fabs(x[j] * q[k]));
        cof[i][2] = std::fabs(x[j] * y[k] - y[j] * x[k]) + 2 * kEps * (std::fabs(x[j] * y[k]) + std::fabs(y[j] * x[k]));
        row[i] = std::fabs(x[i]) + std::fabs(y[i]) + q[i];
        drow[i] = 2 * t + dq[i];
    }
    const double det = x[0] * (y[1] * q[2] - q[1] * y[2]) + y[0] * (q[1] * x[2] - x[1] * q[2]) +
                       q[0] * (x[1] * y[2] - y[1] * x[2]);
    const double magnitude = std::fabs(x[0]) * (std::fabs(y[1] * q[2]) + std::fabs(q[1] * y[2])) +
                             std::fabs(y[0]) * (std::fabs(q[1] * x[2]) + std::fabs(x[1] * q[2])) +
                             q[0] * (std::fabs(x[1] * y[2]) + std::fabs(y[1] * x[2]));
    // det(R + D) - det(R): one moved row (cofactors), two (Hadamard), all three
    double change = 0;
    for (int i = 0; i < 3; ++i) change += cof[i][0] * t + cof[i][1] * t + cof[i][2] * dq[i];
    change += drow[0] * drow[1] * row[2] + drow[0] * drow[2] * row[1] + drow[1] * drow[2] * row[0];
    change += drow[0] * drow[1] * drow[2];
    const double bound = change * (1 + 1e-9) + 1e-13 * magnitude;
    return std::isfinite(bound) && std::fabs(det) > bound;
}

// Appends p to the work list unless it is full.
bool append(std::vector<ContourPoint>& pts, std::int32_t& j, double x, double y, std::int16_t mark) {
    if (j < 0 || j >= static_cast<std::int32_t>(pts.size())) return false;
    pts[j++] = ContourPoint{x, y, mark};
    return true;
}

}  // namespace

std::int32_t countContourPoints(const engine::Model& m, std::int32_t first, std::int32_t last) {
    const std::int32_t size = static_cast<std::int32_t>(m.elements.size());
    std::int32_t n = 0;
    for (std::int32_t i = std::max(first, 0); i <= last - 1 && i < size; ++i) n += entriesOf(m.elements[i].kind);
    return n;
}

bool sampleQuadratic(std::vector<ContourPoint>& pts, std::int32_t& next, std::int32_t count, double x0,
                     double y0, double x1, double y1, double x2, double y2) {
    if (count <= 0 || next < 0 || static_cast<std::size_t>(next) + count > pts.size()) return false;
    const double d = 1.0 / count;
    const double d2x = (x0 - 2 * x1 + x2) * d * d, d2y = (y0 - 2 * y1 + y2) * d * d;
    double d1x = 2 * (x1 - x0) * d + d2x, d1y = 2 * (y1 - y0) * d + d2y;
    double x = x0, y = y0;
    for (std::int32_t k = 0; k < count; ++k) {
        pts[next + k].x = x;
        pts[next + k].y = y;
        x += d1x;
        y += d1y;
        d1x += 2 * d2x;
        d1y += 2 * d2y;
    }
    next += count;
    return true;
}

void curveCorner(const engine::Model& m, std::int32_t i, std::int16_t& corner, double& difference) {
    corner = 0;
    difference = 0;
    if (i < 0 || static_cast<std::size_t>(i) + 6 > m.elements.size()) return;
    const auto& e = m.elements;
    std::vector<ContourPoint> a(kCornerSamples), b(kCornerSamples);
    std::int32_t na = 0, nb = 0;
    sampleQuadratic(a, na, kCornerSamples, e[i].x, e[i].y, e[i + 1].x, e[i + 1].y, e[i + 2].x, e[i + 2].y);
    sampleQuadratic(b, nb, kCornerSamples, e[i + 3].x, e[i + 3].y, e[i + 4].x, e[i + 4].y, e[i + 5].x, e[i + 5].y);
    double a1 = geom::direction({a[kCornerSamples - 1].x, a[kCornerSamples - 1].y}, {e[i + 2].x, e[i + 2].y});
    double a2 = geom::direction({e[i + 3].x, e[i + 3].y}, {b[1].x, b[1].y});
    if (std::fabs(a1 - kFullTurnCorner) <= kNearFullTurn) a1 -= kFullTurnCorner;
    if (std::fabs(a2 - kFullTurnCorner) <= kNearFullTurn) a2 -= kFullTurnCorner;
    difference = std::fabs(a2 - a1);
    // directions on either side of 0 that the shift above does not catch (6.0 against 0.1)
    if (difference > geom::kPi) difference = kFullTurnCorner - difference;
    corner = difference > kCornerTurn ? 1 : 0;
}

void pointOnCircle(double px, double py, double cx, double cy, double r, std::int16_t& ok, double tol) {
    ok = std::fabs(r - distance(px, py, cx, cy)) <= tol ? 1 : 0;
}

void arcLength(double r, double a1, double a2, double& len) {
    len = a1 < a2 ? r * (a2 - a1) : r * (geom::kTwoPi - a1 + a2);
}

void arcCos(double x, double& angle) {
    if (x == 0) {
        angle = geom::kHalfPi10;
    } else if (std::fabs(x) > 1) {
        angle = 0;
    } else {
        angle = std::atan(std::sqrt(1 - x * x) / std::fabs(x));
        if (x < 0) angle = geom::kPi10 - angle;
    }
}

namespace {

// The search for the pieces of a run of samples: from each start lo, the farthest end hi
// whose arc through lo, the middle sample and hi passes every test of fitArcs, trying
// hi = last, last - 1, ... in turn; with none, a straight piece to the next sample. Taken
// literally that is a full test of the span for every end of every piece, so two kinds of
// cheap tests go first, each refusing only ends that the full test refuses as well:
// - farthestEnd: three samples that no circle through lo passes near enough to rule out
//   every end beyond them at once, since every longer span holds them too;
// - ruledOut, per end: the centre and radius as geom::circleThrough finds them (bit for bit), the
//   radius limits, the sample that refused the end before (the circles of neighbouring ends
//   differ little), the sweep from plain products, a few samples spread over the span.
// The pieces come out as the literal search finds them, in far fewer steps.
class ArcSearch {
public:
    ArcSearch(const std::vector<ContourPoint>& pts, std::int32_t first, std::int32_t last, const Settings& s,
              double tol)
        : pts_(pts), last_(last), s_(s), tol_(tol) {
        double extent = 0;
        for (std::int32_t k = first; k <= last; ++k)
            extent = std::max({extent, std::fabs(pts[k].x), std::fabs(pts[k].y)});
        // the rounding of a centre and of the test against it, far below the tolerance
        reachSlack_ = tol + 1e-11 * (extent + std::fabs(s.maxArcRadius / s.outputScale) + tol);
        // a margin far above the rounding of the angles the full test takes
        constexpr double kSweepMargin = 1e-7;
        cosMinSweep_ = std::cos(kMinSweep - kSweepMargin);
        cosMaxSweep_ = std::cos(kMaxSweep + kSweepMargin);
    }

    // The first end to try from lo: no end beyond it can pass.
    std::int32_t farthestEnd(std::int32_t lo) const {
        if (!std::isfinite(reachSlack_)) return last_;
        std::int32_t near = lo + 2, far = -1;  // not shown out of reach, shown out of reach
        for (std::int32_t step = 4; far < 0 && near < last_; step *= 2) {
            const std::int32_t end = step >= last_ - lo ? last_ : lo + step;
            (outOfReach(lo, end) ? far : near) = end;
        }
        if (far < 0) return last_;
        while (far - near > std::max<std::int32_t>(1, (far - lo) / 16)) {
            const std::int32_t end = near + (far - near) / 2;
            (outOfReach(lo, end) ? far : near) = end;
        }
        return far;
    }

    // True when the arc from lo through mid to hi would be refused by the full test.
    bool ruledOut(std::int32_t lo, std::int32_t hi, std::int32_t mid) {
        const geom::Circle c = geom::circleOf({P(lo).x, P(lo).y}, {P(hi).x, P(hi).y}, {P(mid).x, P(mid).y});
        if (c.degenerate) return true;  // no sweep: always refused
        const double os = s_.outputScale;
        if (!(c.radius * os <= s_.maxArcRadius && c.radius * os >= s_.minArcRadius)) return true;
        if (culprit_ >= lo && culprit_ < hi && offCircle(culprit_, c.centre.x, c.centre.y, c.radius)) return true;
        // the arc runs counter-clockwise from the start (cross < 0), else from the end
        const ContourPoint& from = c.cross < 0 ? P(lo) : P(hi);
        const ContourPoint& to = c.cross < 0 ? P(hi) : P(lo);
        const double ux = from.x - c.centre.x, uy = from.y - c.centre.y, wx = to.x - c.centre.x, wy = to.y - c.centre.y;
        const double turn = ux * wy - uy * wx, dot = ux * wx + uy * wy;
        const double lengths = std::sqrt((ux * ux + uy * uy) * (wx * wx + wy * wy));
        if (std::isfinite(turn) && std::isfinite(dot) && std::isfinite(lengths) && lengths > 0) {
            // a turn of 0 or of pi and more (near 0 and 2 pi the full test finds a sweep
            // outside its limits either way), or a sweep clearly outside kMinSweep..kMaxSweep
            if (turn <= 0) return true;
            if (dot > cosMinSweep_ * lengths || dot < cosMaxSweep_ * lengths) return true;
        }
        const std::int32_t span = hi - lo;
        for (const std::int32_t k : {lo + span / 4, hi - span / 4, lo + span / 8, hi - span / 8})
            if (k > lo && k < hi && offCircle(k, c.centre.x, c.centre.y, c.radius)) return true;
        return false;
    }

    // The full test's check of sample k against the circle; a sample off it is kept in mind.
    bool offCircle(std::int32_t k, double cx, double cy, double r) {
        std::int16_t ok = 0;
        pointOnCircle(P(k).x, P(k).y, cx, cy, r, ok, tol_);
        if (ok == 1) return false;
        culprit_ = k;
        return true;
    }

private:
    const ContourPoint& P(std::int32_t k) const { return pts_[static_cast<std::size_t>(k)]; }

    // Samples within lo..end that no circle through lo passes near enough to.
    bool outOfReach(std::int32_t lo, std::int32_t end) const {
        const std::int32_t span = end - lo;
        const std::pair<std::int32_t, std::int32_t> inner[] = {
            {span / 3, span - span / 3}, {span / 4, span / 2}, {span / 2, span - span / 4}, {span / 8, span / 2}};
        for (const auto& [a, b] : inner)
            if (a > 0 && a < b && b < span && offEveryCircleThrough(P(lo), P(lo + a), P(lo + b), P(end), reachSlack_))
                return true;
        return false;
    }

    const std::vector<ContourPoint>& pts_;
    std::int32_t last_;
    const Settings& s_;
    double tol_;
    double reachSlack_ = 0;
    double cosMinSweep_ = 1, cosMaxSweep_ = -1;
    std::int32_t culprit_ = -1;  // the sample that refused the last end
};

}  // namespace

bool fitArcs(const std::vector<ContourPoint>& pts, std::int32_t first, std::int32_t last, const Settings& s,
             wf::LineWriter& out, ContourStats* stats) {
    const std::int32_t size = static_cast<std::int32_t>(pts.size());
    if (first < 0 || last >= size || first > last) return false;
    if (!(s.outputScale > 0) || !std::isfinite(s.outputScale)) return false;
    const double os = s.outputScale;
    const double tol = os < 1 ? s.fitTolerance : s.fitTolerance / os;  // internal units
    for (std::int32_t k = first; k <= last; ++k)
        if (!std::isfinite(pts[k].x) || !std::isfinite(pts[k].y)) return false;
    const auto P = [&](std::int32_t k) -> const ContourPoint& { return pts[k]; };
    double worst = 0;  // mm

    ArcSearch search(pts, first, last, s, tol);
    std::vector<Piece> pieces;
    std::int32_t lo = first, hi = search.farthestEnd(first);
    while (lo < last) {
        if (hi - lo <= 1) {
            Piece p;
            p.v[0] = P(lo).x, p.v[1] = P(lo).y, p.v[2] = P(hi).x, p.v[3] = P(hi).y;
            p.from = lo, p.to = hi;
            pieces.push_back(p);
            lo = hi;
            hi = search.farthestEnd(lo);
            continue;
        }
        const std::int32_t mid = lo + static_cast<std::int32_t>(std::nearbyint((hi - lo) * 0.5));
        bool kept = mid > lo && mid < hi && !search.ruledOut(lo, hi, mid);
        double cx = 0, cy = 0, a1 = 0, a2 = 0, r = 0, dev = 0;
        if (kept) {
            const geom::Arc c = geom::circleThrough({P(lo).x, P(lo).y}, {P(hi).x, P(hi).y}, {P(mid).x, P(mid).y});
            cx = c.centre.x, cy = c.centre.y, a1 = c.start, a2 = c.end, r = c.radius;
            kept = r * os <= s.maxArcRadius && r * os >= s.minArcRadius;
        }
        if (kept) {
            const double am = geom::direction({cx, cy}, {P(mid).x, P(mid).y});
            kept = between(am, a1, a2);
        }
        if (kept) {
            const double sweep = a1 <= a2 ? a2 - a1 : kFullTurnSweep - a1 + a2;
            const double len = r * sweep, rise = std::fabs(r * (1 - std::cos(sweep * 0.5)));
            kept = len * os >= s.minArcLength && sweep >= kMinSweep && sweep <= kMaxSweep && rise * os >= kMinRise;
        }
        if (kept) {
            const double sx = cx + r * std::cos(a1), sy = cy + r * std::sin(a1);
            const double ex = cx + r * std::cos(a2), ey = cy + r * std::sin(a2);
            const auto near = [](const ContourPoint& q, double x, double y) {
                return std::fabs(q.x - x) < kEndMatch && std::fabs(q.y - y) < kEndMatch;
            };
            kept = (near(P(lo), sx, sy) || near(P(lo), ex, ey)) && (near(P(hi), sx, sy) || near(P(hi), ex, ey));
        }
        // every sample from lo to before hi on the circle: a coarse pass first, which finds a
        // sample off it soonest, then all of them with the largest deviation
        constexpr std::int32_t kStride = 8;
        for (std::int32_t k = lo + kStride; kept && k < hi; k += kStride) kept = !search.offCircle(k, cx, cy, r);
        for (std::int32_t k = lo; kept && k < hi; ++k) {
            kept = !search.offCircle(k, cx, cy, r);
            dev = std::max(dev, std::fabs(r - distance(P(k).x, P(k).y, cx, cy)));
        }
        if (kept) {
            Piece p;
            p.arc = true;
            p.v[0] = cx, p.v[1] = cy, p.v[2] = r, p.v[3] = a1, p.v[4] = a2;
            p.from = lo, p.to = hi;
            pieces.push_back(p);
            worst = std::max(worst, dev * os);
            lo = hi;
            hi = search.farthestEnd(lo);
        } else {
            --hi;
        }
    }

    // Short straight pieces in a row are joined: two neighbouring straight pieces both
    // shorter than the shortest arc become one when every sample point they cover lies
    // within the fit tolerance of the joined chord. The joined piece keeps the outer ends,
    // so the path stays continuous; nothing is dropped without its ends being bridged.
    std::vector<Piece> joined;
    joined.reserve(pieces.size());
    for (const Piece& p : pieces) {
        if (!p.arc && !joined.empty() && !joined.back().arc) {
            Piece& q = joined.back();
            const bool shortBoth = distance(q.v[0], q.v[1], q.v[2], q.v[3]) * os < s.minArcLength &&
                                   distance(p.v[0], p.v[1], p.v[2], p.v[3]) * os < s.minArcLength;
            double dev = 0;
            for (std::int32_t k = q.from + 1; shortBoth && k < p.to; ++k)
                dev = std::max(dev, toSegment(P(k).x, P(k).y, q.v[0], q.v[1], p.v[2], p.v[3]));
            if (shortBoth && dev <= tol) {
                q.v[2] = p.v[2], q.v[3] = p.v[3];
                q.to = p.to;
                worst = std::max(worst, dev * os);
                continue;
            }
        }
        joined.push_back(p);
    }

    // nothing non-finite may reach the file, and nothing of a failed run is written
    for (const Piece& p : joined)
        if (!finite(p)) return false;
    long records = 0;
    try {
        for (const Piece& p : joined) {
            if (p.arc) {
                out.text("2").number(p.v[0]).number(p.v[1]).number(p.v[2]).number(p.v[3]).number(p.v[4]);
            } else {
                if (std::fabs(p.v[0] - p.v[2]) <= kSamePoint && std::fabs(p.v[1] - p.v[3]) <= kSamePoint) continue;
                out.text("1").number(p.v[0]).number(p.v[1]).number(p.v[2]).number(p.v[3]);
            }
            ++records;
        }
    } catch (const fault::OverflowFault&) {
        return false;
    }
    if (stats) {
        stats->records += records;
        stats->maxDeviation = std::max(stats->maxDeviation, worst);
    }
    return true;
}

bool writeContour(const engine::Model& m, std::int32_t first, std::int32_t last, std::int32_t& currentObject,
                  const Settings& s, wf::LineWriter& out, ContourStats& stats) {
    const std::int32_t size = static_cast<std::int32_t>(m.elements.size());
    const auto& e = m.elements;
    if (first >= 0 && first < size && e[first].object != currentObject) {
        out.text("n");
        currentObject = e[first].object;
    }
    if (first < 0) return true;
    last = std::min(last, size - 1);
    const double os = s.outputScale;

    // the work list; a record whose entries run past `last` is not part of this contour
    // and is left out, so n + 3 entries always suffice
    std::vector<ContourPoint> pts(static_cast<std::size_t>(countContourPoints(m, first, last)) + 3);
    std::int32_t j = 0;
    std::int16_t runGroup = kFirstRunGroup;
    for (std::int32_t i = first; i <= last; ++i) {
        const std::int16_t kind = e[i].kind;
        if (kind == kCodeLine && i + 1 <= last) {
            if (j + 2 > static_cast<std::int32_t>(pts.size())) continue;
            append(pts, j, e[i].x, e[i].y, kMarkLine);
            append(pts, j, e[i + 1].x, e[i + 1].y, 0);
        } else if (kind == kCodeArcMiddle && i + 2 <= last) {
            if (j + 3 > static_cast<std::int32_t>(pts.size())) continue;
            append(pts, j, e[i].x, e[i].y, kMarkArc);
            append(pts, j, e[i + 1].x, e[i + 1].y, 0);
            append(pts, j, e[i + 2].x, e[i + 2].y, 0);
        } else if (kind == kCodeQuadratic && i + 2 <= last) {
            if (i - 3 >= first && e[i - 3].kind == kCodeQuadratic) {
                std::int16_t corner = 0;
                double difference = 0;
                curveCorner(m, i - 3, corner, difference);
                if (corner == 1) ++runGroup;
            }
            const double x0 = e[i].x, y0 = e[i].y, x1 = e[i + 1].x, y1 = e[i + 1].y, x2 = e[i + 2].x, y2 = e[i + 2].y;
            const bool bentX = std::fabs(x0 - x1) >= kFlat || std::fabs(x1 - x2) >= kFlat;
            const bool bentY = std::fabs(y0 - y1) >= kFlat || std::fabs(y1 - y2) >= kFlat;
            if (bentX && bentY) {
                const std::int32_t start = j;
                if (!sampleQuadratic(pts, j, kCurveSamples, x0, y0, x1, y1, x2, y2)) continue;
                for (std::int32_t k = start; k < j; ++k) pts[k].mark = runGroup;
                pts[j - 1].x = x2;
                pts[j - 1].y = y2;
                stats.samples += kCurveSamples;
            } else {
                if (j + 2 > static_cast<std::int32_t>(pts.size())) continue;
                append(pts, j, x0, y0, kMarkLine);
                append(pts, j, x2, y2, 0);
            }
        }
    }

    const std::int32_t count = j;
    for (j = 0; j <= count - 2;) {
        const ContourPoint& p = pts[j];
        if (p.mark == kMarkLine) {
            out.text("1").number(p.x).number(p.y).number(pts[j + 1].x).number(pts[j + 1].y);
            ++stats.records;
            j += 2;
        } else if (p.mark == kMarkArc && j + 2 < count) {
            const double x1 = p.x, y1 = p.y, x2 = pts[j + 1].x, y2 = pts[j + 1].y, x3 = pts[j + 2].x, y3 = pts[j + 2].y;
            const bool level = std::fabs(y1 - y2) * os < kLevelArc || std::fabs(y3 - y2) * os < kLevelArc;
            double cx = 0, cy = 0, a1 = 0, a2 = 0, r = 0, len = 0;
            bool arc = !level;
            if (arc) {
                const geom::Arc c = geom::circleThrough({x1, y1}, {x3, y3}, {x2, y2});
                cx = c.centre.x, cy = c.centre.y, a1 = c.start, a2 = c.end, r = c.radius;
                arcLength(r, a1, a2, len);
                arc = r * os <= s.maxArcRadius && len * os >= s.minArcLength && r * os >= s.minArcRadius;
            }
            if (arc)
                out.text("2").number(cx).number(cy).number(r).number(a1).number(a2);
            else
                out.text("1").number(x1).number(y1).number(x3).number(y3);
            ++stats.records;
            j += 3;
        } else if (p.mark >= kFirstRunGroup) {
            std::int32_t k = j;
            while (k + 1 < count && pts[k + 1].mark == p.mark) ++k;
            if (!fitArcs(pts, j, k, s, out, &stats)) return false;
            j = k + 1;
        } else {
            ++j;
        }
    }
    return true;
}

bool writeContour(const engine::Model& m, std::int32_t first, std::int32_t last, std::int32_t& currentObject,
                  const Settings& s, wf::LineWriter& out) {
    ContourStats stats;
    return writeContour(m, first, last, currentObject, s, out, stats);
}

}  // namespace convert

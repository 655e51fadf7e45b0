// The fitting of a run of curve samples: as few arcs and lines as stay within the fit
// tolerance of the samples, found by a search that skips most ends without their full test.
#include <algorithm>
#include <cmath>
#include <vector>

#include "convert/contour_writer.h"
#include "geom/geom.h"

namespace convert {

namespace {

constexpr double kFullTurnSweep = geom::kTwoPi10;
constexpr double kMinSweep = 0.01, kMaxSweep = 1.57;  // rad, per fitted arc
constexpr double kMinRise = 0.001;           // mm, height of a fitted arc over its chord
constexpr double kEndMatch = 0.0001;         // internal units, recomputed arc end vs sample point
constexpr double kSamePoint = 0.00001;       // internal units: a straight piece this short is left out

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

// One piece of a run: an arc or a straight piece, and the samples it covers.
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

// The search for the pieces of a run of samples: from each start lo, the farthest end hi
// whose arc through lo, the middle sample and hi passes every test of the fitting (arcFits), trying
// hi = last, last - 1, ... in turn; with none, a straight piece to the next sample. Taken
// literally that is a full test of the span for every end of every piece, so two kinds of
// cheap tests go first, each refusing only ends that the full test refuses as well:
// - farthestEnd: three samples that no circle through lo passes near enough to rule out
//   every end beyond them at once, since every longer span holds them too;
// - ruledOut, per end: the centre and radius as geom::circleThrough finds them (bit for bit),
//   the radius limits, the sample that refused the end before (the circles of neighbouring
//   ends differ little), the sweep from plain products, a few samples spread over the span.
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

    // The pieces of the run from `first` to its last sample, as the literal search finds them;
    // `worst` takes the largest deviation (mm) of a sample from its arc.
    std::vector<Piece> pieces(std::int32_t first, double& worst) {
        std::vector<Piece> found;
        std::int32_t lo = first, hi = farthestEnd(first);
        while (lo < last_) {
            if (hi - lo <= 1) {
                Piece p;
                p.v[0] = P(lo).x, p.v[1] = P(lo).y, p.v[2] = P(hi).x, p.v[3] = P(hi).y;
                p.from = lo, p.to = hi;
                found.push_back(p);
                lo = hi;
                hi = farthestEnd(lo);
                continue;
            }
            Piece arc;
            double dev = 0;
            if (arcFits(lo, hi, arc, dev)) {
                found.push_back(arc);
                worst = std::max(worst, dev * s_.outputScale);
                lo = hi;
                hi = farthestEnd(lo);
            } else {
                --hi;
            }
        }
        return found;
    }

private:
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

    // The full test of the arc from lo through the middle sample to hi: true, with the arc and
    // the largest deviation of a sample from it, when it passes.
    bool arcFits(std::int32_t lo, std::int32_t hi, Piece& arc, double& dev) {
        const std::int32_t mid = lo + static_cast<std::int32_t>(std::nearbyint((hi - lo) * 0.5));
        if (!(mid > lo && mid < hi) || ruledOut(lo, hi, mid)) return false;
        const geom::Arc c = geom::circleThrough({P(lo).x, P(lo).y}, {P(hi).x, P(hi).y}, {P(mid).x, P(mid).y});
        if (!circlePasses(c, lo, hi, mid) || !samplesOnCircle(c, lo, hi, dev)) return false;
        arc.arc = true;
        arc.v[0] = c.centre.x, arc.v[1] = c.centre.y, arc.v[2] = c.radius, arc.v[3] = c.start, arc.v[4] = c.end;
        arc.from = lo, arc.to = hi;
        return true;
    }

    // The tests of the arc itself: the radius limits, the middle sample on the way from one end
    // to the other, the sweep, length and rise limits, and the ends, recomputed from the
    // circle, on the end samples.
    bool circlePasses(const geom::Arc& c, std::int32_t lo, std::int32_t hi, std::int32_t mid) const {
        const double cx = c.centre.x, cy = c.centre.y, a1 = c.start, a2 = c.end, r = c.radius;
        const double os = s_.outputScale;
        if (!(r * os <= s_.maxArcRadius && r * os >= s_.minArcRadius)) return false;
        if (!between(geom::direction({cx, cy}, {P(mid).x, P(mid).y}), a1, a2)) return false;
        const double sweep = a1 <= a2 ? a2 - a1 : kFullTurnSweep - a1 + a2;
        const double len = r * sweep, rise = std::fabs(r * (1 - std::cos(sweep * 0.5)));
        if (!(len * os >= s_.minArcLength && sweep >= kMinSweep && sweep <= kMaxSweep && rise * os >= kMinRise))
            return false;
        const double sx = cx + r * std::cos(a1), sy = cy + r * std::sin(a1);
        const double ex = cx + r * std::cos(a2), ey = cy + r * std::sin(a2);
        const auto near = [](const ContourPoint& q, double x, double y) {
            return std::fabs(q.x - x) < kEndMatch && std::fabs(q.y - y) < kEndMatch;
        };
        return (near(P(lo), sx, sy) || near(P(lo), ex, ey)) && (near(P(hi), sx, sy) || near(P(hi), ex, ey));
    }

    // Every sample from lo to before hi on the circle: a coarse pass first, which finds a
    // sample off it soonest, then all of them, with the largest deviation.
    bool samplesOnCircle(const geom::Arc& c, std::int32_t lo, std::int32_t hi, double& dev) {
        const double cx = c.centre.x, cy = c.centre.y, r = c.radius;
        constexpr std::int32_t kStride = 8;
        bool kept = true;
        for (std::int32_t k = lo + kStride; kept && k < hi; k += kStride) kept = !offCircle(k, cx, cy, r);
        for (std::int32_t k = lo; kept && k < hi; ++k) {
            kept = !offCircle(k, cx, cy, r);
            dev = std::max(dev, std::fabs(r - distance(P(k).x, P(k).y, cx, cy)));
        }
        return kept;
    }

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


// Short straight pieces in a row are joined: two neighbouring straight pieces both shorter
// than the shortest arc become one when every sample point they cover lies within the fit
// tolerance of the joined chord. The joined piece keeps the outer ends, so the path stays
// continuous; nothing is dropped without its ends being bridged. `worst` takes the largest
// deviation (mm) of a covered sample from its joined chord.
std::vector<Piece> joinShortLines(const std::vector<Piece>& pieces, const std::vector<ContourPoint>& pts,
                                  const Settings& s, double tol, double& worst) {
    const double os = s.outputScale;
    const auto P = [&](std::int32_t k) -> const ContourPoint& { return pts[k]; };
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
    return joined;
}

// The pieces' records: "2" for an arc, "1" for a straight piece (one too short to matter is
// left out), counted into `records`. False when a value is not finite (nothing is written
// then) or cannot be written.
bool writePieces(const std::vector<Piece>& pieces, wf::LineWriter& out, long& records) {
    for (const Piece& p : pieces)
        if (!finite(p)) return false;
    try {
        for (const Piece& p : pieces) {
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
    return true;
}

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

    double worst = 0;  // mm
    ArcSearch search(pts, first, last, s, tol);
    const std::vector<Piece> pieces = search.pieces(first, worst);
    // nothing non-finite may reach the file, and nothing of a failed run is written
    long records = 0;
    if (!writePieces(joinShortLines(pieces, pts, s, tol, worst), out, records)) return false;
    if (stats) {
        stats->records += records;
        stats->maxDeviation = std::max(stats->maxDeviation, worst);
    }
    return true;
}

}  // namespace convert

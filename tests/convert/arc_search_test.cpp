// The arc fitting's search skips most ends without their full test; these tests hold it to
// the literal search, which tries every end from the last one down with the full test.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "convert/contour_writer.h"
#include "convert/conversion.h"
#include "engine/contours.h"
#include "engine/shape.h"
#include "geom/geom.h"
#include "preview/scale.h"

using namespace convert;

namespace {

// The search as first written, in three steps: the pieces, the short straight pieces joined,
// the records written.
struct Piece {
    bool arc = false;
    double v[5] = {};
    std::int32_t from = 0, to = 0;
};

double dist(double ax, double ay, double bx, double by) { return std::hypot(bx - ax, by - ay); }

// For every start, every end from the last one down, each with every test and every sample
// checked; `worst` takes the largest deviation (mm) of a sample from its arc.
std::vector<Piece> literalPieces(const std::vector<ContourPoint>& pts, std::int32_t first, std::int32_t last,
                                 const Settings& s, double tol, double& worst) {
    const double os = s.outputScale;
    const auto P = [&](std::int32_t k) -> const ContourPoint& { return pts[static_cast<std::size_t>(k)]; };
    std::vector<Piece> pieces;
    for (std::int32_t lo = first, hi = last; lo < last;) {
        if (hi - lo <= 1) {
            pieces.push_back({false, {P(lo).x, P(lo).y, P(hi).x, P(hi).y}, lo, hi});
            lo = hi;
            hi = last;
            continue;
        }
        const std::int32_t mid = lo + static_cast<std::int32_t>(std::nearbyint((hi - lo) * 0.5));
        const geom::Arc arc = geom::circleThrough({P(lo).x, P(lo).y}, {P(hi).x, P(hi).y}, {P(mid).x, P(mid).y});
        const double cx = arc.centre.x, cy = arc.centre.y, a1 = arc.start, a2 = arc.end, r = arc.radius;
        double dev = 0;
        bool kept = r * os <= s.maxArcRadius && r * os >= s.minArcRadius;
        const double am = geom::direction({cx, cy}, {P(mid).x, P(mid).y});
        kept = kept && (a1 <= a2 ? am >= a1 && am <= a2 : am >= a1 || am <= a2);
        const double sweep = a1 <= a2 ? a2 - a1 : 6.283185307 - a1 + a2;
        kept = kept && r * sweep * os >= s.minArcLength && sweep >= 0.01 && sweep <= 1.57 &&
               std::fabs(r * (1 - std::cos(sweep * 0.5))) * os >= 0.001;
        const auto near = [](const ContourPoint& q, double x, double y) {
            return std::fabs(q.x - x) < 0.0001 && std::fabs(q.y - y) < 0.0001;
        };
        const double sx = cx + r * std::cos(a1), sy = cy + r * std::sin(a1);
        const double ex = cx + r * std::cos(a2), ey = cy + r * std::sin(a2);
        kept = kept && (near(P(lo), sx, sy) || near(P(lo), ex, ey)) && (near(P(hi), sx, sy) || near(P(hi), ex, ey));
        for (std::int32_t k = lo; kept && k < hi; ++k) {
            const double off = std::fabs(r - dist(P(k).x, P(k).y, cx, cy));
            kept = off <= tol;
            dev = std::max(dev, off);
        }
        if (!kept) {
            --hi;
            continue;
        }
        pieces.push_back({true, {cx, cy, r, a1, a2}, lo, hi});
        worst = std::max(worst, dev * os);
        lo = hi;
        hi = last;
    }
    return pieces;
}

// Two neighbouring straight pieces, both shorter than the shortest arc, joined when every
// sample they cover lies within the tolerance of the joined chord.
std::vector<Piece> literalJoin(const std::vector<Piece>& pieces, const std::vector<ContourPoint>& pts,
                               const Settings& s, double tol, double& worst) {
    const double os = s.outputScale;
    const auto P = [&](std::int32_t k) -> const ContourPoint& { return pts[static_cast<std::size_t>(k)]; };
    std::vector<Piece> joined;
    for (const Piece& p : pieces) {
        if (!p.arc && !joined.empty() && !joined.back().arc) {
            Piece& q = joined.back();
            const bool shortBoth = dist(q.v[0], q.v[1], q.v[2], q.v[3]) * os < s.minArcLength &&
                                   dist(p.v[0], p.v[1], p.v[2], p.v[3]) * os < s.minArcLength;
            double dev = 0;
            for (std::int32_t k = q.from + 1; shortBoth && k < p.to; ++k) {
                const double dx = p.v[2] - q.v[0], dy = p.v[3] - q.v[1], len2 = dx * dx + dy * dy;
                const double t = len2 > 0 ? std::clamp(((P(k).x - q.v[0]) * dx + (P(k).y - q.v[1]) * dy) / len2, 0.0, 1.0) : 0;
                dev = std::max(dev, dist(P(k).x, P(k).y, q.v[0] + t * dx, q.v[1] + t * dy));
            }
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

bool literalFit(const std::vector<ContourPoint>& pts, std::int32_t first, std::int32_t last, const Settings& s,
                wf::LineWriter& out, ContourStats& stats) {
    const double os = s.outputScale;
    const double tol = os < 1 ? s.fitTolerance : s.fitTolerance / os;
    double worst = 0;
    const std::vector<Piece> pieces = literalPieces(pts, first, last, s, tol, worst);
    const std::vector<Piece> joined = literalJoin(pieces, pts, s, tol, worst);
    for (const Piece& p : joined)
        for (double v : p.v)
            if (!std::isfinite(v)) return false;
    for (const Piece& p : joined) {
        if (p.arc) {
            out.text("2").number(p.v[0]).number(p.v[1]).number(p.v[2]).number(p.v[3]).number(p.v[4]);
        } else {
            if (std::fabs(p.v[0] - p.v[2]) <= 0.00001 && std::fabs(p.v[1] - p.v[3]) <= 0.00001) continue;
            out.text("1").number(p.v[0]).number(p.v[1]).number(p.v[2]).number(p.v[3]);
        }
        ++stats.records;
    }
    stats.maxDeviation = std::max(stats.maxDeviation, worst);
    return true;
}

// Both searches over the same run: the same records byte for byte, the same figures.
// Returns the number of arcs written.
int expectSameFit(const std::vector<ContourPoint>& pts, const Settings& s, const std::string& what) {
    const std::int32_t last = static_cast<std::int32_t>(pts.size()) - 1;
    wf::LineWriter fast, literal;
    ContourStats fastStats, literalStats;
    const bool fastOk = fitArcs(pts, 0, last, s, fast, &fastStats);
    const bool literalOk = literalFit(pts, 0, last, s, literal, literalStats);
    EXPECT_EQ(fastOk, literalOk) << what;
    EXPECT_EQ(fast.content(), literal.content()) << what;
    EXPECT_EQ(fastStats.records, literalStats.records) << what;
    EXPECT_EQ(fastStats.maxDeviation, literalStats.maxDeviation) << what;
    int arcs = 0;
    for (std::size_t at = 0; (at = literal.content().find("\r\n2\r\n", at)) != std::string::npos; ++at) ++arcs;
    return arcs + (literal.content().rfind("2\r\n", 0) == 0);
}

// Every contour of the letters as one run of curve samples, as "Start convert" has them.
std::vector<std::vector<ContourPoint>> letterRuns(const char* file, int shape, double& outputScale) {
    engine::Model m;
    engine::readGroundContours(m, std::filesystem::path(LK_TEST_DATA) / file, true);
    preview::scaleToHeight(m);
    m.shapeNumber = static_cast<std::int16_t>(shape);
    m.bigHeight = 152.4;
    engine::buildShape(m, true);
    const double d = m.smallHeight;
    preview::scaleModel(m, 200 / d);
    outputScale = d / 200;
    readBack(m, intermediateForm(m));
    std::vector<std::vector<ContourPoint>> runs(1);
    for (std::size_t i = 0; i + 2 < m.elements.size(); ++i) {
        const engine::Element* e = &m.elements[i];
        if (e->kind == engine::kCodeEnd && runs.back().size() > 2) runs.emplace_back();
        if (e->kind != engine::kCodeQuadratic) continue;
        auto& run = runs.back();
        std::int32_t next = static_cast<std::int32_t>(run.size());
        run.resize(run.size() + 20);
        sampleQuadratic(run, next, 20, e[0].x, e[0].y, e[1].x, e[1].y, e[2].x, e[2].y);
        run.back() = ContourPoint{e[2].x, e[2].y, 13};
    }
    if (runs.back().size() <= 2) runs.pop_back();
    return runs;
}

}  // namespace

// Centre and radius bit for bit as geom::circleThrough finds them, degenerate exactly where it
// gives r = 0, whatever the triangle: ordinary, nearly straight, tiny, far from the origin.
TEST(ArcSearch, TheCircleOfThreePointsIsCircleThroughsOwn) {
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> u(-1, 1);
    for (int i = 0; i < 200000; ++i) {
        const double scale = std::pow(10.0, static_cast<int>(rng() % 12) - 5);
        const double ox = u(rng) * std::pow(10.0, static_cast<int>(rng() % 10)), oy = u(rng) * 1000;
        double p[6];
        for (double& v : p) v = u(rng) * scale;
        if (i % 4 == 1) p[5] = p[1] + (p[3] - p[1]) * (p[4] - p[0]) / (p[2] - p[0]) + u(rng) * scale * 1e-13;
        if (i % 4 == 2) p[4] = p[0], p[5] = p[1];
        for (int k = 0; k < 6; k += 2) p[k] += ox, p[k + 1] += oy;
        const geom::Arc arc = geom::circleThrough({p[0], p[1]}, {p[2], p[3]}, {p[4], p[5]});
        const double cx = arc.centre.x, cy = arc.centre.y, r = arc.radius;
        const geom::Circle c = geom::circleOf({p[0], p[1]}, {p[2], p[3]}, {p[4], p[5]});
        ASSERT_EQ(c.degenerate, r == 0) << i;
        if (c.degenerate) continue;
        ASSERT_EQ(c.centre.x, cx) << i;
        ASSERT_EQ(c.centre.y, cy) << i;
        ASSERT_EQ(c.radius, r) << i;
    }
}

// The same records as the literal search: on the curves of real letters bent into shapes,
// under the presets a user may choose, and on sample runs of every awkward kind.
TEST(ArcSearch, SameRecordsAsTheLiteralSearch) {
    int arcs = 0, runs = 0;
    for (const char* file : {"words.dat", "avatar.dat", "long.dat"}) {
        for (int shape : {0, 4, 17}) {
            Settings s;
            const auto letters = letterRuns(file, shape, s.outputScale);
            for (std::size_t k = 0; k < letters.size(); ++k) {
                const std::string what = std::string(file) + " shape " + std::to_string(shape) + " run " + std::to_string(k);
                arcs += expectSameFit(letters[k], s, what);
                if (k % 7 == 0) {
                    Settings coarse = s;  // "Presetting": shorter arcs allowed, a smaller radius limit
                    coarse.minArcLength = 0.002 * 25.4;
                    coarse.maxArcRadius = 50;
                    coarse.fitTolerance = 0.2;
                    arcs += expectSameFit(letters[k], coarse, what + " coarse");
                }
                ++runs;
            }
        }
    }
    EXPECT_GT(runs, 500);
    EXPECT_GT(arcs, 10000) << arcs;

    // runs made to trouble a search: exact circles (the sweep decides), noise about the
    // tolerance, jumps, repeated points, straight stretches, changing curvature, a coarse grid,
    // far from the origin, at every scale
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> u(0, 1);
    int randomArcs = 0;
    for (int trial = 0; trial < 1500; ++trial) {
        Settings s;
        s.outputScale = std::pow(10.0, u(rng) * 3 - 1.5);
        if (trial % 3 == 0) s.fitTolerance = std::pow(10.0, u(rng) * 3 - 2);
        if (trial % 5 == 0) s.maxArcRadius = std::pow(10.0, u(rng) * 5);
        if (trial % 11 == 0) s.minArcRadius = 0;
        const int kind = trial % 8;
        const std::size_t n = 3 + rng() % (trial % 10 == 0 ? 800 : 150);
        const double scale = std::pow(10.0, u(rng) * 6 - 2), origin = trial % 4 == 0 ? std::pow(10.0, u(rng) * 9) : 0;
        double x = origin, y = -origin, dir = u(rng) * 6.3, turn = (u(rng) - 0.5) * 0.2;
        const double step = scale * (0.1 + u(rng));
        std::vector<ContourPoint> pts(n);
        for (ContourPoint& p : pts) {
            p = {x, y, 13};
            if (kind == 1) p.x += s.fitTolerance / s.outputScale * (u(rng) - 0.5) * 3, p.y += s.fitTolerance / s.outputScale * (u(rng) - 0.5) * 3;
            if (kind == 2 && rng() % 10 == 0) x += step * (u(rng) - 0.5) * 40, y += step * (u(rng) - 0.5) * 40;
            if (kind == 3 && rng() % 4 == 0) continue;
            if (kind == 4) turn = rng() % 30 == 0 ? (u(rng) - 0.5) : 0;
            if (kind == 5) turn += (u(rng) - 0.5) * 0.05;
            if (kind == 6) p.x = std::round(p.x / scale * 8) * scale / 8, p.y = std::round(p.y / scale * 8) * scale / 8;
            dir += turn;
            x += step * std::cos(dir);
            y += step * std::sin(dir);
        }
        randomArcs += expectSameFit(pts, s, "trial " + std::to_string(trial));
    }
    EXPECT_GT(randomArcs, 5000) << randomArcs;
}

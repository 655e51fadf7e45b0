#include "convert/contour_writer.h"
#include "convert/conversion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <string>

#include "geom/geom.h"
#include "preview/scale.h"
#include "support/shaped.h"
#include "support/temp_folder.h"
#include "workfile/stage_files.h"

using namespace convert;
using engine::Element;
using engine::Model;
namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

namespace {

struct Pt { double x, y; };
struct Rec {
    std::string key;
    double v[5] = {};  // "1": x1 y1 x2 y2; "2": cx cy r a1 a2
};

void add(Model& m, double x, double y, std::int16_t kind, std::int32_t object = 1) { m.elements.push({x, y, kind, object}); }

// a square of line records for `object`; open ones lack the last side before the end marker
void square(Model& m, double x0, std::int32_t object, bool closed) {
    const double pts[5][2] = {{x0, 0}, {x0 + 10, 0}, {x0 + 10, 10}, {x0, 10}, {x0, 0}};
    for (int i = 0; i < (closed ? 4 : 3); ++i) {
        add(m, pts[i][0], pts[i][1], engine::kCodeLine, object);
        add(m, pts[i + 1][0], pts[i + 1][1], engine::kCodeNone, object);
    }
    add(m, x0, 0, engine::kCodeEnd, object);
    add(m, x0, 0, engine::kCodeNone, object);
}

std::vector<Rec> parse(const std::string& content, bool withObjects = true) {
    std::vector<Rec> recs;
    const auto lines = wf::splitLines(content);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        Rec r{lines[i]};
        for (int k = 0, n = r.key == "1" ? 4 : r.key == "2" ? 5 : 0; k < n && i + 1 < lines.size(); ++k)
            r.v[k] = wf::parseNumber(lines[++i]);
        if (withObjects || r.key != "n") recs.push_back(r);
    }
    return recs;
}

double sweepOf(const Rec& r) { return r.v[3] <= r.v[4] ? r.v[4] - r.v[3] : geom::kTwoPi - r.v[3] + r.v[4]; }
// the point at t (0..1) along a record; arcs run counter-clockwise from a1
Pt at(const Rec& r, double t) {
    if (r.key == "1") return {r.v[0] + t * (r.v[2] - r.v[0]), r.v[1] + t * (r.v[3] - r.v[1])};
    const double a = r.v[3] + t * sweepOf(r);
    return {r.v[0] + r.v[2] * std::cos(a), r.v[1] + r.v[2] * std::sin(a)};
}
double dist(Pt a, Pt b) { return std::hypot(a.x - b.x, a.y - b.y); }
double toRecord(Pt p, const Rec& r) {
    if (r.key == "1") {
        const Pt a = at(r, 0), b = at(r, 1);
        const double dx = b.x - a.x, dy = b.y - a.y, l2 = dx * dx + dy * dy;
        const double t = l2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / l2, 0.0, 1.0) : 0;
        return dist(p, {a.x + t * dx, a.y + t * dy});
    }
    const double a = geom::direction({r.v[0], r.v[1]}, {p.x, p.y});
    if (std::fmod(a - r.v[3] + 2 * geom::kTwoPi, geom::kTwoPi) <= sweepOf(r)) return std::fabs(dist(p, {r.v[0], r.v[1]}) - r.v[2]);
    return std::min(dist(p, at(r, 0)), dist(p, at(r, 1)));
}
// the largest distance of any of the points from the nearest record
template <class P>
double farthest(const std::vector<P>& pts, const std::vector<Rec>& recs) {
    double worst = 0;
    for (const auto& p : pts) {
        double best = 1e300;
        for (const Rec& r : recs) best = std::min(best, toRecord({p.x, p.y}, r));
        worst = std::max(worst, best);
    }
    return worst;
}
Pt quadratic(const Element* e, double t) {
    const double u = 1 - t;
    return {u * u * e[0].x + 2 * u * t * e[1].x + t * t * e[2].x, u * u * e[0].y + 2 * u * t * e[1].y + t * t * e[2].y};
}

// Records chained end to end, either way round per arc; closed when the chain returns.
bool continuous(const std::vector<Rec>& recs, double eps, bool closed) {
    const auto same = [eps](Pt a, Pt b) { return std::fabs(a.x - b.x) < eps && std::fabs(a.y - b.y) < eps; };
    if (recs.empty()) return true;
    for (int way = 0; way < 2; ++way) {
        Pt start = at(recs[0], way), cur = at(recs[0], 1 - way);
        bool ok = true;
        for (std::size_t i = 1; ok && i < recs.size(); ++i) {
            if (same(at(recs[i], 0), cur)) cur = at(recs[i], 1);
            else if (recs[i].key == "2" && same(at(recs[i], 1), cur)) cur = at(recs[i], 0);
            else ok = false;
        }
        if (ok && (!closed || same(start, cur))) return true;
    }
    return false;
}

std::string writeText(const Model& m, int first, int last, const Settings& s) {
    wf::LineWriter out;
    std::int32_t object = 1;
    EXPECT_TRUE(writeContour(m, first, last, object, s, out));
    return out.content();
}
std::vector<Rec> write(const Model& m, int first, int last, const Settings& s) { return parse(writeText(m, first, last, s)); }
std::vector<Rec> fit(const std::vector<ContourPoint>& pts, int first, int last, const Settings& s, ContourStats* st = nullptr) {
    wf::LineWriter out;
    EXPECT_TRUE(fitArcs(pts, first, last, s, out, st));
    return parse(out.content());
}

// The fit of one run: its records' fingerprint, their count, the largest deviation and the
// number of arcs, as one line of the fixture.
std::string fitLine(const std::vector<ContourPoint>& pts, const Settings& s) {
    wf::LineWriter out;
    ContourStats stats;
    const bool ok = fitArcs(pts, 0, static_cast<std::int32_t>(pts.size()) - 1, s, out, &stats);
    const auto arcs = std::ranges::count(parse(out.content()), std::string("2"), &Rec::key);
    char line[128];
    std::snprintf(line, sizeof line, "%d %s %ld %a %ld", ok, wf::fingerprint(out.content()).c_str(), stats.records,
                  stats.maxDeviation, arcs);
    return line;
}

// The letters of a file bent into a shape, as "Start convert" has them: 200 units high, read
// back from the intermediate form; `outputScale` turns their units into mm.
Model shaped(const char* file, int shape, double& outputScale) {
    Model m = testsupport::built(fs::path(LK_TEST_DATA) / file, shape, 152.4, true);
    const double d = m.smallHeight;
    preview::scaleModel(m, 200 / d);
    outputScale = d / 200;
    readBack(m, intermediateForm(m));
    return m;
}

// Every contour of the letters as one run of curve samples.
std::vector<std::vector<ContourPoint>> letterRuns(const Model& m) {
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

// The real font letters, plain and bent: every contour a closed path whose records follow
// their curves within the tolerance, every curve sample covered, arcs within the sweep limits.
TEST(ContourWriter, RealLettersBecomeClosedPathsWithinTheTolerance) {
    for (const int shape : {0, 17}) {
        SCOPED_TRACE(shape);
        Settings s;
        const Model m = shaped("words.dat", shape, s.outputScale);
        const double tol = s.fitTolerance / s.outputScale + 1e-6;  // internal units

        std::int32_t object = 0;
        int contours = 0, curves = 0, arcs = 0;
        for (int first = 0, i = 0; i < int(m.elements.size()); ++i) {
            if (m.elements[i].kind != engine::kCodeEnd) continue;
            wf::LineWriter out;
            ASSERT_TRUE(writeContour(m, first, i - 1, object, s, out));
            const std::vector<Rec> recs = parse(out.content(), false);
            SCOPED_TRACE("contour " + std::to_string(++contours));
            EXPECT_TRUE(continuous(recs, 0.0002, true));

            // the geometry the contour stands for as lines, curves densely; the curves' sample points
            std::vector<Rec> reference;
            std::vector<Pt> samples, along;
            const auto line = [&](Pt a, Pt b) { reference.push_back({"1", {a.x, a.y, b.x, b.y}}); };
            for (int k = first; k < i; ++k) {
                const Element* e = &m.elements[k];
                if (e->kind == 1 || e->kind == 10) line({e[0].x, e[0].y}, {e[e->kind == 1 ? 1 : 2].x, e[e->kind == 1 ? 1 : 2].y});
                if (e->kind != 3) continue;
                ++curves;
                for (int t = 0; t < 60; ++t) line(quadratic(e, t / 60.0), quadratic(e, (t + 1) / 60.0));
                for (int t = 0; t <= 20; ++t) samples.push_back(quadratic(e, t / 20.0));
            }
            for (const Rec& r : recs) {
                arcs += r.key == "2";
                if (r.key == "2") { EXPECT_TRUE(sweepOf(r) >= 0.01 && sweepOf(r) <= 1.57) << sweepOf(r); }
                for (int k = 0; k <= 8; ++k) along.push_back(at(r, k / 8.0));
            }
            EXPECT_LE(farthest(along, reference), tol) << "record strays from its contour";
            EXPECT_LE(farthest(samples, recs), tol) << "sample point left uncovered";
            first = i + 1;
        }
        EXPECT_GE(contours, 8);
        EXPECT_GT(curves, 50);
        EXPECT_GT(arcs, curves / 4);  // the fit does replace curves by arcs
    }
}

// Lines, three-point arcs and flat curves against the cutting limits (in mm), object changes,
// contours cut short inside a record.
TEST(ContourWriter, LinesArcsAndFlatCurvesAgainstTheLimits) {
    const Settings s{{}, 0.5};  // 0.5 mm a unit: limits are in mm, internal lengths count half
    Model m;
    add(m, 0, 0, 3), add(m, 0.04, 5, 0), add(m, 0.08, 10, 0);     // flat in x: its chord
    add(m, 0, 10, 3), add(m, 5, 9.97, 0), add(m, 10, 10.01, 0);   // flat in y
    add(m, 0, 0, 1), add(m, 3, 4, 0);
    EXPECT_EQ(wf::splitLines(writeText(m, 0, 7, s)),
              (Lines{"1", " 0", " 0", " .08", " 10", "1", " 0", " 10", " 10", " 10.01", "1", " 0", " 0", " 3", " 4"}));
    EXPECT_EQ(countContourPoints(m, 0, 7), 20 + 20 + 2);
    EXPECT_EQ(countContourPoints(m, 0, 6), 20 + 20);  // the last entry does not count

    // three points on a circle of radius R about (0, -R), at the given degrees
    const auto arc = [&](double radius, double d1, double d2, double d3) {
        Model a;
        for (double deg : {d1, d2, d3}) {
            const double t = deg * geom::kPi / 180;
            add(a, radius * std::cos(t), -radius + radius * std::sin(t), deg == d1 ? 10 : 0);
        }
        return write(a, 0, 2, s);
    };
    const struct {
        double radius, d1, d2, d3;
        const char* key;
    } cases[] = {
        {17000, 80, 85, 89, "2"}, {18000, 80, 85, 89, "1"},  // 8500 mm; 9000 mm is too wide
        {1, 10, 20, 30, "2"},     {1, 10, 12, 14, "1"},      // 0.035 mm long
        {0.3, 0, 90, 180, "2"},   {0.18, 0, 90, 180, "1"},   // radius 0.09 mm
        {10, 0, 30, 60, "2"},     {10, 60, 120, 150, "1"},   // middle point level with the start
        {10, 30, 60, 120, "1"},                              // ... or with the end
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.radius) + " at " + std::to_string(c.d1));
        const auto v = arc(c.radius, c.d1, c.d2, c.d3);
        ASSERT_EQ(v.size(), 1u);
        EXPECT_EQ(v[0].key, c.key);
    }
    const auto kept = arc(10, 300, 330, 360);  // across angle 0
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_NEAR(dist({kept[0].v[0], kept[0].v[1]}, {0, -10}) + std::fabs(kept[0].v[2] - 10), 0, 1e-9);
    EXPECT_NEAR(arc(10, 60, 120, 150)[0].v[2], 10 * std::cos(150 * geom::kPi / 180), 1e-9);  // chord to the end

    // an empty contour still announces its object, once; past the list nothing is written
    Model o;
    add(o, 0, 0, 1, 4), add(o, 1, 0, 0, 4), add(o, 5, 5, 1, 7), add(o, 6, 5, 0, 7);
    std::int32_t object = 4;
    wf::LineWriter out;
    writeContour(o, 2, 1, object, s, out);
    EXPECT_EQ(object, 7);
    writeContour(o, 2, 3, object, s, out);
    writeContour(o, 4, 3, object, s, out);
    EXPECT_EQ(out.content(), "n\r\n1\r\n 5\r\n 5\r\n 6\r\n 5\r\n");

    // a contour cut short inside a record: what is there is written, nothing beyond it
    Model cut;
    add(cut, 0, 0, 1), add(cut, 5, 0, 0), add(cut, 5, 0, 3), add(cut, 9, 3, 0);
    EXPECT_EQ(write(cut, 0, 3, s).size(), 1u);
    EXPECT_EQ(write(cut, 0, 2, s).size(), 1u);
}

// The arc fit: few records, every sample within the tolerance, the path unbroken, corners kept;
// faults write nothing. (The sweep limit is held on real letters above, and the fit of every
// run against the full search in the arc search's fixture.)
TEST(ContourWriter, FitReplacesSamplesByFewArcsAndLines) {
    const Settings s{{}, 0.5};  // 0.5 mm a unit
    // 25 samples over 1.2 rad of a circle, slightly off it: one arc
    std::vector<ContourPoint> pts;
    for (int k = 0; k <= 24; ++k) {
        const double t = 0.3 + 1.2 * k / 24, r = k == 0 || k == 24 ? 40 : 40 + (k % 2 ? 0.02 : -0.02);
        pts.push_back({5 + r * std::cos(t), 7 + r * std::sin(t), 13});
    }
    ContourStats st;
    auto r = fit(pts, 0, 24, s, &st);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].key, "2");
    EXPECT_NEAR(r[0].v[0], 5, 0.2);  // the circle through the ends and the (low) middle sample
    EXPECT_NEAR(r[0].v[2], 40, 0.2);
    // counter-clockwise: from the first sample to the last
    EXPECT_NEAR(dist(at(r[0], 0), {pts[0].x, pts[0].y}) + dist(at(r[0], 1), {pts[24].x, pts[24].y}), 0, 2e-4);
    EXPECT_GT(st.maxDeviation, 0.01);                            // mm
    EXPECT_LE(st.maxDeviation, s.fitTolerance * s.outputScale);  // internal tolerance 0.05
    EXPECT_EQ(st.records, 1);

    // a corner between two curves parts their samples even where one arc would fit them all
    const Settings loose{{.fitTolerance = 20}};
    Model m2;
    add(m2, 0, 0, 3), add(m2, 50, 1, 0), add(m2, 100, 0, 0), add(m2, 100, 0, 3), add(m2, 150, -19, 0), add(m2, 200, -36, 0);
    r = write(m2, 0, 5, loose);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_NEAR(dist(at(r[0], 0), {100, 0}) * dist(at(r[0], 1), {100, 0}), 0, 1e-3);

    // two points: one line, 15 digits exact; one point, or no length: nothing
    EXPECT_TRUE(fit(pts, 5, 5, s).empty());
    EXPECT_TRUE(fit({{1, 1, 13}, {1, 1.000005, 13}}, 0, 1, s).empty());
    r = fit(pts, 3, 4, s);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].key, "1");
    EXPECT_NEAR(r[0].v[0], pts[3].x, 1e-12);
    EXPECT_NEAR(r[0].v[3], pts[4].y, 1e-12);

    // a corner of tiny steps is joined to few lines; a repeated point is no record of its own
    std::vector<ContourPoint> steps;
    for (int k = 0; k <= 20; ++k) steps.push_back({k <= 10 ? 0.01 * k : 0.1, k <= 10 ? 0 : 0.01 * (k - 10), 13});
    steps.push_back(steps.back());
    r = fit(steps, 0, 21, s);
    EXPECT_LE(r.size(), 6u);
    EXPECT_TRUE(continuous(r, 1e-9, false));
    EXPECT_EQ(at(r.front(), 0).x, 0);
    EXPECT_EQ(at(r.back(), 1).y, 0.1);
    EXPECT_LE(farthest(steps, r), s.fitTolerance + 1e-9);

    // faults end the fit without writing anything, also through writeContour
    wf::LineWriter bad;
    steps[4].y = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(fitArcs(steps, 0, 21, s, bad));
    EXPECT_FALSE(fitArcs(steps, 0, 22, s, bad));
    EXPECT_FALSE(fitArcs(steps, -1, 3, s, bad));
    Model m;
    add(m, 0, 0, 3), add(m, std::numeric_limits<double>::infinity(), 5, 0), add(m, 10, 0, 0);
    std::int32_t object = 1;
    EXPECT_FALSE(writeContour(m, 0, 2, object, s, bad));
    EXPECT_TRUE(bad.content().empty());
}

// Curve sampling by forward differences against the curve itself, its room check, and the
// corner test at curve joins (also across direction 0).
TEST(ContourWriter, SamplingAndCorners) {
    std::vector<ContourPoint> pts(30);
    std::int32_t next = 3;
    const Element e[3] = {{1, 2, 3, 0, 0}, {7, -4, 0, 0, 0}, {-2, 9, 0, 0, 0}};
    ASSERT_TRUE(sampleQuadratic(pts, next, 20, 1, 2, 7, -4, -2, 9));
    EXPECT_EQ(next, 23);
    for (int k = 0; k < 20; ++k) EXPECT_LT(dist({pts[3 + k].x, pts[3 + k].y}, quadratic(e, k / 20.0)), 1e-12) << k;
    EXPECT_EQ(pts[23].x, 0);
    EXPECT_FALSE(sampleQuadratic(pts, next, 8, 1, 2, 7, -4, -2, 9));  // 31 > 30
    EXPECT_EQ(next, 23);
    EXPECT_EQ(pts[29].x, 0);

    // each direction is taken over the last (first) 1/99 of its curve: atan(1/198) off the tangent
    const struct {
        std::vector<Pt> p;
        std::int16_t corner;
        double difference, within;
    } joins[] = {
        {{{0, 0}, {5, 5}, {10, 5}, {10, 5}, {15, 5}, {20, 0}}, 0, 2 * std::atan(1.0 / 198), 1e-6},  // smooth
        {{{0, 0}, {10, 1}, {20, 0}, {20, 0}, {30, 1}, {40, 0}}, 0, 0.2, 0.005},    // 2pi - 0.1 to 0.1
        {{{0, 0}, {5, 1}, {10, 0}, {10, 0}, {30, 1}, {50, 0}}, 0, 0.245, 0.003},   // 2pi - 0.2 to 0.05
        {{{0, 0}, {5, 5}, {10, 5}, {10, 5}, {10, 10}, {15, 15}}, 1, geom::kPi / 2, 0.02},
        {{{0, 0}, {5, 5}, {10, 5}}, 0, 0, 0},  // no second curve
    };
    for (const auto& j : joins) {
        SCOPED_TRACE(j.difference);
        Model m;
        for (Pt q : j.p) add(m, q.x, q.y, m.elements.size() % 3 ? 0 : 3);
        std::int16_t c = -1;
        double diff = -1;
        curveCorner(m, 0, c, diff);
        EXPECT_EQ(c, j.corner);
        EXPECT_NEAR(diff, j.difference, j.within);
    }
}

// The fitted records of every run, byte for byte (by fingerprint), as the search that tries
// every end with the full test wrote them: the curves of real letters bent into shapes, under
// the presets a user may choose, and runs made to trouble a search (exact circles, noise about
// the tolerance, jumps, repeated points, straight stretches, changing curvature, a coarse
// grid, far from the origin, at every scale). LK_WRITE_FIXTURE=1 writes the fixture anew.
TEST(ArcSearch, SameRecordsAsTheFullSearch) {
    std::vector<std::pair<std::string, std::string>> got;
    for (const char* file : {"words.dat", "avatar.dat", "long.dat"})
        for (int shape : {0, 4, 17}) {
            Settings s;
            const auto letters = letterRuns(shaped(file, shape, s.outputScale));
            // "Presetting": shorter arcs allowed, a smaller radius limit
            const Settings coarse{{.minArcLength = 0.002 * 25.4, .maxArcRadius = 50, .fitTolerance = 0.2}, s.outputScale};
            for (std::size_t k = 0; k < letters.size(); k += 5) {
                const std::string name = std::string(file) + "/" + std::to_string(shape) + "/" + std::to_string(k);
                got.emplace_back(name, fitLine(letters[k], s));
                if (k % 15 == 0) got.emplace_back(name + "/coarse", fitLine(letters[k], coarse));
            }
        }
    std::mt19937_64 rng(5);
    const auto u = [&rng] { return static_cast<double>(rng() >> 11) * 0x1p-53; };
    for (int trial = 0; trial < 400; ++trial) {
        Settings s;
        s.outputScale = std::pow(10.0, u() * 3 - 1.5);
        if (trial % 3 == 0) s.fitTolerance = std::pow(10.0, u() * 3 - 2);
        if (trial % 5 == 0) s.maxArcRadius = std::pow(10.0, u() * 5);
        if (trial % 11 == 0) s.minArcRadius = 0;
        const int kind = trial % 8;
        const std::size_t n = 3 + rng() % (trial % 10 == 0 ? 800 : 150);
        const double scale = std::pow(10.0, u() * 6 - 2), origin = trial % 4 == 0 ? std::pow(10.0, u() * 9) : 0;
        double x = origin, y = -origin, dir = u() * 6.3, turn = (u() - 0.5) * 0.2;
        const double step = scale * (0.1 + u()), noise = s.fitTolerance / s.outputScale * 3;
        std::vector<ContourPoint> pts(n);
        for (ContourPoint& p : pts) {
            p = {x, y, 13};
            if (kind == 1) p.x += noise * (u() - 0.5), p.y += noise * (u() - 0.5);
            if (kind == 2 && rng() % 10 == 0) x += step * (u() - 0.5) * 40, y += step * (u() - 0.5) * 40;
            if (kind == 3 && rng() % 4 == 0) continue;
            if (kind == 4) turn = rng() % 30 == 0 ? (u() - 0.5) : 0;
            if (kind == 5) turn += (u() - 0.5) * 0.05;
            if (kind == 6) p.x = std::round(p.x / scale * 8) * scale / 8, p.y = std::round(p.y / scale * 8) * scale / 8;
            dir += turn;
            x += step * std::cos(dir);
            y += step * std::sin(dir);
        }
        got.emplace_back("trial/" + std::to_string(trial), fitLine(pts, s));
    }
    const fs::path fixture = fs::path(LK_FIXTURES) / "arc_search.txt";
    if (std::getenv("LK_WRITE_FIXTURE")) {
        std::ofstream out(fixture);
        for (const auto& [name, line] : got) out << name << ' ' << line << '\n';
    }
    std::ifstream in(fixture);
    std::string name, line;
    std::size_t i = 0, arcs = 0;
    for (; in >> name && std::getline(in, line); ++i) {
        ASSERT_LT(i, got.size());
        EXPECT_EQ(got[i].first, name);
        EXPECT_EQ(got[i].second, line.substr(1)) << name << " (ok, fingerprint, records, deviation, arcs)";
        arcs += std::stoul(line.substr(line.rfind(' ')));
    }
    EXPECT_EQ(i, got.size());
    EXPECT_GT(arcs, 3000u);
}

// Open contours get their closing line in the intermediate form, closed ones none; the
// contour file frames each contour in "a" ... "e", says "n" only where the letter changes and
// ends in "s", even with no contour at all.
TEST(ConversionFiles, IntermediateFormAndContourFile) {
    Model m;
    square(m, 0, 1, true);
    square(m, 20, 1, false);  // the last line ends at (20, 10)
    square(m, 40, 2, true);
    const Lines l = wf::splitLines(intermediateForm(m));
    // 4 lines + "6", then 3 lines + the closing line + "6", ...; a line record is 7 lines of text
    ASSERT_EQ(l.size(), 3u * (4 * 7 + 1));
    EXPECT_EQ(l[28], "6");
    EXPECT_EQ(Lines(l.begin() + 50, l.begin() + 58), (Lines{"1", " 20", " 10", " 1", " 20", " 0", " 1", "6"}));

    readBack(m, intermediateForm(m));
    ASSERT_EQ(m.elements.size(), 3u * (4 * 2 + 1));
    EXPECT_EQ(m.elements[8].kind, engine::kCodeEnd);
    EXPECT_EQ(m.elements[9].kind, engine::kCodeLine);
    EXPECT_EQ(m.elements[9].x, 20);
    std::int32_t current = 0;
    const Lines c = wf::splitLines(contourFile(m, Settings{}, current));
    EXPECT_EQ(current, 2);
    Lines keys;
    for (std::size_t i = 0; i < c.size(); i += c[i] == "1" ? 5 : 1)
        if (c[i] != "1") keys.push_back(c[i]);
    EXPECT_EQ(keys, (Lines{"a", "n", "e", "a", "e", "a", "n", "e", "s"}));
    EXPECT_EQ(std::count(c.begin(), c.end(), "1"), 12);

    Model open;  // no end marker
    add(open, 0, 0, engine::kCodeLine), add(open, 5, 0, engine::kCodeNone);
    readBack(open, intermediateForm(open));
    EXPECT_EQ(contourFile(open, Settings{}, current), "s\r\n");
}

// workm.dat: finished bar elements only (type 3 and up), angles in radians.
TEST(ConversionFiles, BarFileHoldsFinishedElementsInRadians) {
    Model m;
    m.barArcs.push({1, 2, 3, 0, 90, 4, 0});
    m.barArcs.push({1, 2, 4, 90, 180, 4, 0});
    m.barArcs.push({0, 0, 9, 0, 10, 1, 0});  // under construction
    for (int i = 0; i < 4; ++i) m.barLines.push({double(i), 0, double(i) + 1, 0, 4, 0});
    m.barLines.push({0, 0, 1, 1, 2, 0});
    const Lines l = wf::splitLines(barFile(m));
    ASSERT_EQ(l.size(), 2u + 2 * 6 + 4 * 5);
    EXPECT_EQ(Lines(l.begin(), l.begin() + 14), (Lines{" 2", " 4", " 1", " 2", " 3", " 0", " 1.5707963267949", " 0",
                                                      " 1", " 2", " 4", " 1.5707963267949", " 3.14159265358979", " 0"}));
}

// workrl.dat replaced whole, workm.dat removed with the connection off; a read-back beyond the
// list's capacity is a fault that leaves the old workrl.dat.
TEST(ConversionFiles, FilesAreReplacedWholeOrNotAtAll) {
    testsupport::TempFolder t;
    Model m;
    square(m, 0, 1, true);
    m.barLines.push({0, 0, 1, 0, 5, 1});
    const Targets to{t.work("workrl.dat"), t.work("workm.dat")};
    std::int32_t current = 0;
    writeConversionFiles(m, true, to, Settings{}, current);
    EXPECT_EQ(wf::splitLines(t.read("workm.dat")).size(), 2u + 5);
    const std::string before = t.read("workrl.dat");

    for (int i = 0; i < 2; ++i) {  // and stays gone
        writeConversionFiles(m, false, to, Settings{}, current);
        EXPECT_FALSE(t.exists("workm.dat"));
    }
    const std::string last = t.read("workrl.dat");
    EXPECT_EQ(wf::splitLines(last).size(), wf::splitLines(before).size() - 1);  // announced before: no "n"
    EXPECT_EQ(wf::splitLines(last).back(), "s");

    Model full;
    // open contours: 8 entries each become 9 with the closing line
    while (full.elements.size() + 8 <= engine::kMaxElements) square(full, 0, 1, false);
    EXPECT_THROW(writeConversionFiles(full, false, to, Settings{}, current), fault::CapacityFault);
    EXPECT_EQ(t.read("workrl.dat"), last);
}

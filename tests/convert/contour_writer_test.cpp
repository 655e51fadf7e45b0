#include "convert/contour_writer.h"
#include "convert/conversion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <limits>
#include <string>

#include "engine/contours.h"
#include "geomlib/geomlib.h"
#include "preview/scale.h"

using namespace convert;
using engine::Element;
using engine::Model;

namespace {

struct Pt {
    double x, y;
};
struct Rec {
    std::string key;
    double v[5] = {};
};

void add(Model& m, double x, double y, std::int16_t kind, std::int32_t object = 1) {
    Element e;
    e.x = x, e.y = y, e.kind = kind, e.object = object;
    m.elements.push(e);
}

// The loaded letters as the conversion works on them: in internal units and read back.
Model normalised(Model m, double factor) {
    preview::endmass(m, factor);
    readBack(m, intermediateForm(m));
    return m;
}

std::vector<Rec> parse(const std::string& content) {
    std::vector<Rec> recs;
    const auto lines = wf::splitLines(content);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        Rec r;
        r.key = lines[i];
        const int n = r.key == "1" ? 4 : r.key == "2" ? 5 : 0;
        for (int k = 0; k < n && i + 1 < lines.size(); ++k) r.v[k] = wf::parseNumber(lines[++i]);
        recs.push_back(r);
    }
    return recs;
}

Pt arcPoint(const Rec& r, double a) { return {r.v[0] + r.v[2] * std::cos(a), r.v[1] + r.v[2] * std::sin(a)}; }
double sweepOf(const Rec& r) { return r.v[3] <= r.v[4] ? r.v[4] - r.v[3] : geom::kTwoPi - r.v[3] + r.v[4]; }
std::array<Pt, 2> ends(const Rec& r) {
    if (r.key == "2") return {arcPoint(r, r.v[3]), arcPoint(r, r.v[3] + sweepOf(r))};
    return {Pt{r.v[0], r.v[1]}, Pt{r.v[2], r.v[3]}};
}
// points along the record
std::vector<Pt> along(const Rec& r, int n) {
    std::vector<Pt> p;
    for (int k = 0; k <= n; ++k) {
        const double t = double(k) / n;
        if (r.key == "2")
            p.push_back(arcPoint(r, r.v[3] + t * sweepOf(r)));
        else
            p.push_back({r.v[0] + t * (r.v[2] - r.v[0]), r.v[1] + t * (r.v[3] - r.v[1])});
    }
    return p;
}
double dist(Pt a, Pt b) { return std::hypot(a.x - b.x, a.y - b.y); }
double toSegment(Pt p, Pt a, Pt b) {
    const double dx = b.x - a.x, dy = b.y - a.y, l2 = dx * dx + dy * dy;
    const double t = l2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / l2, 0.0, 1.0) : 0;
    return dist(p, {a.x + t * dx, a.y + t * dy});
}
double toRecord(Pt p, const Rec& r) {
    if (r.key == "1") return toSegment(p, {r.v[0], r.v[1]}, {r.v[2], r.v[3]});
    double a = 0;
    geom::winkelx(r.v[0], r.v[1], p.x, p.y, a);
    const double along = std::fmod(a - r.v[3] + 2 * geom::kTwoPi, geom::kTwoPi);
    if (along <= sweepOf(r)) return std::fabs(dist(p, {r.v[0], r.v[1]}) - r.v[2]);
    const auto e = ends(r);
    return std::min(dist(p, e[0]), dist(p, e[1]));
}
Pt quadratic(const Element* e, double t) {
    const double u = 1 - t;
    return {u * u * e[0].x + 2 * u * t * e[1].x + t * t * e[2].x, u * u * e[0].y + 2 * u * t * e[1].y + t * t * e[2].y};
}

// Records chained end to end, either way round per arc; closed when the chain returns.
bool continuous(const std::vector<Rec>& recs, double eps, bool closed) {
    if (recs.empty()) return true;
    for (int way = 0; way < 2; ++way) {
        const auto e0 = ends(recs[0]);
        Pt start = way ? e0[1] : e0[0], cur = way ? e0[0] : e0[1];
        bool ok = true;
        for (std::size_t i = 1; ok && i < recs.size(); ++i) {
            const auto e = ends(recs[i]);
            if (std::fabs(e[0].x - cur.x) < eps && std::fabs(e[0].y - cur.y) < eps)
                cur = e[1];
            else if (recs[i].key == "2" && std::fabs(e[1].x - cur.x) < eps && std::fabs(e[1].y - cur.y) < eps)
                cur = e[0];
            else
                ok = false;
        }
        if (ok && (!closed || (std::fabs(start.x - cur.x) < eps && std::fabs(start.y - cur.y) < eps))) return true;
    }
    return false;
}

std::vector<Rec> write(const Model& m, int first, int last, const Settings& s, std::int32_t object = 1) {
    wf::LineWriter out;
    EXPECT_TRUE(writeContour(m, first, last, object, s, out));
    return parse(out.content());
}

}  // namespace

TEST(ContourWriter, RealLettersBecomeClosedPathsWithinTheTolerance) {
    Model loaded;
    engine::readGroundContours(loaded, std::filesystem::path(LK_TEST_DATA) / "words.dat", true);
    preview::masstaebe(loaded);
    const double d = loaded.smallHeight;
    const Model m = normalised(loaded, 200 / d);
    Settings s;
    s.outputScale = d / 200;
    const double tol = s.fitTolerance / s.outputScale + 1e-6;  // internal units

    std::int32_t object = 0;
    int contours = 0, curves = 0, arcs = 0;
    for (int first = 0, i = 0; i < int(m.elements.size()); ++i) {
        if (m.elements[i].kind != engine::kCodeEnd) continue;
        wf::LineWriter out;
        ASSERT_TRUE(writeContour(m, first, i - 1, object, s, out));
        std::vector<Rec> recs;
        for (const Rec& r : parse(out.content()))
            if (r.key != "n") recs.push_back(r);
        ++contours;
        EXPECT_TRUE(continuous(recs, 0.0002, true)) << "contour " << contours;

        // the geometry the contour stands for, curves densely; and the curves' sample points
        std::vector<std::pair<Pt, Pt>> reference;
        std::vector<Pt> samples;
        for (int k = first; k < i; ++k) {
            const Element* e = &m.elements[k];
            if (e->kind == 1 || e->kind == 10) reference.push_back({{e[0].x, e[0].y}, {e[e->kind == 1 ? 1 : 2].x, e[e->kind == 1 ? 1 : 2].y}});
            if (e->kind != 3) continue;
            ++curves;
            for (int t = 0; t < 60; ++t) reference.push_back({quadratic(e, t / 60.0), quadratic(e, (t + 1) / 60.0)});
            for (int t = 0; t <= 20; ++t) samples.push_back(quadratic(e, t / 20.0));
        }
        for (const Rec& r : recs) {
            if (r.key == "2") {
                ++arcs;
                EXPECT_GE(sweepOf(r), 0.01);
                EXPECT_LE(sweepOf(r), 1.57);
            }
            for (const Pt& p : along(r, 8)) {
                double best = 1e300;
                for (const auto& seg : reference) best = std::min(best, toSegment(p, seg.first, seg.second));
                EXPECT_LE(best, tol) << "record strays from its contour, contour " << contours;
            }
        }
        for (const Pt& p : samples) {
            double best = 1e300;
            for (const Rec& r : recs) best = std::min(best, toRecord(p, r));
            EXPECT_LE(best, tol) << "sample point left uncovered, contour " << contours;
        }
        first = i + 1;
    }
    EXPECT_GE(contours, 8);
    EXPECT_GT(curves, 50);
    EXPECT_GT(arcs, curves / 4);  // the fit does replace curves by arcs
}

TEST(ContourWriter, LinesArcsAndFlatCurvesAgainstTheLimits) {
    Settings s;
    s.outputScale = 0.5;  // limits are in mm: internal lengths count half
    // flat curves become their chord; a bent one is sampled
    Model m;
    add(m, 0, 0, 3), add(m, 0.04, 5, 0), add(m, 0.08, 10, 0);     // flat in x
    add(m, 0, 10, 3), add(m, 5, 9.97, 0), add(m, 10, 10.01, 0);   // flat in y
    add(m, 0, 0, 1), add(m, 3, 4, 0);
    auto r = write(m, 0, 7, s);
    ASSERT_EQ(r.size(), 3u);
    for (const Rec& x : r) EXPECT_EQ(x.key, "1");
    EXPECT_EQ(r[0].v[2], 0.08);
    EXPECT_EQ(r[0].v[3], 10);
    EXPECT_EQ(r[1].v[2], 10);
    EXPECT_EQ(r[2].v[3], 4);
    EXPECT_EQ(countContourPoints(m, 0, 7), 20 + 20 + 2);
    EXPECT_EQ(countContourPoints(m, 0, 6), 20 + 20);  // the last entry does not count

    // arcs: three points on a circle of radius R about (0, -R), at the given degrees
    const auto arc = [&](double radius, double d1, double d2, double d3) {
        Model a;
        for (double deg : {d1, d2, d3}) {
            const double t = deg * geom::kPi / 180;
            add(a, radius * std::cos(t), -radius + radius * std::sin(t), deg == d1 ? 10 : 0);
        }
        return write(a, 0, 2, s);
    };
    const auto key = [](const std::vector<Rec>& v) { return v.size() == 1 ? v[0].key : std::string("?"); };
    EXPECT_EQ(key(arc(17000, 80, 85, 89)), "2");   // 8500 mm
    EXPECT_EQ(key(arc(18000, 80, 85, 89)), "1");   // 9000 mm: too wide
    EXPECT_EQ(key(arc(1, 10, 20, 30)), "2");
    EXPECT_EQ(key(arc(1, 10, 12, 14)), "1");        // 0.035 mm long
    EXPECT_EQ(key(arc(0.3, 0, 90, 180)), "2");
    EXPECT_EQ(key(arc(0.18, 0, 90, 180)), "1");     // radius 0.09 mm
    EXPECT_EQ(key(arc(10, 0, 30, 60)), "2");
    EXPECT_EQ(key(arc(10, 60, 120, 150)), "1");     // middle point level with the start
    EXPECT_EQ(key(arc(10, 30, 60, 120)), "1");      // ... or with the end
    const auto kept = arc(10, 300, 330, 360);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_NEAR(kept[0].v[0], 0, 1e-9);
    EXPECT_NEAR(kept[0].v[1], -10, 1e-9);
    EXPECT_NEAR(kept[0].v[2], 10, 1e-9);
    const auto chord = arc(10, 60, 120, 150);
    ASSERT_EQ(chord.size(), 1u);
    EXPECT_NEAR(chord[0].v[2], 10 * std::cos(150 * geom::kPi / 180), 1e-9);  // start to end

    // "n" when the object changes only; an empty contour still announces it
    Model o;
    add(o, 0, 0, 1, 4), add(o, 1, 0, 0, 4), add(o, 0, 0, 1, 4), add(o, 1, 1, 0, 4), add(o, 5, 5, 1, 7), add(o, 6, 5, 0, 7);
    std::int32_t object = 4;
    wf::LineWriter out;
    writeContour(o, 0, 1, object, s, out);
    writeContour(o, 2, 3, object, s, out);
    EXPECT_EQ(out.content().find('n'), std::string::npos);
    writeContour(o, 4, 3, object, s, out);
    EXPECT_EQ(object, 7);
    writeContour(o, 4, 5, object, s, out);
    writeContour(o, 6, 5, object, s, out);  // past the list: nothing
    const auto all = wf::splitLines(out.content());
    EXPECT_EQ(std::count(all.begin(), all.end(), "n"), 1);
    EXPECT_EQ(std::count(all.begin(), all.end(), "1"), 3);

    // a contour cut short inside a record: what is there is written, nothing beyond it
    Model cut;
    add(cut, 0, 0, 1), add(cut, 5, 0, 0), add(cut, 5, 0, 3), add(cut, 9, 3, 0);
    EXPECT_EQ(write(cut, 0, 3, s).size(), 1u);
    EXPECT_EQ(write(cut, 0, 2, s).size(), 1u);
}

TEST(ContourWriter, FitReplacesSamplesByFewArcsAndLines) {
    Settings s;
    s.outputScale = 0.5;
    // 25 samples over 1.2 rad of a circle, slightly off it: one arc
    std::vector<ContourPoint> pts;
    for (int k = 0; k <= 24; ++k) {
        const double t = 0.3 + 1.2 * k / 24;
        const double r = 40 + (k % 2 ? 0.02 : -0.02);
        pts.push_back({5 + (k == 0 || k == 24 ? 40 : r) * std::cos(t), 7 + (k == 0 || k == 24 ? 40 : r) * std::sin(t), 13});
    }
    wf::LineWriter out;
    ContourStats st;
    ASSERT_TRUE(fitArcs(pts, 0, 24, s, out, &st));
    auto r = parse(out.content());
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].key, "2");
    EXPECT_NEAR(r[0].v[0], 5, 0.2);  // the circle through the ends and the (low) middle sample
    EXPECT_NEAR(r[0].v[2], 40, 0.2);
    const auto e = ends(r[0]);     // counter-clockwise: from the first sample to the last
    EXPECT_NEAR(dist(e[0], {pts[0].x, pts[0].y}) + dist(e[1], {pts[24].x, pts[24].y}), 0, 2e-4);
    EXPECT_GT(st.maxDeviation, 0.01);                                    // mm
    EXPECT_LE(st.maxDeviation, s.fitTolerance * s.outputScale);          // internal tolerance 0.05
    EXPECT_EQ(st.records, 1);

    // 2.4 rad of an exact circle: no arc sweeps more than 1.57
    std::vector<ContourPoint> wide;
    for (int k = 0; k <= 24; ++k) wide.push_back({40 * std::cos(0.1 * k), 40 * std::sin(0.1 * k), 13});
    wf::LineWriter split;
    ASSERT_TRUE(fitArcs(wide, 0, 24, s, split));
    r = parse(split.content());
    ASSERT_EQ(r.size(), 2u);
    EXPECT_NEAR(sweepOf(r[0]) + sweepOf(r[1]), 2.4, 1e-9);
    EXPECT_TRUE(continuous(r, 2e-4, false));

    // a corner between two curves parts their samples even where one arc would fit them all
    Settings loose = s;
    loose.outputScale = 1;
    loose.fitTolerance = 20;
    Model m2;
    add(m2, 0, 0, 3), add(m2, 50, 1, 0), add(m2, 100, 0, 0), add(m2, 100, 0, 3), add(m2, 150, -19, 0), add(m2, 200, -36, 0);
    r = write(m2, 0, 5, loose);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_NEAR(dist(ends(r[0])[0], {100, 0}) * dist(ends(r[0])[1], {100, 0}), 0, 1e-3);

    // off the circle by more than the tolerance in the middle: no longer one arc, still one path
    pts[12].x += 0.2;
    wf::LineWriter bent;
    ASSERT_TRUE(fitArcs(pts, 0, 24, s, bent));
    r = parse(bent.content());
    EXPECT_GT(r.size(), 1u);
    EXPECT_TRUE(continuous(r, 0.0002, false));
    for (const auto& p : pts) {
        double best = 1e300;
        for (const Rec& x : r) best = std::min(best, toRecord({p.x, p.y}, x));
        EXPECT_LE(best, s.fitTolerance + 1e-9);
    }

    // two points: one line; one point: nothing; a corner of tiny steps is joined to few lines
    wf::LineWriter small;
    EXPECT_TRUE(fitArcs(pts, 3, 4, s, small));
    EXPECT_TRUE(fitArcs(pts, 5, 5, s, small));
    const std::vector<ContourPoint> same{{1, 1, 13}, {1, 1.000005, 13}};
    EXPECT_TRUE(fitArcs(same, 0, 1, s, small));  // no record of no length
    r = parse(small.content());
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].key, "1");
    EXPECT_NEAR(r[0].v[0], pts[3].x, 1e-12);  // 15 digits in the file
    EXPECT_NEAR(r[0].v[3], pts[4].y, 1e-12);
    std::vector<ContourPoint> steps;
    for (int k = 0; k <= 20; ++k) steps.push_back({k <= 10 ? 0.01 * k : 0.1, k <= 10 ? 0 : 0.01 * (k - 10), 13});
    steps.push_back(steps.back());  // a repeated point is no record of its own
    wf::LineWriter joined;
    ASSERT_TRUE(fitArcs(steps, 0, 21, s, joined));
    r = parse(joined.content());
    EXPECT_LE(r.size(), 6u);
    EXPECT_TRUE(continuous(r, 1e-9, false));
    EXPECT_EQ(ends(r.front())[0].x, 0);
    EXPECT_EQ(ends(r.back())[1].y, 0.1);
    for (const auto& p : steps) {
        double best = 1e300;
        for (const Rec& x : r) best = std::min(best, toRecord({p.x, p.y}, x));
        EXPECT_LE(best, s.fitTolerance + 1e-9);
    }

    // faults end the fit without writing anything
    wf::LineWriter bad;
    steps[4].y = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(fitArcs(steps, 0, 21, s, bad));
    EXPECT_FALSE(fitArcs(steps, 0, 22, s, bad));
    EXPECT_FALSE(fitArcs(steps, -1, 3, s, bad));
    EXPECT_TRUE(bad.content().empty());
    // ... and through writeContour, which stops the contour there
    Model m;
    add(m, 0, 0, 3), add(m, std::numeric_limits<double>::infinity(), 5, 0), add(m, 10, 0, 0);
    std::int32_t object = 1;
    EXPECT_FALSE(writeContour(m, 0, 2, object, s, bad));
    EXPECT_TRUE(bad.content().empty());
}

TEST(ContourWriter, SamplingCornersAndSmallHelpers) {
    std::vector<ContourPoint> pts(30);
    std::int32_t next = 3;
    const Element e[3] = {{1, 2, 3, 0, 0}, {7, -4, 0, 0, 0}, {-2, 9, 0, 0, 0}};
    ASSERT_TRUE(sampleQuadratic(pts, next, 20, 1, 2, 7, -4, -2, 9));
    EXPECT_EQ(next, 23);
    for (int k = 0; k < 20; ++k) {
        const Pt q = quadratic(e, k / 20.0);
        EXPECT_NEAR(pts[3 + k].x, q.x, 1e-12);
        EXPECT_NEAR(pts[3 + k].y, q.y, 1e-12);
    }
    EXPECT_EQ(pts[23].x, 0);
    EXPECT_FALSE(sampleQuadratic(pts, next, 8, 1, 2, 7, -4, -2, 9));  // 31 > 30
    EXPECT_EQ(next, 23);
    EXPECT_EQ(pts[29].x, 0);

    // joins: smooth (control points in line with the join), smooth across direction 0, a corner
    const auto corner = [](std::initializer_list<Pt> p, double& difference) {
        Model m;
        for (Pt q : p) add(m, q.x, q.y, m.elements.size() % 3 ? 0 : 3);
        std::int16_t c = -1;
        curveCorner(m, 0, c, difference);
        return c;
    };
    double diff = 0;
    // each direction is taken over the last (first) 1/99 of its curve: atan(1/198) off the tangent
    const double lag = std::atan(1.0 / 198);
    EXPECT_EQ(corner({{0, 0}, {5, 5}, {10, 5}, {10, 5}, {15, 5}, {20, 0}}, diff), 0);
    EXPECT_NEAR(diff, 2 * lag, 1e-6);
    EXPECT_EQ(corner({{0, 0}, {10, 1}, {20, 0}, {20, 0}, {30, 1}, {40, 0}}, diff), 0);  // 2pi - 0.1 to 0.1
    EXPECT_NEAR(diff, 0.2, 0.005);
    EXPECT_EQ(corner({{0, 0}, {5, 1}, {10, 0}, {10, 0}, {30, 1}, {50, 0}}, diff), 0);  // 2pi - 0.2 to 0.05
    EXPECT_NEAR(diff, 0.245, 0.003);
    EXPECT_EQ(corner({{0, 0}, {5, 5}, {10, 5}, {10, 5}, {10, 10}, {15, 15}}, diff), 1);
    EXPECT_NEAR(diff, geom::kPi / 2, 0.02);
    EXPECT_EQ(corner({{0, 0}, {5, 5}, {10, 5}}, diff), 0);  // no second curve
    EXPECT_EQ(diff, 0);

    std::int16_t ok = 0;
    pointOnCircle(3, 4.04, 0, 0, 5, ok, 0.05);
    EXPECT_EQ(ok, 1);
    pointOnCircle(3, 4.1, 0, 0, 5, ok, 0.05);
    EXPECT_EQ(ok, 0);
    double len = 0;
    arcLength(2, 1, 3, len);
    EXPECT_DOUBLE_EQ(len, 4);
    arcLength(2, 6, 1, len);
    EXPECT_NEAR(len, 2 * (geom::kTwoPi - 5), 1e-12);
    double a = 0;
    for (double x : {-1.0, -0.7, -0.2, 0.0, 0.3, 0.99, 1.0}) {
        arcCos(x, a);
        EXPECT_NEAR(a, std::acos(x), 1e-9) << x;
    }
    arcCos(1.5, a);
    EXPECT_EQ(a, 0);
}

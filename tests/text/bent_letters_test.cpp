// Letters set in real fonts and bent into the shapes: curves keep to the outline across a kink,
// every contour stays a simple ring, and the waves fit each point to its own half.

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <polyclipping/clipper.hpp>

#include "engine/contours.h"
#include "engine/shape.h"
#include "preview/scale.h"
#include "text/lettering.h"

namespace {

namespace fs = std::filesystem;

constexpr double kInch = 25.4;
constexpr double kTolerance = 0.05;  // mm a bent letter may reach past the outline
const int kKnotShapes[] = {3, 8, 16, 17, 18, 19};

struct P {
    double x, y;
};

// The letters of `words` in `font` as the shapes stage has them after loading and scaling to
// h = 4 inches, set once per run.
const engine::Model& loaded(const std::string& font, const std::string& words, bool fitIn, bool bridges = false) {
    static std::map<std::string, engine::Model> cache;
    const std::string key = font + "|" + words + "|" + (fitIn ? "1" : "0") + (bridges ? "b" : "");
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    text::Typesetter setter(text::resolveFont(font));
    const fs::path file = fs::path(LK_TEST_TMP) / ("bent." + std::to_string(getpid()) + ".dat");
    std::ofstream(file, std::ios::binary) << text::groundFile(setter.set(words, bridges));
    engine::Model m;
    engine::readGroundContours(m, file, fitIn);
    fs::remove(file);
    m.smallHeight = 4 * kInch;
    preview::scaleToHeight(m);
    return cache.emplace(key, std::move(m)).first->second;
}

engine::Model bent(const std::string& font, const std::string& words, int shape, double bigInches,
                   bool fitIn = true, double knotShift = 0, bool bridges = false) {
    engine::Model m = loaded(font, words, fitIn, bridges);
    m.shapeNumber = static_cast<std::int16_t>(shape);
    m.bigHeight = bigInches * kInch;
    m.knotShift = knotShift;
    engine::buildShape(m, fitIn);
    return m;
}

// One drawn piece of a contour: a line (a, b), a quadratic (a, control c, b) or an arc from a
// through c to b.
struct Piece {
    int kind;
    P a, c, b;
};

// The contours as the drawing walks the point list.
std::vector<std::vector<Piece>> contoursOf(const engine::Model& m) {
    const auto& e = m.elements;
    const std::size_t n = e.size();
    auto at = [&](std::size_t i) { return P{e[i].x, e[i].y}; };
    std::vector<std::vector<Piece>> out(1);
    for (std::size_t i = 0; i < n;) {
        const int kind = e[i].kind;
        if (kind == engine::kCodeLine && i + 3 < n && e[i + 1].kind == engine::kCodeArcMiddle) {
            out.back().push_back({10, at(i), at(i + 1), at(i + 3)});
            i += 4;
        } else if (kind == engine::kCodeLine && i + 1 < n) {
            out.back().push_back({1, at(i), {}, at(i + 1)});
            i += 2;
        } else if (kind == engine::kCodeQuadratic && i + 2 < n) {
            out.back().push_back({3, at(i), at(i + 1), at(i + 2)});
            i += 3;
        } else if (kind == engine::kCodeEnd) {
            if (i > 0 && (e[i - 1].x != e[i].x || e[i - 1].y != e[i].y))
                out.back().push_back({1, at(i - 1), {}, at(i)});
            out.emplace_back();
            i += 2;
        } else {
            ++i;
        }
    }
    out.pop_back();
    return out;
}

// Points along a piece after its start, `steps` of them for a curve.
std::vector<P> along(const Piece& p, int steps) {
    if (p.kind == 1) return {p.b};
    std::vector<P> out;
    if (p.kind == 3) {
        for (int s = 1; s <= steps; ++s) {
            const double t = double(s) / steps, u = 1 - t;
            out.push_back({u * u * p.a.x + 2 * u * t * p.c.x + t * t * p.b.x,
                           u * u * p.a.y + 2 * u * t * p.c.y + t * t * p.b.y});
        }
        return out;
    }
    // the circle through a, c and b; nearly straight arcs are drawn as their two chords
    const double ax = p.a.x - p.c.x, ay = p.a.y - p.c.y, bx = p.b.x - p.c.x, by = p.b.y - p.c.y;
    const double d = 2 * (ax * by - ay * bx);
    const double a2 = ax * ax + ay * ay, b2 = bx * bx + by * by;
    if (std::fabs(d) < 1e-12 * (a2 + b2)) return {p.c, p.b};
    const P centre{p.c.x + (by * a2 - ay * b2) / d, p.c.y + (ax * b2 - bx * a2) / d};
    const double r = std::hypot(p.a.x - centre.x, p.a.y - centre.y);
    if (r > 1e6) return {p.c, p.b};
    const auto angle = [&](P q) { return std::atan2(q.y - centre.y, q.x - centre.x); };
    const auto ccw = [](double from, double to) {
        const double s = std::fmod(to - from, 2 * M_PI);
        return s < 0 ? s + 2 * M_PI : s;
    };
    const double start = angle(p.a);
    double sweep = ccw(start, angle(p.b));
    if (ccw(start, angle(p.c)) > sweep) sweep -= 2 * M_PI;  // clockwise through c
    for (int s = 1; s < steps; ++s) {
        const double t = start + sweep * s / steps;
        out.push_back({centre.x + r * std::cos(t), centre.y + r * std::sin(t)});
    }
    out.push_back(p.b);
    return out;
}

// The band between the outline's baseline and top at x. The meeting point of the waves' arcs
// may fall between them by rounding: a hair to either side gives the band there.
struct Band {
    bool found;
    double lo, hi;
};
Band bandAt(const engine::Model& m, double x) {
    for (double dx : {0.0, 1e-7, -1e-7}) {
        const engine::Probe base = engine::probeOutline(m, x + dx, 0, 0), top = engine::probeOutline(m, x + dx, 0, 1);
        if (base.found && top.found) return {true, std::min(base.y, top.y), std::max(base.y, top.y)};
    }
    return {false, 0, 0};
}
double beyond(const Band& b, double y) { return std::max({b.lo - y, y - b.hi, 0.0}); }

// How far the drawn quadratic curves reach past the outline, the most of any sample.
double curvesBeyondOutline(const engine::Model& m) {
    double worst = 0;
    for (const auto& contour : contoursOf(m))
        for (const Piece& p : contour) {
            if (p.kind != 3) continue;
            for (const P& q : along(p, 64)) {
                const Band b = bandAt(m, q.x);
                EXPECT_TRUE(b.found) << q.x;
                if (b.found) worst = std::max(worst, beyond(b, q.y));
            }
        }
    return worst;
}

// --- simple rings ---------------------------------------------------------------------

double orient(P a, P b, P c) { return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x); }
bool onSegment(P a, P b, P q) {
    return std::min(a.x, b.x) <= q.x && q.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= q.y &&
           q.y <= std::max(a.y, b.y);
}
bool meet(P a, P b, P c, P d) {
    const double o1 = orient(a, b, c), o2 = orient(a, b, d), o3 = orient(c, d, a), o4 = orient(c, d, b);
    if (((o1 > 0 && o2 < 0) || (o1 < 0 && o2 > 0)) && ((o3 > 0 && o4 < 0) || (o3 < 0 && o4 > 0))) return true;
    return (o1 == 0 && onSegment(a, b, c)) || (o2 == 0 && onSegment(a, b, d)) || (o3 == 0 && onSegment(c, d, a)) ||
           (o4 == 0 && onSegment(c, d, b));
}

// The drawn contour (curves by 16 chords each) is a simple ring: no two edges meet except
// neighbours at their common corner, and no corner turns straight back. Returns the number of
// offending edge pairs.
int crossings(const std::vector<Piece>& contour) {
    std::vector<P> ring;
    for (const Piece& p : contour) {
        if (ring.empty()) ring.push_back(p.a);
        for (const P& q : along(p, 16))
            if (q.x != ring.back().x || q.y != ring.back().y) ring.push_back(q);
    }
    if (ring.size() > 1 && ring.front().x == ring.back().x && ring.front().y == ring.back().y) ring.pop_back();
    const std::size_t n = ring.size();
    if (n < 3) return 1;
    auto from = [&](std::size_t i) { return ring[i]; };
    auto to = [&](std::size_t i) { return ring[(i + 1) % n]; };
    int bad = 0;
    for (std::size_t i = 0; i < n; ++i) {  // straight back at the corner after edge i
        const P a = from(i), b = to(i), c = to((i + 1) % n);
        const double turn = orient(a, b, c), ahead = (b.x - a.x) * (c.x - b.x) + (b.y - a.y) * (c.y - b.y);
        const double scale = std::hypot(b.x - a.x, b.y - a.y) * std::hypot(c.x - b.x, c.y - b.y);
        bad += ahead < 0 && std::fabs(turn) <= 1e-12 * scale;
    }
    std::vector<std::size_t> order(n);
    for (std::size_t i = 0; i < n; ++i) order[i] = i;
    auto left = [&](std::size_t i) { return std::min(from(i).x, to(i).x); };
    std::sort(order.begin(), order.end(), [&](std::size_t i, std::size_t j) { return left(i) < left(j); });
    for (std::size_t k = 0; k < n; ++k) {
        const std::size_t i = order[k];
        const double right = std::max(from(i).x, to(i).x);
        for (std::size_t l = k + 1; l < n && left(order[l]) <= right; ++l) {
            const std::size_t j = order[l];
            if ((i + 1) % n == j || (j + 1) % n == i) continue;  // neighbours share a corner
            bad += meet(from(i), to(i), from(j), to(j));
        }
    }
    return bad;
}

}  // namespace

// A quadratic curve that crosses the knot line is cut there, so that each part is bent on one
// side of the kink: the hook of a serif "t" and every curve of two words, with the knot moved
// across them, stay inside the outline up to H = 6 h. (Fit-in variant: in the plain one the
// descenders hang below the baseline by design.)
TEST(BentLetters, CurvesKeepToTheOutlineAcrossAKink) {
    double worst = 0;
    for (const std::string words : {"t", "Hoyt jog"})
        for (int shape : kKnotShapes)
            for (double big : {8.0, 24.0})
                for (double shift : {0.0, -7.5, 3.2, 11.0}) {
                    SCOPED_TRACE(::testing::Message()
                                 << words << " shape " << shape << " H " << big << " shift " << shift);
                    const double d = curvesBeyondOutline(bent("DejaVu Serif:Bold", words, shape, big, true, shift));
                    worst = std::max(worst, d);
                    EXPECT_LE(d, kTolerance);
                }
    ::testing::Test::RecordProperty("worstMicrons", std::to_string(std::lround(worst * 1000)));
}

// A vertex under the knot lies on its segment, never on the segment's extension: every contour
// of every shape stays a simple ring, for the stencil letters with the knot in the middle and
// moved, in both variants.
TEST(BentLetters, EveryContourStaysASimpleRing) {
    for (int shape = 0; shape < 20; ++shape)
        for (double shift : {0.0, -20.0, 9.0})
            for (bool fitIn : {true, false}) {
                if (shift != 0 && !engine::shapeHasKnot(shape)) continue;
                SCOPED_TRACE(::testing::Message()
                             << "shape " << shape << " shift " << shift << (fitIn ? " fit in" : " plain"));
                const engine::Model m = bent("DejaVu Sans:Bold", "STENCIL", shape, 6, fitIn, shift);
                const auto contours = contoursOf(m);
                ASSERT_GE(contours.size(), 7u);
                for (std::size_t c = 0; c < contours.size(); ++c)
                    EXPECT_EQ(crossings(contours[c]), 0) << "contour " << c;
            }
}

// --- bridges once bent ------------------------------------------------------------------

namespace {

namespace cl = ClipperLib;
constexpr double kGrid = 1e4;  // per mm
cl::IntPoint grid(P p) { return {std::llround(p.x * kGrid), std::llround(p.y * kGrid)}; }

// The narrowest a bridge of the bent letters holds, in mm: the strip's width less what of its
// two ends lies in a letter (each end is the strip's short side, which must lie in the sheet
// for the whole width to carry), and the number of islands no strip holds.
struct BentHold {
    double narrowest = 1e300;
    int loose = 0;
};
BentHold bentHold(const engine::Model& m, double b) {
    cl::Paths ink, strips;
    for (const auto& contour : contoursOf(m)) {
        cl::Path path;
        for (const Piece& p : contour) {
            if (path.empty()) path.push_back(grid(p.a));
            for (const P& q : along(p, 16)) path.push_back(grid(q));
        }
        ink.push_back(path);
    }
    BentHold h;
    for (const engine::Bridge& br : m.bridges) {
        const P p1{br.x1, br.y1}, p2{br.x2, br.y2};
        const double len = std::hypot(p2.x - p1.x, p2.y - p1.y), side = br.kind == 2 ? -1 : 1;
        const P w{-(p2.y - p1.y) / len * b * side, (p2.x - p1.x) / len * b * side};
        strips.push_back({grid(p1), grid(p2), grid({p2.x + w.x, p2.y + w.y}), grid({p1.x + w.x, p1.y + w.y})});
        double worst = 0;
        for (const P& e : {p1, p2}) {
            cl::Clipper c;
            c.AddPath({grid(e), grid({e.x + w.x, e.y + w.y})}, cl::ptSubject, false);
            c.AddPaths(ink, cl::ptClip, true);
            cl::PolyTree inside;
            c.Execute(cl::ctIntersection, inside, cl::pftNonZero, cl::pftNonZero);
            cl::Paths open;
            cl::OpenPathsFromPolyTree(inside, open);
            double inInk = 0;
            for (const cl::Path& o : open)
                for (std::size_t i = 0; i + 1 < o.size(); ++i)
                    inInk += std::hypot(double(o[i + 1].X - o[i].X), double(o[i + 1].Y - o[i].Y)) / kGrid;
            worst = std::max(worst, inInk);
        }
        h.narrowest = std::min(h.narrowest, b - worst);
    }
    cl::Clipper c;
    c.AddPaths(ink, cl::ptSubject, true);
    c.AddPaths(strips, cl::ptClip, true);
    cl::PolyTree cut;
    c.Execute(cl::ctDifference, cut, cl::pftNonZero, cl::pftNonZero);
    for (auto* node = cut.GetFirst(); node; node = node->GetNext()) h.loose += node->IsHole();
    return h;
}

}  // namespace

// The shapes stage moves a bridge's two ends with the letter and draws its strip at full width
// square to the moved segment: on a steep or sheared band the strip must still reach past both
// sides of the slanted stroke. Every bridge of serif letters holds at its whole width after each
// of the twenty shapes at h = 4 inches and H = 8 and 12 inches.
TEST(BentLetters, BridgesHoldAtTheirWholeWidth) {
    constexpr double b = 0.08 * kInch;
    double narrowest = b;
    for (const char* font : {"DejaVu Serif"})
        for (int shape = 0; shape < 20; ++shape)
            for (double big : {8.0, 12.0}) {
                SCOPED_TRACE(::testing::Message() << font << " shape " << shape << " H " << big);
                const engine::Model m = bent(font, "OBAD", shape, big, true, 0, true);
                ASSERT_GE(m.bridges.size(), 5u);
                const BentHold h = bentHold(m, b);
                EXPECT_EQ(h.loose, 0);
                EXPECT_GE(h.narrowest, b - 0.01);
                narrowest = std::min(narrowest, h.narrowest);
            }
    ::testing::Test::RecordProperty("narrowestMicrons", std::to_string(std::lround(narrowest * 1000)));
}


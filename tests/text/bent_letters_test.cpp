// Letters set in real fonts and bent into the shapes: curves keep to the outline across a kink.

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
const engine::Model& loaded(const std::string& font, const std::string& words, bool fitIn) {
    static std::map<std::string, engine::Model> cache;
    const std::string key = font + "|" + words + "|" + (fitIn ? "1" : "0");
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    text::Typesetter setter(text::resolveFont(font));
    const fs::path file = fs::path(LK_TEST_TMP) / ("bent." + std::to_string(getpid()) + ".dat");
    std::ofstream(file, std::ios::binary) << text::groundFile(setter.set(words, false));
    engine::Model m;
    engine::readGroundContours(m, file, fitIn);
    fs::remove(file);
    m.smallHeight = 4 * kInch;
    preview::masstaebe(m);
    return cache.emplace(key, std::move(m)).first->second;
}

engine::Model bent(const std::string& font, const std::string& words, int shape, double bigInches,
                   bool fitIn = true, double knotShift = 0) {
    engine::Model m = loaded(font, words, fitIn);
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

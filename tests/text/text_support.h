// Fonts, a stencil check and a program runner for the text stage's tests.
#pragma once

#include <polyclipping/clipper.hpp>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tground_file.h"
#include "text/lettering.h"
#include "support/run_program.h"

namespace texttest {

namespace fs = std::filesystem;

// The four fonts the stencil has to work in: two sans, two serif, TrueType and OpenType (CFF).
inline const char* const kFonts[] = {"DejaVu Sans", "DejaVu Serif", "Liberation Serif", "Nimbus Sans"};

// The stencil cut from letters as the shapes stage draws them, `scale` mm as cut per unit (by
// default the file's letters cut 4 inches high): every letter at its place along the line, minus
// the strips of its bridges (each the segment and its copy moved by the width to the side its
// kind gives). Returns the islands still loose: the holes of what is cut away.
struct StencilCheck {
    struct Counter {
        std::string letter;
        double sizeMm;  // the larger side of its box, as cut
        int bridges;    // that start or end inside it
    };
    int looseIslands = 0;
    int holesWithoutStrips = 0;
    std::vector<std::string> badBridges;  // bridges whose strip crosses more than one stroke
    double endInInkMm = 0;                // the most of a strip's end (its short side) lying in its letter
    std::vector<Counter> counters;        // of each letter on its own
};

namespace detail {
constexpr double kGrid = 1e4;  // per mm
inline ClipperLib::IntPoint grid(double x, double y) {
    return {static_cast<ClipperLib::cInt>(std::llround(x * kGrid)), static_cast<ClipperLib::cInt>(std::llround(y * kGrid))};
}
// The holes of the subject combined with the clip, or the outer rings when `wantHoles` is false.
inline ClipperLib::Paths rings(const ClipperLib::Paths& subject, const ClipperLib::Paths& clip, ClipperLib::ClipType type,
                               bool wantHoles = true) {
    ClipperLib::Clipper c;
    c.AddPaths(subject, ClipperLib::ptSubject, true);
    if (!clip.empty()) c.AddPaths(clip, ClipperLib::ptClip, true);
    ClipperLib::PolyTree tree;
    c.Execute(type, tree, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    ClipperLib::Paths out;
    for (auto* node = tree.GetFirst(); node; node = node->GetNext())
        if (node->IsHole() == wantHoles) out.push_back(node->Contour);
    return out;
}
// How much of the line from `a` to `b` lies inside the paths, in grid units.
inline double lengthInside(const ClipperLib::Paths& paths, ClipperLib::IntPoint a, ClipperLib::IntPoint b) {
    ClipperLib::Clipper c;
    c.AddPath({a, b}, ClipperLib::ptSubject, false);
    c.AddPaths(paths, ClipperLib::ptClip, true);
    ClipperLib::PolyTree inside;
    c.Execute(ClipperLib::ctIntersection, inside, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    ClipperLib::Paths open;
    ClipperLib::OpenPathsFromPolyTree(inside, open);
    double length = 0;
    for (const ClipperLib::Path& o : open)
        for (std::size_t i = 0; i + 1 < o.size(); ++i) length += std::hypot(double(o[i + 1].X - o[i].X), double(o[i + 1].Y - o[i].Y));
    return length;
}
}  // namespace detail

inline StencilCheck checkStencil(const GroundFile& g, double scale = 0) {
    using namespace detail;
    using ClipperLib::PointInPolygon;
    if (scale == 0) {  // as the shapes stage scales the letters of a file to cut them 4 inches high
        double ymin = 1e300, ymax = -1e300;
        for (const auto& l : g.letters)
            for (const auto& p : l.points) ymin = std::min(ymin, p.y), ymax = std::max(ymax, p.y);
        scale = 101.6 / (ymax - ymin);
    }
    const double b = 2.032 / scale;  // the strip width of 0.08 inches as cut
    ClipperLib::Paths ink, strips;
    StencilCheck out;
    double x = 0;
    for (const auto& l : g.letters) {
        ClipperLib::Paths letter;
        for (const auto& c : l.contours) {
            letter.emplace_back();
            for (const auto& [px, py] : c.poly) letter.back().push_back(grid(x + px, py));
        }
        ink.insert(ink.end(), letter.begin(), letter.end());
        for (const auto& br : l.bridges) {
            const double dx = br.x2 - br.x1, dy = br.y2 - br.y1, len = std::hypot(dx, dy);
            const double side = br.code == 2 ? -1 : 1;
            const double ox = -dy / len * b * side, oy = dx / len * b * side;
            const auto p1 = grid(x + br.x1, br.y1), p2 = grid(x + br.x2, br.y2);
            const auto q1 = grid(x + br.x1 + ox, br.y1 + oy), q2 = grid(x + br.x2 + ox, br.y2 + oy);
            strips.push_back({p1, p2, q2, q1});
            // one stroke crossed: the strip meets the letter in one piece
            if (rings(letter, {strips.back()}, ClipperLib::ctIntersection, false).size() != 1) out.badBridges.push_back(l.text);
            const double ends = std::max(lengthInside(letter, p1, q1), lengthInside(letter, p2, q2));
            out.endInInkMm = std::max(out.endInInkMm, ends / kGrid * scale);
        }
        for (const ClipperLib::Path& hole : rings(letter, {}, ClipperLib::ctUnion)) {
            ClipperLib::cInt x0 = hole[0].X, x1 = x0, y0 = hole[0].Y, y1 = y0;
            for (const auto& p : hole) x0 = std::min(x0, p.X), x1 = std::max(x1, p.X), y0 = std::min(y0, p.Y), y1 = std::max(y1, p.Y);
            StencilCheck::Counter k{l.text, double(std::max(x1 - x0, y1 - y0)) / kGrid * scale, 0};
            for (const auto& br : l.bridges)
                k.bridges += PointInPolygon(grid(x + br.x1, br.y1), hole) == 1 || PointInPolygon(grid(x + br.x2, br.y2), hole) == 1;
            out.counters.push_back(k);
        }
        x += l.advance;
    }
    out.holesWithoutStrips = static_cast<int>(rings(ink, {}, ClipperLib::ctUnion).size());
    out.looseIslands = static_cast<int>(rings(ink, strips, ClipperLib::ctDifference).size());
    return out;
}

inline GroundFile written(const text::Lettering& l) { return parseGroundFile(text::groundFile(l)); }

using namespace testsupport;

}  // namespace texttest

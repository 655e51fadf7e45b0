// Fonts, a stencil check and a program runner for the text stage's tests.
#pragma once

#include <polyclipping/clipper.hpp>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../tools/tground_file.h"
#include "support/run_program.h"

namespace texttest {

namespace fs = std::filesystem;
using tooltest::GroundFile;

// The four fonts the stencil has to work in: two sans, two serif, TrueType and OpenType (CFF).
inline const char* const kFonts[] = {"DejaVu Sans", "DejaVu Serif", "Liberation Serif", "Nimbus Sans"};

// The stencil cut from a letter file as the shapes stage draws it at its default size: every
// letter at its place along the line, minus the strips of its bridges (each the segment and its
// copy moved by the width to the side its kind gives). Returns the islands still loose: the holes
// of what is cut away.
struct StencilCheck {
    int looseIslands = 0;
    int holesWithoutStrips = 0;
    std::vector<std::string> badBridges;  // bridges whose strip crosses more than one stroke
};

namespace detail {
constexpr double kGrid = 1e4;  // per mm
inline ClipperLib::IntPoint grid(double x, double y) {
    return {static_cast<ClipperLib::cInt>(std::llround(x * kGrid)), static_cast<ClipperLib::cInt>(std::llround(y * kGrid))};
}
inline int holes(const ClipperLib::Paths& subject, const ClipperLib::Paths& clip, ClipperLib::ClipType type) {
    ClipperLib::Clipper c;
    c.AddPaths(subject, ClipperLib::ptSubject, true);
    if (!clip.empty()) c.AddPaths(clip, ClipperLib::ptClip, true);
    ClipperLib::PolyTree tree;
    c.Execute(type, tree, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    int n = 0;
    for (auto* node = tree.GetFirst(); node; node = node->GetNext()) n += node->IsHole() ? 1 : 0;
    return n;
}
inline int pieces(const ClipperLib::Paths& subject, const ClipperLib::Path& clip) {
    ClipperLib::Clipper c;
    c.AddPaths(subject, ClipperLib::ptSubject, true);
    c.AddPath(clip, ClipperLib::ptClip, true);
    ClipperLib::PolyTree tree;
    c.Execute(ClipperLib::ctIntersection, tree, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    return static_cast<int>(tree.ChildCount());
}
}  // namespace detail

// The strip width b of 0.08 inches after the shapes stage has scaled the text to 4 inches.
inline double defaultStripWidth(const GroundFile& g) {
    double ymin = 1e300, ymax = -1e300;
    for (const auto& l : g.letters)
        for (const auto& p : l.points) ymin = std::min(ymin, p.y), ymax = std::max(ymax, p.y);
    return 2.032 * (ymax - ymin) / 101.6;
}

inline StencilCheck checkStencil(const GroundFile& g) {
    using namespace detail;
    const double b = defaultStripWidth(g);
    ClipperLib::Paths ink, strips;
    std::vector<std::pair<std::size_t, std::size_t>> inkOfLetter;  // [first, end) in `ink`
    double x = 0;
    for (const auto& l : g.letters) {
        const std::size_t first = ink.size();
        for (const auto& c : l.contours) {
            ClipperLib::Path p;
            for (const auto& [px, py] : c.poly) p.push_back(grid(x + px, py));
            ink.push_back(p);
        }
        inkOfLetter.emplace_back(first, ink.size());
        x += l.advance;
    }
    StencilCheck out;
    x = 0;
    for (std::size_t k = 0; k < g.letters.size(); ++k) {
        const auto& l = g.letters[k];
        const ClipperLib::Paths letter(ink.begin() + static_cast<long>(inkOfLetter[k].first),
                                       ink.begin() + static_cast<long>(inkOfLetter[k].second));
        for (const auto& br : l.bridges) {
            const double dx = br.x2 - br.x1, dy = br.y2 - br.y1, len = std::hypot(dx, dy);
            const double side = br.code == 2 ? -1 : 1;
            const double ox = -dy / len * b * side, oy = dx / len * b * side;
            ClipperLib::Path strip{grid(x + br.x1, br.y1), grid(x + br.x2, br.y2), grid(x + br.x2 + ox, br.y2 + oy),
                                   grid(x + br.x1 + ox, br.y1 + oy)};
            strips.push_back(strip);
            // one stroke crossed: the strip meets the letter in one piece, and its ends lie in the open
            const bool endsFree = tooltest::winding(l, br.x1 + ox / 2, br.y1 + oy / 2) == 0 &&
                                  tooltest::winding(l, br.x2 + ox / 2, br.y2 + oy / 2) == 0;
            if (pieces(letter, strip) != 1 || !endsFree) out.badBridges.push_back(l.text);
        }
        x += l.advance;
    }
    out.holesWithoutStrips = holes(ink, {}, ClipperLib::ctUnion);
    out.looseIslands = holes(ink, strips, ClipperLib::ctDifference);
    return out;
}

using testsupport::ProgramRun;
using testsupport::readAll;
using testsupport::runProgram;

}  // namespace texttest

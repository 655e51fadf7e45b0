// Stencil bridges: every island of a letter (material a stencil would lose because the
// letter's outline encloses it) gets a strip across the stroke that holds it.
#pragma once

#include <vector>

#include "text/outline.h"

namespace text {

struct BridgeRules {
    double stripWidth = 2;        // the aperture width b the strips are drawn with, mm
    double past = 0.5;            // how far a bridge reaches past both sides of the stroke, mm
    double farPast = 0.5;         // ... where the sheet there is free that far
    double largeIsland = 45;      // an island this wide or high gets two bridges across from each other, mm
    double flatness = 0.01;       // chord tolerance of the polygons the checks work on, mm
    bool operator==(const BridgeRules&) const = default;
};

using Polygon = std::vector<Pt>;

struct IslandResult {
    std::vector<Bridge> bridges;
    int islands = 0;               // counters and other enclosed material
    std::vector<Polygon> loose;    // islands no strip holds
};

// Bridges for one letter's contours (filled by the non-zero rule). Each bridge is a straight
// segment across the stroke where the stroke is short, `past` beyond both sides; its strip of
// width `stripWidth` crosses no outline but the two it joins. Islands that cannot reach the
// outside directly are joined to a neighbouring island that is already held.
// Strips already cut (`held`, width `stripWidth`) count as sheet: only what they leave loose
// gets new bridges, and `bridges` holds the new ones only.
IslandResult placeBridges(const std::vector<Contour>& contours, const BridgeRules& rules,
                          const std::vector<Bridge>& held = {});

// The islands that are still loose when the strips of `bridges` (width `stripWidth`) are cut
// out of the letters: the holes of (letters minus strips).
std::vector<Polygon> looseIslands(const std::vector<Contour>& contours, const std::vector<Bridge>& bridges,
                                  double stripWidth, double flatness);

// The four corners of a bridge's strip: p1, p2, p2 moved by the width, p1 moved by the width.
std::vector<Pt> stripCorners(const Bridge& b, double stripWidth);

}  // namespace text

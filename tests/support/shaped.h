// Letters for the floor tests: a letter file read, scaled to h and bent into a shape, and
// contour entries written by hand the way the letters store them.
#pragma once

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "engine/contours.h"
#include "engine/shape.h"
#include "preview/scale.h"

namespace testsupport {

inline const std::filesystem::path kWords = std::filesystem::path(LK_TEST_DATA) / "words.dat";  // "Hoyt jog"
inline const std::filesystem::path kSample =
    std::filesystem::path(LK_PROGRAM_DIR) / "workfiles" / "tground.dat";  // "ABC"

// the letters of `file` at h = 4 in
inline engine::Model loaded(const std::filesystem::path& file, bool fitIn) {
    engine::Model m;
    engine::readGroundContours(m, file, fitIn);
    preview::scaleToHeight(m);
    return m;
}

// the letters of `file` at h = 4 in bent into shape `shape` of height H
inline engine::Model built(const std::filesystem::path& file, int shape, double H, bool fitIn,
                           double knotShift = 0) {
    engine::Model m = loaded(file, fitIn);
    m.shapeNumber = static_cast<std::int16_t>(shape);
    m.bigHeight = H;
    m.knotShift = knotShift;
    engine::buildShape(m, fitIn);
    return m;
}

// the extents of one letter's points
inline engine::Box letterBox(const engine::Model& m, int letter) {
    engine::Box b{1e300, 1e300, -1e300, -1e300};
    for (const engine::Element& e : m.elements)
        if (e.object == letter)
            b = {std::min(b.xmin, e.x), std::min(b.ymin, e.y), std::max(b.xmax, e.x), std::max(b.ymax, e.y)};
    return b;
}

// a straight segment: start (code 1) and end point (code 0)
inline void segment(engine::Model& m, double x1, double y1, double x2, double y2) {
    m.elements.push({x1, y1, engine::kCodeLine, 1, 10});
    m.elements.push({x2, y2, engine::kCodeNone, 1, 10});
}
// the end of a contour: the closing entry and the extra entry after it
inline void contourEnd(engine::Model& m, double x, double y) {
    m.elements.push({x, y, engine::kCodeEnd, 1, 10});
    m.elements.push({x, y, engine::kCodeNone, 1, 10});
}
// a three-point arc on the circle (cx, cy, r) from angle a0 through a1 to a2, as the shape build
// stores it: start (code 1), middle (code 10), the middle again (code 1), end
inline void arc(engine::Model& m, double cx, double cy, double r, double a0, double a1, double a2) {
    const auto at = [&](double a, std::int16_t code) {
        m.elements.push({cx + r * std::cos(a), cy + r * std::sin(a), code, 1, 1});
    };
    at(a0, engine::kCodeLine), at(a1, engine::kCodeArcMiddle), at(a1, engine::kCodeLine), at(a2, engine::kCodeNone);
}

}  // namespace testsupport

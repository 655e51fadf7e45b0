// Letter outlines as the letter file carries them: closed contours of straight and quadratic
// pieces, in millimetres, y up, relative to the letter's own origin.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "geom/bridge.h"
#include "geom/types.h"

namespace text {

// points and vectors, with their arithmetic (dot, cross, length, lerp) from the geometry
using Pt = geom::Point;
using geom::cross;
using geom::dot;
using geom::length;
using geom::lerp;

// One piece of a contour: a straight line a-b, or a quadratic a-c-b (c its control point).
struct Piece {
    bool quad = false;
    Pt a, c, b;
};

using Contour = std::vector<Piece>;  // closed: the last piece ends where the first begins

using geom::Bridge;

// Points of the polygon that follows a contour, each quadratic cut into chords no further than
// `tolerance` from the curve. The closing point is not repeated.
std::vector<Pt> flatten(const Contour& c, double tolerance);

}  // namespace text

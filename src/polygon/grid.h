// Polygons on the integer grid of the boolean operations (Clipper): millimetres to grid units
// and back, the one conversion the text stage and the cut stage both use.
#pragma once

#include <polyclipping/clipper.hpp>

#include "geom/types.h"

namespace polygon {

namespace cl = ClipperLib;

// grid units per millimetre: 0.1 micrometre
inline constexpr double kGridPerMm = 1e4;

// the nearest grid point (halves away from zero)
cl::IntPoint toGrid(geom::Point mm);
geom::Point fromGrid(const cl::IntPoint& p);

}  // namespace polygon

#include "polygon/grid.h"

#include <cmath>

namespace polygon {

cl::IntPoint toGrid(geom::Point mm) {
    return {static_cast<cl::cInt>(std::llround(mm.x * kGridPerMm)), static_cast<cl::cInt>(std::llround(mm.y * kGridPerMm))};
}

geom::Point fromGrid(const cl::IntPoint& p) {
    return {static_cast<double>(p.X) / kGridPerMm, static_cast<double>(p.Y) / kGridPerMm};
}

}  // namespace polygon

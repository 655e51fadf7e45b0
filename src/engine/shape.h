// The shape outline and the bending of every letter into it.
#pragma once

#include "engine/model.h"

namespace engine {

// Builds the outline of model.shapeNumber for smallHeight / bigHeight / knotShift around the
// loaded letters and bends every letter into it (fitIn: each letter fills the local height;
// otherwise the text is bent as a whole). Raises fault::CapacityFault, fault::OverflowFault on a
// division by zero or a non-finite result; what was written up to a fault stays.
void buildShape(Model& model, bool fitIn);

// Inserts contour vertices where the letter contours cross the vertical line at x.
void splitAtX(Model& model, double x);
// Splits every straight contour segment longer than 0.1 mm in x at its middle, once.
void subdivideSegments(Model& model);

struct Probe {
    bool found;
    double y;
};
// The vertical segment from (x, y + 10000) to (x, y - 10000) against the outline elements of
// the given kind (0 baseline, 1 top): lines first, then arcs, in index order; the arcs first
// with the sweep they keep after the build, then, when none meets the probe, as they stand.
Probe probeOutline(const Model& model, double x, double y, std::int16_t kind);

// shapes with a knot point (the knot slider applies to them)
bool shapeHasKnot(int shape);

}  // namespace engine

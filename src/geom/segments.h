// Intersections of straight segments, joining two segments where their extensions meet,
// and the counter-clockwise span between two angles in degrees.
#pragma once

#include <cstdint>

#include "geom/geom.h"

namespace geom {

// The crossing of segment s1 with segment s2: first, when the two touch or overlap along one
// common line, second as well (the end points lying on the other segment, along the line).
Crossings crossing(Segment s1, Segment s2);

// crossing() worked on the segments themselves: in the special cases (horizontal, vertical,
// collinear) the end points of either segment may be put into ascending order in place.
Crossings crossingInPlace(Segment& s1, Segment& s2);

// Moves the end of segment A and the start of segment B to the intersection of their
// extensions; false when there is none (the ends keep their lengthened values).
bool joinAtIntersection(double& ax1, double& ay1, double& ax2, double& ay2, double& bx1,
                        double& by1, double& bx2, double& by2);

// 360 - start + end when start >= end, else end - start (degrees)
double ccwSpan(double start, double end);

}  // namespace geom

// Intersections of straight segments, joining two segments where their extensions meet,
// and the counter-clockwise span between two angles in degrees.
#pragma once

#include <cstdint>

#include "geom/geom.h"

namespace geom {

// The crossing of segment s1 with segment s2: first, when the two touch or overlap along one
// common line, second as well (the end points lying on the other segment, along the line).
Crossings crossing(Segment s1, Segment s2);

// crossing() of segment 1 (x1,y1)-(x2,y2) with segment 2 (x3,y3)-(x4,y4).
// ok = 1: (ix, iy) is the crossing. ok2 = 1: (jx, jy) is a second point, given only when the
// segments touch or overlap along one common line. Both 0 when the segments do not meet.
// In the special cases (horizontal, vertical, collinear) the end points of either segment
// may be put into ascending order in place; callers that need their order keep copies.
void intersectSegments(double& x1, double& y1, double& x2, double& y2, double& x3, double& y3,
                       double& x4, double& y4, double& ix, double& iy, std::int16_t& ok,
                       double& jx, double& jy, std::int16_t& ok2);

// Moves the end of segment A and the start of segment B to the intersection of their
// extensions; failed = 1 when there is none (the ends keep their lengthened values).
void joinAtIntersection(double& ax1, double& ay1, double& ax2, double& ay2, double& bx1,
                        double& by1, double& bx2, double& by2, std::int16_t& failed);

// span = 360 - start + end when start >= end, else end - start (degrees)
void ccwSpan(double start, double end, double& span);

}  // namespace geom

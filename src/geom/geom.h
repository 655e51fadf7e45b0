// Geometric primitives shared by the engine, the connection bar, the preview and the
// arc fitting. All angles are radians, counter-clockwise, 0 along +x. Each is a function of
// values; the forms with outputs through references keep the argument order the callers were
// written against and only unpack into the value form.
#pragma once

#include <cstdint>

#include "geom/types.h"
#include "geom/units.h"

namespace geom {

// direction of the vector from -> to, 0 <= angle < 2*pi (0 for from == to)
double direction(Point from, Point to);

// The circle through start, end and middle, as the arc from start to end through middle,
// counter-clockwise whichever side middle lies on (so start and end may come out exchanged).
// Collinear or coincident points give radius 0, angles 0 and the centre at the midpoint of
// start-end (callers draw a chord instead).
Arc circleThrough(Point start, Point end, Point middle);

// The same circle without the angles of its ends (no arc tangent taken): its centre and radius
// bit for bit as circleThrough finds them, and cross = (end - start) x (middle - start), which
// says the way round: the arc runs counter-clockwise from start to end when it is negative.
// Collinear or coincident points, or a centre beyond the double range, give `degenerate`.
struct Circle {
    Point centre;
    double radius = 0, cross = 0;
    bool degenerate = true;
};
Circle circleOf(Point start, Point end, Point middle);

// p scaled about centre: centre + (p - centre) * (fx, fy)
Point scaledAbout(Point p, Point centre, double fx, double fy);

// Where a segment or line crosses another figure: up to two points, each with whether it lies
// on both figures.
struct Crossings {
    Point first, second;
    bool onFirst = false, onSecond = false;
};

// The crossings of segment s with arc a: first the one nearer s.a along the line. The points
// are those of the infinite line (0 when it misses the circle, for the missing second point
// of a tangent, for a zero-length segment and for radius <= 0).
Crossings crossings(Segment s, const Arc& a);

// value rounded to `digits` decimals (exactly, as the decimal text of the value would round)
void rounder(double& value, std::int16_t digits);

// direction of the vector A->B, 0 <= angle < 2*pi (0 for A == B)
void winkelx(double xA, double yA, double xB, double yB, double& angle);

// Circle through start P1, end P2 and middle point P3. The arc runs counter-clockwise from
// a1 to a2 and passes through P3, whichever side P3 lies on; a1/a2 are in 0..2*pi.
// Collinear or coincident points give r = 0 and the centre at the midpoint of P1-P2
// (callers draw a chord instead).
void rech(double x1, double y1, double x2, double y2, double& cx, double& cy, double& a1,
          double& a2, double& r, double x3, double y3);

// both points scaled about (cx, cy): x' = cx + (x - cx) * fx, y' = cy + (y - cy) * fy
void lskalieren(double cx, double cy, double fx, double fy, double& xA, double& yA,
                double& xB, double& yB);

// arc centre scaled as a point, radius multiplied by fx; angles unchanged
void kskalieren(double cx, double cy, double fx, double fy, double& r, double& mx, double& my,
                double a1, double a2);

// The up to two crossings of the segment L1-L2 with the arc of circle (cx, cy, r) running
// counter-clockwise from a1 to a2. ok = 1 when that crossing lies on both, else 0.
// All six outputs are always written.
void klschnittpunkt(double lx1, double ly1, double lx2, double ly2, double cx, double cy,
                    double r, double a1, double a2, double& ix1, double& iy1, std::int16_t& ok1,
                    double& ix2, double& iy2, std::int16_t& ok2);

// model point -> picture point: x 0 at xmin .. 640 at xmax, y 0 at ymax .. 480 at ymin
void ersatz2(double& px, double& py, double x, double y, double xmin, double xmax, double ymin,
             double ymax);
// picture point -> model point, the inverse of ersatz2
void ersatz1(double px, double py, double& x, double& y, double xmin, double xmax, double ymin,
             double ymax);

// segment clipped to 0..640 x 0..480 in place; hidden = 1 when nothing of it is visible
void bilz(double& x1, double& y1, double& x2, double& y2, std::int32_t& hidden);

// point of angle t on a picture-space circle (y downwards, so counter-clockwise on screen)
void kdaten2(double cx, double cy, double r, double t, double& x, double& y);

// waits that long
void mpause(double seconds);

}  // namespace geom

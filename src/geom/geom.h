// Geometric primitives shared by the engine, the connection bar, the preview and the
// arc fitting. All angles are radians, counter-clockwise, 0 along +x. Each is a function of
// values, returning its result.
#pragma once

#include <cstdint>
#include <optional>

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

// value rounded to `digits` decimals (exactly, as the decimal text of the value would round);
// zero and non-finite values come back as they are
double roundTo(double value, std::int16_t digits);

// The 640 x 480 picture of the preview (y downwards) and the window of the model plane it shows:
// x 0 at xmin .. 640 at xmax, y 0 at ymax .. 480 at ymin.
// model point -> picture point; a window of zero (or non-finite) width or height gives 0 on that
// axis
Point toPicture(Point p, double xmin, double xmax, double ymin, double ymax);
// picture point -> model point, the inverse of toPicture
Point fromPicture(Point p, double xmin, double xmax, double ymin, double ymax);

// The part of segment s inside the closed box 0..640 x 0..480; none when nothing of it is
// visible (or a coordinate is not finite).
std::optional<Segment> clippedToPicture(Segment s);

// point of angle t on a picture-space circle (y downwards, so counter-clockwise on screen)
Point onPictureCircle(Point centre, double radius, double t);

}  // namespace geom

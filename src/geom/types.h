// Points, segments and arcs as values, with the small free functions on them. Angles are
// radians, counter-clockwise, 0 along +x.
#pragma once

#include <cmath>

namespace geom {

struct Point {
    double x = 0, y = 0;
    friend bool operator==(Point, Point) = default;
};

inline Point operator+(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }
inline Point operator-(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }
inline Point operator*(Point a, double s) { return {a.x * s, a.y * s}; }

inline double dot(Point a, Point b) { return a.x * b.x + a.y * b.y; }
inline double cross(Point a, Point b) { return a.x * b.y - a.y * b.x; }
inline double length(Point v) { return std::hypot(v.x, v.y); }
inline double distance(Point a, Point b) { return std::hypot(b.x - a.x, b.y - a.y); }
// a + (b - a) * t
inline Point lerp(Point a, Point b, double t) { return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }
// the point `length` away from p in direction `angle`
inline Point polar(Point p, double angle, double length) {
    return {p.x + length * std::cos(angle), p.y + length * std::sin(angle)};
}

struct Segment {
    Point a, b;
};

// The arc of the circle (centre, radius) running counter-clockwise from `start` to `end`;
// start > end passes angle 0. Radius 0 stands for no circle (three points on a line).
struct Arc {
    Point centre;
    double radius = 0, start = 0, end = 0;
};

}  // namespace geom

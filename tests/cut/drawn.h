// Letters drawn by hand for the cut stage's tests, in mm: lines, arcs, squares, discs and the
// square ring of an "O".
#pragma once

#include <cmath>
#include <numbers>
#include <vector>

#include "cut/cut.h"

namespace drawn {

inline cut::Edge line(double x1, double y1, double x2, double y2) { return {.a = {x1, y1}, .b = {x2, y2}, .c = {}}; }
inline cut::Edge arc(double cx, double cy, double r, double start, double sweep) {
    return {.a = {cx + r * std::cos(start), cy + r * std::sin(start)},
            .b = {cx + r * std::cos(start + sweep), cy + r * std::sin(start + sweep)},
            .arc = true,
            .c = {cx, cy},
            .r = r,
            .start = start,
            .sweep = sweep};
}
inline cut::Loop rect(double x0, double y0, double x1, double y1) {
    return {{line(x0, y0, x1, y0), line(x1, y0, x1, y1), line(x1, y1, x0, y1), line(x0, y1, x0, y0)}};
}
// A counter: turned against the outside it lies in, as a font draws it.
inline cut::Loop hole(double x0, double y0, double x1, double y1) {
    return {{line(x0, y0, x0, y1), line(x0, y1, x1, y1), line(x1, y1, x1, y0), line(x1, y0, x0, y0)}};
}
inline cut::Loop circle(double cx, double cy, double r) {
    return {{arc(cx, cy, r, 0, std::numbers::pi), arc(cx, cy, r, std::numbers::pi, std::numbers::pi)}};
}
// An "O": a 20 x 20 square from (x, 0) with a square counter of 10 x 10 in its middle.
inline cut::Letter ring(int number = 1, double x = 0) { return {number, {rect(x, 0, x + 20, 20), hole(x + 5, 5, x + 15, 15)}}; }

inline cut::Handover handover(std::vector<cut::Letter> letters, std::vector<cut::Bridge> bridges = {}, double aperture = 2) {
    cut::Handover h;
    h.scale = 1;
    h.aperture = aperture;
    h.letters = std::move(letters);
    h.bridges = std::move(bridges);
    return h;
}
const cut::Bridge kTopBridge{1, {10, 15}, {10, 20}};  // across the ring's top stroke, from the counter out

}  // namespace drawn

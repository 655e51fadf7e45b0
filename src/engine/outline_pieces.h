// A letter's outline as straight pieces, walked over the point codes of the model.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "engine/model.h"
#include "geom/geom.h"

namespace engine {


struct OutlinePoint {
    double x, y;
};
struct OutlineSegment {
    OutlinePoint a, b;
};

inline constexpr int kQuadraticChords = 8;

// Calls f(OutlineSegment) for every straight piece along the outline of `letter` among the
// contour points from..to-1, by their segment codes: a line to the next point; a quadratic
// curve as kQuadraticChords chords; a closing line into a point of code 6. An arc (code 1
// followed by 10) becomes the two chords through its middle point, or with arcChords > 0
// that many chords along its circle (still the two chords when the points are collinear).
template <typename F>
void forLetterSegments(const engine::Model& m, std::size_t from, std::size_t to, std::int32_t letter, F f,
                       int arcChords = 0) {
    const auto& el = m.elements;
    const auto at = [&](std::size_t i) { return OutlinePoint{el[i].x, el[i].y}; };
    for (std::size_t i = from; i < to;) {
        const auto& e = el[i];
        if (e.object != letter) {
            ++i;
            continue;
        }
        if (e.kind == engine::kCodeLine && i + 1 < to) {
            if (el[i + 1].kind == engine::kCodeArcMiddle && i + 3 < to) {
                const OutlinePoint p1 = at(i), p2 = at(i + 1), p3 = at(i + 3);
                double cx = 0, cy = 0, a1 = 0, a2 = 0, r = 0;
                if (arcChords > 0) geom::rech(p1.x, p1.y, p3.x, p3.y, cx, cy, a1, a2, r, p2.x, p2.y);
                if (arcChords > 0 && r > 0 && std::isfinite(r)) {
                    const double span = a1 < a2 ? a2 - a1 : geom::kTwoPi - a1 + a2;
                    // the arc runs from a1 to a2; its ends are the points as stored, in their order
                    const bool forward = std::hypot(cx + r * std::cos(a1) - p1.x, cy + r * std::sin(a1) - p1.y) <=
                                         std::hypot(cx + r * std::cos(a1) - p3.x, cy + r * std::sin(a1) - p3.y);
                    OutlinePoint prev = p1;
                    for (int k = 1; k < arcChords; ++k) {
                        const double t = forward ? a1 + span * k / arcChords : a2 - span * k / arcChords;
                        const OutlinePoint q{cx + r * std::cos(t), cy + r * std::sin(t)};
                        f(OutlineSegment{prev, q});
                        prev = q;
                    }
                    f(OutlineSegment{prev, p3});
                } else {
                    f(OutlineSegment{p1, p2});
                    f(OutlineSegment{p2, p3});
                }
                i += 4;
            } else {
                f(OutlineSegment{at(i), at(i + 1)});
                i += 2;
            }
        } else if (e.kind == engine::kCodeQuadratic && i + 2 < to) {
            const OutlinePoint p0 = at(i), p1 = at(i + 1), p2 = at(i + 2);
            OutlinePoint prev = p0;
            for (int k = 1; k <= kQuadraticChords; ++k) {
                const double t = double(k) / kQuadraticChords, u = 1 - t;
                const OutlinePoint q{u * u * p0.x + 2 * u * t * p1.x + t * t * p2.x,
                                     u * u * p0.y + 2 * u * t * p1.y + t * t * p2.y};
                f(OutlineSegment{prev, q});
                prev = q;
            }
            i += 3;
        } else if (e.kind == engine::kCodeEnd) {
            if (i > 0 && (el[i - 1].x != e.x || el[i - 1].y != e.y)) f(OutlineSegment{at(i - 1), at(i)});
            i += 2;
        } else {
            ++i;
        }
    }
}

}  // namespace engine

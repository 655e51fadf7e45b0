// A letter's outline as straight pieces, walked over the point codes of the model.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "engine/model.h"
#include "engine/walk.h"
#include "geom/geom.h"

namespace engine {

inline constexpr int kQuadraticChords = 8;

// Calls f(geom::Segment) for every straight piece along the outline of `letter` among the
// contour points from..to-1 (the letter's points follow each other), record by record: a
// line; a quadratic curve as kQuadraticChords chords; the closing line into a point of code
// 6. An arc becomes the two chords through its middle point, or with arcChords > 0 that many
// chords along its circle (still the two chords when the points are collinear); an arc cut
// short by `to` is the line to its middle point, a curve cut short nothing.
template <typename F>
void forLetterSegments(const engine::Model& m, std::size_t from, std::size_t to, std::int32_t letter, F f,
                       int arcChords = 0) {
    using geom::Point;
    using geom::Segment;
    walkRecords(m, from, to, [&](const Record& r) {
        if (m.elements[r.at].object != letter) return;
        if (!r.complete) {
            // a curve cut short by `to` stands for its first entry alone: a contour end
            // right after it still closes the contour
            if (r.kind == Record::Kind::Quadratic) forLetterSegments(m, r.at + 1, to, letter, f, arcChords);
            return;
        }
        switch (r.kind) {
            case Record::Kind::Line: f(Segment{r.a, r.b}); break;
            case Record::Kind::Close:
                if (r.closing) f(Segment{r.a, r.b});
                break;
            case Record::Kind::Quadratic: {
                Point prev = r.a;
                for (int k = 1; k <= kQuadraticChords; ++k) {
                    const double t = double(k) / kQuadraticChords, u = 1 - t;
                    const Point q{u * u * r.a.x + 2 * u * t * r.b.x + t * t * r.c.x,
                                  u * u * r.a.y + 2 * u * t * r.b.y + t * t * r.c.y};
                    f(Segment{prev, q});
                    prev = q;
                }
                break;
            }
            case Record::Kind::Arc: {
                const Point p1 = r.a, p2 = r.b, p3 = r.c;
                geom::Arc arc;
                if (arcChords > 0) arc = geom::circleThrough(p1, p3, p2);
                const double cx = arc.centre.x, cy = arc.centre.y, a1 = arc.start, a2 = arc.end, rad = arc.radius;
                if (arcChords > 0 && rad > 0 && std::isfinite(rad)) {
                    const double span = a1 < a2 ? a2 - a1 : geom::kTwoPi - a1 + a2;
                    // the arc runs from a1 to a2; its ends are the points as stored, in their order
                    const bool forward = std::hypot(cx + rad * std::cos(a1) - p1.x, cy + rad * std::sin(a1) - p1.y) <=
                                         std::hypot(cx + rad * std::cos(a1) - p3.x, cy + rad * std::sin(a1) - p3.y);
                    Point prev = p1;
                    for (int k = 1; k < arcChords; ++k) {
                        const double t = forward ? a1 + span * k / arcChords : a2 - span * k / arcChords;
                        const Point q{cx + rad * std::cos(t), cy + rad * std::sin(t)};
                        f(Segment{prev, q});
                        prev = q;
                    }
                    f(Segment{prev, p3});
                } else {
                    f(Segment{p1, p2});
                    f(Segment{p2, p3});
                }
                break;
            }
        }
    }, ShortArc::AsLine);
}

}  // namespace engine

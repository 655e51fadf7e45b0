// The one walk over the point codes of the contour list: every reader of the letters (the
// drawing, the picture file, the hand-over, the outline pieces, the arc repair) takes the
// entries as the records this walk groups them into.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/model.h"
#include "geom/types.h"

namespace engine {

// A record of the contour list and the entries it takes:
//   Line       code 1 start, end point                          at, at+1
//   Arc        code 1 start, middle (code 10), the middle again,  at .. at+3
//              end point
//   Quadratic  code 3 start, control point, end point             at .. at+2
//   Close      code 6 (the contour's end point), one entry more    at, at+1
// An entry of any other code where a record could start is passed over on its own.
struct Record {
    enum class Kind : std::uint8_t { Line, Arc, Quadratic, Close };
    Kind kind = Kind::Line;
    std::size_t at = 0;     // index of the record's first entry
    bool complete = true;   // every point it needs lies before the end of the walk
    // Line: a to b. Arc: a start, b middle, c end. Quadratic: a start, b control, c end.
    // Close: the closing line from the entry before (a) to the end point (b). A point past
    // the end of the walk stays (0, 0).
    geom::Point a, b, c;
    bool closing = false;  // Close: the contour's last point is not yet its end point
};

// What an arc whose end lies past the end of the walk becomes: one incomplete arc over its
// four entries, or (as the drawing reads it) the straight line from its start to its middle,
// the walk going on after those two entries.
enum class ShortArc { Whole, AsLine };

// Calls f(const Record&) for every record among the entries from..to-1, in order. The walk
// has moved past a record's entries before f sees it, so f may change their codes.
template <typename F>
void walkRecords(const Model& m, std::size_t from, std::size_t to, F&& f, ShortArc shortArc = ShortArc::Whole) {
    const auto& el = m.elements;
    const auto point = [&](std::size_t i) { return i < to ? geom::Point{el[i].x, el[i].y} : geom::Point{}; };
    for (std::size_t i = from; i < to;) {
        const std::int16_t code = el[i].kind;
        Record r;
        r.at = i;
        std::size_t entries = 0;
        if (code == kCodeLine && i + 1 < to && el[i + 1].kind == kCodeArcMiddle &&
            (i + 3 < to || shortArc == ShortArc::Whole)) {
            r.kind = Record::Kind::Arc;
            r.complete = i + 3 < to;
            r.a = point(i), r.b = point(i + 1), r.c = point(i + 3);
            entries = 4;
        } else if (code == kCodeLine) {
            r.kind = Record::Kind::Line;
            r.complete = i + 1 < to;
            r.a = point(i), r.b = point(i + 1);
            entries = 2;
        } else if (code == kCodeQuadratic) {
            r.kind = Record::Kind::Quadratic;
            r.complete = i + 2 < to;
            r.a = point(i), r.b = point(i + 1), r.c = point(i + 2);
            entries = 3;
        } else if (code == kCodeEnd) {
            r.kind = Record::Kind::Close;
            r.b = point(i);
            if (i > 0) r.a = geom::Point{el[i - 1].x, el[i - 1].y};
            r.closing = i > 0 && (r.a.x != r.b.x || r.a.y != r.b.y);
            entries = 2;
        } else {
            ++i;
            continue;
        }
        i += entries;
        f(r);
    }
}

template <typename F>
void walkRecords(const Model& m, F&& f, ShortArc shortArc = ShortArc::Whole) {
    walkRecords(m, 0, m.elements.size(), static_cast<F&&>(f), shortArc);
}

}  // namespace engine

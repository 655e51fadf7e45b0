#include "engine/arcs.h"

#include <cmath>

#include "engine/walk.h"
#include "geom/geom.h"

namespace engine {

namespace {
constexpr double kLevelArcTolerance = 0.05;  // mm: an arc end this level with the middle point
constexpr double kMinDrawnArcRadius = 1;     // mm
constexpr double kMaxDrawnArcRadius = 800;   // mm
}  // namespace

void straightenUndrawableArcs(Model& m) {
    walkRecords(m, [&m](const Record& r) {
        if (r.kind != Record::Kind::Arc) return;
        bool undrawable = !r.complete || std::fabs(r.a.y - r.b.y) < kLevelArcTolerance ||
                          std::fabs(r.c.y - r.b.y) < kLevelArcTolerance;
        if (!undrawable) {
            const double radius = geom::circleThrough(r.a, r.c, r.b).radius;
            undrawable = radius < kMinDrawnArcRadius || radius > kMaxDrawnArcRadius;
        }
        if (undrawable) m.elements[r.at + 1].kind = kCodeLine;
    });
}

}  // namespace engine

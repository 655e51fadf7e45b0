// A stencil bridge as every stage reads it: the segment p1 -> p2. The strip cut around it runs
// from the segment to its copy moved by the aperture width to the right of p1 -> p2 (kind 2)
// or to its left (any other kind).
#pragma once

#include "geom/types.h"

namespace geom {

struct Bridge {
    int kind = 1;
    Point p1, p2;
};

inline bool stripRunsRight(int kind) { return kind == 2; }

// The direction of the strip's far side from the segment's direction `phi`: a quarter turn to
// the right or to the left, the quarter turn given as the caller rounds it.
inline double stripDirection(int kind, double phi, double quarterTurn) {
    return stripRunsRight(kind) ? phi - quarterTurn : phi + quarterTurn;
}

}  // namespace geom

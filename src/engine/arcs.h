// The letters' three-point arcs that the drawing cannot show as arcs.
#pragma once

#include "engine/model.h"

namespace engine {

// Turns every arc of the contour list whose end lies within 0.05 mm in y of its middle point,
// whose circle's radius lies outside 1..800 mm, or that the list cuts short, into the two straight
// lines through its middle point, for good (the middle point takes code 1). The drawing runs
// this before it draws; nothing else does, so what is converted without a drawing in between
// keeps its arcs.
void straightenUndrawableArcs(Model& model);

}  // namespace engine

// The connection bar: a band of constant width along the shape's baseline that ties all
// letters together, optionally cut down to the pieces in the gaps between the letters.
#pragma once

#include <cstdint>

#include "engine/model.h"
#include "engine/presets.h"

namespace connection {

inline constexpr double kNoCrossing = 1.1111;  // a cut line's crossing not found

struct BarInput {
    double distance = 0;  // d, mm above the baseline
    double width = 0;     // w, mm
    int cut = 0;          // Check4: 0 clear, 1 ticked, 2 greyed
    bool connectionOn = true;
    engine::Presets limits;  // of the arcs: shortest, largest and smallest radius
};

struct BarOutcome {
    bool built = true;          // false: the mitre found no intersection; the bar is empty
    bool cutAbandoned = false;  // "Cut -> No connection !" is to be shown
    bool halfCircle = false;    // an arc spans more than 180 degrees: ">Cut< not possible !"
};

// Rebuilds model.barLines and model.barArcs from the shape's baseline elements.
// Raises fault::CapacityFault when the bar would exceed its 641 elements.
BarOutcome buildBar(engine::Model& model, const BarInput& in);

// Appends the arc a1..a2 (radians, counter-clockwise, a start above the end wraps through
// 2 pi) in two halves, each a fitted arc or, outside the limits, straight lines.
void addBarArc(engine::Model& model, double cx, double cy, double r, double a1, double a2,
               std::int16_t type, const engine::Presets& limits);

}  // namespace connection

// The twenty shapes in words, for the gallery's tooltips and the dimension dialogs: what the
// outline looks like and which of its heights H and h are.
#pragma once

#include <string>

namespace shapes {

struct ShapeWords {
    const char* name;     // "Straight band", "Arch", …
    const char* heights;  // where the outline is H high and where h
};

// The words of shape 0..19; shape numbers outside give the straight band's.
const ShapeWords& shapeWords(int shape);

// "Shape 9: Arch. …" with the heights, one tooltip text.
std::string shapeTooltip(int shape);

}  // namespace shapes

// Scaling the whole model: the freshly read text to the height h, and the conversion's
// output scale.
#pragma once

#include "engine/model.h"

namespace preview {

// Scales the letters (and their bridges) about (xmin, 0) so that the text is smallHeight
// tall. A text without height raises fault::OverflowFault (the factor would be infinite).
void scaleToHeight(engine::Model& model);

// Scales every element point, bridge and bar element by `factor` about the origin.
void scaleModel(engine::Model& model, double factor);

}  // namespace preview

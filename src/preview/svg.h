// The letters, bridges, shape outline and bar as an SVG drawing in millimetres.
#pragma once

#include <string>

#include "engine/model.h"

namespace preview {

std::string svgDocument(const engine::Model& model, bool connectionOn, double apertureWidth);

}  // namespace preview

// Letters loaded, scaled to their letter height and bent into a shape, as the window has them.
#pragma once

#include <filesystem>

#include "engine/contours.h"
#include "engine/shape.h"
#include "preview/scale.h"

inline engine::Model shapedLetters(const std::filesystem::path& file, int shape) {
    engine::Model model;
    engine::readGroundContours(model, file, true);
    preview::scaleToHeight(model);
    model.shapeNumber = static_cast<std::int16_t>(shape);
    model.bigHeight = shape == 0 ? 101.6 : 152.4;
    engine::buildShape(model, true);
    return model;
}

#include "shapes/shape_words.h"

#include <array>

namespace shapes {

namespace {

constexpr std::array<ShapeWords, 20> kWords{{
    {"Straight band", "The letters stand between two straight lines, h high."},
    {"Rising top", "The top line rises from h at the left to H at the right; the baseline stays straight."},
    {"Falling top", "The top line falls from H at the left to h at the right; the baseline stays straight."},
    {"V-shaped top", "The top line falls from H at both ends to h at the knot; the baseline stays straight."},
    {"Band sagging in an arc", "The band keeps the letter height h and sags in the middle by about H - h."},
    {"Bulge", "The top arches up and the baseline down: h at the ends, H in the middle."},
    {"Wave up-down", "The band keeps the letter height h and swings up, then down, by half of H - h."},
    {"Wave down-up", "The band keeps the letter height h and swings down, then up, by half of H - h."},
    {"Gable top", "The top line rises from h at both ends to H at the knot; the baseline stays straight."},
    {"Arch", "The band keeps the letter height h and rises in the middle by about H - h."},
    {"Waist", "The top dips and the baseline rises towards the middle: H at the ends, h in the middle."},
    {"Widening to the left", "A band symmetric about its middle line: h at the right end, H at the left end."},
    {"Widening to the right", "A band symmetric about its middle line: h at the left end, H at the right end."},
    {"Arched top", "The top arches up over a straight baseline: h at the ends, H in the middle."},
    {"Sagging baseline", "The baseline sags under a straight top line: h at the ends, H in the middle."},
    {"Rising baseline", "The baseline arches up under a straight top line: H at the ends, h in the middle."},
    {"Diamond", "Top line and baseline bend outwards at the knot: h at the ends, H at the knot."},
    {"Hourglass", "Top line and baseline bend inwards at the knot: H at the ends, h at the knot."},
    {"Chevron down", "The band keeps the letter height h and is bent down at the knot by about H - h."},
    {"Chevron up", "The band keeps the letter height h and is bent up at the knot by about H - h."},
}};

}  // namespace

const ShapeWords& shapeWords(int shape) { return kWords[shape >= 0 && shape < 20 ? shape : 0]; }

std::string shapeTooltip(int shape) {
    const ShapeWords& w = shapeWords(shape);
    return "Shape " + std::to_string(shape >= 0 && shape < 20 ? shape : 0) + ": " + w.name + ". " + w.heights;
}

}  // namespace shapes

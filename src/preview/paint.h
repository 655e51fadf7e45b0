// Drawing the model into the 640 x 480 preview picture.
#pragma once

#include "engine/model.h"
#include "preview/canvas.h"

namespace preview {

struct PaintOptions {
    bool showKnots = true;      // "On"
    bool connectionOn = false;  // "Contour connection"
    double apertureWidth = 0;   // b in mm (the aperture text is in inches)
};

enum class PaintResult { Drawn, ViewOverflow };

// Inclusive limits of the view window's width that can be drawn.
inline constexpr double kMinViewWidth = 0.15;
inline constexpr double kMaxViewWidth = 300000;

// Redraws the picture. A view window outside the drawable widths is reset to the default and
// nothing is drawn (ViewOverflow; the caller tells the user). Otherwise the letters' arcs that
// cannot be drawn as arcs are first turned into straight lines in the model for good
// (engine::straightenUndrawableArcs), then the model is drawn.
PaintResult paint(engine::Model& model, const PaintOptions& options, Canvas& canvas);

// The drawing itself: clears the canvas and draws the model in its view window (nothing on a
// canvas that keeps nothing).
void draw(const engine::Model& model, const PaintOptions& options, Canvas& canvas);

// One straight line in model coordinates, clipped to the picture.
void drawSegment(const engine::ViewWindow& view, Canvas& canvas, double x1, double y1, double x2,
                 double y2, std::uint8_t colour);
// An arc in picture coordinates, counter-clockwise from a1 to a2 (radians), as 100 chords.
void drawArc(Canvas& canvas, double cx, double cy, double r, double a1, double a2, std::uint8_t colour);
// A quadratic curve in model coordinates as n chords.
void quadratic(const engine::ViewWindow& view, Canvas& canvas, int n, double x0, double y0, double x1,
               double y1, double x2, double y2, std::uint8_t colour);

}  // namespace preview

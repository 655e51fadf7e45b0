// Showing what the preview drew: on screen, in a PNG file.
#pragma once

#include <QImage>
#include <QPainter>

#include "preview/canvas.h"

namespace preview_qt {

// Draws the strokes of the 640 x 480 picture into `target` (scaled to fit), antialiased, with
// lines `penWidth` device pixels wide.
void renderPicture(QPainter& painter, const QRectF& target, const preview::DisplayList& picture, double penWidth = 1.0);
// The picture on white, `scale` times the picture size.
QImage pictureImage(const preview::DisplayList& picture, double scale = 1.0);

}  // namespace preview_qt

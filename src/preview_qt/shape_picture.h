// Pictures of the twenty shapes, drawn by the engine itself: the shape's outline around a
// sample word, so a picture always shows what the shape does.
#pragma once

#include <QImage>
#include <QPainter>
#include <QSize>

namespace preview_qt {

// withBar: the letters joined by a connection bar (the picture of "Contour connection")
QImage shapePicture(int shape, QSize size, bool withBar = false);
// The same picture painted into `target` on any painter, as lines (a PDF keeps them sharp at
// any zoom), `penWidth` device pixels wide; false when the shape could not be built.
// plainDescender: a word whose middle letter reaches below the baseline, without "Fit in".
bool paintShapePicture(QPainter& painter, const QRectF& target, int shape, bool withBar, double penWidth,
                       bool plainDescender = false);

// The shape's picture with its heights marked: an arrow from the outline's bottom to its top
// labelled "H" where the outline is highest (or, for a band of even height, over its whole
// height) and one labelled "h" where it is lowest. With one height, only "h".
QImage shapePictureWithHeights(int shape, QSize size, bool twoHeights);

}  // namespace preview_qt

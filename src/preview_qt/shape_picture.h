// Pictures of the twenty shapes, drawn by the engine itself: the shape's outline around a
// sample word, so a picture always shows what the shape does.
#pragma once

#include <QImage>
#include <QSize>

namespace preview_qt {

// withBar: the letters joined by a connection bar (the picture of "Contour connection")
QImage shapePicture(int shape, QSize size, bool withBar = false);

// The shape's picture with its heights marked: an arrow from the outline's bottom to its top
// labelled "H" where the outline is highest (or, for a band of even height, over its whole
// height) and one labelled "h" where it is lowest. With one height, only "h".
QImage shapePictureWithHeights(int shape, QSize size, bool twoHeights);

}  // namespace preview_qt

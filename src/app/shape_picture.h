// Pictures of the twenty shapes, drawn by the engine itself: the shape's outline around a
// sample word, so a picture always shows what the shape does.
#pragma once

#include <QImage>
#include <QSize>

namespace app {

// withBar: the letters joined by a connection bar (the picture of "Contour connection")
QImage shapePicture(int shape, QSize size, bool withBar = false);

}  // namespace app

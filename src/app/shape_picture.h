// Pictures of the twenty shapes, drawn by the engine itself: the shape's outline around a
// sample word, so a picture always shows what the shape does.
#pragma once

#include <QImage>
#include <QSize>

namespace app {

QImage shapePicture(int shape, QSize size);

}  // namespace app

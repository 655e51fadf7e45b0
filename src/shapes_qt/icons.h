// Icons of the main window's picture buttons, drawn in code so they stay sharp at any scale.
#pragma once

#include <QIcon>

namespace shapes_qt {

enum class IconKind { ZoomIn, ZoomOut, Fit, Redraw, Aperture, Spacing, Back };

QIcon drawnIcon(IconKind kind);

}  // namespace shapes_qt

// The cut drawing on a QPainter: material and openings in two tones, cut outlines, problems
// in red (thin material in orange). Shared by the window and the PNG preview.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>

#include "cut/cut.h"

namespace cut_qt {

inline const QColor kMaterial(0x8c, 0x9b, 0xab);  // the sheet or the parts
inline const QColor kOpening(0xff, 0xff, 0xff);   // what is cut away, and the background
inline const QColor kOutline(0x20, 0x20, 0x20);
inline const QColor kProblem(0xe0, 0x00, 0x00);
inline const QColor kThin(0xe0, 0x80, 0x00);  // thin material: orange, apart from the red of islands
// the colour a problem is shown in
inline QColor problemColour(const cut::Problem& p) { return p.kind == cut::ProblemKind::ThinMaterial ? kThin : kProblem; }

// The part of the drawing plane worth showing (mm): outlines, sheet and problems.
QRectF drawingBounds(const cut::Drawing& d);

// The cut outlines as one path (even-odd), in mm.
QPainterPath cutPath(const cut::Drawing& d);

// Paints the drawing with `toView` mapping mm (y upward) to the device. `selected` marks one
// problem (-1: none). `cut`: the drawing's cutPath when it is kept, else it is made here.
void paintDrawing(QPainter& p, const cut::Drawing& d, const QTransform& toView, int selected = -1,
                  const QPainterPath* cut = nullptr);

// The transform that fits `bounds` (mm) into `size` pixels with a margin, y turned upward.
QTransform fitTransform(const QRectF& bounds, const QSizeF& size, double margin = 12);

// The drawing as an image of the given size.
QImage drawingImage(const cut::Drawing& d, QSize size);

}  // namespace cut_qt

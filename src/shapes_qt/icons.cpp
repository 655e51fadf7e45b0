#include "shapes_qt/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace shapes_qt {

namespace {
constexpr int kSize = 48;

void magnifier(QPainter& p, bool plus) {
    p.drawEllipse(QRectF(6, 6, 26, 26));
    p.drawLine(QPointF(29, 29), QPointF(42, 42));
    p.drawLine(QPointF(12, 19), QPointF(26, 19));
    if (plus) p.drawLine(QPointF(19, 12), QPointF(19, 26));
}

void arrowHead(QPainter& p, QPointF tip, QPointF dir) {
    const QPointF n(-dir.y(), dir.x());
    p.drawLine(tip, tip - 6 * dir + 4 * n);
    p.drawLine(tip, tip - 6 * dir - 4 * n);
}
}  // namespace

QIcon drawnIcon(IconKind kind) {
    QPixmap pm(kSize, kSize);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    switch (kind) {
    case IconKind::ZoomIn: magnifier(p, true); break;
    case IconKind::ZoomOut: magnifier(p, false); break;
    case IconKind::Fit:
        p.drawRect(QRectF(14, 14, 20, 20));
        for (QPointF d : {QPointF(-1, -1), QPointF(1, -1), QPointF(1, 1), QPointF(-1, 1)}) {
            const QPointF tip = QPointF(24, 24) + 19 * d;
            p.drawLine(QPointF(24, 24) + 13 * d, tip);
            arrowHead(p, tip, d / 1.4142);
        }
        break;
    case IconKind::Redraw: {
        QPainterPath arc;
        arc.arcMoveTo(QRectF(9, 9, 30, 30), 60);
        arc.arcTo(QRectF(9, 9, 30, 30), 60, 290);
        p.drawPath(arc);
        arrowHead(p, arc.pointAtPercent(1), QPointF(0.5, -0.87));
        break;
    }
    case IconKind::Aperture:  // a letter stroke with its stencil bridge
        p.drawRect(QRectF(8, 6, 32, 36));
        p.setPen(QPen(QColor(200, 40, 40), 3.5));
        p.drawLine(QPointF(8, 21), QPointF(40, 21));
        p.drawLine(QPointF(8, 27), QPointF(40, 27));
        break;
    case IconKind::Spacing:  // two letters and the distance between them
        p.drawRect(QRectF(4, 8, 14, 24));
        p.drawRect(QRectF(30, 8, 14, 24));
        p.drawLine(QPointF(18, 40), QPointF(30, 40));
        arrowHead(p, QPointF(18, 40), QPointF(-1, 0));
        arrowHead(p, QPointF(30, 40), QPointF(1, 0));
        break;
    case IconKind::Back:  // an arrow pointing back
        p.drawLine(QPointF(40, 24), QPointF(9, 24));
        arrowHead(p, QPointF(8, 24), QPointF(-1, 0));
        p.drawLine(QPointF(40, 24), QPointF(40, 12));
        break;
    }
    return QIcon(pm);
}

}  // namespace shapes_qt

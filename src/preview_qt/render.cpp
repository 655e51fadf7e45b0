#include "preview_qt/render.h"

#include <QFont>
#include <QPen>

namespace preview_qt {

void renderPicture(QPainter& painter, const QRectF& target, const preview::DisplayList& picture, double penWidth) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.translate(target.topLeft());
    painter.scale(target.width() / preview::kPictureWidth, target.height() / preview::kPictureHeight);
    QPen pen;
    pen.setCosmetic(true);  // as wide in device pixels whatever the scale
    pen.setWidthF(penWidth);
    int current = -1;
    for (const auto& s : picture.strokes) {
        if (s.colour != current) {
            const preview::Rgb c = preview::paletteColour(s.colour);
            pen.setColor(QColor(c.r, c.g, c.b));
            painter.setPen(pen);
            current = s.colour;
        }
        painter.drawLine(QPointF(s.x1, s.y1), QPointF(s.x2, s.y2));
    }
    for (const auto& c : picture.captions) {
        const preview::Rgb rgb = preview::paletteColour(c.colour);
        painter.setPen(QColor(rgb.r, rgb.g, rgb.b));
        QFont font = painter.font();
        font.setPointSize(c.pointSize);
        painter.setFont(font);
        painter.drawText(QRectF(c.x, c.y, preview::kPictureWidth, preview::kPictureHeight), Qt::AlignLeft | Qt::AlignTop,
                         QString::fromStdString(c.text));
    }
    painter.restore();
}

QImage pictureImage(const preview::DisplayList& picture, double scale) {
    QImage img(int(preview::kPictureWidth * scale), int(preview::kPictureHeight * scale), QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    renderPicture(p, QRectF(0, 0, img.width(), img.height()), picture);
    return img;
}

}  // namespace preview_qt

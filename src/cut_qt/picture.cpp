#include "cut_qt/picture.h"

#include <QPainterPath>
#include <algorithm>

namespace cut_qt {

namespace {

QPainterPath pathOf(const std::vector<cut::Pt>& pts) {
    QPainterPath path;
    if (pts.empty()) return path;
    path.moveTo(pts[0].x, pts[0].y);
    for (std::size_t i = 1; i < pts.size(); ++i) path.lineTo(pts[i].x, pts[i].y);
    path.closeSubpath();
    return path;
}

}  // namespace

QRectF drawingBounds(const cut::Drawing& d) {
    double x0 = d.min.x, y0 = d.min.y, x1 = d.max.x, y1 = d.max.y;
    for (const auto& p : d.sheet) x0 = std::min(x0, p.x), y0 = std::min(y0, p.y), x1 = std::max(x1, p.x), y1 = std::max(y1, p.y);
    if (!(x1 > x0) || !(y1 > y0)) return QRectF(0, 0, 1, 1);
    return QRectF(QPointF(x0, y0), QPointF(x1, y1));
}

QTransform fitTransform(const QRectF& b, const QSizeF& size, double margin) {
    const double sx = (size.width() - 2 * margin) / b.width(), sy = (size.height() - 2 * margin) / b.height();
    const double s = std::max(1e-9, std::min(sx, sy));
    const double ox = (size.width() - s * b.width()) / 2 - s * b.left();
    const double oy = (size.height() + s * b.height()) / 2 + s * b.top();
    return QTransform(s, 0, 0, -s, ox, oy);
}

QPainterPath cutPath(const cut::Drawing& d) {
    QPainterPath cut;
    cut.setFillRule(Qt::OddEvenFill);  // counters of a part and parts inside an opening stay what they are
    for (const auto& o : d.cut) cut.addPath(pathOf(o.poly));
    return cut;
}

void paintDrawing(QPainter& p, const cut::Drawing& d, const QTransform& toView, int selected, const QPainterPath* kept) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setTransform(toView, true);
    const QPainterPath cut = kept ? *kept : cutPath(d);
    QPen outline(kOutline);
    outline.setCosmetic(true);
    outline.setWidthF(1.0);
    // a stencil whose sheet edge is cut (a border, or one sheet of a tiled stencil) is drawn as
    // its material, like the parts of lettering; else the sheet with the openings cut out of it
    const bool edgeCut = std::any_of(d.cut.begin(), d.cut.end(), [](const cut::Outline& o) { return o.sheetEdge; });
    if (d.kind == cut::Kind::Stencil && !edgeCut) {
        p.fillPath(pathOf(d.sheet), kMaterial);
        p.fillPath(cut, kOpening);
    } else {
        p.fillPath(cut, kMaterial);
    }
    p.strokePath(cut, outline);
    for (std::size_t i = 0; i < d.problems.size(); ++i) {
        QPainterPath area;
        area.setFillRule(Qt::OddEvenFill);
        for (const auto& ring : d.problems[i].area) area.addPath(pathOf(ring));
        const bool sel = static_cast<int>(i) == selected;
        QColor fill = problemColour(d.problems[i]);
        fill.setAlpha(sel ? 200 : 110);
        p.fillPath(area, fill);
        QPen pen(problemColour(d.problems[i]));
        pen.setCosmetic(true);
        pen.setWidthF(sel ? 3.0 : 1.5);
        p.strokePath(area, pen);
    }
    p.restore();
    // a ring around each problem, so that small ones are seen at any zoom
    for (std::size_t i = 0; i < d.problems.size(); ++i) {
        const QPointF c = toView.map(QPointF(d.problems[i].place.x, d.problems[i].place.y));
        const bool sel = static_cast<int>(i) == selected;
        QPen pen(problemColour(d.problems[i]));
        pen.setWidthF(sel ? 3.0 : 2.0);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.setRenderHint(QPainter::Antialiasing, true);
        const double r = sel ? 16 : 11;
        p.drawEllipse(c, r, r);
    }
}

QImage drawingImage(const cut::Drawing& d, QSize size) {
    QImage img(size, QImage::Format_RGB32);
    img.fill(kOpening);
    QPainter p(&img);
    paintDrawing(p, d, fitTransform(drawingBounds(d), QSizeF(size)));
    p.end();
    return img;
}

}  // namespace cut_qt

#include "text_qt/lettering_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <vector>

#include "suite_qt/guard.h"

namespace text_qt {

namespace {

constexpr double kMargin = 12;     // pixels round the letters
constexpr double kPickPixels = 4;  // a press this near a strip picks its bridge

void addPolygon(QPainterPath& path, const std::vector<text::Pt>& pts, double dx) {
    if (pts.empty()) return;
    path.moveTo(dx + pts.front().x, pts.front().y);
    for (std::size_t i = 1; i < pts.size(); ++i) path.lineTo(dx + pts[i].x, pts[i].y);
    path.closeSubpath();
}

}  // namespace

LetteringView::LetteringView(QWidget* parent) : QWidget(parent) {
    setObjectName("preview");
    setMinimumSize(640, 240);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::ClickFocus);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
}

void LetteringView::show(const text::Lettering* l, std::optional<text::BridgeRef> selected) {
    lettering_ = l && !l->letters.empty() ? l : nullptr;
    selected_ = selected;
    place();
    update();
}

void LetteringView::place() {
    xmin_ = ymin_ = 1e300;
    xmax_ = ymax_ = -1e300;
    if (lettering_)
        for (const text::Letter& k : lettering_->letters)
            for (const text::Contour& c : k.contours)
                for (const text::Piece& p : c)
                    for (text::Pt e : {p.a, p.b}) {
                        xmin_ = std::min(xmin_, k.x + e.x), xmax_ = std::max(xmax_, k.x + e.x);
                        ymin_ = std::min(ymin_, e.y), ymax_ = std::max(ymax_, e.y);
                    }
    toWidget_ = QTransform();
    if (!(xmax_ > xmin_) || !(ymax_ > ymin_)) return;
    const double scale = std::min((width() - 2 * kMargin) / (xmax_ - xmin_), (height() - 2 * kMargin) / (ymax_ - ymin_));
    if (!(scale > 0)) return;
    toWidget_.translate(kMargin + ((width() - 2 * kMargin) - (xmax_ - xmin_) * scale) / 2,
                        kMargin + ((height() - 2 * kMargin) - (ymax_ - ymin_) * scale) / 2);
    toWidget_.scale(scale, -scale);  // y up
    toWidget_.translate(-xmin_, -ymax_);
}

QPointF LetteringView::toWidget(text::Pt p) const { return toWidget_.map(QPointF(p.x, p.y)); }

text::Pt LetteringView::toLine(QPointF p) const {
    const QPointF q = toWidget_.inverted().map(p);
    return {q.x(), q.y()};
}

void LetteringView::resizeEvent(QResizeEvent*) { place(); }

void LetteringView::paintEvent(QPaintEvent*) {
    if (!lettering_ || toWidget_.isIdentity()) return;
    const text::Lettering& l = *lettering_;
    // The fill goes letter by letter: the rasterizer keeps each pixel row's coverage in a list
    // that it walks from the left for every edge, so one path over the whole line costs the
    // square of the letters, and letter by letter it stays linear. The outlines go over all
    // fills at once.
    std::vector<QPainterPath> letters;
    letters.reserve(l.letters.size());
    QPainterPath outlines, strips, loose, chosen;
    for (std::size_t i = 0; i < l.letters.size(); ++i) {
        const text::Letter& k = l.letters[i];
        QPainterPath ink;
        ink.setFillRule(Qt::WindingFill);
        for (const text::Contour& c : k.contours) {
            if (c.empty()) continue;
            ink.moveTo(k.x + c.front().a.x, c.front().a.y);
            for (const text::Piece& p : c) {
                if (p.quad) ink.quadTo(k.x + p.c.x, p.c.y, k.x + p.b.x, p.b.y);
                else ink.lineTo(k.x + p.b.x, p.b.y);
            }
            ink.closeSubpath();
        }
        if (!ink.isEmpty()) {
            outlines.addPath(ink);
            letters.push_back(std::move(ink));
        }
        for (std::size_t j = 0; j < k.bridges.size(); ++j)
            addPolygon(selected_ == text::BridgeRef{i, j} ? chosen : strips, text::stripCorners(k.bridges[j], l.stripWidth), k.x);
        for (const text::Polygon& p : k.loose) addPolygon(loose, p, k.x);
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(toWidget_);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(192, 192, 192));
    for (const QPainterPath& letter : letters) painter.drawPath(letter);
    QPen outline(Qt::black, 0);
    outline.setCosmetic(true);
    painter.setPen(outline);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(outlines);
    painter.setBrush(QColor(255, 0, 0));
    painter.setPen(Qt::NoPen);
    painter.drawPath(loose);
    QPen strip(QColor(0, 0, 255), 0);
    strip.setCosmetic(true);
    painter.setPen(strip);
    painter.setBrush(Qt::white);
    painter.drawPath(strips);
    QPen selected(QColor(255, 140, 0), 2);
    selected.setCosmetic(true);
    painter.setPen(selected);
    painter.setBrush(QColor(255, 200, 120));
    painter.drawPath(chosen);
}

void LetteringView::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !lettering_ || toWidget_.isIdentity()) return;
    dragging_ = true;
    const double pick = kPickPixels / toWidget_.m11();
    suite_qt::guardEvent([&] {
        if (pressed) pressed(toLine(e->position()), pick);
    });
}

void LetteringView::mouseMoveEvent(QMouseEvent* e) {
    if (!dragging_ || !lettering_) return;
    suite_qt::guardEvent([&] {
        if (dragged) dragged(toLine(e->position()));
    });
}

void LetteringView::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) dragging_ = false;
}

void LetteringView::keyPressEvent(QKeyEvent* e) {
    if (e->key() != Qt::Key_Delete && e->key() != Qt::Key_Backspace) return QWidget::keyPressEvent(e);
    suite_qt::guardEvent([&] {
        if (deletePressed) deletePressed();
    });
}

}  // namespace text_qt

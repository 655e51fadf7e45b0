#include "preview_qt/shape_picture.h"

#include <QLineF>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <vector>

#include "preview_qt/render.h"
#include "connection/bar.h"
#include "engine/contours.h"
#include "engine/shape.h"
#include "geom/geom.h"
#include "preview/paint.h"

namespace preview_qt {

namespace {

// A word of three tall block letters, drawn as closed contours of line records: few letters, so
// the outline's bend shows large in a small picture.
// With a descender the middle letter reaches 4 below the baseline, as a "p" does.
engine::Model sampleWord(bool descender = false) {
    engine::Model m;
    constexpr int kLetters = 3;
    constexpr double kWidth = 5, kHeight = 10, kPitch = 7;
    for (int k = 0; k < kLetters; ++k) {
        const double x0 = k * kPitch, x1 = x0 + kWidth;
        const double y0 = descender && k == 1 ? -4 : 0;
        const double pts[5][2] = {{x0, y0}, {x1, y0}, {x1, kHeight}, {x0, kHeight}, {x0, y0}};
        for (int i = 0; i < 4; ++i) {
            m.elements.push({pts[i][0], pts[i][1], engine::kCodeLine, k + 1, kHeight});
            m.elements.push({pts[i + 1][0], pts[i + 1][1], engine::kCodeNone, k + 1, kHeight});
        }
        m.elements.push({x0, y0, engine::kCodeEnd, k + 1, kHeight});
        m.elements.push({x0, y0, engine::kCodeNone, k + 1, kHeight});
    }
    m.letterCount = kLetters;
    m.smallHeight = kHeight;
    m.bigHeight = kHeight * 1.6;
    return m;
}

// The sample word in the shape, the view window round it with a margin and the picture's aspect.
// plainDescender: the word with a descender, built without "Fit in"
bool buildSample(engine::Model& m, int shape, QSize size, bool withBar, double room = 1.2, bool plainDescender = false) {
    m = sampleWord(plainDescender);
    m.shapeNumber = static_cast<std::int16_t>(shape);
    try {
        engine::buildShape(m, !plainDescender);
        if (withBar) {
            connection::BarInput in;
            in.width = 1.5;
            in.distance = 1;
            connection::buildBar(m, in);
        }
    } catch (const std::exception&) {
        return false;  // a picture without the shape rather than none
    }
    const engine::ViewWindow b = engine::viewAround(engine::contourExtents(m));
    double w = (b.xmax - b.xmin) * room, h = (b.ymax - b.ymin) * room;
    const double aspect = double(size.width()) / std::max(1, size.height());
    if (w / h < aspect) w = h * aspect;
    else h = w / aspect;
    const double cx = (b.xmin + b.xmax) / 2, cy = (b.ymin + b.ymax) / 2;
    m.view = engine::ViewWindow{cx - w / 2, cx + w / 2, cy - h / 2, cy + h / 2};
    return true;
}

void draw(engine::Model& m, QImage& img, bool withBar) {
    preview::DisplayList picture;
    preview::PaintOptions o;
    o.showKnots = !withBar;
    o.connectionOn = withBar;
    preview::paint(m, o, picture);
    QPainter p(&img);
    // lines that stay visible in a small picture
    renderPicture(p, QRectF(0, 0, img.width(), img.height()), picture, img.width() >= 120 ? 1.5 : 1.2);
}

// The outline as a chain of straight pieces, arcs in short chords.
std::vector<QLineF> outlinePieces(const engine::Model& m) {
    std::vector<QLineF> pieces;
    for (std::size_t i = 0; i < m.shapeLines.size(); ++i) {
        const engine::ShapeLine& l = m.shapeLines[i];
        pieces.emplace_back(l.x1, l.y1, l.x2, l.y2);
    }
    for (std::size_t i = 0; i < m.shapeArcs.size(); ++i) {
        const engine::ShapeArc& a = m.shapeArcs[i];
        double span = a.endDeg - a.startDeg;
        if (span <= 0) span += 360;
        constexpr int kChords = 48;
        QPointF last;
        for (int k = 0; k <= kChords; ++k) {
            const double t = (a.startDeg + span * k / kChords) * M_PI / 180;
            const QPointF p(a.cx + a.radius * std::cos(t), a.cy + a.radius * std::sin(t));
            if (k > 0) pieces.emplace_back(last, p);
            last = p;
        }
    }
    return pieces;
}

// lowest and highest point of the outline on the vertical at x; false unless it crosses the
// outline twice there
bool span(const std::vector<QLineF>& pieces, double x, double& bottom, double& top) {
    int hits = 0;
    for (const QLineF& l : pieces) {
        const double x1 = l.x1(), x2 = l.x2();
        if (x < std::min(x1, x2) || x > std::max(x1, x2) || x1 == x2) continue;
        const double y = l.y1() + (l.y2() - l.y1()) * (x - x1) / (x2 - x1);
        bottom = hits ? std::min(bottom, y) : y;
        top = hits ? std::max(top, y) : y;
        ++hits;
    }
    return hits >= 2 && top - bottom > 1e-6;
}

// a vertical double arrow between two picture points with its letter beside it
// (`unit`: the picture's pixels to one pixel of a picture 240 wide)
void heightArrow(QPainter& p, QPointF bottom, QPointF top, const QString& letter, bool labelLeft, double unit) {
    p.drawLine(bottom, top);
    for (const QPointF& tip : {top, bottom}) {
        const double d = (tip == top ? 6 : -6) * unit;
        p.drawLine(tip, tip + QPointF(-3.5 * unit, d));
        p.drawLine(tip, tip + QPointF(3.5 * unit, d));
    }
    const QPointF mid = (bottom + top) / 2;
    const QRectF box(labelLeft ? mid.x() - 18 * unit : mid.x() + 3 * unit, mid.y() - 9 * unit, 15 * unit, 18 * unit);
    p.fillRect(box, Qt::white);
    p.drawText(box, Qt::AlignCenter, letter);
}

}  // namespace

bool paintShapePicture(QPainter& painter, const QRectF& target, int shape, bool withBar, double penWidth,
                       bool plainDescender) {
    engine::Model m;
    const QSize size(std::max(1, int(target.width())), std::max(1, int(target.height())));
    if (!buildSample(m, shape, size, withBar, 1.2, plainDescender)) return false;
    preview::DisplayList picture;
    preview::PaintOptions o;
    o.showKnots = !withBar;
    o.connectionOn = withBar;
    preview::paint(m, o, picture);
    renderPicture(painter, target, picture, penWidth);
    return true;
}

QImage shapePicture(int shape, QSize size, bool withBar) {
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::white);
    engine::Model m;
    if (buildSample(m, shape, size, withBar)) draw(m, img, withBar);
    return img;
}

QImage shapePictureWithHeights(int shape, QSize size, bool twoHeights) {
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::white);
    engine::Model m;
    if (!buildSample(m, shape, size, false, 1.5)) return img;  // room for the arrows
    draw(m, img, false);
    if (m.shapeLines.size() + m.shapeArcs.size() == 0) return img;

    // the outline's height along the word: where it is greatest and where least
    const std::vector<QLineF> pieces = outlinePieces(m);
    engine::Box b{};
    b.xmin = b.xmax = pieces.front().x1();
    b.ymin = b.ymax = pieces.front().y1();
    for (const QLineF& l : pieces)
        for (const QPointF& q : {l.p1(), l.p2()}) {
            b.xmin = std::min(b.xmin, q.x());
            b.xmax = std::max(b.xmax, q.x());
            b.ymin = std::min(b.ymin, q.y());
            b.ymax = std::max(b.ymax, q.y());
        }
    struct Span { double x = 0, bottom = 0, top = 0; };
    Span most, least;
    bool any = false;
    constexpr int kSamples = 200;
    for (int i = 1; i < kSamples; ++i) {
        const double x = b.xmin + (b.xmax - b.xmin) * i / kSamples;
        double bottom, top;
        if (!span(pieces, x, bottom, top)) continue;
        const Span s{x, bottom, top};
        if (!any || top - bottom > most.top - most.bottom + 1e-9) most = s;
        if (!any || top - bottom < least.top - least.bottom - 1e-9) least = s;
        any = true;
    }
    if (!any) return img;

    const engine::ViewWindow& v = m.view;
    const auto toImage = [&](double x, double y) {
        const geom::Point p = geom::toPicture({x, y}, v.xmin, v.xmax, v.ymin, v.ymax);
        return QPointF(p.x * size.width() / preview::kPictureWidth, p.y * size.height() / preview::kPictureHeight);
    };
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(QColor(200, 0, 0));
    const double unit = size.width() / 240.0;
    pen.setWidthF(1.5 * unit);
    p.setPen(pen);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(static_cast<int>(13 * unit + 0.5));
    p.setFont(f);
    const double bandHeight = least.top - least.bottom;
    if (!twoHeights) {
        heightArrow(p, toImage(least.x, least.bottom), toImage(least.x, least.top), "h", false, unit);
        return img;
    }
    if (most.top - most.bottom - bandHeight < 0.02 * bandHeight) {
        // a band of even height h that bends: H is the height of the whole band, beside it
        const double x = b.xmax + (v.xmax - b.xmax) * 0.4;
        heightArrow(p, toImage(x, b.ymin), toImage(x, b.ymax), "H", false, unit);
        const double xs = b.xmin + (b.xmax - b.xmin) * 0.03;
        double bottom, top;
        if (span(pieces, xs, bottom, top)) heightArrow(p, toImage(xs, bottom), toImage(xs, top), "h", true, unit);
        return img;
    }
    heightArrow(p, toImage(most.x, most.bottom), toImage(most.x, most.top), "H", most.x < least.x, unit);
    heightArrow(p, toImage(least.x, least.bottom), toImage(least.x, least.top), "h", least.x < most.x, unit);
    return img;
}

}  // namespace preview_qt

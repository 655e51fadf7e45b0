#include "app/shape_picture.h"

#include <QPainter>

#include "app/render.h"
#include "connection/bar.h"
#include "engine/contours.h"
#include "engine/shape.h"
#include "preview/paint.h"

namespace app {

namespace {

// A word of five block letters, drawn as closed contours of line records.
engine::Model sampleWord() {
    engine::Model m;
    constexpr double kWidth = 8, kHeight = 10, kPitch = 11;
    for (int k = 0; k < 5; ++k) {
        const double x0 = k * kPitch, x1 = x0 + kWidth;
        const double pts[5][2] = {{x0, 0}, {x1, 0}, {x1, kHeight}, {x0, kHeight}, {x0, 0}};
        for (int i = 0; i < 4; ++i) {
            m.elements.push({pts[i][0], pts[i][1], engine::kCodeLine, k + 1, kHeight});
            m.elements.push({pts[i + 1][0], pts[i + 1][1], engine::kCodeNone, k + 1, kHeight});
        }
        m.elements.push({x0, 0, engine::kCodeEnd, k + 1, kHeight});
        m.elements.push({x0, 0, engine::kCodeNone, k + 1, kHeight});
    }
    m.letterCount = 5;
    m.smallHeight = kHeight;
    m.bigHeight = kHeight * 1.6;
    return m;
}

}  // namespace

QImage shapePicture(int shape, QSize size, bool withBar) {
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::white);
    engine::Model m = sampleWord();
    m.shapeNumber = static_cast<std::int16_t>(shape);
    try {
        engine::buildShape(m, true);
        if (withBar) {
            connection::BarInput in;
            in.width = 1.5;
            in.distance = 1;
            connection::buildBar(m, in);
        }
    } catch (const std::exception&) {
        return img;  // a picture without the shape rather than none
    }
    m.view = engine::viewAround(engine::contourExtents(m));
    // take the outline in as well: widen the window by a quarter of its size
    const double w = m.view.xmax - m.view.xmin, h = m.view.ymax - m.view.ymin;
    m.view = engine::ViewWindow{m.view.xmin - w / 8, m.view.xmax + w / 8, m.view.ymin - h / 8, m.view.ymax + h / 8};
    preview::DisplayList picture;
    preview::PaintOptions o;
    o.showKnots = !withBar;
    o.connectionOn = withBar;
    preview::paint(m, o, picture);
    QPainter p(&img);
    renderPicture(p, QRectF(0, 0, size.width(), size.height()), picture);
    return img;
}

}  // namespace app

// Holes look like holes: the counter of a part shows open, the counter held inside a stencil's
// opening shows as material.
#include <gtest/gtest.h>

#include "cut_qt/picture.h"

namespace {

cut::Edge line(double x1, double y1, double x2, double y2) {
    cut::Edge e;
    e.a = {x1, y1};
    e.b = {x2, y2};
    return e;
}
cut::Loop rect(double x0, double y0, double x1, double y1) {
    return {{line(x0, y0, x1, y0), line(x1, y0, x1, y1), line(x1, y1, x0, y1), line(x0, y1, x0, y0)}};
}

}  // namespace

TEST(CutPicture, CountersShowAsWhatTheyAre) {
    cut::Handover h;
    h.scale = 1;
    h.aperture = 2;
    // an "O" with a square counter, turned against its outside as a font draws it
    h.letters = {{1, {rect(0, 0, 20, 20), {{line(5, 5, 5, 15), line(5, 15, 15, 15), line(15, 15, 15, 5), line(15, 5, 5, 5)}}}}};
    h.bridges = {{1, {10, 15}, {10, 20}}};                      // which holds it in a stencil
    for (const cut::Kind kind : {cut::Kind::Lettering, cut::Kind::Stencil}) {
        cut::Options o;
        o.kind = kind;
        const cut::Drawing d = cut::makeDrawing(h, o);
        const QImage img = cut_qt::drawingImage(d, QSize(200, 200));
        const QTransform t = cut_qt::fitTransform(cut_qt::drawingBounds(d), QSizeF(200, 200));
        const QPoint counter = t.map(QPointF(10, 10)).toPoint(), stroke = t.map(QPointF(2.5, 10)).toPoint();
        // lettering: the stroke is material, the counter open; a stencil the other way round
        const bool parts = kind == cut::Kind::Lettering;
        EXPECT_EQ(img.pixelColor(counter), parts ? cut_qt::kOpening : cut_qt::kMaterial);
        EXPECT_EQ(img.pixelColor(stroke), parts ? cut_qt::kMaterial : cut_qt::kOpening);
    }
}

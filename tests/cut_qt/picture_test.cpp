// Holes look like holes: the counter of a part shows open, the counter held inside a stencil's
// opening shows as material.
#include <gtest/gtest.h>

#include "cut/drawn.h"
#include "cut_qt/picture.h"

TEST(CutPicture, CountersShowAsWhatTheyAre) {
    const cut::Handover h = drawn::handover({drawn::ring()}, {drawn::kTopBridge});  // the bridge holds it in a stencil
    for (const cut::Kind kind : {cut::Kind::Lettering, cut::Kind::Stencil}) {
        const cut::Drawing d = cut::makeDrawing(h, {.kind = kind});
        const QImage img = cut_qt::drawingImage(d, QSize(200, 200));
        const QTransform t = cut_qt::fitTransform(cut_qt::drawingBounds(d), QSizeF(200, 200));
        const QPoint counter = t.map(QPointF(10, 10)).toPoint(), stroke = t.map(QPointF(2.5, 10)).toPoint();
        // lettering: the stroke is material, the counter open; a stencil the other way round
        const bool parts = kind == cut::Kind::Lettering;
        EXPECT_EQ(img.pixelColor(counter), parts ? cut_qt::kOpening : cut_qt::kMaterial);
        EXPECT_EQ(img.pixelColor(stroke), parts ? cut_qt::kMaterial : cut_qt::kOpening);
    }
}

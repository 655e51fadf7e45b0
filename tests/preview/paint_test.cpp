#include "preview/paint.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace preview;
using engine::Element;
using engine::Model;

namespace {

int strokesOf(const DisplayList& d, std::uint8_t colour) {
    int n = 0;
    for (const Stroke& s : d.strokes) n += s.colour == colour;
    return n;
}

// a model viewed 1:1 in millimetres: x 0..640, y 0..480
Model window() {
    Model m;
    m.view = {0, 640, 0, 480};
    return m;
}

}  // namespace

TEST(Paint, ViewCheckResetsAnUndrawableWindow) {
    DisplayList d;
    Model m = window();
    m.elements.push({0.01, 0.01, engine::kCodeLine, 1, 1});
    m.elements.push({0.1, 0.1, engine::kCodeNone, 1, 1});
    m.view = {0, 0.15, 0, 0.1};
    EXPECT_EQ(paint(m, {}, d), PaintResult::Drawn);
    EXPECT_EQ(strokesOf(d, kBlack), 1);

    d.line(0, 0, 1, 1, kBlack);  // what was drawn before stays when nothing can be drawn
    m.view = {0, 0.149, 0, 0.1};
    EXPECT_EQ(paint(m, {}, d), PaintResult::ViewOverflow);
    EXPECT_EQ(d.strokes.size(), 2u);
    EXPECT_EQ(m.view.xmax, 639);
    EXPECT_EQ(m.view.ymax, 479);
    EXPECT_EQ(paint(m, {}, d), PaintResult::Drawn);  // the next paint uses the default window

    m.view = {0, 0, 0, 0.0009};  // all bounds near zero pass
    EXPECT_EQ(paint(m, {}, d), PaintResult::Drawn);
    m.view = {0, 300001, 0, 1};
    EXPECT_EQ(paint(m, {}, d), PaintResult::ViewOverflow);
}

TEST(Paint, ArcsOutsideTheDrawableRadiiBecomeLinesForGood) {
    // three-point arcs (codes 1, 10, 1, end) of radius 0.9, 801 and 50 mm
    auto arc = [](Model& m, double cx, double cy, double r) {
        const double a = 0.3, b = 1.0, c = 1.7;
        m.elements.push({cx + r * std::cos(a), cy + r * std::sin(a), engine::kCodeLine, 1, 1});
        m.elements.push({cx + r * std::cos(b), cy + r * std::sin(b), engine::kCodeArcMiddle, 1, 1});
        m.elements.push({cx + r * std::cos(b), cy + r * std::sin(b), engine::kCodeLine, 1, 1});
        m.elements.push({cx + r * std::cos(c), cy + r * std::sin(c), engine::kCodeNone, 1, 1});
    };
    Model m = window();
    m.view = {-1000, 1000, -1000, 1000};
    arc(m, 10, 10, 0.9);
    arc(m, -400, -700, 801);
    arc(m, 100, 100, 50);
    DisplayList d;
    paint(m, {}, d);
    EXPECT_EQ(m.elements[1].kind, engine::kCodeLine);
    EXPECT_EQ(m.elements[5].kind, engine::kCodeLine);
    EXPECT_EQ(m.elements[9].kind, engine::kCodeArcMiddle);
    EXPECT_EQ(strokesOf(d, kBlack), 4);  // two lines for each repaired arc
    EXPECT_GT(strokesOf(d, kLightRed), 50);  // the good arc as chords
    paint(m, {}, d);
    EXPECT_EQ(m.elements[1].kind, engine::kCodeLine);
}

TEST(Paint, ArcsAndClipping) {
    DisplayList d;
    kreis(d, 320, 240, 50, 1.0, 1.0, kBlack);
    EXPECT_TRUE(d.strokes.empty());
    kreis(d, 320, 240, 50, 6.0, 0.5, kBlack);  // through angle 0
    ASSERT_EQ(d.strokes.size(), 100u);
    bool throughZero = false;
    for (const Stroke& s : d.strokes) throughZero = throughZero || std::fabs(s.x1 - 370) < 0.5;
    EXPECT_TRUE(throughZero);
    EXPECT_NEAR(d.strokes.back().x2, 320 + 50 * std::cos(0.5), 1e-9);

    // left of the picture, even when crossing it from top to bottom: nothing
    Model m = window();
    d.clear();
    drawSegment(m.view, d, -5, -100, -3, 600, kBlack);
    EXPECT_TRUE(d.strokes.empty());
    drawSegment(m.view, d, -100, 240, 700, 240, kBlack);  // clipped to the picture
    ASSERT_EQ(d.strokes.size(), 1u);
    EXPECT_NEAR(d.strokes[0].x1, 0, 1e-9);
    EXPECT_NEAR(d.strokes[0].x2, 640, 1e-9);
}

TEST(Paint, KnotsBridgesAndBarFollowTheirOptions) {
    Model m = window();
    m.knots.push({100, 100});
    m.bridges.push({2, 200, 200, 200, 300, 1, 10});
    m.barLines.push({10, 10, 600, 10, 4, 0});
    DisplayList d;
    PaintOptions o;
    o.showKnots = false;
    o.connectionOn = false;
    o.apertureWidth = 5;
    paint(m, o, d);
    EXPECT_EQ(strokesOf(d, kLightBlue), 0);
    EXPECT_EQ(strokesOf(d, kGreen), 0);
    EXPECT_EQ(strokesOf(d, kLightRed), 4);
    EXPECT_EQ(strokesOf(d, kLightGrey), 2);
    // kind 2 puts the aperture to the right of a bridge running upwards (phi - pi/2)
    double maxX = 0;
    for (const Stroke& s : d.strokes) maxX = std::max({maxX, s.x1, s.x2});
    EXPECT_NEAR(maxX, 205, 1e-9);

    o.showKnots = true;
    o.connectionOn = true;
    paint(m, o, d);
    EXPECT_EQ(strokesOf(d, kLightBlue), 300);  // three circles of 100 chords
    EXPECT_EQ(strokesOf(d, kGreen), 1);
}

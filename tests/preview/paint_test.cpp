#include "preview/paint.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "support/shaped.h"

using namespace preview;
using engine::Model;

namespace {

long strokesOf(const DisplayList& d, std::uint8_t colour) {
    return std::count_if(d.strokes.begin(), d.strokes.end(), [&](const Stroke& s) { return s.colour == colour; });
}

}  // namespace

// View widths outside 0.15 .. 300000 are reset to the default window and nothing is drawn;
// the next paint draws again. A window with all bounds near zero is drawable.
TEST(Paint, ViewCheckResetsAnUndrawableWindow) {
    DisplayList d;
    Model m;
    m.elements.push({0.01, 0.01, engine::kCodeLine, 1, 1});
    m.elements.push({0.1, 0.1, engine::kCodeNone, 1, 1});
    m.view = {0, 0.15, 0, 0.1};
    EXPECT_EQ(paint(m, {}, d), PaintResult::Drawn);
    EXPECT_EQ(strokesOf(d, kBlack), 1);

    d.line(0, 0, 1, 1, kBlack);  // what was drawn before stays
    m.view = {0, 0.149, 0, 0.1};
    EXPECT_EQ(paint(m, {}, d), PaintResult::ViewOverflow);
    EXPECT_EQ(d.strokes.size(), 2u);
    EXPECT_TRUE(m.view.xmin == 0 && m.view.xmax == 639 && m.view.ymin == 0 && m.view.ymax == 479);
    EXPECT_EQ(paint(m, {}, d), PaintResult::Drawn);

    m.view = {0, 0, 0, 0.0009};
    EXPECT_EQ(paint(m, {}, d), PaintResult::Drawn);
    m.view = {0, 300001, 0, 1};
    EXPECT_EQ(paint(m, {}, d), PaintResult::ViewOverflow);
}

// Painting straightens the arcs it cannot draw (the rule is the engine's), also when the picture
// is not kept: one of 0.9 mm becomes two lines for good, one of 50 mm is drawn as an arc.
TEST(Paint, ArcsOutsideTheDrawableRadiiBecomeLinesForGood) {
    for (const bool kept : {true, false}) {
        SCOPED_TRACE(kept ? "picture kept" : "picture not kept");
        Model m;
        m.view = {-1000, 1000, -1000, 1000};
        testsupport::arc(m, 10, 10, 0.9, 0.3, 1.0, 1.7);
        testsupport::arc(m, 100, 100, 50, 0.3, 1.0, 1.7);
        DisplayList d;
        d.keep(kept);
        paint(m, {}, d);
        EXPECT_EQ(m.elements[1].kind, engine::kCodeLine);
        EXPECT_EQ(m.elements[5].kind, engine::kCodeArcMiddle);
        EXPECT_EQ(strokesOf(d, kBlack), kept ? 2 : 0);
        EXPECT_EQ(strokesOf(d, kLightRed) > 50, kept);  // the good arc as chords
    }
}

// Knots and bridges only with their options; the aperture of a kind 2 bridge lies to the
// right of a bridge running upwards. Arcs of 100 chords, also through angle 0; segments clipped
// to the picture.
TEST(Paint, KnotsBridgesAndBarFollowTheirOptionsArcsAndClipping) {
    Model m;
    m.view = {0, 640, 0, 480};
    m.knots.push({100, 100});
    m.bridges.push({2, 200, 200, 200, 300, 1, 10});
    m.barLines.push({10, 10, 600, 10, 4, 0});
    DisplayList d;
    PaintOptions o{false, false, 5};
    paint(m, o, d);
    for (auto [colour, strokes] : {std::pair{kLightBlue, 0}, {kGreen, 0}, {kLightRed, 4}, {kLightGrey, 2}})
        EXPECT_EQ(strokesOf(d, colour), strokes) << "colour " << int(colour);
    const auto right = [](const Stroke& s) { return std::max(s.x1, s.x2); };
    EXPECT_NEAR(right(std::ranges::max(d.strokes, {}, right)), 205, 1e-9);

    o.showKnots = o.connectionOn = true;
    paint(m, o, d);
    EXPECT_EQ(strokesOf(d, kLightBlue), 300);  // three circles of 100 chords
    EXPECT_EQ(strokesOf(d, kGreen), 1);

    d.clear();
    drawArc(d, 320, 240, 50, 1.0, 1.0, kBlack);
    EXPECT_TRUE(d.strokes.empty());
    drawArc(d, 320, 240, 50, 6.0, 0.5, kBlack);
    ASSERT_EQ(d.strokes.size(), 100u);
    EXPECT_TRUE(
        std::any_of(d.strokes.begin(), d.strokes.end(), [](const Stroke& s) { return std::fabs(s.x1 - 370) < 0.5; }));
    EXPECT_NEAR(d.strokes.back().x2, 320 + 50 * std::cos(0.5), 1e-9);

    d.clear();  // segments are clipped to the picture (the clipping is proven in geom)
    drawSegment(engine::ViewWindow{0, 640, 0, 480}, d, -100, 240, 700, 240, kBlack);
    EXPECT_TRUE(d.strokes.size() == 1 && std::fabs(d.strokes[0].x1) < 1e-9 && std::fabs(d.strokes[0].x2 - 640) < 1e-9);
}

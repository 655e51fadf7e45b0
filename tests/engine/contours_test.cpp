#include "engine/contours.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>

#include "geom/geom.h"
#include "preview/scale.h"
#include "workfile/workfile_io.h"
#include "support/shaped.h"
#include "support/temp_folder.h"
#include "support/tground.h"

using namespace engine;
using namespace testsupport;

namespace {

Model load(const std::string& content, bool fitIn = false) {
    TempFolder t;
    t.write("tground.dat", content);
    Model m;
    readGroundContours(m, t.work("tground.dat"), fitIn);
    return m;
}

}  // namespace

// Letters are laid out from x = 0 by their advances, bridges move with their letter, and the
// per-letter heights and texts are stored; without "Fit in" y is as in the file. "Fit in" stands
// every letter and its bridges on y = 0; the last advance changes nothing. Segment codes take the
// leading number of their line; an empty letter has no height.
TEST(GroundContours, LettersFollowEachOtherFromXZeroFitInAndNumberLines) {
    HandLetter a{"A", 30, square(-12, 5, 20), {{"2", -2, 10, -2, 25}}};
    HandLetter b{"B", 999, square(0, -3, 10), {{"1", 1, 2, 3, 4}}};
    const Model m = load(tground("AB", {a, b}));
    ASSERT_EQ(m.letterCount, 2);
    EXPECT_EQ(m.groundText, "AB");
    EXPECT_EQ(m.letterText[1] + m.letterText[2], "AB");
    EXPECT_EQ(m.headerValue4, 7);
    ASSERT_EQ(m.elements.size(), 16u);
    EXPECT_EQ(contourExtents(m).xmin, 0.0);
    ASSERT_EQ(m.bridges.size(), 2u);
    const Bridge& br = m.bridges[0];  // both ends shifted by 12 like its letter
    EXPECT_TRUE(br.x1 == 10 && br.x2 == 10 && br.object == 1 && br.kind == 2 && br.letterHeight == 20) << br.x1;
    EXPECT_TRUE(m.bridges[1].x1 == 43 && m.bridges[1].x2 == 45);  // and by the advances before theirs
    const Element& el = m.elements[8];  // letter 2 starts after the advance of letter 1: x 0 + 30 + 12
    EXPECT_TRUE(el.x == 42 && el.y == -3 && el.object == 2 && el.letterHeight == 10) << el.x << " " << el.y;
    EXPECT_DOUBLE_EQ(m.maxLetterHeight, 20);

    const Model fit = load(tground("AB", {a, b}), true);
    EXPECT_TRUE(letterBox(fit, 1).ymin == 0 && letterBox(fit, 2).ymin == 0);
    EXPECT_TRUE(fit.bridges[0].y1 == 5 && fit.bridges[0].y2 == 20) << fit.bridges[0].y1 << " " << fit.bridges[0].y2;
    EXPECT_TRUE(fit.bridges[1].y1 == 5 && fit.bridges[1].y2 == 7) << fit.bridges[1].y1 << " " << fit.bridges[1].y2;
    b.advance = 5;
    const Model shortLast = load(tground("AB", {a, b}));
    for (std::size_t i = 0; i < m.elements.size(); ++i) EXPECT_EQ(m.elements[i].x, shortLast.elements[i].x) << i;

    const Model codes = load(tground("A", {{"A", 0, {{0, 0, "2.5"}, {10, 0, "3.5"}, {10, 10, "1x"}, {0, 0, ""}}, {}}}));
    std::vector<int> kinds;
    for (const auto& e : codes.elements) kinds.push_back(e.kind);
    EXPECT_EQ(kinds, (std::vector<int>{2, 4, 1, 0}));
    const Model e = load(tground("A", {{"A", 0, {}, {}}}));
    EXPECT_TRUE(e.elements.empty() && e.maxLetterHeight == 0);
}

// Every fault keeps what was stored; letters (255), bridge heights (1601) and points (301001)
// load at their capacity and fail one past it.
TEST(GroundContours, FaultsAndCapacities) {
    TempFolder t;
    Model m;
    const auto read = [&](const std::string& content) {
        t.write("tground.dat", content);
        readGroundContours(m, t.work("tground.dat"), false);
    };
    EXPECT_THROW(readGroundContours(m, t.work("tground.dat"), false), fault::FileFault);  // missing

    // truncated in the middle of letter 2: letter 1 stays
    const std::string full = tground("AB", {{"A", 30, square(0, 0, 20), {}}, {"B", 5, square(0, 0, 10), {}}});
    EXPECT_THROW(read(full.substr(0, full.size() - 30)), fault::FileFault);
    EXPECT_TRUE(m.elements.size() >= 8 && m.elements.size() < 16) << m.elements.size();

    const auto many = [](std::size_t n) { return tground("n", std::vector(n, HandLetter{"x", 1, {{0, 0, "0"}}, {}})); };
    EXPECT_THROW(read(many(256)), fault::CapacityFault);
    EXPECT_EQ(m.elements.size(), 255u);
    EXPECT_NO_THROW(read(many(255)));

    std::vector<HandBridge> bridges(1602, HandBridge{"1", 0, 0, 1, 1});
    EXPECT_THROW(read(tground("b", {{"b", 1, square(0, 0, 5), bridges}})), fault::CapacityFault);
    EXPECT_EQ(m.bridges.size(), 1601u);
    bridges.resize(1601);
    EXPECT_NO_THROW(read(tground("b", {{"b", 1, square(0, 0, 5), bridges}})));

    const auto points = [](std::size_t n) { return tground("A", {{"A", 0, std::vector<Pt>(n, Pt{1, 2, "0"}), {}}}); };
    EXPECT_NO_THROW(read(points(kMaxElements)));
    EXPECT_THROW(read(points(kMaxElements + 1)), fault::CapacityFault);
    EXPECT_EQ(m.elements.size(), kMaxElements);
    EXPECT_THROW(read(crlf({"A", "0", "1", "0", "0", "A", "0", "0", "0", "0", "0", "400000"})), fault::FileFault);

    // a 16-bit segment code and a letter count that overflow
    EXPECT_THROW(read(tground("A", {{"A", 0, {{0, 0, "40000"}}, {}}})), fault::OverflowFault);
    EXPECT_THROW(read(tground("A", {}, 99999)), fault::OverflowFault);
}

// Plain extents, with the bar only when asked; the view windows of no point and of a single
// point (square, margin, 4:3), and one around real extents keeps them whole and centred. Arc
// sweeps run across angle 0, equal angles are a full turn; arc extents take in the circle's
// extreme points only where the arc passes them (0.01 short of a full turn still counts).
TEST(BoundingBox, ExtentsArcsAndTheViewWindow) {
    Model m;
    Box b = contourExtents(m);
    EXPECT_TRUE(b.xmin == 1e50 && b.ymin == 1e50 && b.xmax == -1e50 && b.ymax == -1e50);

    const auto expectView = [](const Box& around, double xmid, double ymid, double width, double height) {
        const ViewWindow v = viewAround(around);
        EXPECT_NEAR((v.xmin + v.xmax) / 2, xmid, 1e-9);
        EXPECT_NEAR((v.ymin + v.ymax) / 2, ymid, 1e-9);
        EXPECT_NEAR(v.xmax - v.xmin, width, 1e-6);
        EXPECT_NEAR(v.ymax - v.ymin, height, 1e-9);
    };
    // empty: 0..639 x 0..479 made square (y -80..559), a margin of 63.9, then x widened to 4:3
    expectView(b, 319.5, 239.5, (639 + 2 * 63.9) * 1.333333333, 639 + 2 * 63.9);
    m.elements.push(Element{10, 20, 1, 1, 0});  // one point: 640 x 480 around it
    expectView(contourExtents(m), 10, 20, 640 * 1.2 * 1.333333333, 640 * 1.2);

    m.elements.push(Element{30, 40, 0, 1, 0});
    m.barLines.push(BarLine{-5, -6, 100, 0, 0, 0});
    m.barArcs.push(BarArc{50, 50, 10, 0, 90, 0, 0});
    b = contourExtents(m);
    EXPECT_TRUE(b.xmin == 10 && b.ymin == 20 && b.xmax == 30 && b.ymax == 40);
    expectView(b, 20, 30, 24 * 1.333333333, 24);  // 20 x 20, a margin of 2 around it, then 4:3
    b = contourExtents(m, true);
    EXPECT_TRUE(b.xmin == -5 && b.ymin == -6 && b.xmax == 100) << b.xmin << " " << b.ymin << " " << b.xmax;
    EXPECT_NEAR(b.ymax, 60, 1e-9);

    const double pi = geom::kPi;
    for (auto [start, end, span] : {std::array{3 * pi / 2, pi / 2, pi}, {pi / 2, 3 * pi / 2, pi}, {1.0, 1.0, 2 * pi}})
        EXPECT_NEAR(arcSpan(start, end), span, 1e-12) << start << " " << end;
    const double s45 = 10 * std::sin(pi / 4), n = NAN;
    for (auto [start, end, xmax, ymin, ymax] : {std::array<double, 5>{7 * pi / 4, pi / 4, 10, -s45, s45},
                                                {0.1, pi - 0.1, 10 * std::cos(0.1), n, 10},
                                                {pi, geom::kTwoPi - 0.005, 10, -10, n}}) {
        b = {1e50, 1e50, -1e50, -1e50};
        arcExtents(0, 0, 10, start, end, b);
        EXPECT_NEAR(b.xmax, xmax, 1e-12) << start;
        EXPECT_TRUE(std::isnan(ymin) || std::fabs(b.ymin - ymin) < 1e-12) << start << " " << b.ymin;
        EXPECT_TRUE(std::isnan(ymax) || std::fabs(b.ymax - ymax) < 1e-12) << start << " " << b.ymax;
    }
}

// Real font letters scale to h with their bridges inside; a text without height cannot be
// scaled. (Their layout is the hand letters' above.)
TEST(GroundContours, RealFontLettersScaleToTheHeight) {
    Model m;
    readGroundContours(m, kSample, false);
    ASSERT_EQ(m.letterCount, 3);
    ASSERT_EQ(m.bridges.size(), 6u);  // two across the A's counter and each of the B's

    m.smallHeight = 50.8;
    preview::scaleToHeight(m);
    const Box b = contourExtents(m);
    EXPECT_NEAR(b.ymax - b.ymin, 50.8, 1e-9);
    EXPECT_NEAR(b.xmin, 0, 1e-12);
    // the tallest letter is (nearly) the whole text
    EXPECT_NEAR(std::ranges::max(m.elements, {}, &Element::letterHeight).letterHeight, 50.8, 0.5);
    // bridges scale with the letters; they reach at most four aperture widths past the strokes
    // they cross (b = 0.08 in at h = 4 in, here at half that height)
    constexpr double kReach = 4 * 0.08 * 25.4 / 2 + 1e-9;
    for (const auto& br : m.bridges)
        EXPECT_TRUE(std::min(br.x1, br.x2) >= b.xmin - kReach && std::max(br.x1, br.x2) <= b.xmax + kReach &&
                    std::min(br.y1, br.y2) >= b.ymin - kReach && std::max(br.y1, br.y2) <= b.ymax + kReach &&
                    std::hypot(br.x2 - br.x1, br.y2 - br.y1) > 1)
            << br.x1 << " " << br.x2 << " " << br.y1 << " " << br.y2;

    Model flat;
    flat.elements.push(Element{0, 5, 1, 1, 0});
    flat.elements.push(Element{9, 5, 0, 1, 0});
    EXPECT_THROW(preview::scaleToHeight(flat), fault::OverflowFault);
}

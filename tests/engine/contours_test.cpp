#include "engine/contours.h"

#include <gtest/gtest.h>

#include <cmath>

#include "geomlib/geomlib.h"
#include "preview/scale.h"
#include "shell/workfile_io.h"
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

TEST(GroundContours, LettersFollowEachOtherAndStartAtXZero) {
    HandLetter a{"A", 30, square(-12, 5, 20), {{"1", -2, 10, -2, 25}}};
    HandLetter b{"B", 999, square(0, -3, 10), {}};
    const Model m = load(tground("AB", {a, b}));
    ASSERT_EQ(m.letterCount, 2);
    EXPECT_EQ(m.groundText, "AB");
    EXPECT_EQ(m.letterText[1], "A");
    EXPECT_EQ(m.letterText[2], "B");
    EXPECT_EQ(m.headerValue4, 7);
    ASSERT_EQ(m.elements.size(), 16u);
    double xmin = 1e9;
    for (const auto& e : m.elements) xmin = std::min(xmin, e.x);
    EXPECT_EQ(xmin, 0.0);
    // the bridge moved with its letter by the same shift (12)
    ASSERT_EQ(m.bridges.size(), 1u);
    EXPECT_DOUBLE_EQ(m.bridges[0].x1, 10);
    EXPECT_EQ(m.bridges[0].object, 1);
    EXPECT_DOUBLE_EQ(m.bridges[0].letterHeight, 20);
    // letter 2 starts after the advance of letter 1: x 0 + 30 + 12
    EXPECT_DOUBLE_EQ(m.elements[8].x, 42);
    EXPECT_EQ(m.elements[8].object, 2);
    EXPECT_DOUBLE_EQ(m.elements[8].letterHeight, 10);
    EXPECT_DOUBLE_EQ(m.maxLetterHeight, 20);
    // without "Fit in" the y values are those of the file
    EXPECT_DOUBLE_EQ(m.elements[8].y, -3);
}

TEST(GroundContours, FitInStandsEveryLetterOnTheBaseline) {
    HandLetter a{"A", 30, square(0, 5, 20), {{"2", 3, 10, 3, 25}}};
    HandLetter b{"B", 10, square(0, -3, 10), {}};
    const Model m = load(tground("AB", {a, b}), true);
    double minA = 1e9, minB = 1e9;
    for (const auto& e : m.elements) (e.object == 1 ? minA : minB) = std::min(e.object == 1 ? minA : minB, e.y);
    EXPECT_EQ(minA, 0);
    EXPECT_EQ(minB, 0);
    EXPECT_DOUBLE_EQ(m.bridges[0].y1, 5);
    EXPECT_DOUBLE_EQ(m.bridges[0].y2, 20);
    EXPECT_EQ(m.bridges[0].kind, 2);
}

TEST(GroundContours, TheLastAdvanceAndUnusedLinesChangeNothing) {
    HandLetter a{"A", 30, square(0, 0, 20), {}};
    HandLetter b1{"B", 5, square(0, 0, 10), {}};
    HandLetter b2{"B", 5000, square(0, 0, 10), {}};
    const Model m1 = load(tground("AB", {a, b1}));
    const Model m2 = load(tground("AB", {a, b2}));
    ASSERT_EQ(m1.elements.size(), m2.elements.size());
    for (std::size_t i = 0; i < m1.elements.size(); ++i) EXPECT_EQ(m1.elements[i].x, m2.elements[i].x);
}

TEST(GroundContours, NumberLinesUseTheLeadingNumberRule) {
    HandLetter a{"A", 0, {{0, 0, "2.5"}, {10, 0, "3.5"}, {10, 10, "1x"}, {0, 0, ""}}, {}};
    std::string content = tground("A", {a});
    const Model m = load(content);
    EXPECT_EQ(m.elements[0].kind, 2);
    EXPECT_EQ(m.elements[1].kind, 4);
    EXPECT_EQ(m.elements[2].kind, 1);
    EXPECT_EQ(m.elements[3].kind, 0);
    // a letter without points has the height of its start values
    const Model e = load(tground("A", {{"A", 0, {}, {}}}));
    EXPECT_EQ(e.elements.size(), 0u);
    EXPECT_EQ(e.maxLetterHeight, 0);
}

TEST(GroundContours, FaultsKeepWhatWasStored) {
    TempFolder t;
    Model m;
    // missing file
    EXPECT_THROW(readGroundContours(m, t.work("tground.dat"), false), wf::FileFault);

    // truncated in the middle of letter 2: letter 1 stays
    std::string full = tground("AB", {{"A", 30, square(0, 0, 20), {}}, {"B", 5, square(0, 0, 10), {}}});
    t.write("tground.dat", full.substr(0, full.size() - 30));
    EXPECT_THROW(readGroundContours(m, t.work("tground.dat"), false), wf::FileFault);
    EXPECT_GE(m.elements.size(), 8u);
    EXPECT_LT(m.elements.size(), 16u);

    // more than 255 letters
    std::vector<HandLetter> many(256, HandLetter{"x", 1, {{0, 0, "0"}}, {}});
    t.write("tground.dat", tground("many", many));
    EXPECT_THROW(readGroundContours(m, t.work("tground.dat"), false), CapacityFault);
    EXPECT_EQ(m.elements.size(), 255u);
    many.resize(255);
    t.write("tground.dat", tground("many", many));
    EXPECT_NO_THROW(readGroundContours(m, t.work("tground.dat"), false));

    // more than 1601 bridges: the letter-height column ends at index 1600
    std::vector<HandBridge> bridges(1602, HandBridge{"1", 0, 0, 1, 1});
    t.write("tground.dat", tground("b", {{"b", 1, square(0, 0, 5), bridges}}));
    EXPECT_THROW(readGroundContours(m, t.work("tground.dat"), false), CapacityFault);
    EXPECT_EQ(m.bridges.size(), 1601u);
    bridges.resize(1601);
    t.write("tground.dat", tground("b", {{"b", 1, square(0, 0, 5), bridges}}));
    EXPECT_NO_THROW(readGroundContours(m, t.work("tground.dat"), false));

    // a 16-bit segment code that overflows, a letter count that overflows
    t.write("tground.dat", tground("A", {{"A", 0, {{0, 0, "40000"}}, {}}}));
    EXPECT_THROW(readGroundContours(m, t.work("tground.dat"), false), wf::OverflowFault);
    t.write("tground.dat", crlf({"A", "0", "99999", "0", "0"}));
    EXPECT_THROW(readGroundContours(m, t.work("tground.dat"), false), wf::OverflowFault);

    // a point count beyond the table
    t.write("tground.dat", crlf({"A", "0", "1", "0", "0", "A", "0", "0", "0", "0", "0", "400000"}));
    EXPECT_THROW(readGroundContours(m, t.work("tground.dat"), false), wf::FileFault);
}

TEST(GroundContours, PointTableCapacityIsEnforced) {
    // one letter of n points
    auto letter = [](int n) {
        std::string s = crlf({"A", "0", "1", "0", "0", "A", "0", "0", "0", "0", "0", std::to_string(n)});
        s.reserve(s.size() + static_cast<std::size_t>(n) * 9);
        for (int i = 0; i < n; ++i) s += "1\r\n2\r\n0\r\n";
        return s + "0\r\n";
    };
    TempFolder t;
    Model m;
    // 301001 points fill the table exactly
    t.write("tground.dat", letter(static_cast<int>(kMaxElements)));
    EXPECT_NO_THROW(readGroundContours(m, t.work("tground.dat"), false));
    // 301002 points: the table takes 301001, then the fault
    t.write("tground.dat", letter(301002));
    EXPECT_THROW(readGroundContours(m, t.work("tground.dat"), false), CapacityFault);
    EXPECT_EQ(m.elements.size(), kMaxElements);
}

TEST(BoundingBox, ModesAndTheViewWindow) {
    Model m;
    Box b = contourBoundingBox(m, kBoxPlain, false);
    EXPECT_EQ(b.xmin, 1e50);
    EXPECT_EQ(b.ymin, 1e50);
    EXPECT_EQ(b.xmax, -1e50);
    EXPECT_EQ(b.ymax, -1e50);

    // empty model in view mode: 0..639 x 0..479 made square, margined, widened to 4:3
    m.view = ViewWindow{1, 2, 3, 4};
    b = contourBoundingBox(m, kBoxView, false);
    EXPECT_EQ(m.view.xmin, 0);
    EXPECT_EQ(m.view.xmax, 0);
    // square: y grows by 80 each side to -80..559, margin 63.9, then x widened
    EXPECT_NEAR(b.ymin, -80 - 63.9, 1e-9);
    EXPECT_NEAR(b.ymax, 559 + 63.9, 1e-9);
    const double w = 639 + 2 * 63.9;
    EXPECT_NEAR(b.xmax - b.xmin, w * 1.333333333, 1e-6);
    EXPECT_NEAR((b.xmax + b.xmin) / 2, 319.5, 1e-9);

    // a single point: 640 x 480 around it, then square, margin, 4:3
    m.elements.push(Element{10, 20, 1, 1, 0});
    b = contourBoundingBox(m, kBoxView, false);
    EXPECT_NEAR((b.xmin + b.xmax) / 2, 10, 1e-9);
    EXPECT_NEAR((b.ymin + b.ymax) / 2, 20, 1e-9);
    EXPECT_NEAR(b.ymax - b.ymin, 640 * 1.2, 1e-9);

    // the bar is only taken in with mode 300 and the connection on
    m.elements.push(Element{30, 40, 0, 1, 0});
    m.barLines.push(BarLine{-5, -6, 100, 0, 0, 0});
    m.barArcs.push(BarArc{50, 50, 10, 0, 90, 0, 0});
    b = contourBoundingBox(m, kBoxWithBar, false);
    EXPECT_EQ(b.xmin, 10);
    EXPECT_EQ(b.ymax, 40);
    b = contourBoundingBox(m, kBoxWithBar, true);
    EXPECT_EQ(b.xmin, -5);
    EXPECT_EQ(b.ymin, -6);
    EXPECT_EQ(b.xmax, 100);
    EXPECT_NEAR(b.ymax, 60, 1e-9);
    b = contourBoundingBox(m, kBoxPlain, true);
    EXPECT_EQ(b.xmin, 10);
}

TEST(ArcHelpers, SpanAndExtents) {
    const double pi = geom::kPi;
    EXPECT_NEAR(arcSpan(3 * pi / 2, pi / 2), pi, 1e-12);
    EXPECT_NEAR(arcSpan(pi / 2, 3 * pi / 2), pi, 1e-12);
    EXPECT_NEAR(arcSpan(1, 1), geom::kTwoPi, 1e-12);

    // an arc through angle 0 takes in the rightmost point of its circle, not the top
    Box b{1e50, 1e50, -1e50, -1e50};
    arcExtents(0, 0, 10, 7 * pi / 4, pi / 4, b);
    EXPECT_NEAR(b.xmax, 10, 1e-12);
    EXPECT_NEAR(b.ymax, 10 * std::sin(pi / 4), 1e-12);
    EXPECT_NEAR(b.ymin, -10 * std::sin(pi / 4), 1e-12);
    // the upper half: top point taken, no rightmost point beyond the start
    b = Box{1e50, 1e50, -1e50, -1e50};
    arcExtents(0, 0, 10, 0.1, pi - 0.1, b);
    EXPECT_NEAR(b.ymax, 10, 1e-12);
    EXPECT_NEAR(b.xmax, 10 * std::cos(0.1), 1e-12);
    // a range ending within 0.01 of a full turn counts the point at angle 0
    b = Box{1e50, 1e50, -1e50, -1e50};
    arcExtents(0, 0, 10, pi, geom::kTwoPi - 0.005, b);
    EXPECT_NEAR(b.xmax, 10, 1e-12);
    EXPECT_NEAR(b.ymin, -10, 1e-12);

    EXPECT_EQ(roundTo(1.23456, 4), 1.2346);
    double a = 1, c = 2;
    swapValues(a, c);
    EXPECT_EQ(a, 2);
    EXPECT_EQ(c, 1);
}

TEST(GroundContours, RealFontLettersLoadAndScaleToTheHeight) {
    Model m;
    const auto sample = std::filesystem::path(LK_PROGRAM_DIR) / "workfiles" / "tground.dat";
    readGroundContours(m, sample, false);
    ASSERT_EQ(m.letterCount, 3);
    EXPECT_EQ(m.groundText, "ABC");
    ASSERT_GT(m.elements.size(), 100u);
    ASSERT_EQ(m.bridges.size(), 3u);
    Box b = contourBoundingBox(m, kBoxPlain, false);
    EXPECT_EQ(b.xmin, 0.0);
    // letters in text order, each with its own height
    for (std::size_t i = 1; i < m.elements.size(); ++i) EXPECT_GE(m.elements[i].object, m.elements[i - 1].object);

    m.smallHeight = 50.8;
    preview::masstaebe(m);
    b = contourBoundingBox(m, kBoxPlain, false);
    EXPECT_NEAR(b.ymax - b.ymin, 50.8, 1e-9);
    EXPECT_NEAR(b.xmin, 0, 1e-12);
    double maxHeight = 0;
    for (const auto& e : m.elements) maxHeight = std::max(maxHeight, e.letterHeight);
    EXPECT_NEAR(maxHeight, 50.8, 0.5);  // the tallest letter is (nearly) the whole text
    for (const auto& br : m.bridges) {
        EXPECT_GE(br.x1, b.xmin);
        EXPECT_LE(br.x2, b.xmax);
        EXPECT_GT(br.y2, br.y1);
        EXPECT_LE(br.y2, b.ymax);
    }

    // "Fit in" stands every letter on y = 0
    Model f;
    readGroundContours(f, sample, true);
    for (int k = 1; k <= 3; ++k) {
        double ymin = 1e9;
        for (const auto& e : f.elements)
            if (e.object == k) ymin = std::min(ymin, e.y);
        EXPECT_EQ(ymin, 0.0) << k;
    }

    // a text without height cannot be scaled
    Model flat;
    flat.elements.push(Element{0, 5, 1, 1, 0});
    flat.elements.push(Element{9, 5, 0, 1, 0});
    EXPECT_THROW(preview::masstaebe(flat), wf::OverflowFault);
}

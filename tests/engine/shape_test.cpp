#include "engine/shape.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>

#include "geom/segments.h"
#include "support/shaped.h"

using namespace engine;
using namespace testsupport;
using geom::ccwSpan;
using geom::kRadToDeg;

// Every letter fills the outline between its baseline and its top at its own x, in all shapes
// up to H = 24 inches: exactly the outline it was fitted to (the waves' first arcs reach one
// degree past the middle while fitting), and the finished outline within 0.05 mm.
TEST(BuildShape, FitInKeepsEveryPointBetweenBaselineAndTop) {
    for (int shape = 0; shape < 20; ++shape)
        for (double H : {152.4, 609.6}) {
            SCOPED_TRACE(::testing::Message() << "shape " << shape << " H " << H);
            const Model before = loaded(kWords, true);
            Model m = built(kWords, shape, shape == 0 ? 101.6 : H, true, shape == 3 ? 12.0 : 0.0);
            ASSERT_GT(m.elements.size(), before.elements.size() / 2);
            for (const bool fitted : {false, true}) {
                if (fitted && shape == 6) m.shapeArcs[0].startDeg -= 1, m.shapeArcs[2].startDeg -= 1;
                if (fitted && shape == 7) m.shapeArcs[0].endDeg += 1, m.shapeArcs[2].endDeg += 1;
                const double slack = fitted ? 1e-6 : 0.05;
                for (std::size_t i = 0; i < m.elements.size(); ++i) {
                    const Element& e = m.elements[i];
                    Probe base{}, top{};  // where the arcs of the waves meet, a hair to either side
                    for (double dx : {0.0, 1e-7, -1e-7})
                        if (!base.found || !top.found) base = probeOutline(m, e.x + dx, e.y, 0), top = probeOutline(m, e.x + dx, e.y, 1);
                    ASSERT_TRUE(base.found && top.found) << "point " << i << " x " << e.x;
                    ASSERT_GE(e.y, std::min(base.y, top.y) - slack) << "point " << i << (fitted ? " fitted" : "");
                    ASSERT_LE(e.y, std::max(base.y, top.y) + slack) << "point " << i << (fitted ? " fitted" : "");
                }
            }
            // a foot standing on y = 0 ends on the baseline (shapes 0 and 1 insert no points)
            for (std::size_t i = 0; shape < 2 && i < before.elements.size(); ++i) {
                const Element& e = m.elements[i];
                EXPECT_TRUE(before.elements[i].y != 0 || std::fabs(e.y - probeOutline(m, e.x, 0, 0).y) < 1e-9) << i;
            }
        }
}

// Straight bands: the baseline 1 mm beyond the text, the plain variant keeps the baseline,
// shape 1 with H = h is shape 0, and the slanted bands 1, 11, 12 reach H at the right end.
// Letter spacing moves every following letter.
TEST(BuildShape, StraightBandsTheirVariantsAndLetterSpacing) {
    Model s0 = built(kSample, 0, 101.6, true);
    ASSERT_EQ(s0.shapeLines.size(), 2u);
    const Box box = contourExtents(s0);
    EXPECT_NEAR(s0.shapeLines[0].x1, box.xmin - 1, 1e-9);
    EXPECT_NEAR(s0.shapeLines[0].x2, box.xmax + 1, 1e-9);
    EXPECT_NEAR(s0.shapeLines[1].y1, 101.6, 1e-9);
    EXPECT_NEAR(box.ymax, 101.6, 1e-9);
    EXPECT_EQ(s0.capStart[0] + s0.capEnd[0], 2);
    EXPECT_EQ(s0.capStart[1] + s0.capEnd[1], 0);

    // plain variant: letters standing on y = 0 keep their y; with descenders (words) the text's
    // baseline stays on y = 0 and the descenders hang below it
    Model plain;
    plain.letterCount = 2;
    segment(plain, 0, 0, 10, 5);
    segment(plain, 10, 5, 0, 0);
    contourEnd(plain, 0, 0);
    segment(plain, 12, 20, 15, 0);
    contourEnd(plain, 12, 20);
    for (std::size_t i = 5; i < plain.elements.size(); ++i) plain.elements[i].object = 2;
    const Model plainBefore = plain;
    buildShape(plain, false);
    for (std::size_t i = 0; i < plain.elements.size(); ++i)
        EXPECT_NEAR(plain.elements[i].y, plainBefore.elements[i].y, 1e-9) << i;
    const Model wordsBefore = loaded(kWords, false), words = built(kWords, 0, 101.6, false);
    double lowest = 0;
    for (std::size_t i = 0; i < words.elements.size(); ++i) {
        EXPECT_TRUE(wordsBefore.elements[i].y != 0 || std::fabs(words.elements[i].y) < 1e-9) << i;
        lowest = std::min(lowest, words.elements[i].y);
    }
    EXPECT_LT(lowest, -5.0);

    const Model s1 = built(kWords, 1, 101.6, true), ref = built(kWords, 0, 101.6, true);
    ASSERT_EQ(s1.elements.size(), ref.elements.size());
    for (std::size_t i = 0; i < s1.elements.size(); ++i)
        EXPECT_TRUE(std::fabs(s1.elements[i].x - ref.elements[i].x) < 1e-9 &&
                    std::fabs(s1.elements[i].y - ref.elements[i].y) < 1e-9) << i;

    Model tall = built(kWords, 1, 203.2, true);
    EXPECT_NEAR(tall.shapeLines[1].y2, 2 * tall.shapeLines[1].y1, 1e-9);
    // 11 and 12 are symmetric about y = 0, H high at the left (11) or the right (12)
    for (int shape : {11, 12}) {
        const Model b = built(kWords, shape, 203.2, true);
        const ShapeLine &top = b.shapeLines[0], &base = b.shapeLines[1];
        EXPECT_NEAR(top.y1, -base.y1, 1e-9);
        EXPECT_NEAR(top.y2, -base.y2, 1e-9);
        const double h1 = top.y1 - base.y1, h2 = top.y2 - base.y2;
        const double left = top.x1 < top.x2 ? h1 : h2, right = top.x1 < top.x2 ? h2 : h1;
        EXPECT_NEAR(shape == 11 ? left : right, 203.2, 0.2) << shape;
        EXPECT_NEAR(shape == 11 ? right : left, 101.6, 0.2) << shape;
        EXPECT_EQ(b.capStart[1] + b.capEnd[1], 2);
    }

    // 0.1 inch before letter 2 and 3 mm before letter 3 move every point and bridge behind them
    Model m = loaded(kSample, true);
    m.signDistanceA[1] = 0.1;
    m.signDistanceB[2] = 3.0;
    buildShape(m, true);
    const std::map<int, double> shift = {{1, 0}, {2, 2.54}, {3, 5.54}};
    ASSERT_EQ(m.elements.size(), s0.elements.size());
    for (std::size_t i = 0; i < m.elements.size(); ++i)
        EXPECT_NEAR(m.elements[i].x - s0.elements[i].x, shift.at(m.elements[i].object), 1e-9) << i;
    for (std::size_t i = 0; i < m.bridges.size(); ++i)
        EXPECT_NEAR(m.bridges[i].x1 - s0.bridges[i].x1, shift.at(m.bridges[i].object), 1e-9) << i;
}

// After the build no straight segment crosses the knot's line; vertices sit exactly on it
// (the knot once in the middle of the text, once moved to the middle of the H). Arcs reach 3 %
// of their inner sweep beyond the text on both sides; the waves meet in the middle.
TEST(BuildShape, KnotShapesHaveAVertexUnderTheKnotArcsAreWidenedAndWavesMeet) {
    const Model flat = loaded(kWords, true);
    const Box whole = contourExtents(flat), h = letterBox(flat, 1);
    const double toH = (h.xmin + h.xmax) / 2 - (whole.xmin + whole.xmax) / 2;
    for (int shape : {3, 8, 16, 17, 18, 19})
        for (double shift : {0.0, toH}) {
            SCOPED_TRACE(::testing::Message() << "shape " << shape << " shift " << shift);
            Model m = built(kWords, shape, 152.4, true, shift);
            const Box box = contourExtents(m);
            const double xk = box.xmin + (box.xmax - box.xmin) * 0.5 + shift;
            ASSERT_GE(m.knots.size(), 1u);
            EXPECT_EQ(m.knots[0][0], xk);
            int onLine = 0;  // nearly vertical segments need not be split
            for (std::size_t i = 0; i + 1 < m.elements.size(); ++i) {
                const Element &p = m.elements[i], &q = m.elements[i + 1];
                onLine += p.x == xk;
                const bool crosses = std::min(p.x, q.x) < xk - 1e-9 && std::max(p.x, q.x) > xk + 1e-9;
                EXPECT_FALSE(p.kind == kCodeLine && std::fabs(q.x - p.x) > 0.01 && crosses) << i;
            }
            EXPECT_TRUE(shift != toH || onLine >= 2) << onLine;  // the H's crossbar is straight
        }

    for (int shape : {4, 5, 9, 10, 13, 14, 15}) {
        SCOPED_TRACE(shape);
        Model m = built(kWords, shape, 152.4, true);
        ASSERT_GE(m.shapeArcs.size(), 1u);
        EXPECT_EQ(m.capStart[0] + m.capEnd[0], 2);
        const double X1 = contourExtents(m).xmax;  // the text ran from 0 to X1
        for (const ShapeArc& a : m.shapeArcs) {
            // the circle meets the text's ends on one of two chords, one of them the arc's
            const double dy = std::sqrt(a.radius * a.radius - X1 * X1 / 4), sweep = ccwSpan(a.startDeg, a.endDeg);
            bool matched = false;
            for (double y : {a.cy + dy, a.cy - dy}) {
                const double l = std::atan2(y - a.cy, -a.cx) * kRadToDeg, r = std::atan2(y - a.cy, X1 - a.cx) * kRadToDeg;
                for (auto [p, q] : {std::pair{l, r}, {r, l}}) {
                    const double inner = ccwSpan(p, q);
                    matched |= std::fabs(inner * 1.06 - sweep) < 1e-6 &&
                               std::fabs(ccwSpan(a.startDeg, p) - 0.03 * inner) < 1e-6;
                }
            }
            EXPECT_TRUE(matched);
        }
    }
    for (int shape : {6, 7}) {
        SCOPED_TRACE(shape);
        const Model m = built(kWords, shape, 152.4, true);
        ASSERT_EQ(m.shapeArcs.size(), 4u);
        for (int pair : {0, 2}) {  // shape 6 starts both arcs in the middle, shape 7 ends both there
            const ShapeArc &f = m.shapeArcs[pair], &s = m.shapeArcs[pair + 1];
            const double a = (shape == 6 ? f.startDeg : f.endDeg) / kRadToDeg, b = (shape == 6 ? s.startDeg : s.endDeg) / kRadToDeg;
            EXPECT_NEAR(f.cx + f.radius * std::cos(a), s.cx + s.radius * std::cos(b), 1e-9);
            EXPECT_NEAR(f.cy + f.radius * std::sin(a), s.cy + s.radius * std::sin(b), 1e-9);
        }
        EXPECT_EQ(m.capEnd[0], shape == 6 ? 1 : 0);
        EXPECT_EQ(m.capStart[1], shape == 7 ? 1 : 0);
    }
}

// Splitting at a knot line and halving segments: the implicit closing edge is made explicit,
// vertical and nearly vertical segments and curves are never split.
TEST(ContourVertices, ClosingSegmentsSplitsAndSubdivisions) {
    const auto xAndKind = [](const Model& m) {
        std::vector<std::pair<double, int>> v;
        for (const Element& e : m.elements) v.push_back({e.x, e.kind});
        return v;
    };
    Model m;  // a square open at its closing edge (0,10) -> (0,0), split at x = 5
    segment(m, 0, 0, 10, 0);
    segment(m, 10, 0, 10, 10);
    segment(m, 10, 10, 0, 10);
    contourEnd(m, 0, 0);
    splitAtX(m, 5);
    EXPECT_EQ(xAndKind(m), (std::vector<std::pair<double, int>>{{0, 1}, {5, 2}, {5, 1}, {10, 0}, {10, 1}, {10, 0},
                                                                {10, 1}, {5, 2}, {5, 1}, {0, 0}, {0, 1}, {0, 2},
                                                                {0, 6}, {0, 0}}));
    for (const Element& e : m.elements) EXPECT_EQ(e.object, 1);

    // a segment ending exactly on the line is split at its end; 0.1 beyond still counts, and
    // then the vertex is the segment's nearer end, not a point on its extension
    Model e;
    segment(e, 0, 0, 5, 5);
    segment(e, 5.09, 0, 8, 3);
    segment(e, 5.005, 0, 4.996, 9);
    contourEnd(e, 4.996, 9);
    splitAtX(e, 5);
    ASSERT_EQ(e.elements.size(), 8u + 4u);
    EXPECT_TRUE(e.elements[1].x == 5 && e.elements[1].y == 5);
    EXPECT_TRUE(e.elements[5].kind == kCodeInserted && e.elements[5].x == 5.09 && e.elements[5].y == 0);

    // halving passes over quadratic curves and the entry after a contour end
    Model s;
    segment(s, 0, 0, 4, 2);
    s.elements.push({4, 2, kCodeQuadratic, 1, 10});
    s.elements.push({6, 3, kCodeLine, 1, 10});  // control point, not a segment start
    s.elements.push({8, 0, kCodeNone, 1, 10});
    segment(s, 8, 0, 8.05, 5);
    contourEnd(s, 0, 0);
    s.elements[s.elements.size() - 1].kind = kCodeLine;
    s.elements.push({20, 20, kCodeNone, 1, 10});
    subdivideSegments(s);
    std::vector<int> codes;
    for (const auto& [x, kind] : xAndKind(s)) codes.push_back(kind);
    // 0->4 halved (1, 10, 1, 0); the closing edge (8.05, 5) -> (0, 0) made explicit and halved
    EXPECT_EQ(codes, (std::vector<int>{1, 10, 1, 0, 3, 1, 0, 1, 0, 1, 10, 1, 2, 6, 1, 0}));
    EXPECT_TRUE(std::fabs(s.elements[1].x - 2) < 1e-12 && std::fabs(s.elements[1].y - 1) < 1e-12);
}

// A quadratic curve crossing the knot line is cut there: P0 (3), C1, M (2), M (3), C2, P2, the
// control points keeping their code; one crossing it twice is cut twice, one touching it stays
// whole.
TEST(ContourVertices, QuadraticCurvesAreCutAtTheLine) {
    const auto curve = [](double cx, double cy, double ex, double ey, std::int16_t controlCode) {
        Model c;
        c.elements.push({0, 0, kCodeQuadratic, 1, 10});
        c.elements.push({cx, cy, controlCode, 1, 10});
        c.elements.push({ex, ey, kCodeNone, 1, 10});
        segment(c, ex, ey, 0, 0);
        contourEnd(c, 0, 0);
        return c;
    };
    Model once = curve(4, 8, 8, 0, kCodeNone);  // x = 8 t, y = 16 t (1 - t): t = 0.75 at x = 6
    splitAtX(once, 6);
    const std::vector<std::array<double, 3>> cut = {{0, 0, 3}, {3, 6, 0}, {6, 3, 2}, {6, 3, 3}, {7, 2, 0}, {8, 0, 0},
                                                    {8, 0, 1}, {6, 0, 2}, {6, 0, 1}, {0, 0, 0}, {0, 0, 6}, {0, 0, 0}};
    ASSERT_EQ(once.elements.size(), cut.size());
    for (std::size_t i = 0; i < cut.size(); ++i) {
        const Element& p = once.elements[i];
        EXPECT_TRUE(std::fabs(p.x - cut[i][0]) < 1e-12 && std::fabs(p.y - cut[i][1]) < 1e-12) << i;
        EXPECT_TRUE(p.kind == cut[i][2] && p.object == 1 && p.letterHeight == 10) << i;
    }
    Model twice = curve(10, 5, 0, 10, kCodeLine);  // x = 20 t (1 - t), y = 10 t
    splitAtX(twice, 3.75);
    std::vector<int> twiceCodes;
    for (const Element& p : twice.elements) twiceCodes.push_back(p.kind);
    EXPECT_EQ(twiceCodes, (std::vector<int>{3, 1, 2, 3, 1, 2, 3, 1, 0, 1, 0, 6, 0}));
    for (auto [k, y] : {std::pair{2, 2.5}, {5, 7.5}})  // the two cuts
        EXPECT_TRUE(twice.elements[k].x == 3.75 && std::fabs(twice.elements[k].y - y) < 1e-12) << k;
    for (std::size_t k : {0, 3, 6}) {  // the middle of each part lies on the curve: x = 2 y (1 - y / 10)
        const Element &a = twice.elements[k], &c = twice.elements[k + 1], &b = twice.elements[k + 2];
        const double x = (a.x + 2 * c.x + b.x) / 4, y = (a.y + 2 * c.y + b.y) / 4;
        EXPECT_NEAR(x, 2 * y * (1 - y / 10), 1e-12) << k;
    }
    Model touching = curve(10, 5, 0, 10, kCodeNone);
    splitAtX(touching, 5);
    EXPECT_EQ(touching.elements.size(), 7u);
}

// Lines are probed before arcs, only elements of the asked kind, up to a line's very end.
TEST(ProbeOutline, LinesBeforeArcsAndOnlyOfTheKind) {
    Model m;
    m.shapeLines.push({0, 0, 10, 0, 0});
    m.shapeLines.push({0, 5, 10, 10, 1});
    m.shapeArcs.push({5, 0, 5, 0, 180, 1});  // upper half circle, a top element
    m.shapeArcs.push({5, 0, 5, 180, 360, 0});
    EXPECT_EQ(probeOutline(m, 4, 1, 0).y, 0.0);
    EXPECT_NEAR(probeOutline(m, 4, 1, 1).y, 7.0, 1e-9);
    EXPECT_TRUE(probeOutline(m, 10, 0, 1).found);
    EXPECT_FALSE(probeOutline(m, 10.01, 0, 1).found);
    m.shapeLines.clear();
    EXPECT_NEAR(probeOutline(m, 8, 1, 1).y, 4.0, 1e-9);  // 3-4-5 on the upper arc
    EXPECT_NEAR(probeOutline(m, 8, 1, 0).y, -4.0, 1e-9);
    EXPECT_FALSE(probeOutline(m, 11, 1, 1).found);
}

// h = 0, a flat letter and a full point table end the build with a fault, never a crash.
TEST(BuildShape, FaultsEndTheBuildWithoutCrashing) {
    Model zero = loaded(kSample, true);
    zero.smallHeight = 0;
    zero.shapeNumber = 4;
    EXPECT_THROW(buildShape(zero, true), fault::OverflowFault);

    Model flat;
    flat.letterCount = 1;
    segment(flat, 0, 0, 10, 0);
    contourEnd(flat, 0, 0);
    for (Element& e : flat.elements) e.letterHeight = 0;
    EXPECT_THROW(buildShape(flat, true), fault::OverflowFault);

    // more inserted vertices than the table holds: the list is not halved
    Model big;
    const std::size_t pairs = (kMaxElements - 10) / 2;
    for (std::size_t i = 0; i < pairs; ++i) segment(big, double(i), 0, double(i) + 1, 1);
    contourEnd(big, 0, 0);
    EXPECT_THROW(subdivideSegments(big), fault::CapacityFault);
    EXPECT_EQ(big.elements.size(), pairs * 2 + 4);  // the closing segment made explicit stays
    EXPECT_EQ(big.elements[1].x, 1.0);

    // curves cut at the knot line need three more entries each: past the table's end it is the
    // same fault, and the contours stay as they were (their closing segment made explicit)
    Model curves;
    for (std::size_t i = 0; i < (kMaxElements - 8) / 3; ++i) {
        curves.elements.push({0, 0, kCodeQuadratic, 1, 10});
        curves.elements.push({1, 1, kCodeNone, 1, 10});
        curves.elements.push({2, 0, kCodeNone, 1, 10});
    }
    contourEnd(curves, 0, 0);
    const std::size_t stored = curves.elements.size();
    EXPECT_THROW(splitAtX(curves, 1), fault::CapacityFault);
    EXPECT_EQ(curves.elements.size(), stored + 2);
    EXPECT_EQ(curves.elements[1].x, 1.0);

    Model empty;
    empty.shapeNumber = 5;
    buildShape(empty, true);
    EXPECT_TRUE(empty.shapeArcs.empty() && empty.shapeLines.empty());
}

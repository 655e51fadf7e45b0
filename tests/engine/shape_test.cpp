#include "engine/shape.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "engine/contours.h"
#include "preview/scale.h"
#include "shell/workfile_io.h"

using namespace engine;

namespace {

const std::filesystem::path kWords = std::filesystem::path(LK_TEST_DATA) / "words.dat";  // "Hoyt jog"
const std::filesystem::path kSample =
    std::filesystem::path(LK_PROGRAM_DIR) / "workfiles" / "tground.dat";  // "ABC"

Model loaded(const std::filesystem::path& file, bool fitIn, double h = 101.6) {
    Model m;
    readGroundContours(m, file, fitIn);
    m.smallHeight = h;
    preview::masstaebe(m);
    return m;
}

Model built(const std::filesystem::path& file, int shape, double H, double h, bool fitIn,
            double knotShift = 0) {
    Model m = loaded(file, fitIn, h);
    m.shapeNumber = static_cast<std::int16_t>(shape);
    m.bigHeight = H;
    m.knotShift = knotShift;
    buildShape(m, fitIn);
    return m;
}

double norm360(double deg) {
    double d = std::fmod(deg, 360.0);
    return d < 0 ? d + 360.0 : d;
}
double angleDeg(const ShapeArc& a, double x, double y) {
    return norm360(std::atan2(y - a.cy, x - a.cx) * 57.2957795130823);
}
double ccwDeg(double from, double to) { return norm360(to - from); }

// a straight segment as the letters store it: start (code 1) and end point (code 0)
void segment(Model& m, double x1, double y1, double x2, double y2, std::int16_t startCode = 1) {
    m.elements.push({x1, y1, startCode, 1, 10});
    m.elements.push({x2, y2, kCodeNone, 1, 10});
}
void contourEnd(Model& m, double x, double y) {
    m.elements.push({x, y, kCodeEnd, 1, 10});
    m.elements.push({x, y, kCodeNone, 1, 10});
}

}  // namespace

// Every letter fills the outline between its baseline and its top at its own x.
TEST(BuildShape, FitInKeepsEveryPointBetweenBaselineAndTop) {
    for (int shape = 0; shape < 20; ++shape) {
        const double H = shape == 0 ? 101.6 : 152.4;
        Model before = loaded(kWords, true);
        Model m = built(kWords, shape, H, 101.6, true, shape == 3 ? 12.0 : 0.0);
        ASSERT_GT(m.elements.size(), before.elements.size() / 2) << shape;
        // the waves were fitted while their first arcs still reached 1 degree past the middle
        if (shape == 6) m.shapeArcs[0].startDeg -= 1, m.shapeArcs[2].startDeg -= 1;
        if (shape == 7) m.shapeArcs[0].endDeg += 1, m.shapeArcs[2].endDeg += 1;
        for (std::size_t i = 0; i < m.elements.size(); ++i) {
            const Element& e = m.elements[i];
            const Probe base = probeOutline(m, e.x, e.y, 0), top = probeOutline(m, e.x, e.y, 1);
            ASSERT_TRUE(base.found && top.found) << "shape " << shape << " point " << i << " x " << e.x;
            const double lo = std::min(base.y, top.y), hi = std::max(base.y, top.y);
            ASSERT_GE(e.y, lo - 1e-6) << "shape " << shape << " point " << i;
            ASSERT_LE(e.y, hi + 1e-6) << "shape " << shape << " point " << i;
        }
        // a foot standing on y = 0 ends on the baseline (no points were inserted for shape 0)
        if (shape == 0 || shape == 1) {
            for (std::size_t i = 0; i < before.elements.size(); ++i)
                if (before.elements[i].y == 0) {
                    EXPECT_NEAR(m.elements[i].y, probeOutline(m, m.elements[i].x, 0, 0).y, 1e-9);
                }
        }
    }
}

TEST(BuildShape, StraightBandsAndTheirVariants) {
    // shape 0: the baseline reaches 1 mm beyond the text, the top lies at the text's top
    Model s0 = built(kSample, 0, 101.6, 101.6, true);
    ASSERT_EQ(s0.shapeLines.size(), 2u);
    const Box box = contourBoundingBox(s0, kBoxPlain, false);
    EXPECT_NEAR(s0.shapeLines[0].x1, box.xmin - 1, 1e-9);
    EXPECT_NEAR(s0.shapeLines[0].x2, box.xmax + 1, 1e-9);
    EXPECT_NEAR(s0.shapeLines[1].y1, 101.6, 1e-9);
    EXPECT_NEAR(box.ymax, 101.6, 1e-9);
    EXPECT_EQ(s0.capStart[0] + s0.capEnd[0], 2);
    EXPECT_EQ(s0.capStart[1] + s0.capEnd[1], 0);

    // plain variant with c = 0: the letters keep their y
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

    // plain variant with descenders (c < 0): the text's baseline stays on the baseline and the
    // descenders hang below it
    Model wordsBefore = loaded(kWords, false);
    Model words = built(kWords, 0, 101.6, 101.6, false);
    double lowest = 0;
    for (std::size_t i = 0; i < words.elements.size(); ++i) {
        if (wordsBefore.elements[i].y == 0) {
            EXPECT_NEAR(words.elements[i].y, 0, 1e-9);
        }
        lowest = std::min(lowest, words.elements[i].y);
    }
    EXPECT_LT(lowest, -5.0);

    // shape 1 with H = h is shape 0
    Model s1 = built(kWords, 1, 101.6, 101.6, true);
    Model ref = built(kWords, 0, 101.6, 101.6, true);
    ASSERT_EQ(s1.elements.size(), ref.elements.size());
    for (std::size_t i = 0; i < s1.elements.size(); ++i) {
        EXPECT_NEAR(s1.elements[i].x, ref.elements[i].x, 1e-9);
        EXPECT_NEAR(s1.elements[i].y, ref.elements[i].y, 1e-9);
    }

    // shape 1 with H = 2h: the top rises to twice the height at the right end; 11 and 12 are
    // symmetric about y = 0 and wider at the left (11) or the right (12)
    Model tall = built(kWords, 1, 203.2, 101.6, true);
    EXPECT_NEAR(tall.shapeLines[1].y2, 2 * tall.shapeLines[1].y1, 1e-9);
    for (int shape : {11, 12}) {
        Model b = built(kWords, shape, 203.2, 101.6, true);
        const ShapeLine& top = b.shapeLines[0];
        const ShapeLine& base = b.shapeLines[1];
        EXPECT_NEAR(top.y1, -base.y1, 1e-9);
        EXPECT_NEAR(top.y2, -base.y2, 1e-9);
        const double leftHeight = shape == 11 ? top.y2 - base.y2 : top.y1 - base.y1;
        const double rightHeight = shape == 11 ? top.y1 - base.y1 : top.y2 - base.y2;
        EXPECT_NEAR(shape == 11 ? leftHeight : rightHeight, 203.2, 0.2) << shape;
        EXPECT_NEAR(shape == 11 ? rightHeight : leftHeight, 101.6, 0.2) << shape;
        EXPECT_EQ(b.capStart[1] + b.capEnd[1], 2);
    }
}

// After the build a vertex lies exactly on the knot's line in every contour crossing it.
TEST(BuildShape, KnotShapesHaveAVertexUnderTheKnot) {
    // the middle of the text, and the middle of the H (whose crossbar is straight)
    Model flat = loaded(kWords, true);
    const Box whole = contourBoundingBox(flat, kBoxPlain, false);
    double hLeft = 1e9, hRight = -1e9;
    for (const Element& e : flat.elements)
        if (e.object == 1) hLeft = std::min(hLeft, e.x), hRight = std::max(hRight, e.x);
    const double toH = (hLeft + hRight) / 2 - (whole.xmin + whole.xmax) / 2;
    for (int shape : {3, 8, 16, 17, 18, 19}) {
        for (double shift : {0.0, toH}) {
            Model m = built(kWords, shape, 152.4, 101.6, true, shift);
            const Box box = contourBoundingBox(m, kBoxPlain, false);
            const double xk = box.xmin + (box.xmax - box.xmin) * 0.5 + shift;
            ASSERT_GE(m.knots.size(), 1u);
            EXPECT_EQ(m.knots[0][0], xk) << shape;
            // no straight segment runs across the knot line any more (curves are not split,
            // nearly vertical segments need not be), and vertices sit exactly on it
            int onLine = 0;
            for (std::size_t i = 0; i + 1 < m.elements.size(); ++i) {
                const Element& p = m.elements[i];
                const Element& q = m.elements[i + 1];
                onLine += p.x == xk;
                if (p.kind != kCodeLine || std::fabs(q.x - p.x) <= 0.01) continue;
                EXPECT_FALSE(std::min(p.x, q.x) < xk - 1e-9 && std::max(p.x, q.x) > xk + 1e-9)
                    << "shape " << shape << " segment at " << i << " crosses the knot line";
            }
            if (shift == toH) {
                EXPECT_GE(onLine, 2) << shape;
            }
        }
    }
}

// Arcs reach 3 % of their sweep beyond the text on both sides; the waves meet in the middle.
TEST(BuildShape, ArcsAreWidenedAndWavesMeetInTheMiddle) {
    for (int shape : {4, 5, 9, 10, 13, 14, 15}) {
        Model m = built(kWords, shape, 152.4, 101.6, true);
        ASSERT_GE(m.shapeArcs.size(), 1u);
        // the ends of the text before the build: x from 0 to X1, arcs through (0, y), (X1, y)
        const Box flat = contourBoundingBox(m, kBoxPlain, false);
        for (const ShapeArc& a : m.shapeArcs) {
            // where the circle meets the chord's ends (the two points at the text's ends)
            const double dx = flat.xmax / 2, dy = std::sqrt(a.radius * a.radius - dx * dx);
            const double chordY = a.cy + dy, chordY2 = a.cy - dy;
            const double left1 = angleDeg(a, 0, chordY), right1 = angleDeg(a, flat.xmax, chordY);
            const double left2 = angleDeg(a, 0, chordY2), right2 = angleDeg(a, flat.xmax, chordY2);
            const double sweep = ccwDeg(a.startDeg, a.endDeg);
            // one of the two chords is the arc's: its ends are 3 % of the inner sweep inside
            bool matched = false;
            for (auto [p, q] : {std::pair{left1, right1}, {right1, left1}, {left2, right2}, {right2, left2}}) {
                const double inner = ccwDeg(p, q);
                if (std::fabs(inner * 1.06 - sweep) < 1e-6 &&
                    std::fabs(ccwDeg(a.startDeg, p) - 0.03 * inner) < 1e-6)
                    matched = true;
            }
            EXPECT_TRUE(matched) << "shape " << shape;
            EXPECT_EQ(m.capStart[0] + m.capEnd[0], 2);
        }
    }
    for (int shape : {6, 7}) {
        Model m = built(kWords, shape, 152.4, 101.6, true);
        ASSERT_EQ(m.shapeArcs.size(), 4u);
        for (int pair : {0, 2}) {
            const ShapeArc& first = m.shapeArcs[pair];
            const ShapeArc& second = m.shapeArcs[pair + 1];
            // the end each arc has at the middle: shape 6 starts both there, shape 7 ends both
            const double a = (shape == 6 ? first.startDeg : first.endDeg) / 57.2957795130823;
            const double b = (shape == 6 ? second.startDeg : second.endDeg) / 57.2957795130823;
            EXPECT_NEAR(first.cx + first.radius * std::cos(a), second.cx + second.radius * std::cos(b), 1e-9);
            EXPECT_NEAR(first.cy + first.radius * std::sin(a), second.cy + second.radius * std::sin(b), 1e-9);
        }
        EXPECT_EQ(m.capEnd[0], shape == 6 ? 1 : 0);
        EXPECT_EQ(m.capStart[1], shape == 7 ? 1 : 0);
    }
}

TEST(BuildShape, LetterSpacingMovesEveryFollowingLetter) {
    Model ref = built(kSample, 0, 101.6, 101.6, true);
    Model m = loaded(kSample, true);
    m.signDistanceA[1] = 0.1;  // before letter 2, inches
    m.signDistanceB[2] = 3.0;  // before letter 3, mm
    buildShape(m, true);
    std::map<int, double> first, firstRef;
    for (std::size_t i = 0; i < m.elements.size(); ++i) {
        first.emplace(m.elements[i].object, m.elements[i].x);
        firstRef.emplace(ref.elements[i].object, ref.elements[i].x);
    }
    EXPECT_NEAR(first[1], firstRef[1], 1e-9);
    EXPECT_NEAR(first[2] - firstRef[2], 2.54, 1e-9);
    EXPECT_NEAR(first[3] - firstRef[3], 5.54, 1e-9);
    for (std::size_t i = 0; i < m.bridges.size(); ++i) {
        const double moved = m.bridges[i].x1 - ref.bridges[i].x1;
        const int o = m.bridges[i].object;
        EXPECT_NEAR(moved, o == 1 ? 0 : (o == 2 ? 2.54 : 5.54), 1e-9);
    }
}

TEST(ContourVertices, ClosingSegmentsSplitsAndSubdivisions) {
    // a contour whose last segment ends short of the closing point gets an explicit closing
    // segment; splitting at x = 5 cuts the two horizontal edges, never the vertical ones
    Model m;
    segment(m, 0, 0, 10, 0);
    segment(m, 10, 0, 10, 10);
    segment(m, 10, 10, 0, 10);
    contourEnd(m, 0, 0);  // the closing edge (0,10) -> (0,0) is implicit
    splitAtX(m, 5);
    std::vector<std::pair<double, int>> xs;
    for (const Element& e : m.elements) xs.push_back({e.x, e.kind});
    const std::vector<std::pair<double, int>> want = {
        {0, 1}, {5, 2}, {5, 1}, {10, 0}, {10, 1}, {10, 0}, {10, 1}, {5, 2}, {5, 1}, {0, 0},
        {0, 1}, {0, 2}, {0, 6}, {0, 0}};
    EXPECT_EQ(xs, want);
    for (const Element& e : m.elements) EXPECT_EQ(e.object, 1);

    // a segment ending exactly on the line is split at its end; 0.1 beyond still counts,
    // nearly vertical segments never
    Model e;
    segment(e, 0, 0, 5, 5);
    segment(e, 5.09, 0, 8, 3);
    segment(e, 5.005, 0, 4.996, 9);
    contourEnd(e, 4.996, 9);
    splitAtX(e, 5);
    ASSERT_EQ(e.elements.size(), 8u + 4u);
    EXPECT_EQ(e.elements[1].x, 5);
    EXPECT_EQ(e.elements[1].y, 5);
    EXPECT_EQ(e.elements[5].kind, kCodeInserted);
    EXPECT_NEAR(e.elements[5].y, -0.09 * 3 / 2.91, 1e-12);  // on the segment's extension

    // subdivision halves straight segments longer than 0.1 in x once, passes over quadratic
    // curves and the entry after a contour end
    Model s;
    segment(s, 0, 0, 4, 2);
    s.elements.push({4, 2, kCodeQuadratic, 1, 10});
    s.elements.push({6, 3, kCodeLine, 1, 10});   // control point, not a segment start
    s.elements.push({8, 0, kCodeNone, 1, 10});
    segment(s, 8, 0, 8.05, 5);
    contourEnd(s, 0, 0);
    s.elements[s.elements.size() - 1].kind = kCodeLine;  // the entry after the end
    s.elements.push({20, 20, kCodeNone, 1, 10});
    subdivideSegments(s);
    std::vector<int> codes;
    for (const Element& x : s.elements) codes.push_back(x.kind);
    // 0->4 halved (1, 10, 1, 0); the closing edge (8.05, 5) -> (0, 0) made explicit and halved
    const std::vector<int> wantCodes = {1, 10, 1, 0, 3, 1, 0, 1, 0, 1, 10, 1, 2, 6, 1, 0};
    EXPECT_EQ(codes, wantCodes);
    EXPECT_NEAR(s.elements[1].x, 2, 1e-12);
    EXPECT_NEAR(s.elements[1].y, 1, 1e-12);
}

TEST(ProbeOutline, LinesBeforeArcsAndOnlyOfTheKind) {
    Model m;
    m.shapeLines.push({0, 0, 10, 0, 0});
    m.shapeLines.push({0, 5, 10, 10, 1});
    m.shapeArcs.push({5, 0, 5, 0, 180, 1});  // upper half circle, a top element
    m.shapeArcs.push({5, 0, 5, 180, 360, 0});
    EXPECT_EQ(probeOutline(m, 4, 1, 0).y, 0.0);            // the line, not the lower arc
    EXPECT_NEAR(probeOutline(m, 4, 1, 1).y, 7.0, 1e-9);   // the line first
    EXPECT_TRUE(probeOutline(m, 10, 0, 1).found);          // at the very end of the line
    EXPECT_FALSE(probeOutline(m, 10.01, 0, 1).found);
    m.shapeLines.clear();
    EXPECT_NEAR(probeOutline(m, 8, 1, 1).y, 4.0, 1e-9);   // 3-4-5 on the upper arc
    EXPECT_NEAR(probeOutline(m, 8, 1, 0).y, -4.0, 1e-9);
    EXPECT_FALSE(probeOutline(m, 11, 1, 1).found);
}

TEST(BuildShape, FaultsEndTheBuildWithoutCrashing) {
    // h = 0: the ratio H / h cannot be formed
    Model zero = loaded(kSample, true);
    zero.smallHeight = 0;
    zero.shapeNumber = 4;
    EXPECT_THROW(buildShape(zero, true), wf::OverflowFault);

    // a letter of height 0 in the fit-in variant
    Model flat;
    flat.letterCount = 1;
    segment(flat, 0, 0, 10, 0);
    contourEnd(flat, 0, 0);
    for (Element& e : flat.elements) e.letterHeight = 0;
    flat.shapeNumber = 0;
    EXPECT_THROW(buildShape(flat, true), wf::OverflowFault);

    // more inserted vertices than the table holds: the build ends and the list is untouched
    Model big;
    big.letterCount = 1;
    big.shapeNumber = 4;
    big.bigHeight = 150;
    big.smallHeight = 100;
    const std::size_t pairs = (kMaxElements - 10) / 2;
    for (std::size_t i = 0; i < pairs; ++i) segment(big, double(i), 0, double(i) + 1, 1);
    contourEnd(big, 0, 0);
    EXPECT_THROW(subdivideSegments(big), CapacityFault);
    EXPECT_EQ(big.elements.size(), pairs * 2 + 4);  // the closing segment made explicit stays
    EXPECT_EQ(big.elements[1].x, 1.0);

    // an empty text builds no outline at all
    Model empty;
    empty.shapeNumber = 5;
    buildShape(empty, true);
    EXPECT_TRUE(empty.shapeArcs.empty());
    EXPECT_TRUE(empty.shapeLines.empty());
}

#include "engine/walk.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <vector>

#include "engine/arcs.h"
#include "support/shaped.h"

using namespace engine;
using Kind = Record::Kind;
using testsupport::arc;

namespace {

std::vector<Record> records(const Model& m, std::size_t from, std::size_t to, ShortArc shortArc) {
    std::vector<Record> out;
    walkRecords(m, from, to, [&](const Record& r) { out.push_back(r); }, shortArc);
    return out;
}

geom::Point pointOf(const Model& m, std::size_t i) { return {m.elements[i].x, m.elements[i].y}; }

}  // namespace

// The records of real letters give back the element list: they follow each other without a
// gap or an overlap to its very end, each carries the points of its own entries under the
// codes it stands for, and together they are closed outlines: every record starts where the
// one before it ended and every contour ends where it began. The letters are "Hoyt jog" bent
// into the arch: the straight pieces that are not upright have become three-point arcs, the
// curves of o, y, j and g stay quadratics.
TEST(Walk, RecordsOfRealLettersGiveBackTheElementList) {
    const Model m = testsupport::built(testsupport::kWords, 4, 152.4, true);
    const std::vector<Record> all = records(m, 0, m.elements.size(), ShortArc::Whole);
    const std::map<Kind, std::size_t> entries{{Kind::Line, 2}, {Kind::Arc, 4}, {Kind::Quadratic, 3}, {Kind::Close, 2}};
    std::map<Kind, int> seen;
    std::size_t next = 0;
    int contours = 0;
    geom::Point start, last;
    bool open = false;
    for (const Record& r : all) {
        SCOPED_TRACE(r.at);
        ASSERT_EQ(r.at, next);
        ASSERT_TRUE(r.complete);
        next += entries.at(r.kind);
        ++seen[r.kind];
        const std::int16_t code = m.elements[r.at].kind;
        const Kind other = code == kCodeQuadratic ? Kind::Quadratic : code == kCodeEnd ? Kind::Close : Kind::Line;
        EXPECT_EQ(r.kind, code == kCodeLine && m.elements[r.at + 1].kind == kCodeArcMiddle ? Kind::Arc : other);
        if (r.kind == Kind::Close) {
            ASSERT_TRUE(open);
            EXPECT_FALSE(r.closing);  // the shape build made every closing line explicit
            EXPECT_TRUE(r.a == last && r.b == start && r.b == pointOf(m, r.at));
            open = false;
            ++contours;
            continue;
        }
        // from its first entry to its last; an arc passes its middle twice (the second time as
        // the start of its second half), a quadratic its control point
        const geom::Point end = r.kind == Kind::Line ? r.b : r.c;
        EXPECT_TRUE(r.a == pointOf(m, r.at) && end == pointOf(m, next - 1));
        EXPECT_TRUE(r.kind == Kind::Line || (r.b == pointOf(m, r.at + 1) && r.b == pointOf(m, next - 2)));
        EXPECT_TRUE(!open || r.a == last);
        if (!open) start = r.a, open = true;
        last = end;
    }
    EXPECT_EQ(next, m.elements.size());
    EXPECT_FALSE(open);
    EXPECT_EQ(contours, 11);  // H 1, o 2, y 1, t 1, j 2, o 2, g 2, and the space none
    EXPECT_GT(seen[Kind::Arc], 20);
    EXPECT_GT(seen[Kind::Quadratic], 20);
    EXPECT_GT(seen[Kind::Line], 0);  // the upright pieces stay straight

    // an arc cut short by the end of the walk is one incomplete record over its entries, or, as
    // the drawing reads it, a line to its middle point after which the walk goes on
    std::size_t arc = 0;
    while (!(m.elements[arc].kind == kCodeLine && m.elements[arc + 1].kind == kCodeArcMiddle)) ++arc;

    const std::vector<Record> whole = records(m, arc, arc + 3, ShortArc::Whole);
    EXPECT_TRUE(whole.size() == 1 && whole[0].kind == Kind::Arc && !whole[0].complete) << whole.size();

    const std::vector<Record> asLine = records(m, arc, arc + 3, ShortArc::AsLine);
    ASSERT_EQ(asLine.size(), 2u);
    EXPECT_TRUE(asLine[0].kind == Kind::Line && asLine[0].complete);
    EXPECT_TRUE(asLine[0].a == pointOf(m, arc) && asLine[0].b == pointOf(m, arc + 1));
    EXPECT_TRUE(asLine[1].at == arc + 2 && !asLine[1].complete);  // the middle's copy starts a line
}

// Arcs of radius 0.9 and 801 mm, one with an end level with its middle and one the list cuts
// short become two lines; those of 1 and 800 mm and an ordinary one stay arcs.
TEST(StraightenUndrawableArcs, RadiusLevelEndsAndCutShortArcs) {
    Model m;
    for (auto [x, y, radius] : {std::array{10.0, 10.0, 0.9}, {-400.0, -700.0, 801.0}, {0.0, 0.0, 1.0001},
                                {0.0, 0.0, 799.999}, {100.0, 100.0, 50.0}})
        arc(m, x, y, radius, 0.3, 1.0, 1.7);
    arc(m, 100, 100, 50, 1.5708 - 0.04, 1.5708, 1.5708 + 0.5);  // the start 0.04 mm below the middle
    arc(m, 100, 100, 50, 0.3, 1.0, 1.7);
    m.elements.raw().pop_back();  // the last arc loses its end point
    const std::int16_t middles[7] = {kCodeLine, kCodeLine, kCodeArcMiddle, kCodeArcMiddle, kCodeArcMiddle,
                                     kCodeLine, kCodeLine};
    for (int pass = 1; pass <= 2; ++pass) {  // once straight, for good: a second pass changes nothing
        straightenUndrawableArcs(m);
        for (int k = 0; k < 7; ++k) EXPECT_EQ(m.elements[4 * k + 1].kind, middles[k]) << "pass " << pass << " arc " << k;
    }
}

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <cmath>
#include <numbers>
#include <thread>

#include "cut/cut.h"
#include "cut/writers.h"
#include "drawn.h"
#include "dxf_readback.h"
#include "support/tground.h"

using namespace cut;
using namespace drawn;

namespace {

constexpr double kPi = std::numbers::pi;

struct Extent { double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9; };
Extent extent(const Outline& o) {
    Extent e;
    for (const Pt& p : o.poly) e.x0 = std::min(e.x0, p.x), e.y0 = std::min(e.y0, p.y), e.x1 = std::max(e.x1, p.x), e.y1 = std::max(e.y1, p.y);
    return e;
}

double dxfArea(const Drawing& d, const Handover& h, const char* layer) {
    double a = 0;
    for (const auto& p : testsupport::readDxf(dxfText(d, h)).polylines)
        if (p.layer == layer) a += testsupport::area(p);
    return a;
}

Handover withBar(Handover h, const Loop& bar) {
    h.bar = {bar};
    h.hasBar = true;
    return h;
}

std::vector<const Problem*> thinOf(const Drawing& d) {
    std::vector<const Problem*> out;
    for (const Problem& p : d.problems)
        if (p.kind == ProblemKind::ThinMaterial) out.push_back(&p);
    return out;
}

}  // namespace

// The kerf moves the outside of a part out and the edge of an opening in by half of it, in
// both kinds of drawing: what is cut comes out at its drawn size.
TEST(CutDrawing, KerfGrowsPartsAndShrinksOpeningsByHalfOfIt) {
    const Handover h = handover({ring()});
    for (const Kind kind : {Kind::Stencil, Kind::Lettering}) {
        SCOPED_TRACE(kind == Kind::Stencil ? "stencil" : "lettering");
        const Drawing d = makeDrawing(h, {.kind = kind, .kerf = 0.2});
        ASSERT_EQ(d.cut.size(), 2u);
        for (const Outline& out : d.cut) {
            const Extent e = extent(out);
            // the letter (0..20) is the part and the counter (5..15) its opening; a stencil the other way round
            const bool letter = out.opening == (kind == Kind::Stencil);
            const double grow = out.opening ? -0.1 : 0.1, lo = letter ? 0 : 5, hi = letter ? 20 : 15;
            const double got[] = {e.x0, e.y0, e.x1, e.y1}, want[] = {lo - grow, lo - grow, hi + grow, hi + grow};
            for (int k = 0; k < 4; ++k) EXPECT_NEAR(got[k], want[k], 1e-3) << std::string("x0y0x1y1", 2 * k, 2);
        }
    }
    const Drawing parts = makeDrawing(h, {.kind = Kind::Lettering, .kerf = 0.2});
    // the straight sides stay 0.1 mm away: the area grows by the perimeter x 0.1 plus the corners
    EXPECT_NEAR(dxfArea(parts, h, kLayerCut), (20.2 * 20.2 - 0.04 + kPi * 0.01) - 9.8 * 9.8, 0.01);
    EXPECT_DOUBLE_EQ(parts.area, 300);  // the drawn size
}

// Arcs the booleans leave alone stay arcs (exactly two for a disc); where the bar cuts one,
// the rest of it is still an arc and the areas agree with the hand-over, counters turned
// clockwise too.
TEST(CutDrawing, UntouchedArcsStayArcsAndAreasAgree) {
    const Handover h = handover({{1, {circle(10, 10, 5)}}});
    const Options o{.kind = Kind::Lettering};
    const Drawing disc = makeDrawing(h, o);
    ASSERT_EQ(disc.cut.size(), 1u);
    ASSERT_EQ(disc.cut[0].segs.size(), 2u);
    for (const Seg& s : disc.cut[0].segs) EXPECT_NEAR(std::fabs(s.bulge), 1, 1e-9);  // half circles
    EXPECT_NEAR(dxfArea(disc, h, kLayerCut), kPi * 25, 1e-3);

    // a round counter turned clockwise, as a font draws it
    const Handover round = handover({{1, {rect(0, 0, 20, 20), {{arc(10, 10, 5, 0, -kPi), arc(10, 10, 5, -kPi, -kPi)}}}}});
    EXPECT_NEAR(dxfArea(makeDrawing(round, o), round, kLayerCut), 400 - kPi * 25, 1e-3);

    const Handover barred = withBar(h, rect(0, 9, 30, 11));
    const Drawing joined = makeDrawing(barred, o);
    ASSERT_EQ(joined.cut.size(), 1u);
    EXPECT_EQ(joined.arcs, 2);  // the two arcs above and below the bar, shortened
    EXPECT_TRUE(joined.problems.empty());
    // disc + bar - overlap, less the chords of the cut-off ends (within the tolerance)
    EXPECT_NEAR(dxfArea(joined, barred, kLayerCut), kPi * 25 + 30 * 2 - (2 * std::sqrt(24) + 50 * std::asin(0.2)), 0.01);
}

// A stencil's counter falls out unless a bridge holds it; the strip lies on the side the
// bridge's kind gives, so a bridge drawn on the wrong side holds nothing.
TEST(CutDrawing, StencilIslandsAreReportedUntilABridgeHoldsThem) {
    Handover h = handover({ring(), {2, {rect(30, 0, 50, 20)}}});
    const Drawing loose = makeDrawing(h, {});
    ASSERT_EQ(loose.problems.size(), 1u);
    EXPECT_EQ(problemText(loose.problems[0]).rfind("island of letter 1 at (", 0), 0u);
    EXPECT_NEAR(loose.problems[0].place.x, 10, 5);  // in the counter

    // a bridge across the top stroke from the counter (y 15) to the outside (y 20)
    h.bridges = {kTopBridge};
    EXPECT_TRUE(makeDrawing(h, {}).problems.empty());
    EXPECT_DOUBLE_EQ(bridgeStrip(h.bridges[0], 2)[2].x, 8);  // any kind but 2: to the left of p1 -> p2
    h.bridges[0].kind = 2;
    EXPECT_DOUBLE_EQ(bridgeStrip(h.bridges[0], 2)[2].x, 12);
    EXPECT_TRUE(makeDrawing(h, {}).problems.empty());
    // the same bridge on the far side of the letter, outside the stroke: the counter is loose
    h.bridges = {{2, {0, 15}, {0, 20}}};
    EXPECT_EQ(makeDrawing(h, {}).problems.size(), 1u);

    // with a border the sheet's edge is cut too, as a part
    h.bridges = {kTopBridge};
    const Drawing framed = makeDrawing(h, {.border = 10});
    const Extent e = extent(framed.cut.back());
    EXPECT_NEAR(e.x0, -10, 1e-6);
    EXPECT_NEAR(e.x1, 60, 1e-6);
    EXPECT_FALSE(framed.cut.back().opening);
}

// Lettering: a piece the bar does not reach is reported with its letter; a tab joins it.
TEST(CutDrawing, LoosePiecesAreReportedAndJoinedByTabs) {
    // an "i": a stem standing on the bar and a dot 3 mm above it
    Handover h = withBar(handover({{1, {rect(0, 0, 4, 10)}}, {2, {rect(10, 0, 14, 10), rect(10, 13, 14, 17)}}}),
                         rect(-2, -1, 16, 1));
    Options o{.kind = Kind::Lettering};
    const Drawing loose = makeDrawing(h, o);
    ASSERT_EQ(loose.problems.size(), 1u);
    EXPECT_EQ(problemText(loose.problems[0]).rfind("loose piece of letter 2 at (", 0), 0u);
    EXPECT_NEAR(loose.problems[0].place.y, 15, 1e-3);
    EXPECT_EQ(loose.pieces.size(), 2u);
    o.tabs = true;
    const Drawing tabbed = makeDrawing(h, o);
    EXPECT_TRUE(tabbed.problems.empty());
    EXPECT_EQ(tabbed.pieces.size(), 1u);
    ASSERT_EQ(tabbed.tabs.size(), 1u);
    EXPECT_NEAR(tabbed.tabs[0].x, 12, 1e-6);  // in the middle of the stem
    // the tab is as wide as the apertures: 2 mm x 3 mm added
    EXPECT_NEAR(tabbed.area - loose.area, 6, 1e-6);
    // a dot narrower than a tab cannot be held at the tab's width: no tab, still loose
    h.letters[1].loops[1] = rect(11.25, 13, 12.75, 14.5);
    const Drawing narrow = makeDrawing(h, o);
    EXPECT_TRUE(narrow.tabs.empty());
    ASSERT_EQ(narrow.problems.size(), 1u);
    EXPECT_EQ(narrow.problems[0].kind, ProblemKind::LoosePiece);
    // without "one object" every letter is its own part: the dot is still the loose one
    h.oneObject = false;
    o.tabs = false;
    const Drawing apart = makeDrawing(h, o);
    ASSERT_EQ(apart.problems.size(), 1u);
    EXPECT_EQ(apart.problems[0].letter, 2);
}

// Work is bounded before it starts: a drawing beyond the largest sheet, or one that would need
// more points than the booleans are given, is refused with a message; an arc of a huge radius
// that spans little is no such drawing.
TEST(CutDrawing, RefusesWhatWouldOutgrowItsBoundsBeforeBuilding) {
    std::vector<Loop> circles;
    for (int i = 0; i < 700; ++i) circles.push_back(circle(0, 0, 9000 - i));  // ~3000 chords each
    // a 10 x 5 block whose top is an arc of radius 1 km (its centre 1 km below)
    const double half = std::asin(5e-6);
    const Loop flat{{line(0, 0, 10, 0), line(10, 0, 10, 5), arc(5, 5 - std::sqrt(1e12 - 25), 1e6, kPi / 2 - half, 2 * half),
                     line(0, 5, 0, 0)}};
    struct Case {
        const char* what;
        std::vector<Loop> loops;
        const char* refusal;  // "" : drawn
    };
    const Case cases[] = {
        {"10 km long", {rect(0, 0, 1e7, 10)}, "larger than 20 m"},
        {"25 m long", {rect(0, 0, 25000, 10)}, "larger than 20 m"},
        {"700 circles of 9 m", circles, "too many points ("},  // counted before building: the count is named
        {"a flat arc of 1 km radius", {flat}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string refusal;
        try {
            makeDrawing(handover({{1, c.loops}}), {});
        } catch (const fault::DrawingFault& e) {
            refusal = e.what();
        }
        EXPECT_TRUE(*c.refusal ? refusal.find(c.refusal) != std::string::npos : refusal.empty()) << refusal;
    }
}

// The cut file holds what the machine cuts and nothing else: the cut outlines and, with a
// border, the sheet's edge, each on a layer that is on and plotted. The letters, bridges and
// bar as handed over come only on request, on layers that are off, grey and never plotted;
// the SVG keeps them in a hidden group of their own. The DXF is in millimetres.
TEST(CutFile, HoldsOnlyWhatIsCutUnlessReferenceIsAskedFor) {
    const Handover h = withBar(handover({ring(), {2, {rect(30, 0, 50, 20)}}}, {kTopBridge}), rect(-2, -1, 52, 1));
    struct Case {
        Kind kind;
        double border;
        std::vector<std::string> cutLayers;
    };
    for (const Case& c : {Case{Kind::Stencil, 5, {"0", "CUT", "CUT_SHEET_EDGE"}}, Case{Kind::Lettering, -1, {"0", "CUT"}}}) {
        const Drawing d = makeDrawing(h, {.kind = c.kind, .border = c.border});
        for (const bool reference : {false, true}) {
            SCOPED_TRACE(std::string(c.kind == Kind::Stencil ? "stencil" : "lettering") + (reference ? " with reference" : ""));
            const auto dxf = testsupport::readDxf(dxfText(d, h, reference));
            EXPECT_EQ(dxf.insunits, 4);
            std::vector<std::string> names;
            for (const auto& l : dxf.layers) {
                names.push_back(l.name);
                const bool cutLayer = std::find(c.cutLayers.begin(), c.cutLayers.end(), l.name) != c.cutLayers.end();
                EXPECT_EQ(l.plot, cutLayer ? 1 : 0) << l.name;
                EXPECT_EQ(l.colour, cutLayer ? std::abs(l.colour) : -kReferenceGrey) << l.name;
            }
            std::vector<std::string> expected = c.cutLayers;
            if (reference) expected.insert(expected.end(), {kLayerLetters, kLayerBridges, kLayerBar});
            EXPECT_EQ(names, expected);
            std::size_t cut = 0, other = 0;
            for (const auto& p : dxf.polylines) (p.layer == kLayerCut || p.layer == kLayerSheet ? cut : other) += 1;
            EXPECT_EQ(cut, d.cut.size());
            // three letter outlines, one bridge strip, one bar piece
            EXPECT_EQ(other, reference ? 5u : 0u);
            const std::string svg = svgText(d, h, reference);
            EXPECT_EQ(svg.find("id=\"reference\" display=\"none\"") != std::string::npos, reference);
            if (reference) continue;
            // holes look like holes: in the SVG (sized in mm) each piece is one path, its outside and
            // counters together under the even-odd rule; the sheet's edge is a path of its own
            std::size_t paths = 0;
            for (std::size_t at = svg.find("<path d=\""); at != std::string::npos; at = svg.find("<path d=\"", at + 1)) ++paths;
            EXPECT_EQ(paths, d.pieces.size() + (c.border > 0));
            EXPECT_EQ(static_cast<std::size_t>(std::count(svg.begin(), svg.end(), 'M')), d.cut.size());
            EXPECT_NE(svg.find("fill-rule=\"evenodd\""), std::string::npos);
            EXPECT_NE(svg.find("mm\" height=\""), std::string::npos);
            EXPECT_NE(svg.find("viewBox=\""), std::string::npos);
        }
    }
}

// Letters that run into each other are a problem naming both, in either kind of drawing: by
// overlapping, or by only touching; a gap between them, however small, is none.
TEST(CutDrawing, LettersThatRunIntoEachOtherAreReportedWithBoth) {
    struct Case {
        const char* what;
        double secondX;  // where the second letter (10 x 20) begins; the first ends at 20
        bool merged;
    };
    for (const Case& c : {Case{"overlapping", 18, true}, Case{"touching", 20, true}, Case{"apart by 0.05 mm", 20.05, false}}) {
        for (const Kind kind : {Kind::Stencil, Kind::Lettering}) {
            SCOPED_TRACE(std::string(c.what) + (kind == Kind::Stencil ? " stencil" : " lettering"));
            const Handover h = handover({{1, {rect(0, 0, 20, 20)}}, {2, {rect(c.secondX, 0, c.secondX + 10, 20)}},
                                         {3, {rect(50, 0, 60, 20)}}});
            const Drawing d = makeDrawing(h, {.kind = kind, .minWidth = 0});  // the web of 0.05 mm is no concern here
            ASSERT_EQ(d.problems.size(), c.merged ? 1u : 0u);
            if (!c.merged) continue;
            EXPECT_NEAR(d.problems[0].place.x, (c.secondX + 20) / 2, 0.01);
            EXPECT_NE(reportJson(d, h).find("\"kind\": \"merged\", \"letter\": 1, \"otherLetter\": 2"), std::string::npos);
        }
    }
    // a row of ten rings, each running 4 mm into the next: one part, its counters open
    std::vector<Letter> row;
    for (int i = 0; i < 10; ++i) row.push_back(ring(i + 1, 16.0 * i));
    const Drawing d = makeDrawing(handover(row), {.kind = Kind::Lettering});
    EXPECT_EQ(d.pieces.size(), 1u);
    EXPECT_NEAR(d.area, 10 * (400 - 100) - 9 * (4 * 20), 1e-6);
    EXPECT_EQ(std::count_if(d.problems.begin(), d.problems.end(), [](const Problem& p) { return p.kind == ProblemKind::Merged; }), 9);
}

// A long stencil on a 600 x 400 mm sheet: larger than the sheet without tiling; tiled, sheets
// that each fit and each stay one piece, with registration marks that are the same holes on
// both sheets of a seam.
TEST(CutSheets, ALongStencilIsAProblemUntilTiledIntoSheetsThatFit) {
    std::vector<Letter> letters;
    for (int i = 0; i < 12; ++i) letters.push_back({i + 1, {rect(i * 70.0, 0, i * 70.0 + 40, 300)}});
    const Handover h = handover(letters);
    Options o{.border = 10, .sheetWidth = 600, .sheetHeight = 400};
    const Drawing whole = makeDrawing(h, o);
    ASSERT_EQ(whole.problems.size(), 1u);
    EXPECT_EQ(whole.problems[0].kind, ProblemKind::OffSheet);
    EXPECT_TRUE(whole.sheets.empty());

    o.tile = true;
    o.kerf = 0.2;
    const Drawing tiled = makeDrawing(h, o);
    EXPECT_TRUE(tiled.problems.empty()) << problemText(tiled.problems.at(0));
    ASSERT_EQ(tiled.sheets.size(), 2u);
    for (std::size_t k = 0; k < tiled.sheets.size(); ++k) {
        SCOPED_TRACE(k);
        const Drawing one = sheetDrawing(tiled, k);
        EXPECT_LE(one.max.x - one.min.x, 600);
        EXPECT_LE(one.max.y - one.min.y, 400);
        // one piece: one outside edge
        EXPECT_EQ(std::count_if(one.cut.begin(), one.cut.end(), [](const Outline& c) { return c.sheetEdge; }), 1);
    }
    const Sheet &left = tiled.sheets[0], &right = tiled.sheets[1];
    EXPECT_GE(left.marks.size(), 2u);
    EXPECT_EQ(left.marks, right.marks);
    for (const Pt& m : left.marks) {
        EXPECT_GT(m.x, right.min.x);  // in the band both sheets hold
        EXPECT_LT(m.x, left.max.x);
    }
    const std::string report = reportJson(tiled, h);
    EXPECT_NE(report.find("\"sheets\": [\n    { \"number\": 1,"), std::string::npos) << report;
}

// Material narrower than the kerf or the chosen width is one problem at its place, whatever the
// kerf (0 too); where material holds by a point, that point is one.
TEST(ThinMaterial, BelowTheKerfOrTheChosenWidthAndAtPointContacts) {
    struct Case {
        const char* what;
        Handover h;
        Kind kind;
        double kerf, minWidth;
        std::size_t thin;
        Pt at;
    };
    const Letter corners{1, {rect(0, 0, 10, 10), rect(10, 10, 20, 20)}};
    const Case cases[] = {
        {"bridge 0.1 under kerf 0.2", handover({ring()}, {kTopBridge}, 0.1), Kind::Stencil, 0.2, 0, 1, {10, 17.5}},
        {"bridge 0.1 over kerf 0.05", handover({ring()}, {kTopBridge}, 0.1), Kind::Stencil, 0.05, 0, 0, {}},
        {"bridge 0.5 at kerf 0", handover({ring()}, {kTopBridge}, 0.5), Kind::Stencil, 0, kDefaultMinWidth, 1, {10.25, 17.5}},
        {"bridge 2", handover({ring()}, {kTopBridge}, 2), Kind::Stencil, 0, kDefaultMinWidth, 0, {}},
        {"bridge 2 under 2.5", handover({ring()}, {kTopBridge}, 2), Kind::Stencil, 0.1, 2.5, 1, {11, 17.5}},
        {"web of 0.3", handover({{1, {rect(0, 0, 10, 20)}}, {2, {rect(10.3, 0, 20, 20)}}}), Kind::Stencil, 0, 1, 1, {10.15, 10}},
        {"stencil corners", handover({corners}), Kind::Stencil, 0, 0, 1, {10, 10}},
        {"parts' corners", handover({corners}), Kind::Lettering, 0, 0, 1, {10, 10}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Drawing d = makeDrawing(c.h, {.kind = c.kind, .kerf = c.kerf, .minWidth = c.minWidth});
        const auto thin = thinOf(d);
        ASSERT_EQ(thin.size(), c.thin);
        if (!c.thin) continue;
        EXPECT_LT(std::hypot(thin[0]->place.x - c.at.x, thin[0]->place.y - c.at.y), 3) << thin[0]->place.x << "," << thin[0]->place.y;
        EXPECT_EQ(problemText(*thin[0]).rfind("thin material of letter 1 at (", 0), 0u) << problemText(*thin[0]);
    }
}

// Letters are numbered as typed, spaces counted, and named by their characters; a letters file
// that does not match the hand-over leaves the hand-over's numbers.
TEST(ThinMaterial, LettersAreNumberedAsTypedAndNamed) {
    using testsupport::HandLetter, testsupport::square;
    const std::string tground = testsupport::tground(
        "A B", {HandLetter{"A", 10, square(0, 0, 10), {}}, HandLetter{" ", 5, {}, {}}, HandLetter{"B", 10, square(10, 0, 10), {}}});
    Handover h = handover({ring(), ring(2, 30)});  // both counters loose
    for (const bool whole : {true, false}) {
        SCOPED_TRACE(whole ? "whole" : "cut short");
        h.typed = parseTypedLetters(whole ? tground : tground.substr(0, tground.rfind("B")));
        const Drawing d = makeDrawing(h, {});
        ASSERT_EQ(d.problems.size(), 2u);
        EXPECT_EQ(problemText(d.problems[1]).rfind(whole ? "island of letter 3 \"B\" at" : "island of letter 2 at", 0), 0u);
        EXPECT_EQ(reportJson(d, h).find("\"letter\": 3, \"character\": \"B\"") != std::string::npos, whole);
        EXPECT_TRUE(std::any_of(d.pieces.begin(), d.pieces.end(), [&](const Piece& p) { return p.letter == (whole ? 3 : 2); }));
    }
}

// A drawing made again after each change of the settings is the one made afresh.
TEST(ThinMaterial, DrawingsMadeAgainAfterAChangeAreMadeAfresh) {
    const auto h = std::make_shared<Handover>(
        withBar(handover({ring(), {2, {rect(30, 0, 34, 10), rect(30, 13, 34, 17)}}}, {kTopBridge}, 0.5), rect(-2, -1, 36, 1)));
    DrawingMaker maker(h);
    const std::vector<Options> steps{{}, {.kerf = 0.2}, {.kind = Kind::Lettering, .kerf = 0.2},
                                     {.kind = Kind::Lettering, .kerf = 0.2, .tabs = true}, {.kerf = 0.1, .border = 5},
                                     {.kerf = 0.1, .border = 5, .minWidth = 0}, {.kerf = 0.6, .border = 5, .minWidth = 0},
                                     {.kerf = 0.2}};
    std::vector<std::string> fresh;  // each step's DXF, made anew
    for (std::size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(i);
        const Drawing again = maker.make(steps[i]), made = makeDrawing(*h, steps[i]);
        fresh.push_back(dxfText(made, *h));
        EXPECT_EQ(dxfText(again, *h), fresh.back());
        EXPECT_EQ(reportJson(again, *h), reportJson(made, *h));
    }
    EXPECT_EQ(thinOf(maker.make(steps[5])).size(), 0u);
    EXPECT_EQ(thinOf(maker.make(steps[6])).size(), 1u);  // the kerf now wider than the bridge
    // a window's thread preparing ahead while another makes what the user asked for
    DrawingMaker shared(h);
    std::jthread ahead([&] {
        for (auto o = steps.rbegin(); o != steps.rend(); ++o) shared.prepare(*o);
    });
    for (std::size_t i = 0; i < steps.size(); ++i) EXPECT_EQ(dxfText(shared.make(steps[i]), *h), fresh[i]) << "step " << i;
}

// Real glyphs through the chain (typed by the text stage, converted by the shapes stage's
// command line), drawn here and measured as a cutter would cut them.
#include <gtest/gtest.h>

#include <cmath>

#include "cut/cut.h"
#include "cut/writers.h"
#include "chain.h"
#include "drawn.h"
#include "dxf_readback.h"
#include "polygon/grid.h"

using namespace testsupport;
namespace cl = ClipperLib;

namespace {

cl::Path onGrid(const std::vector<cut::Pt>& points) {
    cl::Path path;
    for (const cut::Pt& p : points) path.push_back(polygon::toGrid(p));
    return path;
}

// Every cut outline of a drawing, arcs as chords.
cl::Paths cutOutlines(const cut::Drawing& d) {
    cl::Paths out;
    for (const cut::Outline& o : d.cut) out.push_back(onGrid(o.poly));
    return out;
}

// What a cutter leaves of a drawing: its outlines under the even-odd rule, as pieces of
// material and the holes in them.
struct Material {
    int pieces = 0, holes = 0;
};
Material material(const cut::Drawing& d) {
    cl::Clipper c;
    c.AddPaths(cutOutlines(d), cl::ptSubject, true);
    cl::PolyTree tree;
    c.Execute(cl::ctUnion, tree, cl::pftEvenOdd, cl::pftEvenOdd);
    Material m;
    for (const cl::PolyNode* n = tree.GetFirst(); n; n = n->GetNext()) ++(n->IsHole() ? m.holes : m.pieces);
    return m;
}

bool inside(const cl::Paths& region, cut::Pt p) {
    int crossings = 0;
    for (const cl::Path& path : region) crossings += cl::PointInPolygon(polygon::toGrid(p), path) != 0;
    return crossings % 2 == 1;
}

int count(const cut::Drawing& d, cut::ProblemKind k) {
    return static_cast<int>(std::count_if(d.problems.begin(), d.problems.end(), [&](const cut::Problem& p) { return p.kind == k; }));
}

// The letters as the font fills them.
cl::Paths filled(const cut::Handover& h) {
    cl::Paths letters;
    for (const cut::Letter& l : h.letters)
        for (const cut::Loop& loop : l.loops) letters.push_back(onGrid(cut::loopPoints(loop)));
    cl::SimplifyPolygons(letters, cl::pftNonZero);
    return letters;
}

// How much of a bridge's width (mm) holds across the whole stroke it crosses: along lines
// parallel to the bridge, the stroke must be uncut where the strip lies; each line stands for
// a tenth of the width.
double heldWidth(const cut::Handover& h, const cl::Paths& letters, const cl::Paths& openings, const cut::Bridge& b) {
    const auto strip = cut::bridgeStrip(b, h.aperture);
    const double len = std::hypot(b.p2.x - b.p1.x, b.p2.y - b.p1.y), step = 0.01;
    const cut::Pt u{(b.p2.x - b.p1.x) / len, (b.p2.y - b.p1.y) / len}, across{strip[3].x - strip[0].x, strip[3].y - strip[0].y};
    double held = 0;
    for (int k = 0; k < 10; ++k) {
        const cut::Pt o{b.p1.x + across.x * (k + 0.5) / 10, b.p1.y + across.y * (k + 0.5) / 10};
        const auto at = [&](double t) { return cut::Pt{o.x + u.x * t, o.y + u.y * t}; };
        double t = 0;
        while (t <= len && !inside(letters, at(t))) t += step;  // the stroke's first point
        bool whole = t <= len;
        for (double back = t; whole && inside(letters, at(back)); back -= step) whole = !inside(openings, at(back));
        for (; whole && inside(letters, at(t)); t += step) whole = !inside(openings, at(t));
        held += whole ? h.aperture / 10 : 0;
    }
    return held;
}

// A closed outline through the points.
cut::Loop outline(const std::vector<cut::Pt>& pts) {
    cut::Loop l{std::vector<cut::Edge>(pts.size())};
    for (std::size_t i = 0; i < pts.size(); ++i) l.edges[i].a = pts[i], l.edges[i].b = pts[(i + 1) % pts.size()];
    return l;
}

}  // namespace

// Where a glyph's outlines overlap (the ring of the Å on the A), the letter is their union as
// the font fills it: no lens-shaped island in the stencil, no hole in the lettering, and every
// cut outline simple, flat and bent.
TEST(CutPieces, OverlappingOutlinesOfAGlyphAreOneLetter) {
    for (const auto& shape : {std::vector<std::string>{}, std::vector<std::string>{"--shape", "18", "--H", "12", "--h", "4"}}) {
        SCOPED_TRACE(shape.size());
        const cut::Handover h = Chain("Å", "Liberation Sans", shape).handover();
        for (const cut::Kind kind : {cut::Kind::Stencil, cut::Kind::Lettering}) {
            const cut::Drawing d = cut::makeDrawing(h, {.kind = kind, .kerf = 0.2, .border = 5});
            EXPECT_TRUE(d.problems.empty()) << cut::problemText(d.problems.at(0));
            for (const DxfPolyline& p : readDxf(cut::dxfText(d, h)).polylines) EXPECT_FALSE(selfCrossing(p));
            const Material m = material(d);
            // the sheet with the letter's opening, cut in two by its three bridges; or the
            // letter with the counters of the A and the ring
            EXPECT_EQ(m.pieces, 1);
            EXPECT_EQ(m.holes, 2);
        }
    }
}

// With tabs every piece the bar does not reach is tied to its letter's material at the tab's
// full width; what still hangs loose is reported, and exactly that: the pieces cut out
// that do not hang together with the bar are the report's loose pieces, tabs or not.
TEST(CutPieces, TabsHoldAndTheReportCountsWhatStaysLoose) {
    for (const char* font : {"DejaVu Sans", "DejaVu Serif", "Liberation Serif"})
        for (const char* text : {"Äpfel Öl Über", "%", "!", "Å"}) {
            const cut::Handover h = Chain(text, font, {"--connection"}).handover();
            for (const bool tabs : {false, true}) {
                SCOPED_TRACE(std::string(font) + " " + text + (tabs ? " with tabs" : ""));
                const cut::Drawing d = cut::makeDrawing(h, {.kind = cut::Kind::Lettering, .tabs = tabs});
                const int loose = material(d).pieces - 1;
                EXPECT_EQ(loose, count(d, cut::ProblemKind::LoosePiece));
                EXPECT_TRUE(!tabs || loose == 0) << loose << " pieces loose after tabs";
            }
        }
}

// On a steep band a strip that reached 0.5 mm past the flat stroke ends inside the slanted one;
// it is carried through the whole stroke, so every bridge holds at the full aperture width: a
// square ring sheared as a steep band shears it (y + 0.8 x) with its bridge's ends moved alike,
// and "OBAD" bent by the shapes stage.
TEST(CutPieces, BridgesHoldAtFullWidthOnceBent) {
    const cut::Handover sheared = drawn::handover(
        {{1, {outline({{0, 0}, {20, 16}, {20, 36}, {0, 20}}), outline({{5, 9}, {5, 19}, {15, 27}, {15, 17}})}}}, {{1, {10, 22.5}, {10, 28.5}}});
    const cut::Handover bent = Chain("OBAD", "DejaVu Serif", {"--shape", "18", "--H", "12", "--h", "4"}).handover();
    for (const cut::Handover* h : std::initializer_list<const cut::Handover*>{&sheared, &bent}) {
        const cut::Drawing d = cut::makeDrawing(*h, {});
        EXPECT_EQ(count(d, cut::ProblemKind::Island), 0);
        const cl::Paths letters = filled(*h), openings = cutOutlines(d);
        for (const cut::Bridge& b : h->bridges) EXPECT_NEAR(heldWidth(*h, letters, openings, b), h->aperture, 1e-9);
    }
}

// The cut drawing: the letters, the stencil's sheet, the cut outlines with the kerf, the totals.
#include "cut/cut.h"

#include "cut/detail.h"
#include "geom/units.h"

namespace cut {

using namespace detail;

namespace {
// Without a border the sheet reaches this far beyond the letters (mm).
constexpr double kSheetMargin = 10;
// No drawing is larger than this (mm) in either direction: the largest sheet the suite takes
// (the shapes stage's largest lettering is 780 inches, 19.8 m).
constexpr double kLargestDrawing = 20000;
// Bridges end on the letters' outlines, up to rounding on either side: each strip reaches this
// far (mm) beyond both ends into the material it holds.
constexpr double kBridgeReach = 0.01;
}  // namespace

Kind defaultKind(const Handover& h) { return h.hasBar ? Kind::Lettering : Kind::Stencil; }

std::vector<Pt> loopPoints(const Loop& l) {
    std::vector<Pt> out;
    for (const Edge& e : l.edges) {
        out.push_back(e.a);
        if (!e.arc) continue;
        const int n = static_cast<int>(std::min<std::size_t>(chordCount(e), 100000));
        for (int i = 1; i < n; ++i) {
            const double a = e.start + e.sweep * i / n;
            out.push_back({e.c.x + e.r * std::cos(a), e.c.y + e.r * std::sin(a)});
        }
    }
    return out;
}

std::vector<Pt> bridgeStrip(const Bridge& b, double aperture, double reach) {
    // the side the shapes stage draws it on: right of p1->p2 for kind 2, else left
    const double phi = std::atan2(b.p2.y - b.p1.y, b.p2.x - b.p1.x);
    const double psi = geom::stripDirection(b.kind, phi, geom::kPi / 2);
    const double ox = aperture * std::cos(psi), oy = aperture * std::sin(psi);
    const double ex = reach * std::cos(phi), ey = reach * std::sin(phi);
    const Pt p1{b.p1.x - ex, b.p1.y - ey}, p2{b.p2.x + ex, b.p2.y + ey};
    return {p1, p2, {p2.x + ox, p2.y + oy}, {p1.x + ox, p1.y + oy}};
}

namespace {

// The extent of an edge: its ends, and for an arc the points where it turns in x or y.
void addExtent(const Edge& e, double& lo, double& hi) {
    const auto add = [&](Pt p) { lo = std::min({lo, p.x, p.y}), hi = std::max({hi, p.x, p.y}); };
    add(e.a), add(e.b);
    if (!e.arc) return;
    const double from = std::min(e.start, e.start + e.sweep), to = std::max(e.start, e.start + e.sweep);
    for (double k = std::ceil(from / (geom::kPi / 2)); k * geom::kPi / 2 <= to && k - std::ceil(from / (geom::kPi / 2)) < 4; ++k)
        add({e.c.x + e.r * std::cos(k * geom::kPi / 2), e.c.y + e.r * std::sin(k * geom::kPi / 2)});
}

// Refuses, before anything is built, a drawing beyond the largest sheet the suite takes or one
// that would need more points than the booleans are given.
void checkReach(const Handover& h, const Options& o) {
    double lo = std::numeric_limits<double>::max(), hi = -lo;
    std::size_t points = 0;
    const auto loop = [&](const Loop& l) {
        for (const Edge& e : l.edges) {
            addExtent(e, lo, hi);
            points += e.arc ? chordCount(e) : 1;
        }
    };
    for (const Letter& l : h.letters)
        for (const Loop& one : l.loops) loop(one);
    for (const Loop& one : h.bar) loop(one);
    for (const Bridge& b : h.bridges) {
        for (const Pt p : bridgeStrip(b, h.aperture)) lo = std::min({lo, p.x, p.y}), hi = std::max({hi, p.x, p.y});
    }
    if (!(hi - lo <= kLargestDrawing) || std::fabs(lo) > kLargestDrawing || std::fabs(hi) > kLargestDrawing)
        throw fault::DrawingFault("the drawing is larger than " + std::to_string(static_cast<int>(kLargestDrawing / 1000)) +
                                  " m, the largest sheet there is: make it smaller in the shapes window");
    if (points > kMostPoints)
        throw fault::DrawingFault("the drawing holds too many points (" + std::to_string(points) + ", at most " +
                                  std::to_string(kMostPoints) + ")");
    checkWidths(o);
}

// Each letter: the union of its outlines under the non-zero rule, as the font fills them. An
// outside turns one way and its counters the other, so a counter stays open; where two outlines
// of one glyph overlap (the ring of an Å on the A) the overlap is material, not a hole. Bending
// and mirroring turn every outline of a letter alike, which leaves the rule's answer as it is.
void buildLetters(Build& job) {
    const Handover& h = job.h;
    Drawing& d = job.d;
    std::vector<LetterRegion>& letters = job.letters;
    Flattener& flat = job.flat;
    cl::Paths& allLetters = job.allLetters;
    letters.resize(h.letters.size());
    for (std::size_t i = 0; i < h.letters.size(); ++i) {
        cl::Paths loops;
        for (const Loop& l : h.letters[i].loops) {
            cl::Path p = flat.loop(l);
            if (p.size() >= 3) loops.push_back(std::move(p));
        }
        letters[i].paths = boolean(cl::ctUnion, loops, {});
        letters[i].box.add(letters[i].paths);
        for (const auto& p : letters[i].paths) letters[i].area += cl::Area(p) / (kUnitsPerMm * kUnitsPerMm);
        d.letterArea += letters[i].area;
        allLetters.insert(allLetters.end(), letters[i].paths.begin(), letters[i].paths.end());
    }

}

// The material inside openings: each hole of an opening, less the openings that lie in it.
std::vector<Region> islandsOf(const std::vector<Region>& openings) {
    std::vector<Region> out;
    for (const Region& r : openings)
        for (const cl::Path& hole : r.holes) {
            Region island;
            island.outer = hole;
            orientPositive(island.outer);
            Bounds box;
            box.add({island.outer});
            for (const Region& inner : openings)
                if (inner.depth == r.depth + 1 && box.holds(inner.outer[0]) && cl::PointInPolygon(inner.outer[0], hole) != 0) {
                    island.holes.push_back(inner.outer);
                    cl::ReversePath(island.holes.back());
                }
            out.push_back(std::move(island));
        }
    return out;
}

// A stencil: the letters less the bridges' strips are cut out of a sheet; material inside an
// opening that no bridge ties to the sheet is an island.
void buildStencil(Build& job) {
    const Options& o = job.o;
    Drawing& d = job.d;
    const std::vector<LetterRegion>& letters = job.letters;
    const cl::Paths& allLetters = job.allLetters;
    std::vector<Region>& pieces = job.pieces;
    cl::Paths cut;  // the cut outlines before the kerf
    const cl::Paths strips = bridgeStrips(job, kBridgeReach);
    cut = boolean(cl::ctDifference, allLetters, strips);
    Bounds box;
    box.add(cut);
    if (box.empty()) box.add(allLetters);
    if (box.empty()) throw fault::DrawingFault("the letters enclose no area");
    const double margin = (o.border >= 0 ? o.border : kSheetMargin) * kUnitsPerMm;
    const auto m = static_cast<cl::cInt>(std::llround(margin));
    const cl::Path sheet{{box.x0 - m, box.y0 - m}, {box.x1 + m, box.y0 - m}, {box.x1 + m, box.y1 + m}, {box.x0 - m, box.y1 + m}};
    d.sheet = toMm(sheet);
    job.sheetPath = sheet;
    job.cutPaths = cut;
    pieces = regions(cut);
    // material inside an opening that no bridge ties to the sheet: the holes of the openings
    // (less the openings inside them), found without a boolean over the whole sheet
    const std::size_t first = d.problems.size();
    for (Region& r : islandsOf(pieces)) {
        Problem p{ProblemKind::Island, 0, placeOf(r), toMm(r)};
        p.letter = letterAt(letters, toInt(p.place));
        if (!p.letter) p.letter = letterNear(letters, toInt(p.place));
        d.problems.push_back(std::move(p));
    }
    std::sort(d.problems.begin() + static_cast<std::ptrdiff_t>(first), d.problems.end(), [](const Problem& a, const Problem& b) {
        return a.letter != b.letter ? a.letter < b.letter : a.place.x < b.place.x;
    });
    reportMerged(job, strips);
}

// A stencil's cut outlines: its pieces are openings of the sheet (the counters inside them are
// parts held by bridges), and the sheet's edge when a border is asked for.
void cutStencil(Build& job) {
    const Options& o = job.o;
    addCutOutlines(job, -o.kerf / 2, true);
    if (o.border >= 0) {
        cl::Paths edge = offset({job.sheetPath}, o.kerf / 2, cl::jtRound);
        for (const auto& e : edge) {
            job.d.cut.push_back(job.flat.outline(e, false));
            job.d.cut.back().sheetEdge = true;
        }
    }
}

// Pieces, totals and the extent of the outlines.
void summarize(Build& job) {
    Drawing& d = job.d;
    const std::vector<LetterRegion>& letters = job.letters;
    for (const Region& r : job.pieces) {
        Piece p;
        p.area = area(r);
        Bounds box;
        box.add({r.outer});
        p.min = toMm(cl::IntPoint{box.x0, box.y0});
        p.max = toMm(cl::IntPoint{box.x1, box.y1});
        p.letter = letterAt(letters, toInt(placeOf(r)));
        d.area += p.area;
        d.pieces.push_back(p);
    }
    d.min = {std::numeric_limits<double>::max(), std::numeric_limits<double>::max()};
    d.max = {-d.min.x, -d.min.y};
    for (const Outline& out : d.cut) {
        for (const Pt& p : out.poly)
            d.min = {std::min(d.min.x, p.x), std::min(d.min.y, p.y)}, d.max = {std::max(d.max.x, p.x), std::max(d.max.y, p.y)};
        for (const Seg& s : out.segs) (s.bulge != 0 ? d.arcs : d.lines) += 1;
    }
    if (d.cut.empty()) throw fault::DrawingFault("the letters enclose no area");
}

}  // namespace

namespace detail {

void checkWidths(const Options& o) {
    if (!(o.kerf >= 0 && o.kerf <= 100)) throw fault::DrawingFault("the kerf must lie between 0 and 100 mm");
    if (!(o.minWidth >= 0 && o.minWidth <= kMostMinWidth))
        throw fault::DrawingFault("the thinnest material must lie between 0 and " + std::to_string(static_cast<int>(kMostMinWidth)) + " mm");
}

void prepareStage(Build& job) {
    checkReach(job.h, job.o);
    job.d.kind = job.o.kind;
    buildLetters(job);
    if (job.o.kind == Kind::Stencil)
        buildStencil(job);
    else
        buildLettering(job), reportMerged(job, {});
}

void finishDrawing(Build& job) {
    if (job.o.kind == Kind::Stencil)
        cutStencil(job);
    else
        addCutOutlines(job, job.o.kerf / 2, false);
    summarize(job);
    fitSheets(job);
    numberAsTyped(job.d, job.h);
}

}  // namespace detail

Drawing makeDrawing(const Handover& h, const Options& o) {
    Drawing d;
    d.options = o;
    Stage stage;
    Build job(h, o, d, stage);
    prepareStage(job);
    reportThinMaterial(job);
    finishDrawing(job);
    return d;
}

}  // namespace cut

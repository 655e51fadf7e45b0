// The drawing against the sheet the machine takes: a drawing larger than it is a problem; a
// stencil may instead be tiled into numbered sheets that fit, neighbours overlapping by a band
// with registration marks (small holes) that line up on the wall. Every sheet is checked as a
// sheet of its own: material that a seam cuts loose is a problem of that sheet.
#include <cstdio>

#include "cut/detail.h"

namespace cut::detail {

namespace {

constexpr double kMarkSpacing = 100;     // mm between the places tried for marks along a seam
constexpr double kMarkMaterial = 1;      // mm of material a mark keeps around it
constexpr std::size_t kMostSheets = 400;
constexpr double kSeamStep = 4;          // mm between the seam places tried

std::string mm(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.0f", v);
    return buf;
}

bool fits(double w, double h, double sheetW, double sheetH) {
    return (w <= sheetW && h <= sheetH) || (w <= sheetH && h <= sheetW);
}

cl::Path box(Pt lo, Pt hi) { return {toInt(lo), toInt({hi.x, lo.y}), toInt(hi), toInt({lo.x, hi.y})}; }

cl::Path disc(Pt c, double r) {
    Edge e;
    e.arc = true;
    e.r = r;
    e.sweep = 2 * geom::kPi;
    const std::size_t n = std::max<std::size_t>(chordCount(e), 12);
    cl::Path p;
    for (std::size_t i = 0; i < n; ++i) {
        const double a = 2 * geom::kPi * static_cast<double>(i) / static_cast<double>(n);
        p.push_back(toInt({c.x + r * std::cos(a), c.y + r * std::sin(a)}));
    }
    return p;
}

bool meets(const Bounds& a, const Bounds& b) { return a.x0 <= b.x1 && b.x0 <= a.x1 && a.y0 <= b.y1 && b.y0 <= a.y1; }

// The openings whose boxes meet `box`, as paths.
cl::Paths openingsNear(const Build& job, const std::vector<Bounds>& boxes, const Bounds& box) {
    cl::Paths out;
    for (std::size_t k = 0; k < job.pieces.size(); ++k)
        if (meets(boxes[k], box)) {
            const cl::Paths p = paths(job.pieces[k]);
            out.insert(out.end(), p.begin(), p.end());
        }
    return out;
}

// Places along the middle of a band where a mark and the material around it fit.
void marksAlong(const Build& job, const std::vector<Bounds>& boxes, Pt from, Pt to, std::vector<Pt>& marks) {
    const double len = std::hypot(to.x - from.x, to.y - from.y);
    const double r = kMarkDiameter / 2 + kMarkMaterial;
    const double step = std::min(kMarkSpacing, len / 4);  // at least three places tried
    for (double t = step / 2; t < len; t += step) {
        const Pt c{from.x + (to.x - from.x) * t / len, from.y + (to.y - from.y) * t / len};
        Bounds box;
        box.add({disc(c, r)});
        double cut = 0;
        for (const auto& p : boolean(cl::ctIntersection, openingsNear(job, boxes, box), {disc(c, r)})) cut += std::fabs(cl::Area(p));
        if (cut == 0) marks.push_back(c);
    }
}

// How much of a line across the drawing runs through what is cut away (mm): along x = at
// (vertical) or y = at (horizontal). The openings are a union's outlines and cross none of each
// other, so a line lies in an opening where it has crossed an odd number of them.
double openingAlong(const cl::Paths& openings, bool vertical, double at) {
    const double c = at * kUnitsPerMm;
    std::vector<double> cross;
    for (const cl::Path& p : openings)
        for (std::size_t i = 0, n = p.size(); i < n; ++i) {
            const cl::IntPoint& a = p[i];
            const cl::IntPoint& b = p[(i + 1) % n];
            const double a1 = static_cast<double>(vertical ? a.X : a.Y), b1 = static_cast<double>(vertical ? b.X : b.Y);
            const double a2 = static_cast<double>(vertical ? a.Y : a.X), b2 = static_cast<double>(vertical ? b.Y : b.X);
            if ((a1 <= c) != (b1 <= c)) cross.push_back(a2 + (c - a1) * (b2 - a2) / (b1 - a1));
        }
    std::sort(cross.begin(), cross.end());
    double open = 0;
    for (std::size_t i = 0; i + 1 < cross.size(); i += 2) open += cross[i + 1] - cross[i];
    return open / kUnitsPerMm;
}

// Where the sheets of one direction begin and end: each at most `size` long, neighbours
// overlapping by the band, every seam placed where its two edges cross the fewest openings.
std::vector<std::pair<double, double>> spans(const cl::Paths& openings, bool vertical, double lo, double hi, double size) {
    std::vector<std::pair<double, double>> out;
    double start = lo;
    while (start + size < hi) {
        double best = start + size - kTileOverlap, bestCost = std::numeric_limits<double>::max();
        for (double s = start + size - kTileOverlap; s >= start + size / 2; s -= kSeamStep) {
            const double cost = openingAlong(openings, vertical, s) + openingAlong(openings, vertical, s + kTileOverlap);
            if (cost < bestCost - 1e-9) best = s, bestCost = cost;
        }
        out.emplace_back(start, best + kTileOverlap);
        start = best;
    }
    out.emplace_back(start, hi);
    return out;
}

struct Grid {
    std::vector<std::pair<double, double>> xs, ys;
    int nx() const { return static_cast<int>(xs.size()); }
    Pt min(int i, int j) const { return {xs[static_cast<std::size_t>(i)].first, ys[static_cast<std::size_t>(j)].first}; }
    Pt max(int i, int j) const { return {xs[static_cast<std::size_t>(i)].second, ys[static_cast<std::size_t>(j)].second}; }
};

// One sheet: its part of the material, its outlines, the material a seam cut loose.
void addSheet(Build& job, const std::vector<Bounds>& boxes, const Grid& g, int i, int j, const std::vector<Pt>& marks) {
    Drawing& d = job.d;
    Sheet s;
    s.number = j * g.nx() + i + 1;
    s.min = g.min(i, j), s.max = g.max(i, j);
    for (const Pt& m : marks)
        if (m.x > s.min.x && m.x < s.max.x && m.y > s.min.y && m.y < s.max.y) s.marks.push_back(m);
    // the sheet's rectangle less the openings and the marks on it
    Bounds rect;
    rect.add({box(s.min, s.max)});
    cl::Paths holes = openingsNear(job, boxes, rect);
    for (const Pt& m : s.marks) {
        holes.push_back(disc(m, kMarkDiameter / 2));
        orientPositive(holes.back());
    }
    std::vector<Region> parts = regions(boolean(cl::ctDifference, {box(s.min, s.max)}, holes));
    const Region* main = nullptr;
    for (const Region& r : parts)
        if (r.depth == 0 && (!main || area(r) > area(*main))) main = &r;
    for (const Region& r : parts) {
        if (r.depth == 0 && &r != main) {
            Problem p(ProblemKind::Island, 0, placeOf(r), toMm(r));
            p.letter = letterNear(job.letters, toInt(p.place));
            p.sheet = s.number;
            d.problems.push_back(std::move(p));
        }
        for (const Region& m : moved(r, job.o.kerf / 2)) {
            s.cut.push_back(job.flat.outline(m.outer, false));
            s.cut.back().sheetEdge = r.depth == 0;
            for (const auto& hole : m.holes) s.cut.push_back(job.flat.outline(hole, true));
        }
    }
    d.sheets.push_back(std::move(s));
}

void tile(Build& job, Pt lo, Pt hi) {
    const Options& o = job.o;
    const double w = o.sheetWidth, h = o.sheetHeight;
    const auto refuse = [&](const std::string& why) {
        Problem p(ProblemKind::OffSheet, 0, lo);
        p.detail = why;
        job.d.problems.push_back(std::move(p));
    };
    if (w < 3 * kTileOverlap || h < 3 * kTileOverlap) return refuse("the sheet is too small to tile (at least " + mm(3 * kTileOverlap) + " mm each way)");
    const double estimate = std::ceil((hi.x - lo.x) / (w / 2 - kTileOverlap)) * std::ceil((hi.y - lo.y) / (h / 2 - kTileOverlap));
    if (estimate > static_cast<double>(kMostSheets)) return refuse("it would take more than " + std::to_string(kMostSheets) + " sheets");
    Grid g{spans(job.cutPaths, true, lo.x, hi.x, w), spans(job.cutPaths, false, lo.y, hi.y, h)};
    std::vector<Bounds> boxes(job.pieces.size());
    for (std::size_t k = 0; k < job.pieces.size(); ++k) boxes[k].add({job.pieces[k].outer});
    // marks in the middle of every band, the same holes in both sheets that share it
    std::vector<Pt> marks;
    for (std::size_t i = 1; i < g.xs.size(); ++i) {
        const double x = g.xs[i].first + kTileOverlap / 2;
        marksAlong(job, boxes, {x, lo.y + kTileOverlap / 2}, {x, hi.y - kTileOverlap / 2}, marks);
    }
    for (std::size_t j = 1; j < g.ys.size(); ++j) {
        const double y = g.ys[j].first + kTileOverlap / 2;
        marksAlong(job, boxes, {lo.x + kTileOverlap / 2, y}, {hi.x - kTileOverlap / 2, y}, marks);
    }
    for (int j = 0; j < static_cast<int>(g.ys.size()); ++j)
        for (int i = 0; i < g.nx(); ++i) addSheet(job, boxes, g, i, j, marks);
}

}  // namespace

void fitSheets(Build& job) {
    const Options& o = job.o;
    Drawing& d = job.d;
    if (!(o.sheetWidth > 0 && o.sheetHeight > 0)) return;
    Pt lo = d.min, hi = d.max;
    for (const Pt& p : d.sheet) lo = {std::min(lo.x, p.x), std::min(lo.y, p.y)}, hi = {std::max(hi.x, p.x), std::max(hi.y, p.y)};
    if (fits(hi.x - lo.x, hi.y - lo.y, o.sheetWidth, o.sheetHeight)) return;
    if (o.tile && d.kind == Kind::Stencil) return tile(job, lo, hi);
    Problem p(ProblemKind::OffSheet, 0, lo);
    p.detail = "the drawing is " + mm(hi.x - lo.x) + " × " + mm(hi.y - lo.y) + " mm, the sheet " + mm(o.sheetWidth) +
               " × " + mm(o.sheetHeight) + " mm" + (d.kind == Kind::Stencil ? " (tiling splits it into sheets that fit)" : "");
    d.problems.push_back(std::move(p));
}

}  // namespace cut::detail

namespace cut {

Drawing sheetDrawing(const Drawing& d, std::size_t index) {
    const Sheet& s = d.sheets.at(index);
    const auto move = [&](Pt p) { return Pt{p.x - s.min.x, p.y - s.min.y}; };
    Drawing t;
    t.kind = d.kind;
    t.options = d.options;
    for (Outline o : s.cut) {
        for (Pt& p : o.poly) p = move(p);
        for (Seg& g : o.segs) g.a = move(g.a), g.b = move(g.b), g.c = move(g.c);
        for (const Seg& g : o.segs) (g.bulge != 0 ? t.arcs : t.lines) += 1;
        t.cut.push_back(std::move(o));
    }
    t.sheet = {{0, 0}, {s.max.x - s.min.x, 0}, move(s.max), {0, s.max.y - s.min.y}};
    for (const Problem& p : d.problems)
        if (p.sheet == s.number) {
            Problem q = p;
            q.place = move(q.place);
            for (auto& ring : q.area)
                for (Pt& pt : ring) pt = move(pt);
            t.problems.push_back(std::move(q));
        }
    t.min = {0, 0};
    t.max = move(s.max);
    return t;
}

}  // namespace cut

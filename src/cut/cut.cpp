#include "cut/cut.h"


#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <unordered_map>

#include "geom/units.h"
#include "polygon/grid.h"

namespace cut {

namespace cl = ClipperLib;

namespace {

// Integer grid of the booleans: 0.1 µm. Arcs become chords of at most kChordError; together
// with the grid every outline stays within 0.005 mm of the hand-over.
constexpr double kUnitsPerMm = polygon::kGridPerMm;
constexpr double kChordError = 0.004;
// Without a border the sheet reaches this far beyond the letters (mm).
constexpr double kSheetMargin = 10;
// No drawing is larger than this (mm) in either direction, and holds no more points.
constexpr double kLargestDrawing = 50000;
constexpr std::size_t kMostPoints = 20'000'000;
// A leftover of the kerf test smaller than this share of kerf² is a corner, not a web.
constexpr double kThinAreaShare = 0.3;
// Slivers of the kerf test thinner than this on average (mm) are rounding, not material.
constexpr double kDustWidth = 0.0005;
// Tabs reach this share of their width into the pieces they join.
constexpr double kTabOverlap = 0.5;
// Bridges end on the letters' outlines, up to rounding on either side: each strip reaches this
// far (mm) beyond both ends into the material it holds.
constexpr double kBridgeReach = 0.01;
// A tab is never narrower than this (mm), whatever the aperture width.
constexpr double kMinTabWidth = 0.5;
constexpr double kMiterLimit = 20;

Pt toMm(const cl::IntPoint& p) { return polygon::fromGrid(p); }
cl::IntPoint toInt(Pt p) { return polygon::toGrid(p); }

// An original arc as it was cut into chords: chord i runs from angle start + i·step.
struct ArcInfo {
    Pt c;
    double r, start, step;
};
struct ChordRef {
    std::int32_t arc, chord;
    bool forward;
};
struct EdgeKey {
    cl::cInt x1, y1, x2, y2;
    bool operator==(const EdgeKey&) const = default;
};
struct EdgeHash {
    std::size_t operator()(const EdgeKey& k) const {
        std::uint64_t h = 1469598103934665603ull;
        for (cl::cInt v : {k.x1, k.y1, k.x2, k.y2}) h = (h ^ static_cast<std::uint64_t>(v)) * 1099511628211ull;
        return static_cast<std::size_t>(h ^ (h >> 29));
    }
};

// Turns loops into integer polygons and remembers which chord belongs to which arc, so that
// chords a boolean left untouched become arcs again in the output.
class Flattener {
public:
    cl::Path loop(const Loop& l) {
        cl::Path path;
        for (const Edge& e : l.edges) {
            add(path, toInt(e.a));
            if (!e.arc) continue;
            const double turn = std::fabs(e.sweep);
            const double maxStep = 2 * std::acos(std::max(-1.0, 1 - kChordError / e.r));
            const int n = std::max(1, static_cast<int>(std::ceil(turn / std::max(maxStep, 1e-9))));
            points_ += static_cast<std::size_t>(n);
            if (points_ > kMostPoints) throw fault::DrawingFault("the drawing holds too many points");
            const double step = e.sweep / n;
            const auto id = static_cast<std::int32_t>(arcs_.size());
            arcs_.push_back({e.c, e.r, e.start, step});
            cl::IntPoint prev = toInt(e.a);
            for (int i = 1; i <= n; ++i) {
                const double a = e.start + i * step;
                const cl::IntPoint p = i == n ? toInt(e.b) : toInt({e.c.x + e.r * std::cos(a), e.c.y + e.r * std::sin(a)});
                chords_.emplace(EdgeKey{prev.X, prev.Y, p.X, p.Y}, ChordRef{id, i - 1, true});
                chords_.emplace(EdgeKey{p.X, p.Y, prev.X, prev.Y}, ChordRef{id, i - 1, false});
                add(path, p);
                prev = p;
            }
        }
        if (path.size() > 1 && path.front() == path.back()) path.pop_back();
        return path;
    }

    // The outline of an output ring, with arcs where its chords are an original arc's.
    Outline outline(const cl::Path& ring, bool opening) const {
        Outline o;
        o.opening = opening;
        const std::size_t n = ring.size();
        o.poly.reserve(n);
        for (const auto& p : ring) o.poly.push_back(toMm(p));
        if (n < 3) return o;
        std::vector<const ChordRef*> refs(n, nullptr);
        if (!chords_.empty())
            for (std::size_t j = 0; j < n; ++j) {
                const auto& p = ring[j];
                const auto& q = ring[(j + 1) % n];
                auto it = chords_.find(EdgeKey{p.X, p.Y, q.X, q.Y});
                if (it != chords_.end()) refs[j] = &it->second;
            }
        auto continues = [&](std::size_t j) {  // chord j follows chord j-1 on the same arc
            const ChordRef* a = refs[(j + n - 1) % n];
            const ChordRef* b = refs[j];
            return a && b && a->arc == b->arc && a->forward == b->forward &&
                   b->chord == a->chord + (a->forward ? 1 : -1);
        };
        std::size_t first = 0;
        while (first < n && continues(first)) ++first;
        if (first == n) first = 0;
        for (std::size_t k = 0; k < n;) {
            const std::size_t j = (first + k) % n;
            std::size_t m = 1;
            if (refs[j])
                while (k + m < n && continues((first + k + m) % n)) ++m;
            Seg s;
            s.a = o.poly[j];
            s.b = o.poly[(j + m) % n];
            if (refs[j]) {
                const ArcInfo& arc = arcs_[static_cast<std::size_t>(refs[j]->arc)];
                const double sweep = (refs[j]->forward ? 1 : -1) * static_cast<double>(m) * arc.step;
                s.bulge = std::tan(sweep / 4);
                s.c = arc.c;
                s.r = arc.r;
            }
            o.segs.push_back(s);
            k += m;
        }
        return o;
    }

private:
    static void add(cl::Path& path, const cl::IntPoint& p) {
        if (path.empty() || !(path.back() == p)) path.push_back(p);
    }
    std::vector<ArcInfo> arcs_;
    std::unordered_map<EdgeKey, ChordRef, EdgeHash> chords_;
    std::size_t points_ = 0;
};

cl::Paths boolean(cl::ClipType op, const cl::Paths& subject, const cl::Paths& clip, cl::PolyFillType subjectFill = cl::pftNonZero) {
    cl::Clipper c;
    c.AddPaths(subject, cl::ptSubject, true);
    if (!clip.empty()) c.AddPaths(clip, cl::ptClip, true);
    cl::Paths out;
    c.Execute(op, out, subjectFill, cl::pftNonZero);
    return out;
}

cl::Paths offset(const cl::Paths& p, double mm, cl::JoinType join) {
    if (mm == 0) return p;
    cl::ClipperOffset o(kMiterLimit, kChordError * kUnitsPerMm);
    o.AddPaths(p, join, cl::etClosedPolygon);
    cl::Paths out;
    o.Execute(out, mm * kUnitsPerMm);
    return out;
}

// One connected region: an outside and the holes in it.
struct Region {
    cl::Path outer;
    cl::Paths holes;
    int depth = 0;  // 0: top level; 1: inside a hole of a top-level region, ...
};

std::vector<Region> regions(const cl::Paths& paths) {
    cl::Clipper c;
    c.AddPaths(paths, cl::ptSubject, true);
    cl::PolyTree tree;
    c.Execute(cl::ctUnion, tree, cl::pftNonZero, cl::pftNonZero);
    std::vector<Region> out;
    std::vector<std::pair<const cl::PolyNode*, int>> stack;
    for (const cl::PolyNode* n : tree.Childs) stack.emplace_back(n, 0);
    while (!stack.empty()) {
        auto [node, depth] = stack.back();
        stack.pop_back();
        Region r;
        r.outer = node->Contour;
        r.depth = depth;
        for (const cl::PolyNode* hole : node->Childs) {
            r.holes.push_back(hole->Contour);
            for (const cl::PolyNode* inner : hole->Childs) stack.emplace_back(inner, depth + 1);
        }
        out.push_back(std::move(r));
    }
    return out;
}

cl::Paths paths(const Region& r) {
    cl::Paths p{r.outer};
    p.insert(p.end(), r.holes.begin(), r.holes.end());
    return p;
}

// The region with its outside moved outward by mm (its holes inward).
std::vector<Region> moved(const Region& r, double mm) {
    if (mm == 0) return {r};
    return regions(offset(paths(r), mm, cl::jtRound));
}

double perimeter(const cl::Path& p) {
    double l = 0;
    for (std::size_t i = 0, n = p.size(); i < n; ++i) {
        const Pt a = toMm(p[i]), b = toMm(p[(i + 1) % n]);
        l += std::hypot(b.x - a.x, b.y - a.y);
    }
    return std::max(l, 1e-12);
}

double area(const Region& r) {
    double a = cl::Area(r.outer);
    for (const auto& h : r.holes) a += cl::Area(h);
    return a / (kUnitsPerMm * kUnitsPerMm);
}

// A point of the region's material: the middle of the widest horizontal run through the
// middle of its height.
Pt placeOf(const Region& r) {
    cl::cInt ymin = r.outer[0].Y, ymax = ymin;
    for (const auto& p : r.outer) ymin = std::min(ymin, p.Y), ymax = std::max(ymax, p.Y);
    const double y = (static_cast<double>(ymin) + static_cast<double>(ymax)) / 2 + 0.5;
    std::vector<double> xs;
    auto cross = [&](const cl::Path& path) {
        for (std::size_t i = 0, n = path.size(); i < n; ++i) {
            const auto& a = path[i];
            const auto& b = path[(i + 1) % n];
            if ((a.Y <= y) != (b.Y <= y))
                xs.push_back(static_cast<double>(a.X) + (y - static_cast<double>(a.Y)) * static_cast<double>(b.X - a.X) / static_cast<double>(b.Y - a.Y));
        }
    };
    cross(r.outer);
    for (const auto& h : r.holes) cross(h);
    std::sort(xs.begin(), xs.end());
    double best = -1, x = static_cast<double>(r.outer[0].X);
    for (std::size_t i = 0; i + 1 < xs.size(); i += 2)
        if (xs[i + 1] - xs[i] > best) best = xs[i + 1] - xs[i], x = (xs[i] + xs[i + 1]) / 2;
    return {x / kUnitsPerMm, y / kUnitsPerMm};
}

bool contains(const cl::Paths& region, const cl::IntPoint& p) {
    int inside = 0;
    for (const auto& path : region) {
        const int r = cl::PointInPolygon(p, path);
        if (r == -1) return true;
        if (r == 1) ++inside;
    }
    return inside % 2 == 1;
}

std::vector<Pt> toMm(const cl::Path& p) {
    std::vector<Pt> out;
    out.reserve(p.size());
    for (const auto& q : p) out.push_back(toMm(q));
    return out;
}

std::vector<std::vector<Pt>> toMm(const Region& r) {
    std::vector<std::vector<Pt>> out{toMm(r.outer)};
    for (const auto& h : r.holes) out.push_back(toMm(h));
    return out;
}

struct Bounds {
    cl::cInt x0 = std::numeric_limits<cl::cInt>::max(), y0 = x0, x1 = std::numeric_limits<cl::cInt>::min(), y1 = x1;
    void add(const cl::Paths& ps) {
        for (const auto& p : ps)
            for (const auto& q : p) x0 = std::min(x0, q.X), y0 = std::min(y0, q.Y), x1 = std::max(x1, q.X), y1 = std::max(y1, q.Y);
    }
    bool empty() const { return x0 > x1; }
    bool holds(const cl::IntPoint& p) const { return p.X >= x0 && p.X <= x1 && p.Y >= y0 && p.Y <= y1; }
};

// The letters as regions: each letter's outlines under the even-odd rule.
struct LetterRegion {
    cl::Paths paths;
    Bounds box;
    double area = 0;  // mm²
};

int letterAt(const std::vector<LetterRegion>& letters, const cl::IntPoint& p) {
    for (std::size_t i = 0; i < letters.size(); ++i)
        if (letters[i].box.holds(p) && contains(letters[i].paths, p)) return static_cast<int>(i) + 1;
    return 0;
}

// The letter whose outline lies nearest to p (boxes first, then outlines).
int letterNear(const std::vector<LetterRegion>& letters, const cl::IntPoint& p) {
    int best = 0;
    double bestD = std::numeric_limits<double>::max();
    for (std::size_t i = 0; i < letters.size(); ++i) {
        const Bounds& b = letters[i].box;
        if (b.empty()) continue;  // a letter that encloses no area
        const auto X = static_cast<double>(p.X), Y = static_cast<double>(p.Y);
        const double dx = std::max({0.0, static_cast<double>(b.x0) - X, X - static_cast<double>(b.x1)});
        const double dy = std::max({0.0, static_cast<double>(b.y0) - Y, Y - static_cast<double>(b.y1)});
        const double d = dx * dx + dy * dy;
        if (d < bestD) bestD = d, best = static_cast<int>(i) + 1;
    }
    return best;
}

// Nearest points of two outlines (vertex against edge, both ways).
void nearestPoints(const cl::Path& a, const cl::Path& b, Pt& pa, Pt& pb) {
    double best = std::numeric_limits<double>::max();
    auto scan = [&](const cl::Path& verts, const cl::Path& edges, bool swap) {
        for (const auto& v : verts) {
            const Pt p = toMm(v);
            for (std::size_t i = 0, n = edges.size(); i < n; ++i) {
                const Pt s = toMm(edges[i]), e = toMm(edges[(i + 1) % n]);
                const double dx = e.x - s.x, dy = e.y - s.y, len = dx * dx + dy * dy;
                double t = len > 0 ? ((p.x - s.x) * dx + (p.y - s.y) * dy) / len : 0;
                t = std::clamp(t, 0.0, 1.0);
                const Pt q{s.x + t * dx, s.y + t * dy};
                const double d = (p.x - q.x) * (p.x - q.x) + (p.y - q.y) * (p.y - q.y);
                if (d < best) {
                    best = d;
                    pa = swap ? q : p;
                    pb = swap ? p : q;
                }
            }
        }
    };
    scan(a, b, false);
    scan(b, a, true);
}

// Moves the tab a-b sideways to the middle of the span where both pieces face each other
// (a dot over a stem: the middle of the stem), when that span is wider than the tab.
void centreTab(const cl::Path& piece, const cl::Path& target, double width, Pt& a, Pt& b) {
    double dx = b.x - a.x, dy = b.y - a.y;
    const double len = std::hypot(dx, dy);
    if (len == 0) return;
    const double nx = -dy / len, ny = dx / len;
    auto span = [&](const cl::Path& path, double& lo, double& hi) {
        lo = std::numeric_limits<double>::max(), hi = -lo;
        for (const auto& v : path) {
            const Pt p = toMm(v);
            const double t = p.x * nx + p.y * ny;
            lo = std::min(lo, t), hi = std::max(hi, t);
        }
    };
    double lo1, hi1, lo2, hi2;
    span(piece, lo1, hi1);
    span(target, lo2, hi2);
    const double lo = std::max(lo1, lo2), hi = std::min(hi1, hi2);
    if (hi - lo < width) return;
    const double shift = (lo + hi) / 2 - (a.x * nx + a.y * ny);
    a = {a.x + nx * shift, a.y + ny * shift};
    b = {b.x + nx * shift, b.y + ny * shift};
}

// A strip of the given width from p to q, reaching `overlap` beyond both ends.
cl::Path strip(Pt p, Pt q, double width, double overlap) {
    double dx = q.x - p.x, dy = q.y - p.y;
    const double len = std::hypot(dx, dy);
    if (len > 0) dx /= len, dy /= len;
    else dx = 0, dy = 1;
    const double nx = -dy * width / 2, ny = dx * width / 2;
    const Pt a{p.x - dx * overlap, p.y - dy * overlap}, b{q.x + dx * overlap, q.y + dy * overlap};
    return {toInt({a.x + nx, a.y + ny}), toInt({b.x + nx, b.y + ny}), toInt({b.x - nx, b.y - ny}), toInt({a.x - nx, a.y - ny})};
}

void orientPositive(cl::Path& p) {
    if (!cl::Orientation(p)) cl::ReversePath(p);
}

}  // namespace

Kind defaultKind(const Handover& h) { return h.hasBar ? Kind::Lettering : Kind::Stencil; }

double polygonArea(const std::vector<Pt>& p) {
    double a = 0;
    for (std::size_t i = 0, n = p.size(); i < n; ++i) {
        const Pt& u = p[i];
        const Pt& v = p[(i + 1) % n];
        a += u.x * v.y - v.x * u.y;
    }
    return a / 2;
}

std::vector<Pt> loopPoints(const Loop& l) {
    std::vector<Pt> out;
    for (const Edge& e : l.edges) {
        out.push_back(e.a);
        if (!e.arc) continue;
        const double maxStep = 2 * std::acos(std::max(-1.0, 1 - kChordError / e.r));
        const int n = std::clamp(static_cast<int>(std::ceil(std::fabs(e.sweep) / std::max(maxStep, 1e-9))), 1, 100000);
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

// What the steps of one drawing share.
struct Build {
    const Handover& h;
    const Options& o;
    Drawing& d;
    Flattener flat;
    std::vector<LetterRegion> letters;
    cl::Paths allLetters;
    cl::Paths material;  // what is left standing once cut
    std::vector<Region> pieces;
};

// Refuses what would not fit the integer grid, before anything is built.
void checkReach(const Handover& h, const Options& o) {
    double lo = std::numeric_limits<double>::max(), hi = -lo;
    auto reach = [&](Pt p, double r) { lo = std::min({lo, p.x - r, p.y - r}), hi = std::max({hi, p.x + r, p.y + r}); };
    for (const Letter& l : h.letters)
        for (const Loop& loop : l.loops)
            for (const Edge& e : loop.edges) e.arc ? reach(e.c, e.r) : (reach(e.a, 0), reach(e.b, 0));
    for (const Loop& loop : h.bar)
        for (const Edge& e : loop.edges) e.arc ? reach(e.c, e.r) : (reach(e.a, 0), reach(e.b, 0));
    for (const Bridge& b : h.bridges) reach(b.p1, h.aperture), reach(b.p2, h.aperture);
    if (!(hi - lo <= kLargestDrawing) || std::fabs(lo) > kLargestDrawing || std::fabs(hi) > kLargestDrawing)
        throw fault::DrawingFault("the drawing is larger than " + std::to_string(static_cast<int>(kLargestDrawing / 1000)) + " m");
    if (!(o.kerf >= 0 && o.kerf <= 100)) throw fault::DrawingFault("the kerf must lie between 0 and 100 mm");

}

// Each letter: its outlines under the even-odd rule (outsides and counters).
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
        letters[i].paths = boolean(cl::ctUnion, loops, {}, cl::pftEvenOdd);
        letters[i].box.add(letters[i].paths);
        for (const auto& p : letters[i].paths) letters[i].area += cl::Area(p) / (kUnitsPerMm * kUnitsPerMm);
        d.letterArea += letters[i].area;
        allLetters.insert(allLetters.end(), letters[i].paths.begin(), letters[i].paths.end());
    }

}

// The cut outlines of every piece, moved by `grow` (mm): an outer outline is an opening of
// the sheet when `outerIsOpening`, its holes are then parts, and the other way round.
void addCutOutlines(Build& job, double grow, bool outerIsOpening) {
    for (std::size_t i = 0; i < job.pieces.size(); ++i) {
        for (Region& g : moved(job.pieces[i], grow)) {
            job.d.cut.push_back(job.flat.outline(g.outer, outerIsOpening));
            job.d.cut.back().piece = static_cast<int>(i);
            for (const auto& hole : g.holes) {
                job.d.cut.push_back(job.flat.outline(hole, !outerIsOpening));
                job.d.cut.back().piece = static_cast<int>(i);
            }
        }
    }
}

// A stencil: the letters less the bridges' strips are cut out of a sheet; material inside an
// opening that no bridge ties to the sheet is an island.
void buildStencil(Build& job) {
    const Handover& h = job.h;
    const Options& o = job.o;
    Drawing& d = job.d;
    Flattener& flat = job.flat;
    const std::vector<LetterRegion>& letters = job.letters;
    const cl::Paths& allLetters = job.allLetters;
    cl::Paths& material = job.material;
    std::vector<Region>& pieces = job.pieces;
    cl::Paths cut;  // the cut outlines before the kerf
    cl::Paths strips;
    for (const Bridge& b : h.bridges) {
        cl::Path s;
        for (Pt p : bridgeStrip(b, h.aperture, kBridgeReach)) s.push_back(toInt(p));
        orientPositive(s);
        strips.push_back(std::move(s));
    }
    cut = boolean(cl::ctDifference, allLetters, strips);
    Bounds box;
    box.add(cut);
    if (box.empty()) box.add(allLetters);
    if (box.empty()) throw fault::DrawingFault("the letters enclose no area");
    const double margin = (o.border >= 0 ? o.border : kSheetMargin) * kUnitsPerMm;
    const auto m = static_cast<cl::cInt>(std::llround(margin));
    const cl::Path sheet{{box.x0 - m, box.y0 - m}, {box.x1 + m, box.y0 - m}, {box.x1 + m, box.y1 + m}, {box.x0 - m, box.y1 + m}};
    d.sheet = toMm(sheet);
    material = boolean(cl::ctDifference, {sheet}, cut);
    for (Region& r : regions(material)) {
        if (r.depth == 0) continue;
        // material inside an opening that no bridge ties to the sheet
        Problem p{ProblemKind::Island, 0, placeOf(r), toMm(r)};
        p.letter = letterAt(letters, toInt(p.place));
        if (!p.letter) p.letter = letterNear(letters, toInt(p.place));
        d.problems.push_back(std::move(p));
    }
    pieces = regions(cut);
    // a stencil's pieces are openings of the sheet; the counters inside them are parts held
    // by bridges
    addCutOutlines(job, -o.kerf / 2, true);
    if (o.border >= 0) {
        cl::Paths edge = offset({sheet}, o.kerf / 2, cl::jtRound);
        for (const auto& e : edge) {
            d.cut.push_back(flat.outline(e, false));
            d.cut.back().sheetEdge = true;
        }
    }
}

// Which pieces of lettering hold together: with one object, those the bar reaches (without a
// bar, each letter's largest piece); otherwise each letter's largest piece and the bar's.
struct Holding {
    std::vector<char> held;
    std::vector<int> pieceLetter;
    std::vector<Pt> place;
    std::vector<std::size_t> mainOf;  // a letter's largest piece
};

Holding holding(const Build& job, const cl::Paths& bar) {
    const Handover& h = job.h;
    const std::vector<LetterRegion>& letters = job.letters;
    const std::vector<Region>& pieces = job.pieces;
    Holding r;
    std::vector<char>& held = r.held;
    std::vector<int>& pieceLetter = r.pieceLetter;
    std::vector<Pt>& place = r.place;
    std::vector<std::size_t>& mainOf = r.mainOf;
    held.assign(pieces.size(), 0);
    pieceLetter.assign(pieces.size(), 0);
    place.resize(pieces.size());
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        place[i] = placeOf(pieces[i]);
        pieceLetter[i] = letterAt(letters, toInt(place[i]));
    }
    mainOf.assign(letters.size() + 1, pieces.size());
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const int l = pieceLetter[i];
        if (l && (mainOf[l] == pieces.size() || area(pieces[i]) > area(pieces[mainOf[l]]))) mainOf[l] = i;
    }
    const bool byBar = h.oneObject && !bar.empty();
    if (byBar) {
        for (const cl::Path& b : bar)
            for (std::size_t i = 0; i < pieces.size(); ++i)
                if (contains(paths(pieces[i]), b[0])) held[i] = 1;
    } else {
        for (std::size_t l = 1; l < mainOf.size(); ++l)
            if (mainOf[l] < pieces.size()) held[mainOf[l]] = 1;
        for (std::size_t i = 0; i < pieces.size(); ++i)
            if (!pieceLetter[i]) held[i] = 1;  // a piece of the bar
    }
    return r;
}

// Each piece that does not hold: a tab to its letter's body (or the nearest held piece) when
// tabs are asked for, else a loose piece in the problems. Returns the tabs.
cl::Paths tabsOrProblems(Build& job, const Holding& hold) {
    const Handover& h = job.h;
    Drawing& d = job.d;
    const std::vector<LetterRegion>& letters = job.letters;
    const std::vector<Region>& pieces = job.pieces;
    const std::vector<char>& held = hold.held;
    const std::vector<int>& pieceLetter = hold.pieceLetter;
    const std::vector<Pt>& place = hold.place;
    const std::vector<std::size_t>& mainOf = hold.mainOf;
    cl::Paths tabs;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (held[i]) continue;
        const int letter = pieceLetter[i] ? pieceLetter[i] : letterNear(letters, toInt(place[i]));
        std::size_t target = letter ? mainOf[static_cast<std::size_t>(letter)] : pieces.size();
        if (target == i || (target < pieces.size() && !held[target])) {
            // the letter's own body is not held either: join to the nearest held piece
            target = pieces.size();
            double best = std::numeric_limits<double>::max();
            for (std::size_t k = 0; k < pieces.size(); ++k) {
                if (!held[k]) continue;
                const double dx = place[k].x - place[i].x, dy = place[k].y - place[i].y;
                if (dx * dx + dy * dy < best) best = dx * dx + dy * dy, target = k;
            }
        }
        if (job.o.tabs && target < pieces.size()) {
            Pt a, b;
            nearestPoints(pieces[i].outer, pieces[target].outer, a, b);
            const double width = std::max(h.aperture, kMinTabWidth);
            centreTab(pieces[i].outer, pieces[target].outer, width, a, b);
            tabs.push_back(strip(a, b, width, width * kTabOverlap));
            orientPositive(tabs.back());
            d.tabs.push_back({(a.x + b.x) / 2, (a.y + b.y) / 2});
        } else {
            d.problems.push_back({ProblemKind::LoosePiece, letter, place[i], toMm(pieces[i])});
        }
    }
    return tabs;
}

// Lettering: letters and bar are parts; a piece that does not hold is reported, or joined to
// the nearest held piece by a tab when asked.
void buildLettering(Build& job) {
    const Handover& h = job.h;
    const Options& o = job.o;
    Flattener& flat = job.flat;
    const std::vector<LetterRegion>& letters = job.letters;
    const cl::Paths& allLetters = job.allLetters;
    cl::Paths& material = job.material;
    std::vector<Region>& pieces = job.pieces;
    cl::Paths bar;
    for (const Loop& l : h.bar) {
        cl::Path p = flat.loop(l);
        if (p.size() < 3) continue;
        orientPositive(p);
        bar.push_back(std::move(p));
    }
    if (h.oneObject) {
        cl::Paths all = allLetters;
        all.insert(all.end(), bar.begin(), bar.end());
        material = boolean(cl::ctUnion, all, {});
        pieces = regions(material);
    } else {
        for (const LetterRegion& l : letters)
            for (Region& r : regions(l.paths)) pieces.push_back(std::move(r));
        for (Region& r : regions(bar)) pieces.push_back(std::move(r));
    }
    const cl::Paths tabs = tabsOrProblems(job, holding(job, bar));
    if (!tabs.empty()) {
        if (h.oneObject) {
            cl::Paths all = material;
            all.insert(all.end(), tabs.begin(), tabs.end());
            material = boolean(cl::ctUnion, all, {});
            pieces = regions(material);
        } else {
            cl::Paths all;
            for (const Region& r : pieces) {
                cl::Paths p = paths(r);
                all.insert(all.end(), p.begin(), p.end());
            }
            all.insert(all.end(), tabs.begin(), tabs.end());
            pieces = regions(boolean(cl::ctUnion, all, {}));
        }
    }
    if (material.empty())
        for (const Region& r : pieces) {
            cl::Paths p = paths(r);
            material.insert(material.end(), p.begin(), p.end());
        }
    addCutOutlines(job, o.kerf / 2, false);
}

// Material narrower than the kerf: what an opening (shrink, then grow back) removes, and every
// place where shrinking by half the kerf splits a piece of material in two.
void reportThinMaterial(Build& job) {
    const Options& o = job.o;
    Drawing& d = job.d;
    const std::vector<LetterRegion>& letters = job.letters;
    const cl::Paths& material = job.material;

    auto report = [&](Pt place, std::vector<std::vector<Pt>> area) {
        for (const Problem& q : d.problems)
            if (q.kind == ProblemKind::ThinMaterial && std::hypot(q.place.x - place.x, q.place.y - place.y) < 4 * o.kerf) return;
        Problem p{ProblemKind::ThinMaterial, letterNear(letters, toInt(place)), place, std::move(area)};
        d.problems.push_back(std::move(p));
    };
    const cl::Paths shrunk = offset(material, -o.kerf / 2, cl::jtMiter);
    const cl::Paths opened = offset(shrunk, o.kerf / 2, cl::jtMiter);
    // what the opening removes: webs and bridges narrower than the kerf (sharp corners come
    // back whole with mitred joins, so little else is left)
    std::vector<Region> thin;
    for (Region& r : regions(boolean(cl::ctDifference, material, opened)))
        if (r.outer.size() >= 3 && 2 * area(r) / perimeter(r.outer) > kDustWidth) thin.push_back(std::move(r));
    std::vector<char> told(thin.size(), 0);
    const double least = kThinAreaShare * o.kerf * o.kerf;
    for (std::size_t i = 0; i < thin.size(); ++i)
        if (area(thin[i]) >= least) report(placeOf(thin[i]), toMm(thin[i])), told[i] = 1;

    const std::vector<Region> whole = regions(material), cores = regions(shrunk);
    std::vector<Bounds> wholeBox(whole.size());
    for (std::size_t i = 0; i < whole.size(); ++i) wholeBox[i].add({whole[i].outer});
    std::vector<std::vector<std::size_t>> coresOf(whole.size());
    for (std::size_t c = 0; c < cores.size(); ++c)
        for (std::size_t i = 0; i < whole.size(); ++i)
            if (wholeBox[i].holds(cores[c].outer[0]) && contains(paths(whole[i]), cores[c].outer[0])) {
                coresOf[i].push_back(c);
                break;
            }
    for (std::size_t i = 0; i < whole.size(); ++i) {
        auto& cs = coresOf[i];
        if (cs.empty()) {  // thinner than the kerf all over
            report(placeOf(whole[i]), toMm(whole[i]));
            continue;
        }
        if (cs.size() < 2) continue;
        std::sort(cs.begin(), cs.end(), [&](std::size_t a, std::size_t b) { return area(cores[a]) > area(cores[b]); });
        for (std::size_t k = 1; k < cs.size(); ++k) {
            // a piece that the shrinking cut off hangs on a link that is too thin: the
            // removed sliver nearest to it
            const Region& core = cores[cs[k]];
            Bounds box;
            box.add({core.outer});
            const auto reach = static_cast<cl::cInt>(o.kerf * 2 * kUnitsPerMm);
            box.x0 -= reach, box.y0 -= reach, box.x1 += reach, box.y1 += reach;
            double best = std::numeric_limits<double>::max();
            std::size_t link = thin.size();
            for (std::size_t j = 0; j < thin.size(); ++j) {
                Bounds tb;
                tb.add({thin[j].outer});
                if (tb.x1 < box.x0 || tb.x0 > box.x1 || tb.y1 < box.y0 || tb.y0 > box.y1) continue;
                Pt a, b;
                nearestPoints(core.outer, thin[j].outer, a, b);
                const double dd = std::hypot(a.x - b.x, a.y - b.y);
                if (dd < best) best = dd, link = j;
            }
            if (link == thin.size()) {
                // the link is too small to outline: show the piece that hangs on it
                report(placeOf(core), toMm(core));
            } else if (!told[link]) {
                told[link] = 1;
                const Pt at = placeOf(thin[link]);
                const double r = o.kerf;
                report(at, {{{at.x - r, at.y - r}, {at.x + r, at.y - r}, {at.x + r, at.y + r}, {at.x - r, at.y + r}}});
            }
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

Drawing makeDrawing(const Handover& h, const Options& o) {
    checkReach(h, o);
    Drawing d;
    d.kind = o.kind;
    d.options = o;
    Build job{h, o, d, {}, {}, {}, {}, {}};
    buildLetters(job);
    if (o.kind == Kind::Stencil)
        buildStencil(job);
    else
        buildLettering(job);
    if (o.kerf > 0 && !job.material.empty()) reportThinMaterial(job);
    summarize(job);
    return d;
}

}  // namespace cut

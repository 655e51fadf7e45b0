// The working parts the steps of a cut drawing share: the integer grid of the booleans, regions
// of material, the letters as regions, and the state of one drawing as it is built. Only the
// cut floor's own sources include this.
#pragma once

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <exception>
#include <functional>
#include <limits>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

#include "cut/cut.h"
#include "geom/units.h"
#include "polygon/grid.h"

namespace cut::detail {

namespace cl = ClipperLib;

// Integer grid of the booleans: 0.1 µm. Arcs become chords of at most kChordError; together
// with the grid every outline stays within 0.005 mm of the hand-over.
inline constexpr double kUnitsPerMm = polygon::kGridPerMm;
inline constexpr double kChordError = 0.004;
inline constexpr double kMiterLimit = 20;
// No drawing holds more points than this: about 200 MB at most while it is built.
inline constexpr std::size_t kMostPoints = 2'000'000;

// The chords an arc is cut into, so that none strays more than kChordError from it.
inline std::size_t chordCount(const Edge& e) {
    const double maxStep = 2 * std::acos(std::max(-1.0, 1 - kChordError / e.r));
    const double n = std::ceil(std::fabs(e.sweep) / std::max(maxStep, 1e-9));
    return n < 1 ? 1 : n > 1e9 ? std::size_t{1'000'000'000} : static_cast<std::size_t>(n);
}

inline Pt toMm(const cl::IntPoint& p) { return polygon::fromGrid(p); }
inline cl::IntPoint toInt(Pt p) { return polygon::toGrid(p); }

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
            const int n = static_cast<int>(std::min(chordCount(e), kMostPoints + 1));
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

// A boolean of the subject and the clip: the subject filled by `subjectFill`, the clip non-zero.
cl::Paths boolean(cl::ClipType op, const cl::Paths& subject, const cl::Paths& clip, cl::PolyFillType subjectFill = cl::pftNonZero);
// The paths moved outward by mm (inward where negative).
cl::Paths offset(const cl::Paths& p, double mm, cl::JoinType join);

// One connected region: an outside and the holes in it.
struct Region {
    cl::Path outer;
    cl::Paths holes;
    int depth = 0;  // 0: top level; 1: inside a hole of a top-level region, ...
};

// The regions of a boolean's result as a tree.
inline std::vector<Region> regions(const cl::PolyTree& tree) {
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

// The regions of the paths' union under the non-zero rule.
std::vector<Region> regions(const cl::Paths& paths);

inline cl::Paths paths(const Region& r) {
    cl::Paths p{r.outer};
    p.insert(p.end(), r.holes.begin(), r.holes.end());
    return p;
}

// The region with its outside moved outward by mm (its holes inward).
inline std::vector<Region> moved(const Region& r, double mm) {
    if (mm == 0) return {r};
    cl::ClipperOffset o(kMiterLimit, kChordError * kUnitsPerMm);
    o.AddPaths(paths(r), cl::jtRound, cl::etClosedPolygon);
    cl::PolyTree tree;
    o.Execute(tree, mm * kUnitsPerMm);
    return regions(tree);
}

inline double perimeter(const cl::Path& p) {
    double l = 0;
    for (std::size_t i = 0, n = p.size(); i < n; ++i) {
        const Pt a = toMm(p[i]), b = toMm(p[(i + 1) % n]);
        l += std::hypot(b.x - a.x, b.y - a.y);
    }
    return std::max(l, 1e-12);
}

inline double area(const Region& r) {
    double a = cl::Area(r.outer);
    for (const auto& h : r.holes) a += cl::Area(h);
    return a / (kUnitsPerMm * kUnitsPerMm);
}

// A point of the region's material: the middle of the widest horizontal run through the
// middle of its height.
inline Pt placeOf(const Region& r) {
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

inline bool contains(const cl::Paths& region, const cl::IntPoint& p) {
    int inside = 0;
    for (const auto& path : region) {
        const int r = cl::PointInPolygon(p, path);
        if (r == -1) return true;
        if (r == 1) ++inside;
    }
    return inside % 2 == 1;
}

inline std::vector<Pt> toMm(const cl::Path& p) {
    std::vector<Pt> out;
    out.reserve(p.size());
    for (const auto& q : p) out.push_back(toMm(q));
    return out;
}

inline std::vector<std::vector<Pt>> toMm(const Region& r) {
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

// The letters as regions: each letter the union of its outlines under the non-zero rule.
struct LetterRegion {
    cl::Paths paths;
    Bounds box;
    double area = 0;  // mm²
};

inline int letterAt(const std::vector<LetterRegion>& letters, const cl::IntPoint& p) {
    for (std::size_t i = 0; i < letters.size(); ++i)
        if (letters[i].box.holds(p) && contains(letters[i].paths, p)) return static_cast<int>(i) + 1;
    return 0;
}

// The letter whose outline lies nearest to p (boxes first, then outlines).
inline int letterNear(const std::vector<LetterRegion>& letters, const cl::IntPoint& p) {
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
inline void nearestPoints(const cl::Path& a, const cl::Path& b, Pt& pa, Pt& pb) {
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

// A strip of the given width from p to q, reaching `overlap` beyond both ends.
inline cl::Path strip(Pt p, Pt q, double width, double overlap) {
    double dx = q.x - p.x, dy = q.y - p.y;
    const double len = std::hypot(dx, dy);
    if (len > 0) dx /= len, dy /= len;
    else dx = 0, dy = 1;
    const double nx = -dy * width / 2, ny = dx * width / 2;
    const Pt a{p.x - dx * overlap, p.y - dy * overlap}, b{q.x + dx * overlap, q.y + dy * overlap};
    return {toInt({a.x + nx, a.y + ny}), toInt({b.x + nx, b.y + ny}), toInt({b.x - nx, b.y - ny}), toInt({a.x - nx, a.y - ny})};
}

inline void orientPositive(cl::Path& p) {
    if (!cl::Orientation(p)) cl::ReversePath(p);
}

// What a drawing's steps make of the letters before the kerf: kept by DrawingMaker across a
// change of the settings that leaves it as it was.
struct Stage {
    Flattener flat;
    std::vector<LetterRegion> letters;
    cl::Paths allLetters;
    cl::Paths material;  // lettering: what is left standing once cut (a stencil does without)
    std::vector<Region> pieces;
    cl::Path sheetPath;  // a stencil's sheet
    cl::Paths cutPaths;  // a stencil's openings before the kerf
};

// What the steps of one drawing share: the hand-over, the settings, the drawing being made and
// the stage it is made from.
struct Build {
    Build(const Handover& hh, const Options& oo, Drawing& dd, Stage& s)
        : h(hh), o(oo), d(dd), flat(s.flat), letters(s.letters), allLetters(s.allLetters), material(s.material),
          pieces(s.pieces), sheetPath(s.sheetPath), cutPaths(s.cutPaths) {}
    const Handover& h;
    const Options& o;
    Drawing& d;
    Flattener& flat;
    std::vector<LetterRegion>& letters;
    cl::Paths& allLetters;
    cl::Paths& material;
    std::vector<Region>& pieces;
    cl::Path& sheetPath;
    cl::Paths& cutPaths;
};


// The cut outlines of every piece, moved by `grow` (mm): an outer outline is an opening of
// the sheet when `outerIsOpening`, its holes are then parts, and the other way round.
// Runs work(0) … work(n - 1), side by side on every core; returns when all are done. The work
// must only read what it shares. A fault of any one is thrown here once all have stopped.
inline void inParallel(std::size_t n, const std::function<void(std::size_t)>& work) {
    std::atomic<std::size_t> next{0};
    std::exception_ptr fault;
    std::mutex faultBusy;
    auto worker = [&] {
        for (std::size_t i; (i = next++) < n;) {
            try {
                work(i);
            } catch (...) {
                const std::lock_guard<std::mutex> lock(faultBusy);
                if (!fault) fault = std::current_exception();
                next = n;
            }
        }
    };
    {
        const std::size_t helpers = std::min<std::size_t>(n, std::max(1u, std::thread::hardware_concurrency())) - (n > 0);
        std::vector<std::jthread> threads;
        for (std::size_t k = 0; k < helpers; ++k) threads.emplace_back(worker);
        worker();
    }
    if (fault) std::rethrow_exception(fault);
}

inline void addCutOutlines(Build& job, double grow, bool outerIsOpening) {
    std::vector<std::vector<Outline>> of(job.pieces.size());
    inParallel(job.pieces.size(), [&](std::size_t i) {
        for (Region& g : moved(job.pieces[i], grow)) {
            of[i].push_back(job.flat.outline(g.outer, outerIsOpening));
            for (const auto& hole : g.holes) of[i].push_back(job.flat.outline(hole, !outerIsOpening));
        }
        for (Outline& o : of[i]) o.piece = static_cast<int>(i);
    });
    for (auto& outlines : of) job.d.cut.insert(job.d.cut.end(), std::make_move_iterator(outlines.begin()), std::make_move_iterator(outlines.end()));
}

// The steps of a drawing besides the stencil's own (cut.cpp).
void buildLettering(Build& job);                  // lettering.cpp
void reportThinMaterial(Build& job);              // thin.cpp: with the width thinWidth(job.o)
void reportMerged(Build& job, const cl::Paths& strips);  // merged.cpp
void fitSheets(Build& job);                        // sheets.cpp
// The bridges' strips, each reaching `reach` (mm) beyond its ends and carried on through the
// whole stroke it crosses.
cl::Paths bridgeStrips(const Build& job, double reach);  // strips.cpp

void numberAsTyped(Drawing& d, const Handover& h);  // typed.cpp

// The steps of makeDrawing (cut.cpp): what comes before the kerf, into `job`'s stage and
// drawing; then the cut outlines with the kerf, the totals and the sheets.
void prepareStage(Build& job);
void checkWidths(const Options& o);  // the kerf and the thinnest material within their ranges
void finishDrawing(Build& job);

}  // namespace cut::detail

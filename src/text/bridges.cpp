#include "text/bridges.h"

#include "polygon/grid.h"


#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace text {

namespace {

namespace cl = ClipperLib;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr int kMinSamples = 16, kMaxSamples = 80;    // points tried along an island's edge
constexpr double kNormalShare = 0.2;      // a direction must point this much into the stroke
constexpr double kAxisShare = 0.6;        // ... to try the horizontal and vertical ones too
constexpr double kSecondBridgeApart = 0.35;  // of an island's size, between its two bridges

using polygon::fromGrid;
using polygon::toGrid;

cl::Paths inkPaths(const std::vector<Contour>& contours, double flatness) {
    cl::Paths paths;
    paths.reserve(contours.size());
    for (const Contour& c : contours) {
        cl::Path path;
        for (Pt p : flatten(c, flatness)) path.push_back(toGrid(p));
        if (path.size() >= 3) paths.push_back(std::move(path));
    }
    return paths;
}

// The letter as the stencil sees it: the ink (non-zero fill) with its boundaries resolved into
// outer polygons and holes, each hole knowing the outer polygon around it.
struct Poly {
    std::vector<Pt> pts;
    bool hole = false;
    int parent = -1;
    double xmin = kInf, ymin = kInf, xmax = -kInf, ymax = -kInf, area = 0;
    bool held = false;
};
struct Edge {
    Pt a, b;
    int poly;
    double xmin, ymin, xmax, ymax;
};
struct Hit {
    double t;
    int poly;
    bool operator<(const Hit& o) const { return t < o.t; }
};

struct Ink {
    std::vector<Poly> polys;
    std::vector<Edge> edges;

    void add(const cl::PolyNode& node, int parent) {
        const int id = static_cast<int>(polys.size());
        if (node.Contour.size() >= 3) {
            Poly p;
            p.hole = node.IsHole();
            p.parent = parent;
            for (const auto& ip : node.Contour) {
                const Pt q = fromGrid(ip);
                p.pts.push_back(q);
                p.xmin = std::min(p.xmin, q.x);
                p.xmax = std::max(p.xmax, q.x);
                p.ymin = std::min(p.ymin, q.y);
                p.ymax = std::max(p.ymax, q.y);
            }
            for (std::size_t i = 0; i < p.pts.size(); ++i) {
                const Pt a = p.pts[i], b = p.pts[(i + 1) % p.pts.size()];
                p.area += cross(a, b) / 2;
                edges.push_back({a, b, id, std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x),
                                 std::max(a.y, b.y)});
            }
            polys.push_back(std::move(p));
            parent = id;
        }
        for (const cl::PolyNode* child : node.Childs) add(*child, parent);
    }

    // Where the line o + t d (|t| <= reach) crosses the boundaries, in order of t.
    void hits(Pt o, Pt d, double reach, std::vector<Hit>& out) const {
        out.clear();
        const Pt s = o - d * reach, e = o + d * reach;
        const double xmin = std::min(s.x, e.x), xmax = std::max(s.x, e.x);
        const double ymin = std::min(s.y, e.y), ymax = std::max(s.y, e.y);
        for (const Edge& g : edges) {
            if (g.xmax < xmin || g.xmin > xmax || g.ymax < ymin || g.ymin > ymax) continue;
            const Pt ab = g.b - g.a;
            const double den = cross(d, ab);
            if (den == 0) continue;
            const Pt ao = g.a - o;
            const double u = cross(ao, d) / den;
            if (u < 0 || u >= 1) continue;
            const double t = cross(ao, ab) / den;
            if (std::fabs(t) <= reach) out.push_back({t, g.poly});
        }
        std::sort(out.begin(), out.end());
    }

    // Whether the segment p-q touches any boundary.
    bool touches(Pt p, Pt q) const {
        const double xmin = std::min(p.x, q.x), xmax = std::max(p.x, q.x);
        const double ymin = std::min(p.y, q.y), ymax = std::max(p.y, q.y);
        const Pt pq = q - p;
        for (const Edge& g : edges) {
            if (g.xmax < xmin || g.xmin > xmax || g.ymax < ymin || g.ymin > ymax) continue;
            const Pt ab = g.b - g.a;
            const double den = cross(pq, ab);
            const Pt ap = g.a - p;
            if (den == 0) {
                if (cross(ap, pq) == 0) return true;  // on one line: treat as touching
                continue;
            }
            const double s = cross(ap, ab) / den, u = cross(ap, pq) / den;
            if (s >= 0 && s <= 1 && u >= 0 && u <= 1) return true;
        }
        return false;
    }
};

Ink resolveInk(const std::vector<Contour>& contours, double flatness) {
    cl::Clipper clipper;
    clipper.AddPaths(inkPaths(contours, flatness), cl::ptSubject, true);
    cl::PolyTree tree;
    clipper.Execute(cl::ctUnion, tree, cl::pftNonZero, cl::pftNonZero);
    Ink ink;
    for (const cl::PolyNode* child : tree.Childs) ink.add(*child, -1);
    return ink;
}

struct Candidate {
    double score = kInf;
    Bridge bridge;
    Pt q;
};

class Placer {
public:
    Placer(const Ink& ink, const BridgeRules& r) : ink_(ink), r_(r) {
        double size = 0;
        for (const Poly& p : ink.polys) size = std::max({size, p.xmax - p.xmin, p.ymax - p.ymin});
        reach_ = size + r.stripWidth + 2 * r.past;
    }

    // Every candidate strip from `island` across one stroke into `target`'s far side.
    std::vector<Candidate> candidates(int island, int target) {
        std::vector<Candidate> out;
        const Poly& h = ink_.polys[island];
        const std::size_t n = h.pts.size();
        double perimeter = 0;
        for (std::size_t i = 0; i < n; ++i) perimeter += length(h.pts[(i + 1) % n] - h.pts[i]);
        if (perimeter <= 0) return out;
        const int samples = std::clamp(static_cast<int>(perimeter / std::max(r_.stripWidth, 0.1)), kMinSamples,
                                       kMaxSamples);
        const double step = perimeter / samples;
        // the hole's inside lies to the left of its edges when it winds counter-clockwise
        const double outward = h.area > 0 ? -1 : 1;
        double along = step / 2, walked = 0;
        for (std::size_t i = 0; i < n && along < perimeter; ++i) {
            const Pt a = h.pts[i], b = h.pts[(i + 1) % n];
            const double len = length(b - a);
            while (len > 0 && along < walked + len) {
                const Pt tangent = (b - a) * (1 / len);
                const Pt q = lerp(a, b, (along - walked) / len);
                const Pt normal = Pt{-tangent.y, tangent.x} * outward;
                tryFrom(q, normal, normal, island, target, out);
                const Pt near = nearestOn(ink_.polys[target], q) - q;
                if (const double l = length(near); l > 0) tryFrom(q, near * (1 / l), normal, island, target, out);
                for (Pt axis : {Pt{1, 0}, Pt{-1, 0}, Pt{0, 1}, Pt{0, -1}})
                    if (dot(axis, normal) > kAxisShare) tryFrom(q, axis, normal, island, target, out);
                along += step;
            }
            walked += len;
        }
        return out;
    }

private:
    static Pt nearestOn(const Poly& p, Pt q) {
        Pt best = p.pts.front();
        double bestDist = kInf;
        for (std::size_t i = 0; i < p.pts.size(); ++i) {
            const Pt a = p.pts[i], b = p.pts[(i + 1) % p.pts.size()];
            const Pt ab = b - a;
            const double l2 = dot(ab, ab);
            const double t = l2 > 0 ? std::clamp(dot(q - a, ab) / l2, 0.0, 1.0) : 0;
            const Pt c = a + ab * t;
            if (const double dd = dot(c - q, c - q); dd < bestDist) {
                bestDist = dd;
                best = c;
            }
        }
        return best;
    }

    void tryFrom(Pt q, Pt d, Pt normal, int island, int target, std::vector<Candidate>& out) {
        if (dot(d, normal) <= kNormalShare) return;
        const Pt n{-d.y, d.x};
        const double half = r_.stripWidth / 2;
        double ts = kInf, te = -kInf, before = -kInf, after = kInf;
        for (double s : {-half, 0.0, half}) {
            ink_.hits(q + n * s, d, reach_, hits_);
            int ih = -1;
            for (int i = 0; i < static_cast<int>(hits_.size()); ++i)
                if (hits_[i].poly == island && (ih < 0 || std::fabs(hits_[i].t) < std::fabs(hits_[ih].t))) ih = i;
            if (ih < 0 || ih + 1 >= static_cast<int>(hits_.size()) || hits_[ih + 1].poly != target) return;
            ts = std::min(ts, hits_[ih].t);
            te = std::max(te, hits_[ih + 1].t);
            if (ih > 0) before = std::max(before, hits_[ih - 1].t);
            if (ih + 2 < static_cast<int>(hits_.size())) after = std::min(after, hits_[ih + 2].t);
        }
        ts -= r_.past;
        te += r_.past;
        if (ts <= before || te >= after || ts <= -reach_ || te >= reach_) return;
        const Pt base = q - n * half;
        const Pt p1 = base + d * ts, p2 = base + d * te, w = n * r_.stripWidth;
        if (ink_.touches(p1, p1 + w) || ink_.touches(p2, p2 + w)) return;
        // nothing may lie wholly inside the strip either
        const double len = te - ts;
        for (int k = 0; k < static_cast<int>(ink_.polys.size()); ++k) {
            if (k == island || k == target) continue;
            const Pt v = ink_.polys[k].pts.front() - p1;
            const double along = dot(v, d), across = dot(v, n);
            if (along >= 0 && along <= len && across >= 0 && across <= r_.stripWidth) return;
        }
        out.push_back({len, Bridge{1, p1, p2}, q});
    }

    const Ink& ink_;
    const BridgeRules& r_;
    double reach_ = 0;
    std::vector<Hit> hits_;
};

const Candidate* shortest(const std::vector<Candidate>& cs) {
    const Candidate* best = nullptr;
    for (const Candidate& c : cs)
        if (!best || c.score < best->score) best = &c;
    return best;
}

}  // namespace

std::vector<Pt> stripCorners(const Bridge& b, double stripWidth) {
    const Pt d = b.p2 - b.p1;
    const double l = length(d);
    Pt n{0, 0};
    if (l > 0) n = Pt{-d.y / l, d.x / l} * (geom::stripRunsRight(b.kind) ? -stripWidth : stripWidth);
    return {b.p1, b.p2, b.p2 + n, b.p1 + n};
}

IslandResult placeBridges(const std::vector<Contour>& contours, const BridgeRules& rules) {
    IslandResult result;
    Ink ink = resolveInk(contours, rules.flatness);
    std::vector<int> islands;
    for (int i = 0; i < static_cast<int>(ink.polys.size()); ++i)
        if (ink.polys[i].hole && ink.polys[i].parent >= 0) islands.push_back(i);
    result.islands = static_cast<int>(islands.size());
    if (islands.empty()) return result;

    Placer placer(ink, rules);
    auto place = [&](int island, int target) {
        const std::vector<Candidate> cs = placer.candidates(island, target);
        const Candidate* first = shortest(cs);
        if (!first) return false;
        result.bridges.push_back(first->bridge);
        const Poly& h = ink.polys[island];
        const double size = std::max(h.xmax - h.xmin, h.ymax - h.ymin);
        if (size >= rules.largeIsland) {
            const Candidate* second = nullptr;
            for (const Candidate& c : cs)
                if (length(c.q - first->q) >= kSecondBridgeApart * size && (!second || c.score < second->score))
                    second = &c;
            if (second) result.bridges.push_back(second->bridge);
        }
        ink.polys[island].held = true;
        return true;
    };
    // Across the stroke to the outside first; an island that cannot get there is joined to a
    // neighbour that is already held, as long as that brings another one in.
    std::vector<int> waiting;
    for (int i : islands)
        if (!place(i, ink.polys[i].parent)) waiting.push_back(i);
    for (bool progress = true; progress && !waiting.empty();) {
        progress = false;
        for (auto it = waiting.begin(); it != waiting.end();) {
            bool done = false;
            for (int other : islands)
                if (ink.polys[other].held && place(*it, other)) {
                    done = true;
                    break;
                }
            if (done) {
                it = waiting.erase(it);
                progress = true;
            } else {
                ++it;
            }
        }
    }
    result.loose = looseIslands(contours, result.bridges, rules.stripWidth, rules.flatness);
    return result;
}

std::vector<Polygon> looseIslands(const std::vector<Contour>& contours, const std::vector<Bridge>& bridges,
                                  double stripWidth, double flatness) {
    cl::Clipper clipper;
    clipper.AddPaths(inkPaths(contours, flatness), cl::ptSubject, true);
    for (const Bridge& b : bridges) {
        cl::Path strip;
        for (Pt p : stripCorners(b, stripWidth)) strip.push_back(toGrid(p));
        clipper.AddPath(strip, cl::ptClip, true);
    }
    cl::PolyTree tree;
    clipper.Execute(cl::ctDifference, tree, cl::pftNonZero, cl::pftNonZero);
    std::vector<Polygon> loose;
    for (const cl::PolyNode* node = tree.GetFirst(); node; node = node->GetNext()) {
        if (!node->IsHole()) continue;
        Polygon p;
        for (const auto& ip : node->Contour) p.push_back(fromGrid(ip));
        loose.push_back(std::move(p));
    }
    return loose;
}

}  // namespace text

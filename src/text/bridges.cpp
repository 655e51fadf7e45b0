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
constexpr double kLeastSquare = 0.5;      // a strip crosses both sides at 30 degrees or more
constexpr double kAcross = -0.8;          // two bridges lie across from each other: cosine of their angle
constexpr double kAcrossUpright = 1;      // a level strip counts this much longer
constexpr double kAxisMargin = 1.15;      // a strip on the axis is taken if it is at most this much longer

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
    Pt along;  // the crossed edge's direction, unit length
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
            if (std::fabs(t) <= reach) out.push_back({t, g.poly, ab * (1 / length(ab))});
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

cl::Paths stripPaths(const std::vector<Bridge>& bridges, double stripWidth) {
    cl::Paths out;
    for (const Bridge& b : bridges) {
        cl::Path strip;
        for (Pt p : stripCorners(b, stripWidth)) strip.push_back(toGrid(p));
        out.push_back(std::move(strip));
    }
    return out;
}

// The letters (non-zero fill) less the strips already cut across them.
Ink resolveInk(const std::vector<Contour>& contours, const std::vector<Bridge>& held, const BridgeRules& rules) {
    cl::Clipper clipper;
    clipper.AddPaths(inkPaths(contours, rules.flatness), cl::ptSubject, true);
    clipper.AddPaths(stripPaths(held, rules.stripWidth), cl::ptClip, true);
    cl::PolyTree tree;
    clipper.Execute(held.empty() ? cl::ctUnion : cl::ctDifference, tree, cl::pftNonZero, cl::pftNonZero);
    Ink ink;
    for (const cl::PolyNode* child : tree.Childs) ink.add(*child, -1);
    return ink;
}

struct Candidate {
    double score = kInf;  // the strip's length, longer the less square it crosses
    Bridge bridge;
    Pt q;                 // where it leaves the island
    bool axis = false;    // on one of the island's two axes
    bool far = false;     // reaching `farPast` at both ends
};

class Placer {
public:
    Placer(const Ink& ink, const BridgeRules& r) : ink_(ink), r_(r) {
        double size = 0;
        for (const Poly& p : ink.polys) size = std::max({size, p.xmax - p.xmin, p.ymax - p.ymin});
        reach_ = size + r.stripWidth + 2 * r.farPast;
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
        onAxes(island, target, outward, out);
        return out;
    }

private:
    // Strips along the island's own axes (the vertical and horizontal lines through the middle
    // of its box), from where they leave it: a symmetric counter's bridges sit on its axis.
    void onAxes(int island, int target, double outward, std::vector<Candidate>& out) {
        const Poly& h = ink_.polys[island];
        const Pt mid{(h.xmin + h.xmax) / 2, (h.ymin + h.ymax) / 2};
        const std::size_t n = h.pts.size();
        for (int vertical = 0; vertical < 2; ++vertical)
            for (std::size_t i = 0; i < n; ++i) {
                const Pt a = h.pts[i], b = h.pts[(i + 1) % n];
                const double ca = vertical ? a.x - mid.x : a.y - mid.y, cb = vertical ? b.x - mid.x : b.y - mid.y;
                if ((ca < 0) == (cb < 0) || ca == cb) continue;
                const Pt q = lerp(a, b, ca / (ca - cb));
                const Pt tangent = (b - a) * (1 / length(b - a));
                const Pt normal = Pt{-tangent.y, tangent.x} * outward;
                const Pt d = vertical ? Pt{0, q.y > mid.y ? 1.0 : -1.0} : Pt{q.x > mid.x ? 1.0 : -1.0, 0};
                const std::size_t before = out.size();
                tryFrom(q, d, normal, island, target, out);
                for (std::size_t k = before; k < out.size(); ++k) out[k].axis = true;
            }
    }

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
        double ts = kInf, te = -kInf, before = -kInf, after = kInf, square = 1;
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
            // how squarely the strip crosses both sides of the stroke: the sine of the angle
            square = std::min({square, std::fabs(cross(d, hits_[ih].along)), std::fabs(cross(d, hits_[ih + 1].along))});
        }
        if (square < kLeastSquare) return;
        // each end reaches as far as the free sheet beyond it allows, up to `farPast` and
        // `past` short of the next outline, at least `past`
        const double inner = ts - before, outer = after - te;
        const double pastStart = std::clamp(inner - r_.past, r_.past, r_.farPast);
        const double pastEnd = std::clamp(outer - r_.past, r_.past, r_.farPast);
        if (inner <= r_.past || outer <= r_.past) return;
        ts -= pastStart;
        te += pastEnd;
        if (ts <= -reach_ || te >= reach_) return;
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
        // the shapes stage stretches and shears letters upright: a strip across a level stroke
        // stretches with it, one across an upright stroke tilts against it
        const double stroke = len - pastStart - pastEnd;
        out.push_back({stroke / square * (1 + kAcrossUpright * std::fabs(d.x)), Bridge{1, p1, p2}, q, false,
                       std::min(pastStart, pastEnd) >= r_.farPast});
    }

    const Ink& ink_;
    const BridgeRules& r_;
    double reach_ = 0;
    std::vector<Hit> hits_;
};

// The one bridge of an island: the best strip, or one on the island's axis nearly as good.
const Candidate* best(const std::vector<Candidate>& cs) {
    const Candidate *any = nullptr, *axis = nullptr;
    for (const Candidate& c : cs) {
        if (!any || c.score < any->score) any = &c;
        if (c.axis && (!axis || c.score < axis->score)) axis = &c;
    }
    return axis && axis->score <= any->score * kAxisMargin ? axis : any;
}

// Two bridges across from each other, seen from the island's middle: the pair with the least
// score together, a pair on an axis when nearly as good. Nothing when no two lie across.
std::pair<const Candidate*, const Candidate*> acrossPair(const std::vector<Candidate>& cs, Pt mid) {
    std::pair<const Candidate*, const Candidate*> any{}, axis{};
    double anyScore = kInf, axisScore = kInf;
    for (std::size_t i = 0; i < cs.size(); ++i)
        for (std::size_t j = i + 1; j < cs.size(); ++j) {
            const Pt u = cs[i].q - mid, v = cs[j].q - mid;
            const double lu = length(u), lv = length(v);
            if (lu <= 0 || lv <= 0 || dot(u, v) > kAcross * lu * lv) continue;
            const double score = cs[i].score + cs[j].score;
            if (score < anyScore) anyScore = score, any = {&cs[i], &cs[j]};
            if (cs[i].axis && cs[j].axis && score < axisScore) axisScore = score, axis = {&cs[i], &cs[j]};
        }
    return axis.first && axisScore <= anyScore * kAxisMargin ? axis : any;
}

}  // namespace

std::vector<Pt> stripCorners(const Bridge& b, double stripWidth) {
    const Pt d = b.p2 - b.p1;
    const double l = length(d);
    Pt n{0, 0};
    if (l > 0) n = Pt{-d.y / l, d.x / l} * (geom::stripRunsRight(b.kind) ? -stripWidth : stripWidth);
    return {b.p1, b.p2, b.p2 + n, b.p1 + n};
}

IslandResult placeBridges(const std::vector<Contour>& contours, const BridgeRules& rules,
                          const std::vector<Bridge>& held) {
    IslandResult result;
    Ink ink = resolveInk(contours, held, rules);
    std::vector<int> islands;
    for (int i = 0; i < static_cast<int>(ink.polys.size()); ++i)
        if (ink.polys[i].hole && ink.polys[i].parent >= 0) islands.push_back(i);
    result.islands = static_cast<int>(islands.size());
    if (islands.empty()) return result;

    Placer placer(ink, rules);
    auto place = [&](int island, int target) {
        // strips that reach far where the sheet allows it, so that they still span the stroke
        // once the letter is bent; those that reach less where no other fits
        std::vector<Candidate> cs = placer.candidates(island, target);
        if (std::any_of(cs.begin(), cs.end(), [](const Candidate& c) { return c.far; }))
            std::erase_if(cs, [](const Candidate& c) { return !c.far; });
        const Candidate* first = best(cs);
        if (!first) return false;
        const Poly& h = ink.polys[island];
        const double size = std::max(h.xmax - h.xmin, h.ymax - h.ymin);
        const auto pair = size >= rules.largeIsland ? acrossPair(cs, {(h.xmin + h.xmax) / 2, (h.ymin + h.ymax) / 2})
                                                    : std::pair<const Candidate*, const Candidate*>{};
        if (pair.first) {
            result.bridges.push_back(pair.first->bridge);
            result.bridges.push_back(pair.second->bridge);
        } else {
            result.bridges.push_back(first->bridge);
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
    std::vector<Bridge> all = held;
    all.insert(all.end(), result.bridges.begin(), result.bridges.end());
    result.loose = looseIslands(contours, all, rules.stripWidth, rules.flatness);
    return result;
}

std::vector<Polygon> looseIslands(const std::vector<Contour>& contours, const std::vector<Bridge>& bridges,
                                  double stripWidth, double flatness) {
    cl::Clipper clipper;
    clipper.AddPaths(inkPaths(contours, flatness), cl::ptSubject, true);
    clipper.AddPaths(stripPaths(bridges, stripWidth), cl::ptClip, true);
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

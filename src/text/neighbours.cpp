// Letters that overlap once kerned and spaced may enclose sheet between them that neither
// encloses alone, or cover the end of a neighbour's bridge: such islands are found on the
// letters together, bridged where a strip fits, and otherwise kept as loose islands.
#include <algorithm>
#include <numeric>

#include "text/lettering.h"

namespace text {

namespace {

struct Box {
    double xmin = 1e300, ymin = 1e300, xmax = -1e300, ymax = -1e300;
    void add(Pt p) {
        xmin = std::min(xmin, p.x), xmax = std::max(xmax, p.x);
        ymin = std::min(ymin, p.y), ymax = std::max(ymax, p.y);
    }
    bool meets(const Box& o) const { return xmin <= o.xmax && o.xmin <= xmax && ymin <= o.ymax && o.ymin <= ymax; }
    bool holds(Pt p) const { return p.x >= xmin && p.x <= xmax && p.y >= ymin && p.y <= ymax; }
    Pt middle() const { return {(xmin + xmax) / 2, (ymin + ymax) / 2}; }
};

// The letter's box along the line (control points included: the curves lie within them).
Box boxOf(const Letter& l) {
    Box b;
    for (const Contour& c : l.contours)
        for (const Piece& p : c) {
            b.add({l.x + p.a.x, p.a.y});
            if (p.quad) b.add({l.x + p.c.x, p.c.y});
        }
    return b;
}

// Letters whose boxes meet, directly or through others, each group in text order.
std::vector<std::vector<std::size_t>> groups(const std::vector<Box>& boxes, const std::vector<bool>& inked) {
    std::vector<std::size_t> root(boxes.size());
    std::iota(root.begin(), root.end(), 0);
    auto find = [&](std::size_t i) {
        while (root[i] != i) i = root[i] = root[root[i]];
        return i;
    };
    for (std::size_t i = 0; i < boxes.size(); ++i)
        for (std::size_t j = i + 1; j < boxes.size(); ++j)
            if (inked[i] && inked[j] && boxes[i].meets(boxes[j])) root[find(j)] = find(i);
    std::vector<std::vector<std::size_t>> out(boxes.size());
    for (std::size_t i = 0; i < boxes.size(); ++i) out[find(i)].push_back(i);
    std::erase_if(out, [](const auto& g) { return g.size() < 2; });
    return out;
}

// The letter of `group` a point belongs to: of those whose box holds it, the one whose middle
// lies nearest.
std::size_t owner(const std::vector<std::size_t>& group, const std::vector<Box>& boxes, Pt p) {
    std::size_t best = group.front();
    double bestDist = 1e300;
    for (std::size_t k : group) {
        const double d = length(boxes[k].middle() - p) - (boxes[k].holds(p) ? 1e200 : 0);
        if (d < bestDist) bestDist = d, best = k;
    }
    return best;
}

void shift(std::vector<Contour>& contours, double dx) {
    for (Contour& c : contours)
        for (Piece& p : c) p.a.x += dx, p.c.x += dx, p.b.x += dx;
}

}  // namespace

void holdNeighbours(Lettering& out, const BridgeRules& rules) {
    std::vector<Box> boxes;
    std::vector<bool> inked;
    for (const Letter& l : out.letters) boxes.push_back(boxOf(l)), inked.push_back(!l.contours.empty());
    for (const std::vector<std::size_t>& group : groups(boxes, inked)) {
        std::vector<Contour> contours;
        std::vector<Bridge> held;
        std::size_t looseBefore = 0;
        for (std::size_t k : group) {
            Letter& l = out.letters[k];
            std::vector<Contour> own = l.contours;
            shift(own, l.x);
            contours.insert(contours.end(), own.begin(), own.end());
            for (Bridge b : l.bridges) held.push_back({b.kind, {b.p1.x + l.x, b.p1.y}, {b.p2.x + l.x, b.p2.y}});
            looseBefore += l.loose.size();
        }
        IslandResult r;
        if (out.bridges) {
            r = placeBridges(contours, rules, held);
        } else {
            r.loose = looseIslands(contours, {}, rules.stripWidth, rules.flatness);
            r.islands = static_cast<int>(r.loose.size());
        }
        // what the letters hold together replaces what each found alone
        for (std::size_t k : group) out.letters[k].loose.clear();
        for (Polygon& p : r.loose) {
            Letter& l = out.letters[owner(group, boxes, p.front())];
            for (Pt& q : p) q.x -= l.x;
            l.loose.push_back(std::move(p));
        }
        for (const Bridge& b : r.bridges) {
            Letter& l = out.letters[owner(group, boxes, lerp(b.p1, b.p2, 0.5))];
            l.bridges.push_back({b.kind, {b.p1.x - l.x, b.p1.y}, {b.p2.x - l.x, b.p2.y}});
        }
        if (r.islands > static_cast<int>(looseBefore)) out.letters[group.front()].islands += r.islands - static_cast<int>(looseBefore);
    }
}

void recheckHeld(Lettering& out, std::size_t i) {
    if (i >= out.letters.size()) return;
    std::vector<Box> boxes;
    std::vector<bool> inked;
    for (const Letter& l : out.letters) boxes.push_back(boxOf(l)), inked.push_back(!l.contours.empty());
    std::vector<std::size_t> group{i};
    for (std::vector<std::size_t>& g : groups(boxes, inked))
        if (std::find(g.begin(), g.end(), i) != g.end()) group = std::move(g);
    std::vector<Contour> contours;
    std::vector<Bridge> bridges;
    for (std::size_t k : group) {
        const Letter& l = out.letters[k];
        std::vector<Contour> own = l.contours;
        shift(own, l.x);
        contours.insert(contours.end(), own.begin(), own.end());
        for (Bridge b : l.bridges) bridges.push_back({b.kind, {b.p1.x + l.x, b.p1.y}, {b.p2.x + l.x, b.p2.y}});
    }
    const BridgeRules rules = bridgeRules(out);
    std::vector<Polygon> loose = looseIslands(contours, bridges, rules.stripWidth, rules.flatness);
    for (std::size_t k : group) out.letters[k].loose.clear();
    for (Polygon& p : loose) {
        Letter& l = out.letters[owner(group, boxes, p.front())];
        for (Pt& q : p) q.x -= l.x;
        l.loose.push_back(std::move(p));
    }
}

}  // namespace text

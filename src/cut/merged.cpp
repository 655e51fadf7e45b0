// Letters that run into each other: in a stencil, openings of different letters that merge into
// one; in lettering, parts of different letters that weld by overlapping rather than through
// the bar. Each pair is one problem, at the largest place where they meet.
#include "cut/detail.h"

namespace cut::detail {

namespace {

// Letters closer than this (mm) count as touching: their openings or parts are one.
constexpr double kTouch = 0.001;
// A meeting smaller than this (mm²) is rounding of the grid.
constexpr double kLeastMeeting = 1e-6;

bool overlap(const Bounds& a, const Bounds& b) {
    return !a.empty() && !b.empty() && a.x0 <= b.x1 && b.x0 <= a.x1 && a.y0 <= b.y1 && b.y0 <= a.y1;
}

// Each letter as it is cut (less the bridges' strips that cross it), grown by half the touch
// distance, with its box.
std::vector<std::pair<cl::Paths, Bounds>> cutLetters(const Build& job, const cl::Paths& strips) {
    std::vector<Bounds> stripBox(strips.size());
    for (std::size_t k = 0; k < strips.size(); ++k) stripBox[k].add({strips[k]});
    std::vector<std::pair<cl::Paths, Bounds>> out(job.letters.size());
    for (std::size_t i = 0; i < job.letters.size(); ++i) {
        const LetterRegion& l = job.letters[i];
        if (l.box.empty()) continue;
        cl::Paths crossing;
        for (std::size_t k = 0; k < strips.size(); ++k)
            if (overlap(stripBox[k], l.box)) crossing.push_back(strips[k]);
        const cl::Paths shape = crossing.empty() ? l.paths : boolean(cl::ctDifference, l.paths, crossing);
        out[i].first = offset(shape, kTouch / 2, cl::jtMiter);
        out[i].second.add(out[i].first);
    }
    return out;
}

}  // namespace

void reportMerged(Build& job, const cl::Paths& strips) {
    const auto letters = cutLetters(job, strips);
    std::vector<std::size_t> order(letters.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::erase_if(order, [&](std::size_t i) { return letters[i].second.empty(); });
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return letters[a].second.x0 < letters[b].second.x0; });
    for (std::size_t a = 0; a < order.size(); ++a) {
        const auto& [shapeA, boxA] = letters[order[a]];
        for (std::size_t b = a + 1; b < order.size() && letters[order[b]].second.x0 <= boxA.x1; ++b) {
            const auto& [shapeB, boxB] = letters[order[b]];
            if (!overlap(boxA, boxB)) continue;
            const std::vector<Region> meeting = regions(boolean(cl::ctIntersection, shapeA, shapeB));
            const Region* largest = nullptr;
            for (const Region& r : meeting)
                if (area(r) > kLeastMeeting && (!largest || area(r) > area(*largest))) largest = &r;
            if (!largest) continue;
            const auto [first, second] = std::minmax(order[a], order[b]);
            Problem p{ProblemKind::Merged, static_cast<int>(first) + 1, placeOf(*largest), toMm(*largest)};
            p.otherLetter = static_cast<int>(second) + 1;
            job.d.problems.push_back(std::move(p));
        }
    }
}

}  // namespace cut::detail

// Material narrower than the kerf.
#include "cut/detail.h"

namespace cut::detail {

namespace {
// A leftover of the kerf test smaller than this share of kerf² is a corner, not a web.
constexpr double kThinAreaShare = 0.3;
// Slivers of the kerf test thinner than this on average (mm) are rounding, not material.
constexpr double kDustWidth = 0.0005;
}  // namespace

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

}  // namespace cut::detail

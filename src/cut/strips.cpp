// Bridges across bent strokes: the shapes stage moves a bridge's two ends with its letter, so
// on a steep or sheared band the stroke a strip crosses may run on past the strip's ends, and
// the opening would leave the bridge hanging on part of its width. Each strip is carried along
// its own direction through the whole stroke it crosses.
#include "cut/detail.h"
#include "geom/bridge.h"
#include "geom/units.h"

namespace cut::detail {

namespace {

// A stroke that runs on past a strip's end by less than this (mm) leaves the strip as it is.
constexpr double kCarryTolerance = 0.001;

// The strip of a bridge from `from` to `to` (mm along p1 -> p2, 0 at p1), on the side its
// kind gives, as bridgeStrip draws it.
cl::Path stripAlong(const Bridge& b, double aperture, double from, double to) {
    const double phi = std::atan2(b.p2.y - b.p1.y, b.p2.x - b.p1.x);
    const double psi = geom::stripDirection(b.kind, phi, geom::kPi / 2);
    const double ox = aperture * std::cos(psi), oy = aperture * std::sin(psi);
    const double ux = std::cos(phi), uy = std::sin(phi);
    const Pt p1{b.p1.x + ux * from, b.p1.y + uy * from}, p2{b.p1.x + ux * to, b.p1.y + uy * to};
    cl::Path s{toInt(p1), toInt(p2), toInt({p2.x + ox, p2.y + oy}), toInt({p1.x + ox, p1.y + oy})};
    orientPositive(s);
    return s;
}

bool overlap(const Bounds& a, const Bounds& b) {
    return !a.empty() && !b.empty() && a.x0 <= b.x1 && b.x0 <= a.x1 && a.y0 <= b.y1 && b.y0 <= a.y1;
}

// The strip `s` of bridge b, lengthened at either end until it leaves the material of the
// stroke it crosses: the piece of the letters under the strip's line, as far as the letters
// reach, that the strip covers most.
void carryThroughStroke(const Build& job, const Bridge& b, double reach, cl::Path& s) {
    const double len = std::hypot(b.p2.x - b.p1.x, b.p2.y - b.p1.y);
    if (!(len > 0) || !(job.h.aperture > 0)) return;
    Bounds box, around;
    box.add({s});
    cl::Paths material;
    for (const LetterRegion& l : job.letters)
        if (overlap(l.box, box)) {
            material.insert(material.end(), l.paths.begin(), l.paths.end());
            around.add(l.paths);
        }
    if (material.empty()) return;
    const double bound = static_cast<double>(std::max(around.x1 - around.x0, around.y1 - around.y0)) / kUnitsPerMm;
    const cl::Path line = stripAlong(b, job.h.aperture, -bound, len + bound);
    const Region* stroke = nullptr;
    double most = 0;
    const std::vector<Region> under = regions(boolean(cl::ctIntersection, material, {line}));
    for (const Region& r : under) {
        double covered = 0;
        for (const cl::Path& p : boolean(cl::ctIntersection, paths(r), {s})) covered += cl::Area(p);
        if (covered > most) most = covered, stroke = &r;
    }
    if (!stroke) return;
    const double ux = (b.p2.x - b.p1.x) / len, uy = (b.p2.y - b.p1.y) / len;
    double from = -reach, to = len + reach;
    for (const cl::IntPoint& q : stroke->outer) {
        const Pt p = toMm(q);
        const double t = (p.x - b.p1.x) * ux + (p.y - b.p1.y) * uy;
        from = std::min(from, t - reach), to = std::max(to, t + reach);
    }
    if (from > -reach - kCarryTolerance && to < len + reach + kCarryTolerance) return;
    s = stripAlong(b, job.h.aperture, from, to);
}

}  // namespace

cl::Paths bridgeStrips(const Build& job, double reach) {
    cl::Paths strips;
    for (const Bridge& b : job.h.bridges) {
        cl::Path s;
        for (Pt p : bridgeStrip(b, job.h.aperture, reach)) s.push_back(toInt(p));
        orientPositive(s);
        carryThroughStroke(job, b, reach, s);
        strips.push_back(std::move(s));
    }
    return strips;
}

}  // namespace cut::detail

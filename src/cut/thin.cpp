// Material narrower than the kerf, or than the thinnest material the user keeps: webs between
// openings, bridges, and places where material touches itself at a point.
#include <unordered_set>

#include "cut/detail.h"

namespace cut {

namespace {
// The narrowest width tested (mm): material any thinner touches itself at a point.
constexpr double kPointContact = 0.001;
}  // namespace

double thinWidth(const Options& o) { return std::max({o.kerf, o.minWidth, kPointContact}); }

namespace detail {

namespace {
// A leftover of the test smaller than this share of width² is a corner, not a web.
constexpr double kThinAreaShare = 0.1;
// Slivers of the test thinner than this on average (mm) are rounding, not material.
constexpr double kDustWidth = 0.0005;
// How far (mm) beyond what is reported a window of the test reaches, besides the width.
constexpr double kThinWindow = 1;
// A stencil's sheet is tested in windows of about this many openings.
constexpr std::size_t kPiecesPerWindow = 8;

struct PointHash {
    std::size_t operator()(const cl::IntPoint& p) const {
        return std::hash<cl::cInt>()(p.X) * 1000003u ^ std::hash<cl::cInt>()(p.Y);
    }
};
struct PointSame {
    bool operator()(const cl::IntPoint& a, const cl::IntPoint& b) const { return a.X == b.X && a.Y == b.Y; }
};

// Material moved inward by mm (mitred), as regions of a tree.
void offsetInto(const cl::Paths& p, double mm, cl::PolyTree& tree) {
    cl::ClipperOffset o(kMiterLimit, kChordError * kUnitsPerMm);
    o.AddPaths(p, cl::jtMiter, cl::etClosedPolygon);
    o.Execute(tree, mm * kUnitsPerMm);
}

// One test of `material` at width w; only what lies in `accept` is found. What it finds is
// kept in found(), in order, for the caller to report: tests of several neighbourhoods run side
// by side and only read the drawing's stage.
class ThinTest {
public:
    ThinTest(const Build& job, double w, const Bounds& accept) : job_(job), w_(w), accept_(accept) {}
    std::vector<Problem>& found() { return found_; }

    // `whole`: the material as regions
    void run(const std::vector<Region>& whole) {
        cl::Paths material;
        for (const Region& r : whole) {
            const cl::Paths p = paths(r);
            material.insert(material.end(), p.begin(), p.end());
        }
        cl::PolyTree tree;
        offsetInto(material, -w_ / 2, tree);
        const std::vector<Region> cores = regions(tree);
        cl::Paths shrunk;
        for (const Region& r : cores) {
            const cl::Paths p = paths(r);
            shrunk.insert(shrunk.end(), p.begin(), p.end());
        }
        const cl::Paths opened = offset(shrunk, w_ / 2, cl::jtMiter);
        // what the opening removes: webs and bridges narrower than w (sharp corners come back
        // whole with mitred joins, so little else is left)
        cl::Clipper c;
        c.AddPaths(material, cl::ptSubject, true);
        c.AddPaths(opened, cl::ptClip, true);
        c.Execute(cl::ctDifference, tree, cl::pftNonZero, cl::pftNonZero);
        for (Region& r : regions(tree))
            if (r.outer.size() >= 3 && 2 * area(r) / perimeter(r.outer) > kDustWidth) thin_.push_back(std::move(r));
        told_.assign(thin_.size(), 0);
        for (std::size_t i = 0; i < thin_.size(); ++i)
            if (area(thin_[i]) >= kThinAreaShare * w_ * w_) report(placeOf(thin_[i]), toMm(thin_[i])), told_[i] = 1;
        splits(whole, cores);
    }

    // A corner of the outlines met twice: material that holds by a point.
    void pointContacts(const cl::Paths& material) {
        std::unordered_set<cl::IntPoint, PointHash, PointSame> seen;
        for (const cl::Path& ring : material)
            for (std::size_t i = 0; i < ring.size(); ++i) {
                if (i > 0 && ring[i] == ring[i - 1]) continue;
                if (!seen.insert(ring[i]).second) reportAround(toMm(ring[i]));
            }
    }

private:
    void report(Pt place, std::vector<std::vector<Pt>> area) {
        if (accept_.holds(toInt(place)))
            found_.emplace_back(ProblemKind::ThinMaterial, letterNear(job_.letters, toInt(place)), place, std::move(area));
    }
    void reportAround(Pt at) {
        const double r = std::max(w_, 0.05);
        report(at, {{{at.x - r, at.y - r}, {at.x + r, at.y - r}, {at.x + r, at.y + r}, {at.x - r, at.y + r}}});
    }

    // Material the shrinking splits: each piece cut off hangs on a link too thin. A piece of
    // material that vanishes whole is thin all over.
    void splits(const std::vector<Region>& whole, const std::vector<Region>& cores) {
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
            if (cs.empty()) report(placeOf(whole[i]), toMm(whole[i]));
            if (cs.size() < 2) continue;
            std::sort(cs.begin(), cs.end(), [&](std::size_t a, std::size_t b) { return area(cores[a]) > area(cores[b]); });
            for (std::size_t k = 1; k < cs.size(); ++k) hangs(cores[cs[k]]);
        }
    }

    // The removed sliver nearest to a piece the shrinking cut off: its link.
    void hangs(const Region& core) {
        Bounds box;
        box.add({core.outer});
        const auto reach = static_cast<cl::cInt>(w_ * 2 * kUnitsPerMm);
        box.x0 -= reach, box.y0 -= reach, box.x1 += reach, box.y1 += reach;
        double best = std::numeric_limits<double>::max();
        std::size_t link = thin_.size();
        for (std::size_t j = 0; j < thin_.size(); ++j) {
            Bounds tb;
            tb.add({thin_[j].outer});
            if (tb.x1 < box.x0 || tb.x0 > box.x1 || tb.y1 < box.y0 || tb.y0 > box.y1) continue;
            Pt a, b;
            nearestPoints(core.outer, thin_[j].outer, a, b);
            const double dd = std::hypot(a.x - b.x, a.y - b.y);
            if (dd < best) best = dd, link = j;
        }
        if (link == thin_.size()) {
            report(placeOf(core), toMm(core));  // the link is too small to outline: the piece
        } else if (!told_[link]) {
            told_[link] = 1;
            reportAround(placeOf(thin_[link]));
        }
    }

    const Build& job_;
    double w_;
    Bounds accept_;
    std::vector<Problem> found_;
    std::vector<Region> thin_;
    std::vector<char> told_;
};

Bounds grown(Bounds b, double mm) {
    const auto m = static_cast<cl::cInt>(mm * kUnitsPerMm);
    b.x0 -= m, b.y0 -= m, b.x1 += m, b.y1 += m;
    return b;
}

// Runs the tests side by side, one per core, and reports what they found in the tests' order;
// a place within twice the width of one already reported is the same place.
void runAndReport(Build& job, double w, const std::vector<std::function<std::vector<Problem>()>>& tests) {
    std::vector<std::vector<Problem>> found(tests.size());
    inParallel(tests.size(), [&](std::size_t i) { found[i] = tests[i](); });
    for (auto& list : found)
        for (Problem& p : list) {
            const bool known = std::any_of(job.d.problems.begin(), job.d.problems.end(), [&](const Problem& q) {
                return q.kind == ProblemKind::ThinMaterial && std::hypot(q.place.x - p.place.x, q.place.y - p.place.y) < 2 * w;
            });
            if (!known) job.d.problems.push_back(std::move(p));
        }
}

}  // namespace

// The booleans of the test are kept to a neighbourhood at a time: over a whole long row of
// letters every sweep line would cross every letter. Lettering: each part on its own (its
// pieces, as cut: the parts of letters cut apart are tested apart even where they overlap). A
// stencil's sheet is one piece: it is cut into columns of a few openings each, every column
// tested with the sheet around it in a window that reaches well beyond what is reported from
// it, so that the window's own edge is never taken for a web. The neighbourhoods are tested
// side by side, one per core.
void reportThinMaterial(Build& job) {
    const double w = thinWidth(job.o);
    std::vector<std::function<std::vector<Problem>()>> tests;
    if (job.d.kind == Kind::Lettering) {
        Bounds all;
        all.add(job.material);
        tests.emplace_back([&job, w, all] {  // parts that touch
            ThinTest test(job, w, all);
            test.pointContacts(job.material);
            return std::move(test.found());
        });
        for (const Region& r : job.pieces)
            tests.emplace_back([&job, w, all, &r] {  // each part as it is cut
                ThinTest test(job, w, all);
                test.run({r});
                return std::move(test.found());
            });
        return runAndReport(job, w, tests);
    }
    if (job.sheetPath.empty()) return;
    const std::size_t n = job.pieces.size();
    std::vector<Bounds> boxes(n);
    for (std::size_t i = 0; i < n; ++i) boxes[i].add({job.pieces[i].outer});
    std::vector<std::size_t> order(n);
    for (std::size_t i = 0; i < n; ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return boxes[a].x0 + boxes[a].x1 < boxes[b].x0 + boxes[b].x1; });
    Bounds sheet;
    sheet.add({job.sheetPath});
    // columns [from, to) of the sheet, split between the middles of neighbouring openings
    const double margin = 3 * w + kThinWindow + 2 * w + kThinWindow;
    cl::cInt from = sheet.x0;
    for (std::size_t first = 0; first < n || from <= sheet.x1;) {
        const std::size_t last = std::min(n, first + kPiecesPerWindow);
        cl::cInt to = sheet.x1 + 1;
        if (last < n) to = (boxes[order[last - 1]].x0 + boxes[order[last - 1]].x1 + boxes[order[last]].x0 + boxes[order[last]].x1) / 4;
        Bounds accept = sheet;
        accept.x0 = from, accept.x1 = to - 1;
        tests.emplace_back([&job, &boxes, w, n, sheet, accept, window = grown(accept, margin)] {
            cl::Paths openings;
            for (std::size_t k = 0; k < n; ++k)
                if (boxes[k].x0 <= window.x1 && window.x0 <= boxes[k].x1) {
                    const cl::Paths p = paths(job.pieces[k]);
                    openings.insert(openings.end(), p.begin(), p.end());
                }
            // the window, no larger than the sheet
            const cl::cInt x0 = std::max(window.x0, sheet.x0), x1 = std::min(window.x1, sheet.x1);
            const cl::Path frame{{x0, sheet.y0}, {x1, sheet.y0}, {x1, sheet.y1}, {x0, sheet.y1}};
            cl::Clipper c;
            c.AddPath(frame, cl::ptSubject, true);
            c.AddPaths(openings, cl::ptClip, true);
            cl::PolyTree material;
            c.Execute(cl::ctDifference, material, cl::pftNonZero, cl::pftNonZero);
            const std::vector<Region> whole = regions(material);
            ThinTest test(job, w, accept);
            cl::Paths rings;
            for (const Region& r : whole) rings.push_back(r.outer), rings.insert(rings.end(), r.holes.begin(), r.holes.end());
            test.pointContacts(rings);
            test.run(whole);
            return std::move(test.found());
        });
        if (last >= n) break;
        first = last, from = to;
    }
    runAndReport(job, w, tests);
}

}  // namespace detail

}  // namespace cut

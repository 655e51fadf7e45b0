// The booleans and offsets of the cut floor, done group by group.
//
// Clipper sweeps a line across the plane and keeps every edge the line crosses in one list. On a
// row of letters the line crosses every letter at once, so one boolean over the row costs about
// the square of its length. Paths whose boxes lie apart in x or in y cannot meet, nor can one lie
// inside another: the booleans of such groups are done one group at a time and their results put
// together, which gives the same rings (in another order).
#include "cut/detail.h"

namespace cut::detail {

namespace {

// Fewer paths than this are done in one go: splitting them saves nothing.
constexpr std::size_t kGroupFrom = 8;

struct Boxed {
    cl::cInt lo[2], hi[2];  // x and y
    std::size_t index;      // into the paths handed in (subject first, then clip)
};

// Splits `items` into groups whose boxes, grown by `reach`, lie apart along x or along y; each
// group is split again along the other axis until no axis splits it.
void split(std::vector<Boxed> items, cl::cInt reach, int axis, bool otherTried, std::vector<std::vector<Boxed>>& out) {
    std::sort(items.begin(), items.end(), [axis](const Boxed& a, const Boxed& b) { return a.lo[axis] < b.lo[axis]; });
    std::vector<std::vector<Boxed>> parts;
    cl::cInt end = 0;
    for (const Boxed& b : items) {
        if (parts.empty() || b.lo[axis] > end + 2 * reach) parts.emplace_back(), end = b.hi[axis];
        parts.back().push_back(b);
        end = std::max(end, b.hi[axis]);
    }
    if (parts.size() == 1) {
        if (otherTried) out.push_back(std::move(parts.front()));
        else split(std::move(parts.front()), reach, 1 - axis, true, out);
        return;
    }
    for (auto& p : parts) split(std::move(p), reach, 1 - axis, false, out);
}

// The groups of the subject's and the clip's paths (indices into subject, then clip).
std::vector<std::vector<Boxed>> groups(const cl::Paths& subject, const cl::Paths& clip, cl::cInt reach) {
    std::vector<Boxed> items;
    items.reserve(subject.size() + clip.size());
    for (std::size_t i = 0; i < subject.size() + clip.size(); ++i) {
        const cl::Path& p = i < subject.size() ? subject[i] : clip[i - subject.size()];
        if (p.empty()) continue;
        Boxed b{{p[0].X, p[0].Y}, {p[0].X, p[0].Y}, i};
        for (const auto& q : p)
            b.lo[0] = std::min(b.lo[0], q.X), b.lo[1] = std::min(b.lo[1], q.Y), b.hi[0] = std::max(b.hi[0], q.X),
            b.hi[1] = std::max(b.hi[1], q.Y);
        items.push_back(b);
    }
    std::vector<std::vector<Boxed>> out;
    split(std::move(items), reach, 0, false, out);
    return out;
}

cl::Paths booleanAtOnce(cl::ClipType op, const cl::Paths& subject, const cl::Paths& clip, cl::PolyFillType subjectFill) {
    cl::Clipper c;
    c.AddPaths(subject, cl::ptSubject, true);
    if (!clip.empty()) c.AddPaths(clip, cl::ptClip, true);
    cl::Paths out;
    c.Execute(op, out, subjectFill, cl::pftNonZero);
    return out;
}

cl::Paths offsetAtOnce(const cl::Paths& p, double mm, cl::JoinType join) {
    cl::ClipperOffset o(kMiterLimit, kChordError * kUnitsPerMm);
    o.AddPaths(p, join, cl::etClosedPolygon);
    cl::Paths out;
    o.Execute(out, mm * kUnitsPerMm);
    return out;
}

}  // namespace

cl::Paths boolean(cl::ClipType op, const cl::Paths& subject, const cl::Paths& clip, cl::PolyFillType subjectFill) {
    if (subject.size() + clip.size() < kGroupFrom) return booleanAtOnce(op, subject, clip, subjectFill);
    cl::Paths out, s, c;
    for (const auto& g : groups(subject, clip, 0)) {
        s.clear(), c.clear();
        for (const Boxed& b : g) (b.index < subject.size() ? s.push_back(subject[b.index]) : c.push_back(clip[b.index - subject.size()]));
        // a group without a subject path gives nothing but to a union
        if (s.empty() && op != cl::ctUnion) continue;
        if (c.empty() && op == cl::ctIntersection) continue;
        cl::Paths part = booleanAtOnce(op, s, c, subjectFill);
        out.insert(out.end(), std::make_move_iterator(part.begin()), std::make_move_iterator(part.end()));
    }
    return out;
}

cl::Paths offset(const cl::Paths& p, double mm, cl::JoinType join) {
    if (mm == 0) return p;
    if (p.size() < kGroupFrom) return offsetAtOnce(p, mm, join);
    // a mitred corner reaches out up to the mitre limit times the distance
    const double reach = std::fabs(mm) * kUnitsPerMm * (join == cl::jtMiter ? kMiterLimit : 1) + 2;
    cl::Paths out, part;
    for (const auto& g : groups(p, {}, static_cast<cl::cInt>(std::ceil(reach)))) {
        part.clear();
        for (const Boxed& b : g) part.push_back(p[b.index]);
        cl::Paths done = offsetAtOnce(part, mm, join);
        out.insert(out.end(), std::make_move_iterator(done.begin()), std::make_move_iterator(done.end()));
    }
    return out;
}

std::vector<Region> regions(const cl::Paths& paths) {
    auto atOnce = [](const cl::Paths& p, std::vector<Region>& out) {
        cl::Clipper c;
        c.AddPaths(p, cl::ptSubject, true);
        cl::PolyTree tree;
        c.Execute(cl::ctUnion, tree, cl::pftNonZero, cl::pftNonZero);
        std::vector<Region> found = regions(tree);
        out.insert(out.end(), std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()));
    };
    std::vector<Region> out;
    if (paths.size() < kGroupFrom) {
        atOnce(paths, out);
        return out;
    }
    cl::Paths part;
    for (const auto& g : groups(paths, {}, 0)) {
        part.clear();
        for (const Boxed& b : g) part.push_back(paths[b.index]);
        atOnce(part, out);
    }
    return out;
}

}  // namespace cut::detail

#include "engine/shape.h"

#include <cmath>
#include <vector>

#include "geom/segments.h"
#include "engine/contours.h"
#include "geom/geom.h"
#include "workfile/workfile_io.h"

namespace engine {

namespace {

using geom::kDegToRad;
using geom::kPi15;
using geom::kRadToDeg;
using geom::Point;
constexpr double kArcWidening = 0.03;   // share of the sweep added at both ends of an arc
constexpr double kProbeReach = 10000;   // half length of the vertical probe, mm
constexpr double kFitScaleY = 0.2;      // the letters are squeezed before probing
constexpr double kSplitMinDx = 0.01;    // nearly vertical segments are never split at a knot
constexpr double kSplitSlack = 0.1;     // the knot line may lie this far beyond a segment
constexpr double kSubdivideMinDx = 0.1; // shorter segments (in x) stay whole

// a result that must never reach the model: the build ends with a fault
double checked(double v) {
    if (!std::isfinite(v)) throw fault::OverflowFault("non-finite value in the shape build");
    return v;
}

double quotient(double a, double b) {
    if (b == 0) throw fault::OverflowFault("division by zero in the shape build");
    return checked(a / b);
}

void addLine(Model& m, Point a, Point b, std::int16_t kind) {
    m.shapeLines.push({checked(a.x), checked(a.y), checked(b.x), checked(b.y), kind});
}

// Both ends of A-B moved outwards by 0.05 mm along the segment.
void addExtendedLine(Model& m, Point a, Point b, std::int16_t kind) {
    const double theta = geom::direction(a, b);
    const double len = std::hypot(b.x - a.x, b.y - a.y);
    b = {a.x + (len + 0.05) * std::cos(theta), a.y + (len + 0.05) * std::sin(theta)};
    a = {b.x + (len + 0.1) * std::cos(theta + kPi15), b.y + (len + 0.1) * std::sin(theta + kPi15)};
    addLine(m, a, b, kind);
}

// How an end of an arc is finished: widened by 3 % of its sweep, left where the circle
// through the three points puts it, or moved 1 degree further (the waves, undone at the end).
enum class ArcEnd { Widened, Exact, OneDegree };

ShapeArc arcThrough(Point p1, Point p2, Point p3, std::int16_t kind, ArcEnd start = ArcEnd::Widened,
                    ArcEnd end = ArcEnd::Widened) {
    const geom::Arc c = geom::circleThrough(p1, p2, p3);
    const double cx = c.centre.x, cy = c.centre.y, a1 = c.start, a2 = c.end, r = c.radius;
    const double widening = kArcWidening * arcSpan(a1, a2) * kRadToDeg;
    double s = a1 * kRadToDeg, e = a2 * kRadToDeg;
    if (start == ArcEnd::Widened) s -= widening;
    if (start == ArcEnd::OneDegree) s -= 1;
    if (end == ArcEnd::Widened) e += widening;
    if (end == ArcEnd::OneDegree) e += 1;
    ShapeArc arc{checked(cx), checked(cy), checked(r), checked(s), checked(e), kind};
    arc.keptStartDeg = start == ArcEnd::OneDegree ? checked(a1 * kRadToDeg) : arc.startDeg;
    arc.keptEndDeg = end == ArcEnd::OneDegree ? checked(a2 * kRadToDeg) : arc.endDeg;
    return arc;
}

ShapeArc shifted(ShapeArc a, double dy, std::int16_t kind) {
    a.cy = checked(a.cy + dy);
    a.kind = kind;
    return a;
}

void capBoth(Model& m, std::size_t index) {
    m.capStart[index] = 1;
    m.capEnd[index] = 1;
}

// The measures every outline is built from: the text's extents, the heights, their ratio r,
// the depth D, the middle and the knot.
struct OutlineFrame {
    double X0, Y0, X1, Y1, H, h, r, D, xm, xk;
};

// Shapes of straight lines without a kink in the baseline: 0, 1, 2, 3, 8, 11, 12.
bool straightOutline(Model& m, const OutlineFrame& o) {
    const double X0 = o.X0, Y0 = o.Y0, X1 = o.X1, Y1 = o.Y1, r = o.r, xk = o.xk;
    auto knot = [&m](double x, double y) { m.knots.push({checked(x), checked(y)}); };
    auto flatBase = [&] { addLine(m, {X0 - 1, Y0}, {X1 + 1, Y0}, 0); };
    switch (m.shapeNumber) {
    case 0:
        flatBase();
        addLine(m, {X0, Y1}, {X1, Y1}, 1);
        capBoth(m, 0);
        break;
    case 1:
        flatBase();
        addLine(m, {X0, Y1}, {X1, Y0 + (Y1 - Y0) * r}, 1);
        capBoth(m, 0);
        break;
    case 2:
        flatBase();
        addLine(m, {X1, Y1}, {X0, Y0 + r * Y1}, 1);
        capBoth(m, 0);
        break;
    case 3:
        flatBase();
        addLine(m, {xk, Y1}, {X0, Y0 + r * Y1}, 1);
        addLine(m, {X1, Y0 + r * Y1}, {xk, Y1}, 1);
        knot(xk, Y1);
        capBoth(m, 0);
        break;
    case 8:
        addLine(m, {X0 - 0.1, Y0}, {X1 + 0.1, Y0}, 0);
        addLine(m, {X0, Y1}, {xk, Y0 + r * Y1}, 1);
        addLine(m, {xk, Y0 + r * Y1}, {X1, Y1}, 1);
        knot(xk, Y0 + r * Y1);
        capBoth(m, 0);
        break;
    case 11:
        addExtendedLine(m, {X1, Y1 / 2}, {X0, r * Y1 / 2}, 1);
        addExtendedLine(m, {X1, -Y1 / 2}, {X0, -r * Y1 / 2}, 0);
        capBoth(m, 1);
        break;
    case 12:
        addExtendedLine(m, {X0, Y1 / 2}, {X1, r * Y1 / 2}, 1);
        addExtendedLine(m, {X0, -Y1 / 2}, {X1, -r * Y1 / 2}, 0);
        capBoth(m, 1);
        break;
    default:
        return false;
    }
    return true;
}

// Shapes whose top and baseline bend at the knot: 16 to 19.
bool knotOutline(Model& m, const OutlineFrame& o) {
    const double X0 = o.X0, Y0 = o.Y0, X1 = o.X1, Y1 = o.Y1, H = o.H, h = o.h, r = o.r, D = o.D, xk = o.xk;
    auto knot = [&m](double x, double y) { m.knots.push({checked(x), checked(y)}); };
    switch (m.shapeNumber) {
    case 16: {
        const double e = quotient((H - h) * h, Y1) * 0.5;
        addLine(m, {X0, Y1}, {xk, Y1 + e}, 1);
        addLine(m, {xk, Y1 + e}, {X1, Y1}, 1);
        addLine(m, {X0, Y0}, {xk, Y0 - e}, 0);
        addLine(m, {xk, Y0 - e}, {X1, Y0}, 0);
        knot(xk, Y1 + e);
        knot(xk, Y0 - e);
        m.capStart[2] = 1;
        m.capEnd[3] = 1;
        break;
    }
    case 17:
        addLine(m, {xk, Y1 / 2}, {X0, r * Y1 / 2 + Y0}, 1);
        addLine(m, {X1, r * Y1 / 2 + Y0}, {xk, Y1 / 2}, 1);
        addLine(m, {xk, -Y1 / 2}, {X0, -r * Y1 / 2}, 0);
        addLine(m, {X1, -r * Y1 / 2}, {xk, -Y1 / 2}, 0);
        knot(xk, Y1 / 2);
        knot(xk, -Y1 / 2);
        m.capEnd[2] = 1;
        m.capStart[3] = 1;
        break;
    case 18:
    case 19: {
        const double d = m.shapeNumber == 18 ? -D : D;
        addLine(m, {X0, Y0}, {xk, Y0 + d}, 0);
        addLine(m, {xk, Y0 + d}, {X1, Y0}, 0);
        addLine(m, {X0, Y0 + Y1}, {xk, Y0 + d + Y1}, 1);
        addLine(m, {xk, Y0 + d + Y1}, {X1, Y0 + Y1}, 1);
        knot(xk, Y0 + d);
        knot(xk, Y0 + d + Y1);
        m.capStart[0] = 1;
        m.capEnd[1] = 1;
        break;
    }
    default:
        return false;
    }
    return true;
}

// Shapes of one arc on either side or an arc over a straight line: 4, 5, 9, 10, 13 to 15.
bool arcOutline(Model& m, const OutlineFrame& o) {
    const double X0 = o.X0, Y0 = o.Y0, X1 = o.X1, Y1 = o.Y1, D = o.D, xm = o.xm;
    auto flatBase = [&] { addLine(m, {X0 - 1, Y0}, {X1 + 1, Y0}, 0); };
    switch (m.shapeNumber) {
    case 4:
    case 9: {
        const double d = m.shapeNumber == 4 ? -D : D;
        const ShapeArc a0 = arcThrough({X0, Y0}, {X1, Y0}, {xm, Y0 + d}, 0);
        m.shapeArcs.push(a0);
        m.shapeArcs.push(shifted(a0, Y1, 1));
        capBoth(m, 0);
        break;
    }
    case 5:
        m.shapeArcs.push(arcThrough({X0, Y0}, {X1, Y0}, {xm, Y0 - D / 2}, 0));
        m.shapeArcs.push(arcThrough({X0, Y0 + Y1}, {X1, Y0 + Y1}, {xm, Y0 + Y1 + D / 2}, 1));
        capBoth(m, 0);
        break;
    case 10:
        m.shapeArcs.push(arcThrough({X0, Y0 - D / 2}, {X1, Y0 - D / 2}, {xm, Y0}, 0));
        m.shapeArcs.push(
            arcThrough({X0, Y0 + Y1 + D / 2}, {X1, Y0 + Y1 + D / 2}, {xm, Y0 + Y1}, 1));
        capBoth(m, 0);
        break;
    case 13:
        flatBase();
        m.shapeArcs.push(arcThrough({X0, Y0 + Y1}, {X1, Y0 + Y1}, {xm, Y0 + Y1 + D}, 1));
        capBoth(m, 0);
        break;
    case 14:
        addLine(m, {X0 - 1, Y1}, {X1 + 1, Y1}, 1);
        m.shapeArcs.push(arcThrough({X0, Y0}, {X1, Y0}, {xm, Y0 - D}, 0));
        capBoth(m, 0);
        break;
    case 15:
        addLine(m, {X0 - 1, Y1 + D}, {X1 + 1, Y1 + D}, 1);
        m.shapeArcs.push(arcThrough({X0, Y0}, {X1, Y0}, {xm, Y0 + D}, 0));
        capBoth(m, 0);
        break;
    default:
        return false;
    }
    return true;
}

// The waves, two half arcs on either side: 6 and 7.
bool waveOutline(Model& m, const OutlineFrame& o) {
    const double X0 = o.X0, Y0 = o.Y0, X1 = o.X1, Y1 = o.Y1, D = o.D;
    switch (m.shapeNumber) {
    case 6:
    case 7: {
        // two half arcs: up then down (6) or down then up (7); where they meet the arcs first
        // overlap by one degree so that no point at the middle misses both
        const double A = X0 - 0.1, W = X1 + 0.1 - A;
        const double first = m.shapeNumber == 6 ? D / 2 : -D / 2;
        const bool six = m.shapeNumber == 6;
        const ArcEnd inner0 = six ? ArcEnd::OneDegree : ArcEnd::Widened;
        const ArcEnd outer0 = six ? ArcEnd::Widened : ArcEnd::OneDegree;
        const ArcEnd inner1 = six ? ArcEnd::Exact : ArcEnd::Widened;
        const ArcEnd outer1 = six ? ArcEnd::Widened : ArcEnd::Exact;
        const ShapeArc a0 =
            arcThrough({A, Y0}, {A + W / 2, Y0}, {A + W / 4, Y0 + first}, 0, inner0, outer0);
        const ShapeArc a1 = arcThrough({A + W / 2, Y0}, {A + W, Y0}, {A + 0.75 * W, Y0 - first}, 0,
                                       inner1, outer1);
        m.shapeArcs.push(a0);
        m.shapeArcs.push(a1);
        m.shapeArcs.push(shifted(a0, Y1, 1));
        m.shapeArcs.push(shifted(a1, Y1, 1));
        m.capStart[0] = m.capStart[1] = six ? 0 : 1;
        m.capEnd[0] = m.capEnd[1] = six ? 1 : 0;
        break;
    }
    default:
        return false;
    }
    return true;
}

// Step 4: the baseline, the top and the knots of the shape.
void buildOutline(Model& m, const Box& t, double knotX) {
    const double H = m.bigHeight, h = m.smallHeight;
    const OutlineFrame o{t.xmin, t.ymin, t.xmax, t.ymax, H, h, quotient(H, h), quotient((H - h) * t.ymax, h),
                         t.xmin + (t.xmax - t.xmin) * 0.5, knotX};
    if (!straightOutline(m, o) && !knotOutline(m, o) && !arcOutline(m, o) && !waveOutline(m, o))
        throw fault::OverflowFault("no such shape");
}

// Step 2: letter n moves right by the sign distances before it.
void applyLetterSpacing(Model& m) {
    const int letters = m.letterCount;
    if (letters <= 0) return;
    std::vector<double> shift(static_cast<std::size_t>(letters) + 1, 0.0);
    double offset = 0;
    for (int n = 1; n <= letters && n - 1 < static_cast<int>(kSignDistances); ++n) {
        offset += m.signDistanceA[n - 1] * geom::kMmPerInch + m.signDistanceB[n - 1];
        shift[n] = checked(offset);
    }
    auto of = [&](std::int32_t object) {
        return object >= 1 && object <= letters ? shift[object] : 0.0;
    };
    for (Element& e : m.elements) e.x += of(e.object);
    for (Bridge& b : m.bridges) {
        const double s = of(b.object);
        b.x1 += s;
        b.x2 += s;
    }
}

void shiftAll(Model& m, double dx, double dy) {
    for (Element& e : m.elements) {
        e.x -= dx;
        e.y -= dy;
    }
    for (Bridge& b : m.bridges) {
        b.x1 -= dx;
        b.x2 -= dx;
        b.y1 -= dy;
        b.y2 -= dy;
    }
}

// The list in `out` replaces the contour points, or the build ends when it does not fit.
void commit(Model& m, std::vector<Element>& out) {
    if (out.size() > kMaxElements) throw fault::CapacityFault("too many contour points");
    m.elements.raw().swap(out);
}

Element copyWithCode(const Element& e, double x, double y, std::int16_t code) {
    Element c = e;
    c.x = x;
    c.y = y;
    c.kind = code;
    return c;
}

// Every contour's closing segment becomes an explicit straight piece: ... P, P' (code 1),
// E (code 2), E (code 6) when the end point E differs from the point before it.
void makeClosingSegments(Model& m) {
    const auto& in = m.elements.raw();
    std::vector<Element> out;
    out.reserve(in.size() + in.size() / 8 + 16);
    for (std::size_t i = 0; i < in.size(); ++i) {
        const Element& e = in[i];
        if (e.kind == kCodeEnd && i > 0 && (in[i - 1].x != e.x || in[i - 1].y != e.y)) {
            const Element& prev = in[i - 1];
            out.push_back(copyWithCode(prev, prev.x, prev.y, kCodeLine));
            out.push_back(copyWithCode(prev, e.x, e.y, kCodeInserted));
        }
        out.push_back(e);
    }
    commit(m, out);
}

// One pass over the straight segments (code 1 followed by its end point); `cut` says where a
// segment gets a new vertex and with which code the first copy is stored. A quadratic curve
// (code 3, control point, end) is offered whole to `cutCurve`, which either appends its
// replacement to the output and returns true, or leaves it as it is. The entry after a contour
// end and the points of a curve left whole are passed over as the drawing does.
template <typename Cut, typename CutCurve>
void insertVertices(Model& m, Cut cut, CutCurve cutCurve) {
    const auto& in = m.elements.raw();
    const std::size_t n = in.size();
    std::vector<Element> out;
    out.reserve(n + n / 2 + 16);
    for (std::size_t i = 0; i < n; ++i) {
        const Element& p = in[i];
        if (p.kind == kCodeQuadratic && i + 2 < n && cutCurve(p, in[i + 1], in[i + 2], out)) {
            i += 2;
            continue;
        }
        out.push_back(p);
        if (p.kind == kCodeEnd || p.kind == kCodeQuadratic) {
            const std::size_t skip = p.kind == kCodeEnd ? 1 : 2;
            for (std::size_t k = 1; k <= skip && i + 1 < n; ++k) out.push_back(in[++i]);
            continue;
        }
        if (p.kind != kCodeLine || i + 1 >= n) continue;
        Point v{};
        std::int16_t code = 0;
        if (cut(p, in[i + 1], v, code)) {
            out.push_back(copyWithCode(p, v.x, v.y, code));
            out.push_back(copyWithCode(p, v.x, v.y, kCodeLine));
        }
    }
    commit(m, out);
}

// The parameters in (0, 1) at which the quadratic curve with the x coordinates x0, xc, x2
// (start, control point, end) crosses the vertical line at x from one side to the other, in
// increasing order; a curve that only touches the line or ends on it does not cross it there.
// Returns how many there are (at most two).
int curveCrossings(double x0, double xc, double x2, double x, double (&t)[2]) {
    auto f = [&](double s) {
        const double u = 1 - s;
        return u * u * x0 + 2 * u * s * xc + s * s * x2 - x;
    };
    // x runs one way up to the curve's turning point in x and the other way after it
    double bounds[3] = {0, 1, 1};
    int pieces = 1;
    const double bend = x0 - 2 * xc + x2;
    if (bend != 0) {
        const double turn = (x0 - xc) / bend;
        if (turn > 0 && turn < 1) {
            bounds[1] = turn;
            pieces = 2;
        }
    }
    int found = 0;
    for (int k = 0; k < pieces; ++k) {
        double lo = bounds[k], hi = bounds[k + 1];
        double flo = k == 0 ? x0 - x : f(lo);
        const double fhi = k + 1 == pieces ? x2 - x : f(hi);
        if (!((flo < 0 && fhi > 0) || (flo > 0 && fhi < 0))) continue;
        // bisection on a monotone piece, down to neighbouring doubles
        for (;;) {
            const double mid = lo + (hi - lo) / 2;
            if (mid <= lo || mid >= hi) break;
            const double fm = f(mid);
            if (fm == 0) {
                lo = hi = mid;
                break;
            }
            if ((fm < 0) == (flo < 0)) {
                lo = mid;
                flo = fm;
            } else {
                hi = mid;
            }
        }
        t[found++] = lo + (hi - lo) / 2;
    }
    return found;
}

}  // namespace

bool shapeHasKnot(int shape) {
    return shape == 3 || shape == 8 || (shape >= 16 && shape <= 19);
}

void splitAtX(Model& model, double x) {
    makeClosingSegments(model);
    // A straight segment gets a vertex on the line: P (1), V (2), V (1), Q. When the line lies
    // just beyond the segment, the vertex is the segment's nearer end, never a point on its
    // extension, which would stick out of the letter as a spur once bent.
    auto cutSegment = [x](const Element& p, const Element& q, Point& v, std::int16_t& code) {
        if (!(std::fabs(q.x - p.x) > kSplitMinDx)) return false;
        const double lo = std::min(p.x, q.x), hi = std::max(p.x, q.x);
        if (x < lo - kSplitSlack || x > hi + kSplitSlack) return false;
        if (x < lo || x > hi) {
            const Element& end = (x < lo) == (p.x < q.x) ? p : q;
            v = {end.x, end.y};
        } else {
            v = {x, checked(p.y + (x - p.x) * (q.y - p.y) / (q.x - p.x))};
        }
        code = kCodeInserted;
        return true;
    };
    // A quadratic curve that crosses the line is cut there (de Casteljau), so that each part is
    // bent on one side of the kink: P0 (3), C, P2 becomes P0 (3), C1, M (2), M (3), C2, P2,
    // once more for a second crossing. The control points keep their code.
    auto cutCurve = [x](const Element& p0, const Element& c, const Element& p2,
                        std::vector<Element>& out) {
        double t[2];
        const int crossings = curveCrossings(p0.x, c.x, p2.x, x, t);
        if (crossings == 0) return false;
        out.push_back(p0);
        Point a{p0.x, p0.y}, b{c.x, c.y};
        const Point end{p2.x, p2.y};
        double done = 0;  // the curve's parameter at a
        for (int k = 0; k < crossings; ++k) {
            const double s = (t[k] - done) / (1 - done);  // on the rest of the curve, a b end
            const Point c1{a.x + (b.x - a.x) * s, a.y + (b.y - a.y) * s};
            const Point c2{b.x + (end.x - b.x) * s, b.y + (end.y - b.y) * s};
            const double my = checked(c1.y + (c2.y - c1.y) * s);
            out.push_back(copyWithCode(c, checked(c1.x), checked(c1.y), c.kind));
            out.push_back(copyWithCode(p0, x, my, kCodeInserted));
            out.push_back(copyWithCode(p0, x, my, kCodeQuadratic));
            a = {x, my};
            b = c2;
            done = t[k];
        }
        out.push_back(copyWithCode(c, checked(b.x), checked(b.y), c.kind));
        out.push_back(p2);
        return true;
    };
    insertVertices(model, cutSegment, cutCurve);
}

void subdivideSegments(Model& model) {
    makeClosingSegments(model);
    insertVertices(model, [](const Element& p, const Element& q, Point& v, std::int16_t& code) {
        if (!(std::fabs(p.x - q.x) > kSubdivideMinDx)) return false;
        const double theta = geom::direction({p.x, p.y}, {q.x, q.y});
        const double half = std::hypot(q.x - p.x, q.y - p.y) / 2;
        v = {p.x + half * std::cos(theta), p.y + half * std::sin(theta)};
        code = kCodeArcMiddle;
        return true;
    }, [](const Element&, const Element&, const Element&, std::vector<Element>&) { return false; });
}

Probe probeOutline(const Model& model, double x, double y, std::int16_t kind) {
    for (const ShapeLine& l : model.shapeLines) {
        if (l.kind != kind) continue;
        const geom::Crossings c =
            geom::crossing({{x, y + kProbeReach}, {x, y - kProbeReach}}, {{l.x1, l.y1}, {l.x2, l.y2}});
        if (c.onFirst) return {true, c.first.y};
        if (c.onSecond) return {true, c.second.y};
    }
    auto meet = [&](const ShapeArc& a, double startDeg, double endDeg) -> Probe {
        const geom::Arc arc{{a.cx, a.cy}, a.radius, startDeg * kDegToRad, endDeg * kDegToRad};
        const geom::Crossings c = geom::crossings({{x, y + kProbeReach}, {x, y - kProbeReach}}, arc);
        if (c.onFirst) return {true, c.first.y};
        if (c.onSecond) return {true, c.second.y};
        return {false, 0.0};
    };
    // First the arcs as they stay after the build, so that a point is fitted to the arc it lies
    // under and not to the degree by which a wave's first arc reaches past the middle while the
    // letters are fitted; that degree serves only a probe that meets no arc without it.
    auto hasKept = [](const ShapeArc& a) { return a.keptStartDeg != a.keptEndDeg; };
    for (const ShapeArc& a : model.shapeArcs) {
        if (a.kind != kind) continue;
        const Probe p = hasKept(a) ? meet(a, a.keptStartDeg, a.keptEndDeg)
                                   : meet(a, a.startDeg, a.endDeg);
        if (p.found) return p;
    }
    for (const ShapeArc& a : model.shapeArcs) {
        if (a.kind != kind || !hasKept(a)) continue;
        if (a.startDeg == a.keptStartDeg && a.endDeg == a.keptEndDeg) continue;  // tried above
        const Probe p = meet(a, a.startDeg, a.endDeg);
        if (p.found) return p;
    }
    return {false, 0.0};
}

void buildShape(Model& m, bool fitIn) {
    // step 2: letter spacing
    applyLetterSpacing(m);

    // step 3: normalisation
    m.capStart.fill(0);
    m.capEnd.fill(0);
    m.shapeLines.clear();
    m.shapeArcs.clear();
    m.knots.clear();
    if (m.elements.empty()) return;  // nothing to bend, and no outline around nothing
    Box t = contourExtents(m);
    shiftAll(m, t.xmin, fitIn ? t.ymin : 0.0);
    t = contourExtents(m);
    const double c = t.ymin;
    if (c < 0) shiftAll(m, 0.0, c);
    t = contourExtents(m);

    const double xm = t.xmin + (t.xmax - t.xmin) * 0.5;
    const double xk = checked(xm + m.knotShift);

    // step 4: the outline
    buildOutline(m, t, xk);

    // steps 5 and 6: vertices under the knot, straight segments halved for the arcs
    const int shape = m.shapeNumber;
    if (shapeHasKnot(shape)) splitAtX(m, xk);
    if (shape == 6 || shape == 7) splitAtX(m, xm);
    if (shape == 4 || shape == 5 || shape == 6 || shape == 7 || shape == 9 || shape == 10 ||
        (shape >= 13 && shape <= 15))
        subdivideSegments(m);

    // step 7: every point squeezed, then set between the baseline and the top at its x
    // (scaling about (xm, 0) by 1 in x and 0.2 in y; x is left exactly as it is, so that a
    // point at the very end of the text still meets an outline line ending there)
    for (Element& e : m.elements) {
        e.y *= kFitScaleY;
        e.letterHeight *= kFitScaleY;
    }
    for (Bridge& b : m.bridges) {
        b.y1 *= kFitScaleY;
        b.y2 *= kFitScaleY;
        if (fitIn) b.letterHeight *= kFitScaleY;
    }
    const double plainDivisor = kFitScaleY * (t.ymax + c);
    auto bend = [&](double x, double& y, double letterHeight) {
        const Probe base = probeOutline(m, x, y, 0);
        const Probe top = probeOutline(m, x, y, 1);
        if (!base.found || !top.found) return;
        const double share =
            fitIn ? quotient(y, letterHeight) : quotient(y + kFitScaleY * c, plainDivisor);
        y = checked(base.y + (top.y - base.y) * share);
    };
    for (Element& e : m.elements) bend(e.x, e.y, e.letterHeight);
    for (Bridge& b : m.bridges) {
        bend(b.x1, b.y1, b.letterHeight);
        bend(b.x2, b.y2, b.letterHeight);
    }

    // step 8: the waves' arcs meet at the middle again
    if (shape == 7) {
        m.shapeArcs[0].endDeg -= 1;
        m.shapeArcs[2].endDeg -= 1;
    } else if (shape == 6) {
        m.shapeArcs[0].startDeg += 1;
        m.shapeArcs[2].startDeg += 1;
    }
}

}  // namespace engine

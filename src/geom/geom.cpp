#include "geom/geom.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace geom {

namespace {

// Crossings this far (radians) outside an arc still count as on it.
constexpr double kArcSlack = 1e-9;
// Segment parameter slack, as a fraction of the segment length.
constexpr double kSegmentSlack = 1e-9;
// A line closer to a circle than this fraction of r^2 (in r^2 - h^2) is a tangent.
constexpr double kTangentSlack = 1e-12;
// Three points whose circle would be more than ~5e11 times the longest chord are a straight line.
constexpr double kCollinearSine = 1e-12;

constexpr double kPictureWidth = 640.0;
constexpr double kPictureHeight = 480.0;

// angle into 0 <= a < 2*pi; the sum can round up to exactly 2*pi, which is 0 again
double normalised(double a) {
    if (!std::isfinite(a)) return a;
    a = std::fmod(a, kFullTurn);
    if (a < 0) a += kFullTurn;
    if (a >= kFullTurn || a == 0) a = 0.0;  // also drops a negative zero
    return a;
}

// true when the angle t lies on the counter-clockwise arc a1 -> a2 (see crossings)
bool onArc(double t, double a1, double a2) {
    if (a2 - a1 >= kFullTurn - kArcSlack) return true;  // an explicit full turn, e.g. 0 .. 2*pi
    const double start = normalised(a1);
    double span = normalised(a2) - start;
    if (span < 0) span += kFullTurn;
    const double along = normalised(t - start);
    return along <= span + kArcSlack || along >= kFullTurn - kArcSlack;
}

}  // namespace

// Rounds the shortest decimal text of the value (the digits it prints as), half away from
// zero, so 2.675 gives 2.68 and 0.125 gives 0.13 even though the nearest doubles lie just
// below / exactly on the tie. The result is the double nearest the rounded decimal.
double roundTo(double value, std::int16_t digits) {
    if (!std::isfinite(value) || value == 0) return value;
    char buf[64];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific);
    if (res.ec != std::errc()) return value;
    const std::string text(buf, res.ptr);
    const std::size_t ePos = text.find('e');
    if (ePos == std::string::npos) return value;
    std::string mant;  // significant digits d0 d1 ..., d_i standing for 10^(exp - i)
    for (std::size_t i = 0; i < ePos; ++i)
        if (text[i] != '.') mant += text[i];
    const int exp = std::atoi(text.c_str() + ePos + 1);

    const long keep = static_cast<long>(exp) + digits + 1;  // digits at or above 10^-digits
    if (keep >= static_cast<long>(mant.size())) return value;  // nothing to drop
    const bool negative = value < 0;
    std::string kept = keep > 0 ? mant.substr(0, static_cast<std::size_t>(keep)) : std::string();
    const bool up = keep >= 0 && mant[static_cast<std::size_t>(keep)] >= '5';
    if (up) {
        int i = static_cast<int>(kept.size()) - 1;
        while (i >= 0 && kept[static_cast<std::size_t>(i)] == '9')
            kept[static_cast<std::size_t>(i--)] = '0';
        if (i >= 0)
            ++kept[static_cast<std::size_t>(i)];
        else
            kept.insert(kept.begin(), '1');
    }
    if (kept.empty() || kept.find_first_not_of('0') == std::string::npos)
        return 0.0;  // a plain zero, never -0
    const std::string out =
        (negative ? "-" : "") + kept + "e" + std::to_string(-static_cast<int>(digits));
    return std::strtod(out.c_str(), nullptr);
}

double direction(Point from, Point to) {
    const double dx = to.x - from.x, dy = to.y - from.y;
    if (dx == 0 && dy == 0) return 0.0;
    return normalised(std::atan2(dy, dx));
}

Circle circleOf(Point start, Point end, Point middle) {
    const double x1 = start.x, y1 = start.y, x2 = end.x, y2 = end.y, x3 = middle.x, y3 = middle.y;
    Circle c;
    // worked relative to P1 to keep the products small
    const double bx = x2 - x1, by = y2 - y1;  // P1 -> P2
    const double ex = x3 - x1, ey = y3 - y1;  // P1 -> P3
    c.cross = bx * ey - by * ex;
    const double b2 = bx * bx + by * by, e2 = ex * ex + ey * ey;
    const double f2 = (x3 - x2) * (x3 - x2) + (y3 - y2) * (y3 - y2);
    // sine of the widest angle of the triangle: cross over the two shorter sides
    double sides[3] = {b2, e2, f2};
    std::sort(sides, sides + 3);
    const double longest = sides[2];
    const double shorterPair = std::sqrt(sides[0]) * std::sqrt(sides[1]);
    if (!(longest > 0) || !(shorterPair > 0) || !(std::fabs(c.cross) > kCollinearSine * shorterPair)) return c;
    const double d = 2.0 * c.cross;
    const double ux = (ey * b2 - by * e2) / d;
    const double uy = (bx * e2 - ex * b2) / d;
    if (!std::isfinite(ux) || !std::isfinite(uy)) return c;
    c.centre = {x1 + ux, y1 + uy};
    c.radius = std::sqrt(ux * ux + uy * uy);
    c.degenerate = false;
    return c;
}

Arc circleThrough(Point start, Point end, Point middle) {
    const Circle c = circleOf(start, end, middle);
    if (c.degenerate) return Arc{{(start.x + end.x) / 2, (start.y + end.y) / 2}, 0, 0, 0};
    Arc arc;
    arc.centre = c.centre;
    arc.radius = c.radius;
    const double s1 = direction(arc.centre, start), s2 = direction(arc.centre, end);
    // P1 -> P3 -> P2 turns counter-clockwise exactly when cross(P2-P1, P3-P1) < 0
    arc.start = c.cross < 0 ? s1 : s2;
    arc.end = c.cross < 0 ? s2 : s1;
    return arc;
}

Point scaledAbout(Point p, Point centre, double fx, double fy) {
    return {centre.x + (p.x - centre.x) * fx, centre.y + (p.y - centre.y) * fy};
}

// Crossing 1 is the one nearer L1 along the line, crossing 2 the farther one. The coordinates
// are those of the infinite line's crossings (ok says whether the point also lies on the
// segment and the arc); they are 0 when the line misses the circle, for the missing second
// point of a tangent, for a zero-length segment and for r <= 0.
// Arc: counter-clockwise from a1 to a2 with kArcSlack either side; a1 > a2 passes angle 0;
// a2 - a1 >= 2*pi (say 0 .. kTwoPi) is the full circle; a1 == a2 is a single point, not a
// full circle.
Crossings crossings(Segment s, const Arc& a) {
    Crossings c;
    const double lx1 = s.a.x, ly1 = s.a.y, cx = a.centre.x, cy = a.centre.y, r = a.radius;
    const double dx = s.b.x - lx1, dy = s.b.y - ly1;
    const double len2 = dx * dx + dy * dy;
    if (!(len2 > 0) || !std::isfinite(len2) || !(r > 0) || !std::isfinite(r)) return c;
    const double fx = lx1 - cx, fy = ly1 - cy;
    const double t0 = -(fx * dx + fy * dy) / len2;  // foot of the perpendicular from the centre
    const double hx = fx + t0 * dx, hy = fy + t0 * dy;
    const double h2 = hx * hx + hy * hy, r2 = r * r;
    const double rest = r2 - h2;
    if (rest < -kTangentSlack * r2) return c;  // line misses

    auto judge = [&](double t, Point& p, bool& on) {
        p = {lx1 + t * dx, ly1 + t * dy};
        on = t >= -kSegmentSlack && t <= 1 + kSegmentSlack && onArc(direction(a.centre, p), a.start, a.end);
    };
    if (rest <= kTangentSlack * r2) {
        judge(t0, c.first, c.onFirst);
        return c;
    }
    const double dt = std::sqrt(rest / len2);
    judge(t0 - dt, c.first, c.onFirst);
    judge(t0 + dt, c.second, c.onSecond);
    return c;
}

// A window of zero (or non-finite) width or height gives 0 on that axis instead of NaN.
Point toPicture(Point p, double xmin, double xmax, double ymin, double ymax) {
    const double w = xmax - xmin, h = ymax - ymin;
    return {(w != 0 && std::isfinite(w)) ? (p.x - xmin) / w * kPictureWidth : 0.0,
            (h != 0 && std::isfinite(h)) ? (ymax - p.y) / h * kPictureHeight : 0.0};
}

Point fromPicture(Point p, double xmin, double xmax, double ymin, double ymax) {
    return {xmin + p.x / kPictureWidth * (xmax - xmin), ymax - p.y / kPictureHeight * (ymax - ymin)};
}

// Liang-Barsky against the closed box; a segment touching the border stays visible.
std::optional<Segment> clippedToPicture(Segment s) {
    double &x1 = s.a.x, &y1 = s.a.y, &x2 = s.b.x, &y2 = s.b.y;
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
        return std::nullopt;
    const double dx = x2 - x1, dy = y2 - y1;
    double tIn = 0, tOut = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1, kPictureWidth - x1, y1, kPictureHeight - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return std::nullopt;  // parallel to this edge and outside it
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            tIn = std::max(tIn, t);
        else
            tOut = std::min(tOut, t);
        if (tIn > tOut) return std::nullopt;
    }
    const double ox = x1, oy = y1;
    if (tIn > 0) {
        x1 = std::clamp(ox + tIn * dx, 0.0, kPictureWidth);
        y1 = std::clamp(oy + tIn * dy, 0.0, kPictureHeight);
    }
    if (tOut < 1) {
        x2 = std::clamp(ox + tOut * dx, 0.0, kPictureWidth);
        y2 = std::clamp(oy + tOut * dy, 0.0, kPictureHeight);
    }
    return s;
}

Point onPictureCircle(Point centre, double radius, double t) {
    return {centre.x + radius * std::cos(t), centre.y - radius * std::sin(t)};
}

}  // namespace geom

#include "preview/paint.h"

#include <cmath>
#include <optional>

#include "engine/arcs.h"
#include "engine/walk.h"
#include "geom/bridge.h"
#include "geom/geom.h"

namespace preview {

namespace {

constexpr double kViewZeroTolerance = 0.001;
using geom::kDegToRad;
constexpr int kArcChords = 100;
constexpr int kCurveChords = 14;

// A picture-space line: skipped when both ends lie beyond one side, clipped otherwise.
void pictureLine(Canvas& canvas, double x1, double y1, double x2, double y2, std::uint8_t colour) {
    if ((x1 < 0 && x2 < 0) || (x1 > kPictureWidth && x2 > kPictureWidth) || (y1 < 0 && y2 < 0) ||
        (y1 > kPictureHeight && y2 > kPictureHeight))
        return;
    const std::optional<geom::Segment> shown = geom::clippedToPicture({{x1, y1}, {x2, y2}});
    if (!shown) return;
    canvas.line(shown->a.x, shown->a.y, shown->b.x, shown->b.y, colour);
}

geom::Point toPicture(const engine::ViewWindow& v, double x, double y) {
    return geom::toPicture({x, y}, v.xmin, v.xmax, v.ymin, v.ymax);
}

// A model circle in picture coordinates: its centre, and its radius as a picture width.
struct PictureCircle {
    geom::Point centre;
    double radius;
};
PictureCircle circleToPicture(const engine::ViewWindow& v, double cx, double cy, double r) {
    return {toPicture(v, cx, cy), toPicture(v, v.xmin + r, cy).x};
}

}  // namespace

Rgb paletteColour(std::uint8_t index) {
    static constexpr Rgb kPalette[16] = {
        {0, 0, 0},       {0, 0, 128},   {0, 128, 0},   {0, 128, 128},   {128, 0, 0},   {128, 0, 128},
        {128, 128, 0},   {192, 192, 192}, {128, 128, 128}, {0, 0, 255},  {0, 255, 0},   {0, 255, 255},
        {255, 0, 0},     {255, 0, 255}, {255, 255, 0}, {255, 255, 255}};
    return kPalette[index & 15];
}

void drawSegment(const engine::ViewWindow& view, Canvas& canvas, double x1, double y1, double x2,
                 double y2, std::uint8_t colour) {
    const geom::Point p1 = toPicture(view, x1, y1), p2 = toPicture(view, x2, y2);
    pictureLine(canvas, p1.x, p1.y, p2.x, p2.y, colour);
}

void drawArc(Canvas& canvas, double cx, double cy, double r, double a1, double a2, std::uint8_t colour) {
    double end;
    if (a1 < a2) {
        end = a2;
    } else if (a1 > a2) {
        end = geom::kTwoPi10 + a2;  // through angle 0
    } else {
        return;
    }
    const double step = (end - a1) / kArcChords;
    geom::Point p = geom::onPictureCircle({cx, cy}, r, a1);
    for (int i = 1; i < kArcChords; ++i) {
        const geom::Point q = geom::onPictureCircle({cx, cy}, r, a1 + step * i);
        pictureLine(canvas, p.x, p.y, q.x, q.y, colour);
        p = q;
    }
    const geom::Point q = geom::onPictureCircle({cx, cy}, r, a2);
    pictureLine(canvas, p.x, p.y, q.x, q.y, colour);
}

void quadratic(const engine::ViewWindow& view, Canvas& canvas, int n, double x0, double y0, double x1,
               double y1, double x2, double y2, std::uint8_t colour) {
    // forward differences of B(t) = (1-t)^2 P0 + 2t(1-t) P1 + t^2 P2 with t stepping by d
    const double d = 1.0 / n;
    const double ax = x0 - 2 * x1 + x2, ay = y0 - 2 * y1 + y2;
    const double bx = 2 * (x1 - x0), by = 2 * (y1 - y0);
    double x = x0, y = y0;
    double dx = ax * d * d + bx * d, dy = ay * d * d + by * d;
    const double ddx = 2 * ax * d * d, ddy = 2 * ay * d * d;
    for (int i = 1; i <= n; ++i) {
        double nx = x + dx, ny = y + dy;
        if (i == n) {
            nx = x2;
            ny = y2;
        }
        drawSegment(view, canvas, x, y, nx, ny, colour);
        x = nx;
        y = ny;
        dx += ddx;
        dy += ddy;
    }
}

PaintResult paint(engine::Model& m, const PaintOptions& o, Canvas& canvas) {
    const engine::ViewWindow& v = m.view;
    const double width = v.xmax - v.xmin;
    const bool allZero = std::fabs(v.xmin) < kViewZeroTolerance && std::fabs(v.xmax) < kViewZeroTolerance &&
                         std::fabs(v.ymin) < kViewZeroTolerance && std::fabs(v.ymax) < kViewZeroTolerance;
    if (!(width >= kMinViewWidth && width <= kMaxViewWidth) && !allZero) {
        m.view = engine::ViewWindow{};
        return PaintResult::ViewOverflow;
    }
    engine::straightenUndrawableArcs(m);
    draw(m, o, canvas);
    return PaintResult::Drawn;
}

void draw(const engine::Model& m, const PaintOptions& o, Canvas& canvas) {
    const engine::ViewWindow& v = m.view;
    canvas.clear();
    if (!canvas.keeps()) return;

    if (o.showKnots) {
        for (const auto& k : m.knots) {
            const geom::Point p = toPicture(v, k[0], k[1]);
            for (double r : {2.0, 1.0, 0.5}) drawArc(canvas, p.x, p.y, r, 0, geom::kTwoPi3, kLightBlue);
        }
    }

    for (const auto& a : m.shapeArcs) {
        const PictureCircle c = circleToPicture(v, a.cx, a.cy, a.radius);
        drawArc(canvas, c.centre.x, c.centre.y, c.radius, a.startDeg * kDegToRad, a.endDeg * kDegToRad, kLightGrey);
    }
    for (const auto& l : m.shapeLines) drawSegment(v, canvas, l.x1, l.y1, l.x2, l.y2, kLightGrey);

    using Kind = engine::Record::Kind;
    engine::walkRecords(m, [&](const engine::Record& r) {
        if (!r.complete) return;
        if (r.kind == Kind::Arc) {
            const geom::Arc a = geom::circleThrough(r.a, r.c, r.b);
            const PictureCircle c = circleToPicture(v, a.centre.x, a.centre.y, a.radius);
            drawArc(canvas, c.centre.x, c.centre.y, c.radius, a.start, a.end, kLightRed);
        } else if (r.kind == Kind::Line || (r.kind == Kind::Close && r.closing)) {
            drawSegment(v, canvas, r.a.x, r.a.y, r.b.x, r.b.y, kBlack);
        } else if (r.kind == Kind::Quadratic) {
            quadratic(v, canvas, kCurveChords, r.a.x, r.a.y, r.b.x, r.b.y, r.c.x, r.c.y, kLightRed);
        }
    }, engine::ShortArc::AsLine);

    if (!m.bridges.empty()) {
        const double w = o.apertureWidth;
        for (const auto& b : m.bridges) {
            const double phi = geom::direction({b.x1, b.y1}, {b.x2, b.y2});
            const double psi = geom::stripDirection(b.kind, phi, geom::kHalfPi14);
            const double ox = w * std::cos(psi), oy = w * std::sin(psi);
            const double ax = b.x1 + ox, ay = b.y1 + oy, bx = b.x2 + ox, by = b.y2 + oy;
            drawSegment(v, canvas, ax, ay, bx, by, kLightRed);
            drawSegment(v, canvas, b.x1, b.y1, b.x2, b.y2, kLightRed);
            drawSegment(v, canvas, b.x2, b.y2, bx, by, kLightRed);
            drawSegment(v, canvas, b.x1, b.y1, ax, ay, kLightRed);
            drawSegment(v, canvas, b.x2, b.y2, ax, ay, kLightGrey);
            drawSegment(v, canvas, b.x1, b.y1, bx, by, kLightGrey);
        }
    }

    if (o.connectionOn) {
        for (const auto& a : m.barArcs) {
            const PictureCircle c = circleToPicture(v, a.cx, a.cy, a.radius);
            drawArc(canvas, c.centre.x, c.centre.y, c.radius, a.startDeg * kDegToRad, a.endDeg * kDegToRad, kGreen);
        }
        for (const auto& l : m.barLines) drawSegment(v, canvas, l.x1, l.y1, l.x2, l.y2, kGreen);
    }
}

}  // namespace preview

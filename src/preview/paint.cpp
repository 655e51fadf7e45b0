#include "preview/paint.h"

#include <cmath>

#include "geomlib/geomlib.h"

namespace preview {

namespace {

constexpr double kLevelArcTolerance = 0.05;  // an arc end this close in y to the middle: chord
constexpr double kMinArcRadius = 1;          // letter arcs outside 1..800 mm become lines
constexpr double kMaxArcRadius = 800;
constexpr double kViewZeroTolerance = 0.001;
constexpr double kDegToRad = 0.0174532925199433;
constexpr double kHalfPi = 1.5707963267949;
constexpr double kFullTurn = 6.283185307;
constexpr int kArcChords = 100;
constexpr int kCurveChords = 14;

// A picture-space line: skipped when both ends lie beyond one side, clipped otherwise.
void pictureLine(Canvas& canvas, double x1, double y1, double x2, double y2, std::uint8_t colour) {
    if ((x1 < 0 && x2 < 0) || (x1 > kPictureWidth && x2 > kPictureWidth) || (y1 < 0 && y2 < 0) ||
        (y1 > kPictureHeight && y2 > kPictureHeight))
        return;
    std::int32_t hidden = 0;
    geom::bilz(x1, y1, x2, y2, hidden);
    if (hidden == 1) return;
    canvas.line(x1, y1, x2, y2, colour);
}

void toPicture(const engine::ViewWindow& v, double x, double y, double& px, double& py) {
    geom::ersatz2(px, py, x, y, v.xmin, v.xmax, v.ymin, v.ymax);
}

// Centre and radius of a model circle in picture coordinates.
void circleToPicture(const engine::ViewWindow& v, double cx, double cy, double r, double& pcx,
                     double& pcy, double& pr) {
    toPicture(v, cx, cy, pcx, pcy);
    double unused;
    toPicture(v, v.xmin + r, cy, pr, unused);
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
    double px1, py1, px2, py2;
    toPicture(view, x1, y1, px1, py1);
    toPicture(view, x2, y2, px2, py2);
    pictureLine(canvas, px1, py1, px2, py2, colour);
}

void kreis(Canvas& canvas, double cx, double cy, double r, double a1, double a2, std::uint8_t colour) {
    double end;
    if (a1 < a2) {
        end = a2;
    } else if (a1 > a2) {
        end = kFullTurn + a2;  // through angle 0
    } else {
        return;
    }
    const double step = (end - a1) / kArcChords;
    double px, py;
    geom::kdaten2(cx, cy, r, a1, px, py);
    for (int i = 1; i < kArcChords; ++i) {
        double x, y;
        geom::kdaten2(cx, cy, r, a1 + step * i, x, y);
        pictureLine(canvas, px, py, x, y, colour);
        px = x;
        py = y;
    }
    double x, y;
    geom::kdaten2(cx, cy, r, a2, x, y);
    pictureLine(canvas, px, py, x, y, colour);
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
    engine::ViewWindow& v = m.view;
    const double width = v.xmax - v.xmin;
    const bool allZero = std::fabs(v.xmin) < kViewZeroTolerance && std::fabs(v.xmax) < kViewZeroTolerance &&
                         std::fabs(v.ymin) < kViewZeroTolerance && std::fabs(v.ymax) < kViewZeroTolerance;
    if (!(width >= kMinViewWidth && width <= kMaxViewWidth) && !allZero) {
        v = engine::ViewWindow{};
        return PaintResult::ViewOverflow;
    }
    canvas.clear();

    auto& el = m.elements;
    const std::size_t n = el.size();
    auto arcFollows = [&](std::size_t i) {
        return el[i].kind == engine::kCodeLine && i + 1 < n && el[i + 1].kind == engine::kCodeArcMiddle;
    };

    // Arcs that cannot be drawn as arcs become straight lines, in the model too. On the way the
    // strokes to come are counted, so that a picture kept of them gets its room at once rather
    // than holding two copies of itself while it grows.
    std::size_t strokes = 3 * kArcChords * m.knots.size() + kArcChords * m.shapeArcs.size() + m.shapeLines.size() +
                          6 * m.bridges.size();
    if (o.connectionOn) strokes += kArcChords * m.barArcs.size() + m.barLines.size();
    for (std::size_t i = 0; i < n;) {
        if (arcFollows(i)) {
            strokes += kArcChords;
            bool degenerate = i + 3 >= n || std::fabs(el[i].y - el[i + 1].y) < kLevelArcTolerance ||
                              std::fabs(el[i + 3].y - el[i + 1].y) < kLevelArcTolerance;
            if (!degenerate) {
                double cx, cy, a1, a2, r;
                geom::rech(el[i].x, el[i].y, el[i + 3].x, el[i + 3].y, cx, cy, a1, a2, r, el[i + 1].x,
                           el[i + 1].y);
                degenerate = r < kMinArcRadius || r > kMaxArcRadius;
            }
            if (degenerate) el[i + 1].kind = engine::kCodeLine;
            i += 4;
        } else if (el[i].kind == engine::kCodeLine) {
            strokes += 1;
            i += 2;
        } else if (el[i].kind == engine::kCodeQuadratic) {
            strokes += kCurveChords;
            i += 3;
        } else if (el[i].kind == engine::kCodeEnd) {
            strokes += 1;
            i += 2;
        } else {
            i += 1;
        }
    }

    if (auto* list = dynamic_cast<DisplayList*>(&canvas)) list->strokes.reserve(strokes);

    if (o.showKnots) {
        for (const auto& k : m.knots) {
            double px, py;
            toPicture(v, k[0], k[1], px, py);
            for (double r : {2.0, 1.0, 0.5}) kreis(canvas, px, py, r, 0, 6.28, kLightBlue);
        }
    }

    for (const auto& a : m.shapeArcs) {
        double pcx, pcy, pr;
        circleToPicture(v, a.cx, a.cy, a.radius, pcx, pcy, pr);
        kreis(canvas, pcx, pcy, pr, a.startDeg * kDegToRad, a.endDeg * kDegToRad, kLightGrey);
    }
    for (const auto& l : m.shapeLines) drawSegment(v, canvas, l.x1, l.y1, l.x2, l.y2, kLightGrey);

    for (std::size_t i = 0; i < n;) {
        const engine::Element& e = el[i];
        if (arcFollows(i) && i + 3 < n) {
            double cx, cy, a1, a2, r;
            geom::rech(e.x, e.y, el[i + 3].x, el[i + 3].y, cx, cy, a1, a2, r, el[i + 1].x, el[i + 1].y);
            double pcx, pcy, pr;
            circleToPicture(v, cx, cy, r, pcx, pcy, pr);
            kreis(canvas, pcx, pcy, pr, a1, a2, kLightRed);
            i += 4;
        } else if (e.kind == engine::kCodeLine) {
            if (i + 1 < n) drawSegment(v, canvas, e.x, e.y, el[i + 1].x, el[i + 1].y, kBlack);
            i += 2;
        } else if (e.kind == engine::kCodeQuadratic) {
            if (i + 2 < n)
                quadratic(v, canvas, kCurveChords, e.x, e.y, el[i + 1].x, el[i + 1].y, el[i + 2].x,
                          el[i + 2].y, kLightRed);
            i += 3;
        } else if (e.kind == engine::kCodeEnd) {
            if (i > 0 && (el[i - 1].x != e.x || el[i - 1].y != e.y))
                drawSegment(v, canvas, el[i - 1].x, el[i - 1].y, e.x, e.y, kBlack);
            i += 2;
        } else {
            i += 1;
        }
    }

    if (!m.bridges.empty()) {
        const double w = o.apertureWidth;
        for (const auto& b : m.bridges) {
            double phi;
            geom::winkelx(b.x1, b.y1, b.x2, b.y2, phi);
            const double psi = b.kind == 2 ? phi - kHalfPi : phi + kHalfPi;
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
            double pcx, pcy, pr;
            circleToPicture(v, a.cx, a.cy, a.radius, pcx, pcy, pr);
            kreis(canvas, pcx, pcy, pr, a.startDeg * kDegToRad, a.endDeg * kDegToRad, kGreen);
        }
        for (const auto& l : m.barLines) drawSegment(v, canvas, l.x1, l.y1, l.x2, l.y2, kGreen);
    }
    return PaintResult::Drawn;
}

}  // namespace preview

#include "preview/svg.h"

#include <charconv>
#include <cmath>

#include "engine/contours.h"
#include "engine/walk.h"
#include "geom/bridge.h"
#include "geom/geom.h"

namespace preview {

namespace {

using geom::kDegToRad;
constexpr double kMargin = 5;  // mm around the drawing

std::string num(double v) {
    if (v == 0 || !std::isfinite(v)) return "0";
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, std::round(v * 1e4) / 1e4);
    return std::string(buf, r.ptr);
}

std::string pt(double x, double y) { return num(x) + "," + num(y); }

// Counter-clockwise arc (radians) as an SVG path piece, starting with a move to its start.
std::string arcPath(double cx, double cy, double r, double a1, double a2) {
    double span = engine::arcSpan(a1, a2);
    if (span >= geom::kTwoPi - 1e-9) span = geom::kTwoPi - 1e-6;
    const double b = a1 + span;
    return "M" + pt(cx + r * std::cos(a1), cy + r * std::sin(a1)) + " A" + num(r) + "," + num(r) + " 0 " +
           (span > geom::kPi ? "1" : "0") + " 1 " + pt(cx + r * std::cos(b), cy + r * std::sin(b)) + " ";
}

}  // namespace

std::string svgDocument(const engine::Model& m, bool connectionOn, double w) {
    engine::Box b = engine::contourExtents(m, connectionOn);
    auto widen = [&b](double x, double y) {
        b.xmin = std::min(b.xmin, x);
        b.xmax = std::max(b.xmax, x);
        b.ymin = std::min(b.ymin, y);
        b.ymax = std::max(b.ymax, y);
    };
    for (const auto& l : m.shapeLines) {
        widen(l.x1, l.y1);
        widen(l.x2, l.y2);
    }
    for (const auto& a : m.shapeArcs) {
        engine::arcExtents(a.cx, a.cy, a.radius, a.startDeg * kDegToRad, a.endDeg * kDegToRad, b);
    }
    if (b.xmin > b.xmax) b = engine::Box{0, 0, 1, 1};
    const double x0 = b.xmin - kMargin, y0 = b.ymin - kMargin;
    const double width = b.xmax - b.xmin + 2 * kMargin, height = b.ymax - b.ymin + 2 * kMargin;

    std::string letters, bridges, outline, bar;
    const auto line = [](geom::Point from, geom::Point to) {
        return "M" + pt(from.x, from.y) + " L" + pt(to.x, to.y) + " ";
    };
    engine::walkRecords(m, [&](const engine::Record& r) {
        if (!r.complete) return;
        switch (r.kind) {
            case engine::Record::Kind::Arc: {
                const geom::Arc a = geom::circleThrough(r.a, r.c, r.b);
                letters += a.radius > 0 ? arcPath(a.centre.x, a.centre.y, a.radius, a.start, a.end) : line(r.a, r.c);
                break;
            }
            case engine::Record::Kind::Line: letters += line(r.a, r.b); break;
            case engine::Record::Kind::Quadratic:
                letters += "M" + pt(r.a.x, r.a.y) + " Q" + pt(r.b.x, r.b.y) + " " + pt(r.c.x, r.c.y) + " ";
                break;
            case engine::Record::Kind::Close:
                if (r.closing) letters += line(r.a, r.b);
                break;
        }
    }, engine::ShortArc::AsLine);
    for (const auto& br : m.bridges) {
        const double phi = geom::direction({br.x1, br.y1}, {br.x2, br.y2});
        const double psi = geom::stripDirection(br.kind, phi, geom::kPi / 2);
        const double ox = w * std::cos(psi), oy = w * std::sin(psi);
        bridges += "M" + pt(br.x1, br.y1) + " L" + pt(br.x2, br.y2) + " L" + pt(br.x2 + ox, br.y2 + oy) + " L" +
                   pt(br.x1 + ox, br.y1 + oy) + " Z ";
    }
    for (const auto& l : m.shapeLines) outline += "M" + pt(l.x1, l.y1) + " L" + pt(l.x2, l.y2) + " ";
    for (const auto& a : m.shapeArcs)
        outline += arcPath(a.cx, a.cy, a.radius, a.startDeg * kDegToRad, a.endDeg * kDegToRad);
    if (connectionOn) {
        for (const auto& l : m.barLines) bar += "M" + pt(l.x1, l.y1) + " L" + pt(l.x2, l.y2) + " ";
        for (const auto& a : m.barArcs)
            bar += arcPath(a.cx, a.cy, a.radius, a.startDeg * kDegToRad, a.endDeg * kDegToRad);
    }

    std::string s = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    s += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + num(width) + "mm\" height=\"" + num(height) +
         "mm\" viewBox=\"0 0 " + num(width) + " " + num(height) + "\">\n";
    // model y points up; the drawing's y points down
    s += "<g transform=\"translate(" + num(-x0) + "," + num(height + y0) + ") scale(1,-1)\" fill=\"none\" "
         "stroke-width=\"0.2\">\n";
    auto group = [&s](const char* id, const char* colour, const std::string& d) {
        s += std::string("<path id=\"") + id + "\" stroke=\"" + colour + "\" d=\"" + d + "\"/>\n";
    };
    group("outline", "#c0c0c0", outline);
    group("letters", "#000000", letters);
    group("bridges", "#ff0000", bridges);
    group("bar", "#008000", bar);
    s += "</g>\n</svg>\n";
    return s;
}

}  // namespace preview

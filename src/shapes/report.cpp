#include "shapes/report.h"

#include "workfile/workfile_io.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace shapes {

std::string jsonNumber(double v) {
    if (!std::isfinite(v)) return "null";
    if (v == 0) return "0";
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}


namespace {

std::string boolText(bool b) { return b ? "true" : "false"; }

template <typename Array>
std::string numberArray(const Array& a) {
    std::string out = "[";
    bool first = true;
    for (const auto& v : a) {
        if (!first) out += ", ";
        first = false;
        out += jsonNumber(static_cast<double>(v));
    }
    return out + "]";
}

std::string row(std::initializer_list<double> values) { return numberArray(values); }

template <typename Table, typename Fn>
std::string rows(const Table& t, Fn fn) {
    std::string out = "[";
    bool first = true;
    for (const auto& item : t) {
        out += first ? "\n    " : ",\n    ";
        first = false;
        out += fn(item);
    }
    return out + (first ? "]" : "\n  ]");
}

}  // namespace

std::string reportJson(const Session& s, const HeadlessUi& ui) {
    const engine::Model& m = s.model();
    const Controls& c = s.controls();
    std::string o = "{\n";
    o += "  \"token\": " + wf::jsonString(s.token()) + ",\n";
    o += "  \"groundText\": " + wf::jsonString(m.groundText) + ",\n";
    o += "  \"letterCount\": " + jsonNumber(m.letterCount) + ",\n";
    o += "  \"shapeNumber\": " + jsonNumber(m.shapeNumber) + ",\n";
    o += "  \"smallHeight\": " + jsonNumber(m.smallHeight) + ",\n";
    o += "  \"bigHeight\": " + jsonNumber(m.bigHeight) + ",\n";
    o += "  \"knotShift\": " + jsonNumber(m.knotShift) + ",\n";
    o += "  \"presets\": { \"minArcLength\": " + jsonNumber(s.presets().minArcLength) +
         ", \"maxArcRadius\": " + jsonNumber(s.presets().maxArcRadius) +
         ", \"minArcRadius\": " + jsonNumber(s.presets().minArcRadius) +
         ", \"fitTolerance\": " + jsonNumber(s.presets().fitTolerance) + " },\n";
    o += "  \"apertureWidthMin\": " + jsonNumber(s.apertureLimits().min) + ",\n";
    o += "  \"apertureWidthMax\": " + jsonNumber(s.apertureLimits().max) + ",\n";
    o += "  \"controls\": { \"Check1\": " + jsonNumber(c.Check1) + ", \"Check2\": " +
         jsonNumber(c.Check2) + ", \"Check3\": " + jsonNumber(c.Check3) + ", \"Check4\": " +
         jsonNumber(c.Check4) + ", \"Check5\": " + jsonNumber(c.Check5) + ",\n";
    o += "                \"Text4\": " + wf::jsonString(c.Text4.value()) + ", \"Text5\": " + wf::jsonString(c.Text5.value()) +
         ", \"Text6\": " + wf::jsonString(c.Text6.value()) + ", \"Texth\": " + wf::jsonString(c.Texth.value()) +
         ", \"Textv\": " + wf::jsonString(c.Textv.value()) + ",\n";
    o += "                \"HScroll1\": " + jsonNumber(c.HScroll1.value()) +
         ", \"HScroll2\": " + jsonNumber(c.HScroll2.value()) + ",\n";
    o += "                \"visible\": { \"Check4\": " + boolText(c.Check4.visible) +
         ", \"Frame9\": " + boolText(c.Frame9) + ", \"Picture4\": " + boolText(c.Picture4) +
         ", \"Frame11\": " + boolText(c.Frame11) + ", \"HScroll1\": " + boolText(c.HScroll1.visible) +
         ", \"Label1\": " + boolText(c.Label1.visible) + " } },\n";
    o += "  \"counts\": { \"elements\": " + jsonNumber(double(m.elements.size())) +
         ", \"bridges\": " + jsonNumber(double(m.bridges.size())) +
         ", \"shapeLines\": " + jsonNumber(double(m.shapeLines.size())) +
         ", \"shapeArcs\": " + jsonNumber(double(m.shapeArcs.size())) +
         ", \"knots\": " + jsonNumber(double(m.knots.size())) +
         ", \"barLines\": " + jsonNumber(double(m.barLines.size())) +
         ", \"barArcs\": " + jsonNumber(double(m.barArcs.size())) + " },\n";
    o += "  \"view\": { \"xmin\": " + jsonNumber(m.view.xmin) + ", \"xmax\": " + jsonNumber(m.view.xmax) +
         ", \"ymin\": " + jsonNumber(m.view.ymin) + ", \"ymax\": " + jsonNumber(m.view.ymax) + " },\n";
    o += "  \"signDistanceA\": " + numberArray(m.signDistanceA) + ",\n";
    o += "  \"signDistanceB\": " + numberArray(m.signDistanceB) + ",\n";
    o += "  \"messages\": [";
    for (std::size_t i = 0; i < ui.messages.size(); ++i) {
        const Message& msg = ui.messages[i];
        o += i ? ",\n    " : "\n    ";
        o += "{ \"icon\": " + wf::jsonString(iconName(msg.icon)) + ", \"title\": " + wf::jsonString(msg.title) +
             ", \"text\": " + wf::jsonString(msg.text) + " }";
    }
    o += ui.messages.empty() ? "],\n" : "\n  ],\n";
    o += "  \"started\": [";
    for (std::size_t i = 0; i < ui.started.size(); ++i) {
        const ProgramStart& p = ui.started[i];
        o += i ? ",\n    " : "\n    ";
        o += "{ \"program\": " + wf::jsonString(p.program) + ", \"arguments\": [";
        for (std::size_t a = 0; a < p.arguments.size(); ++a)
            o += (a ? ", " : "") + wf::jsonString(p.arguments[a]);
        o += "] }";
    }
    o += ui.started.empty() ? "],\n" : "\n  ],\n";
    o += "  \"terminated\": " + boolText(ui.terminated) + "\n}\n";
    return o;
}

std::string dumpJson(const engine::Model& m) {
    std::string o = "{\n";
    o += "  \"elements\": " + rows(m.elements, [](const engine::Element& e) {
        return row({e.x, e.y, double(e.kind), double(e.object), e.letterHeight});
    }) + ",\n";
    o += "  \"bridges\": " + rows(m.bridges, [](const engine::Bridge& b) {
        return row({double(b.kind), b.x1, b.y1, b.x2, b.y2, double(b.object), b.letterHeight});
    }) + ",\n";
    o += "  \"letterText\": [";
    for (int k = 1; k <= m.letterCount && k <= int(engine::kMaxLetters); ++k)
        o += (k > 1 ? ", " : "") + wf::jsonString(m.letterText[std::size_t(k)]);
    o += "],\n";
    o += "  \"shapeLines\": " + rows(m.shapeLines, [](const engine::ShapeLine& l) {
        return row({l.x1, l.y1, l.x2, l.y2, double(l.kind)});
    }) + ",\n";
    o += "  \"shapeArcs\": " + rows(m.shapeArcs, [](const engine::ShapeArc& a) {
        return row({a.cx, a.cy, a.radius, a.startDeg, a.endDeg, double(a.kind)});
    }) + ",\n";
    o += "  \"capStart\": " + numberArray(m.capStart) + ",\n";
    o += "  \"capEnd\": " + numberArray(m.capEnd) + ",\n";
    o += "  \"knots\": " + rows(m.knots, [](const std::array<double, 2>& k) {
        return row({k[0], k[1]});
    }) + ",\n";
    o += "  \"barLines\": " + rows(m.barLines, [](const engine::BarLine& l) {
        return row({l.x1, l.y1, l.x2, l.y2, double(l.type), double(l.pairIndex)});
    }) + ",\n";
    o += "  \"barArcs\": " + rows(m.barArcs, [](const engine::BarArc& a) {
        return row({a.cx, a.cy, a.radius, a.startDeg, a.endDeg, double(a.type), double(a.pairIndex)});
    }) + "\n}\n";
    return o;
}

}  // namespace shapes

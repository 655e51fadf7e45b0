// Our own reading of the DXF files the cut stage writes: the closed polylines per layer, with
// the header's units. Enough to measure what a cutter would cut.
#pragma once

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "workfile/workfile_io.h"

namespace testsupport {

struct DxfVertex {
    double x = 0, y = 0, bulge = 0;
};
struct DxfPolyline {
    std::string layer;
    bool closed = false;
    std::vector<DxfVertex> v;
};
struct DxfLayer {
    std::string name;
    int colour = 0;  // negative: the layer is off
    int plot = 1;    // group 290; 1 when the record has none
};
struct DxfDrawing {
    int insunits = -1;
    std::vector<DxfLayer> layers;
    std::vector<DxfPolyline> polylines;
};

inline DxfDrawing readDxf(const std::string& text) {
    const auto lines = wf::splitLines(text);
    DxfDrawing d;
    std::string section, lastVar;
    DxfPolyline* cur = nullptr;
    DxfLayer* layer = nullptr;
    for (std::size_t i = 0; i + 1 < lines.size(); i += 2) {
        const int code = std::stoi(lines[i]);
        std::string value = lines[i + 1];
        while (!value.empty() && value.front() == ' ') value.erase(0, 1);
        if (code == 0) {
            cur = nullptr;
            layer = nullptr;
            if (section == "TABLES" && value == "LAYER") layer = &d.layers.emplace_back();
            if (section == "ENTITIES" && value == "LWPOLYLINE") {
                d.polylines.emplace_back();
                cur = &d.polylines.back();
            }
            if (value == "ENDSEC") section.clear();
            continue;
        }
        if (code == 2 && section.empty()) section = value;
        if (section == "HEADER" && code == 9) lastVar = value;
        if (section == "HEADER" && code == 70 && lastVar == "$INSUNITS") d.insunits = std::stoi(value);
        if (layer) {
            if (code == 2) layer->name = value;
            if (code == 62) layer->colour = std::stoi(value);
            if (code == 290) layer->plot = std::stoi(value);
        }
        if (!cur) continue;
        if (code == 8) cur->layer = value;
        if (code == 70) cur->closed = (std::stoi(value) & 1) != 0;
        if (code == 10) cur->v.push_back({std::stod(value), 0, 0});
        if (code == 20 && !cur->v.empty()) cur->v.back().y = std::stod(value);
        if (code == 42 && !cur->v.empty()) cur->v.back().bulge = std::stod(value);
    }
    return d;
}

// Signed area of a closed polyline, arcs included exactly.
inline double area(const DxfPolyline& p) {
    double a = 0;
    const std::size_t n = p.v.size();
    for (std::size_t i = 0; i < n; ++i) {
        const DxfVertex& s = p.v[i];
        const DxfVertex& e = p.v[(i + 1) % n];
        a += (s.x * e.y - e.x * s.y) / 2;
        if (s.bulge != 0) {
            const double theta = 4 * std::atan(s.bulge);
            const double chord = std::hypot(e.x - s.x, e.y - s.y);
            const double r = chord / (2 * std::sin(std::fabs(theta) / 2));
            a += r * r / 2 * (theta - std::sin(theta));
        }
    }
    return a;
}

// Two segments of a closed polyline cross (neighbours excepted).
inline bool selfCrossing(const DxfPolyline& p) {
    const std::size_t n = p.v.size();
    auto side = [](const auto& a, const auto& b, const auto& c) { return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x); };
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 2; j < n; ++j) {
            if (i == 0 && j == n - 1) continue;
            const auto &a = p.v[i], &b = p.v[(i + 1) % n], &c = p.v[j], &d = p.v[(j + 1) % n];
            if (side(a, b, c) * side(a, b, d) < 0 && side(c, d, a) * side(c, d, b) < 0) return true;
        }
    return false;
}

}  // namespace testsupport

// Letters as curve-dense as the point table allows: every letter a wavy oval of two contours,
// each a closed chain of quadratic curves that meet smoothly (one run of samples per contour
// for the arc fitting), thirty-odd shallow waves around, so that arcs cover only a few curves
// each. 392 curves a letter, 255 letters: 300900 points, just under the table's 301001, every
// number written in the work files' longest form.
#pragma once

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "workfile/workfile_io.h"

inline std::filesystem::path curveDenseLetters(int letters = 255, int curvesPerContour = 196,
                                               const char* name = "curves.dat") {
    const auto file = std::filesystem::path(LK_TEST_DATA) / name;
    if (std::filesystem::exists(file)) return file;
    std::string s;
    auto line = [&s](const std::string& l) { s.append(l).append(wf::kEol); };
    line("curves");
    line(" 100");
    line(wf::formatNumber(letters));
    line(" 0");
    line(" 0");
    constexpr double kTwoPi = 6.283185307179586;
    for (int letter = 0; letter < letters; ++letter) {
        line("O");
        line(" 40.3");
        for (int i = 0; i < 4; ++i) line(" 0");
        line(wf::formatNumber(2 * (3 * curvesPerContour + 2)));
        // the contour as a quadratic B-spline: control points on a wavy ring, the curves' ends
        // half-way between them, so neighbouring curves share their tangent
        for (const double r : {33.3, 21.7}) {
            const double waves = 30 + letter % 3, depth = 0.03;
            auto control = [&](int k) {
                k = (k + curvesPerContour) % curvesPerContour;  // the ring closes exactly
                const double a = kTwoPi * k / curvesPerContour + 0.01 * letter;
                const double rr = r * (1 + depth * std::sin(waves * a));
                return std::pair{20.1 + 0.55 * rr * std::cos(a), 36.7 + rr * std::sin(a)};  // narrow, as letters are
            };
            auto pt = [&](std::pair<double, double> p, const char* code) {
                line(wf::formatNumber(p.first));
                line(wf::formatNumber(p.second));
                line(code);
            };
            auto half = [&](int k) {
                const auto [x0, y0] = control(k);
                const auto [x1, y1] = control(k + 1);
                return std::pair{(x0 + x1) / 2, (y0 + y1) / 2};
            };
            for (int k = 0; k < curvesPerContour; ++k) {
                pt(half(k - 1), "3");
                pt(control(k), "0");
                pt(half(k), "0");
            }
            pt(half(-1), "6");
            pt(half(-1), "0");
        }
        line(" 0");
    }
    std::ofstream(file, std::ios::binary) << s;
    return file;
}

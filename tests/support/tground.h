// Builds small tground.dat files by hand.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

struct Pt {
    double x, y;
    std::string code;
};
struct HandBridge {
    std::string code;
    double x1, y1, x2, y2;
};
struct HandLetter {
    std::string text;
    double advance;
    std::vector<Pt> points;
    std::vector<HandBridge> bridges;
};

inline std::string num(double v) { return std::to_string(v); }

inline std::string tground(const std::string& text, const std::vector<HandLetter>& letters,
                           int declaredCount = -1) {
    std::string s;
    auto line = [&s](const std::string& l) { s += l + "\r\n"; };
    const std::string count = std::to_string(declaredCount < 0 ? int(letters.size()) : declaredCount);
    for (const std::string& header : {text, std::string(" 0"), count, std::string(" 7"), std::string(" 8")}) line(header);
    for (const auto& l : letters) {
        line(l.text);
        line(num(l.advance));
        for (int i = 0; i < 4; ++i) line(" 0");
        line(std::to_string(l.points.size()));
        for (const auto& p : l.points)
            for (const std::string& v : {num(p.x), num(p.y), p.code}) line(v);
        line(std::to_string(l.bridges.size()));
        for (const auto& b : l.bridges) {
            line(b.code);
            for (double v : {b.x1, b.y1, b.x2, b.y2}) line(num(v));
        }
    }
    return s;
}

// a closed square contour of side `size` at (x, y): line records, closing entry, extra entry
inline std::vector<Pt> square(double x, double y, double size) {
    const double X = x + size, Y = y + size;
    return {{x, y, "1"}, {X, y, "0"}, {X, y, "1"}, {X, Y, "0"}, {X, Y, "1"},
            {x, Y, "0"}, {x, y, "6"}, {x, y, "0"}};
}

}  // namespace testsupport

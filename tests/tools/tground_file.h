// A strict reader of tground.dat for the tests, independent of the program's own loader,
// plus the little geometry the tests need to judge contours and bridges.
#pragma once

#include <algorithm>
#include <cmath>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

namespace tooltest {

struct FilePoint {
    double x, y;
    int code;
};
struct FileBridge {
    int code;
    double x1, y1, x2, y2;
};
struct Seg {
    bool quad;
    double ax, ay, cx, cy, bx, by;
};
struct Contour {
    std::vector<Seg> segs;
    std::vector<std::pair<double, double>> poly;  // flattened, closed (last == first)
    double area = 0;                              // of the polyline, counter-clockwise positive
};
struct FileLetter {
    std::string text;
    double advance = 0;
    std::vector<FilePoint> points;
    std::vector<FileBridge> bridges;
    std::vector<Contour> contours;
    double xmin = 1e300, xmax = -1e300, ymin = 1e300, ymax = -1e300;  // of the polylines
};
struct GroundFile {
    std::string text;
    std::vector<FileLetter> letters;
};

struct BadFile : std::runtime_error {
    using std::runtime_error::runtime_error;
};

namespace detail {

class Cursor {
public:
    explicit Cursor(const std::string& content) {
        if (content.empty() || content.size() < 2 || content.compare(content.size() - 2, 2, "\r\n") != 0)
            throw BadFile("file does not end with CR LF");
        std::size_t start = 0;
        while (start < content.size()) {
            const std::size_t end = content.find("\r\n", start);
            std::string line = content.substr(start, end - start);
            if (line.find_first_of("\r\n") != std::string::npos) throw BadFile("bare CR or LF in line");
            lines_.push_back(line);
            start = end + 2;
        }
    }
    const std::string& text() {
        if (pos_ >= lines_.size()) throw BadFile("file ends early");
        return lines_[pos_++];
    }
    // Work-file number form: " 0", " 101.6", " .1016", "-.5", " 1E-06".
    double number() {
        const std::string& s = text();
        static const std::regex form(R"(^[ -](0|[1-9][0-9]*(\.[0-9]*[1-9])?|\.[0-9]*[1-9])(E[+-][0-9]{2,3})?$)");
        if (!std::regex_match(s, form) || s == "-0") throw BadFile("not in number form: \"" + s + "\"");
        std::string mantissa;
        for (char c : s.substr(0, s.find('E')))
            if (c >= '0' && c <= '9' && !(mantissa.empty() && c == '0')) mantissa += c;
        if (mantissa.size() > 15) throw BadFile("more than 15 significant digits: \"" + s + "\"");
        return std::stod(s);
    }
    int count() {
        const double v = number();
        if (v < 0 || v != std::floor(v)) throw BadFile("not a count");
        return static_cast<int>(v);
    }
    bool atEnd() const { return pos_ == lines_.size(); }

private:
    std::vector<std::string> lines_;
    std::size_t pos_ = 0;
};

inline void flatten(Contour& c) {
    constexpr int kSteps = 64;
    c.poly.emplace_back(c.segs.front().ax, c.segs.front().ay);
    for (const Seg& s : c.segs) {
        if (!s.quad) {
            c.poly.emplace_back(s.bx, s.by);
            continue;
        }
        for (int i = 1; i <= kSteps; ++i) {
            const double t = double(i) / kSteps, u = 1 - t;
            c.poly.emplace_back(u * u * s.ax + 2 * u * t * s.cx + t * t * s.bx,
                                u * u * s.ay + 2 * u * t * s.cy + t * t * s.by);
        }
    }
    for (std::size_t i = 0; i + 1 < c.poly.size(); ++i)
        c.area += (c.poly[i].first * c.poly[i + 1].second - c.poly[i + 1].first * c.poly[i].second) / 2;
}

// Rebuilds the contours by the drawing rules: 1 = line to the next point, 3 = quadratic
// through the next two, 6 = end of contour followed by one entry that is passed over.
inline void buildContours(FileLetter& l) {
    const auto& p = l.points;
    std::size_t i = 0, first = 0;
    Contour cur;
    auto same = [](const FilePoint& a, const FilePoint& b) { return a.x == b.x && a.y == b.y; };
    while (i < p.size()) {
        const int code = p[i].code;
        if (i > first && !same(p[i], p[i - 1]))
            throw BadFile("record does not start where the previous one ended");
        if (code == 1 || code == 3) {
            const std::size_t n = code == 1 ? 2 : 3;
            if (i + n > p.size()) throw BadFile("record runs past the points");
            for (std::size_t k = 1; k < n; ++k)
                if (p[i + k].code != 0) throw BadFile("inner point of a record has a code");
            const FilePoint& e = p[i + n - 1];
            cur.segs.push_back(code == 1 ? Seg{false, p[i].x, p[i].y, 0, 0, e.x, e.y}
                                         : Seg{true, p[i].x, p[i].y, p[i + 1].x, p[i + 1].y, e.x, e.y});
            i += n;
        } else if (code == 6) {
            if (cur.segs.empty()) throw BadFile("contour without segments");
            if (!same(p[i], p[first])) throw BadFile("closing entry is not the contour's first point");
            if (i + 1 >= p.size() || p[i + 1].code != 0 || !same(p[i + 1], p[first]))
                throw BadFile("closing entry not followed by the first point with code 0");
            flatten(cur);
            for (const auto& [x, y] : cur.poly) {
                l.xmin = std::min(l.xmin, x);
                l.xmax = std::max(l.xmax, x);
                l.ymin = std::min(l.ymin, y);
                l.ymax = std::max(l.ymax, y);
            }
            l.contours.push_back(std::move(cur));
            cur = Contour{};
            i += 2;
            first = i;
        } else {
            throw BadFile("point code " + std::to_string(code) + " where a record starts");
        }
    }
    if (first != p.size()) throw BadFile("last contour is not closed");
}

}  // namespace detail

inline GroundFile parseGroundFile(const std::string& content) {
    detail::Cursor in(content);
    GroundFile g;
    g.text = in.text();
    if (in.number() != 0) throw BadFile("header line 2");
    const int n = in.count();
    if (in.number() != 0 || in.number() != 0) throw BadFile("header lines 4-5");
    for (int k = 0; k < n; ++k) {
        FileLetter l;
        l.text = in.text();
        l.advance = in.number();
        for (int j = 0; j < 4; ++j)
            if (in.number() != 0) throw BadFile("letter group lines 3-6");
        const int points = in.count();
        for (int j = 0; j < points; ++j) {
            const double x = in.number(), y = in.number();
            const double code = in.number();
            if (code != 0 && code != 1 && code != 3 && code != 6) throw BadFile("segment code");
            l.points.push_back({x, y, static_cast<int>(code)});
        }
        const int bridges = in.count();
        for (int j = 0; j < bridges; ++j) {
            FileBridge b;
            b.code = static_cast<int>(in.number());
            b.x1 = in.number();
            b.y1 = in.number();
            b.x2 = in.number();
            b.y2 = in.number();
            l.bridges.push_back(b);
        }
        detail::buildContours(l);
        g.letters.push_back(std::move(l));
    }
    if (!in.atEnd()) throw BadFile("lines after the last letter group");
    return g;
}

// Nonzero winding number of the letter's contours around (x, y): ink when not 0.
inline int winding(const FileLetter& l, double x, double y) {
    int w = 0;
    for (const Contour& c : l.contours)
        for (std::size_t i = 0; i + 1 < c.poly.size(); ++i) {
            const auto [x0, y0] = c.poly[i];
            const auto [x1, y1] = c.poly[i + 1];
            if ((y0 <= y) != (y1 <= y)) {
                const double xs = x0 + (y - y0) * (x1 - x0) / (y1 - y0);
                if (xs > x) w += y1 > y0 ? 1 : -1;
            }
        }
    return w;
}

inline double distanceToContour(const Contour& c, double x, double y) {
    double best = 1e300;
    for (std::size_t i = 0; i + 1 < c.poly.size(); ++i) {
        const auto [x0, y0] = c.poly[i];
        const auto [x1, y1] = c.poly[i + 1];
        const double dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
        double t = len2 > 0 ? ((x - x0) * dx + (y - y0) * dy) / len2 : 0;
        t = std::clamp(t, 0.0, 1.0);
        best = std::min(best, std::hypot(x - (x0 + t * dx), y - (y0 + t * dy)));
    }
    return best;
}

}  // namespace tooltest

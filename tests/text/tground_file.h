// A strict reader of tground.dat for the tests, independent of the program's own loader.
#pragma once

#include <cmath>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

namespace texttest {

struct FilePoint {
    double x, y;
    int code;
};
struct FileBridge {
    int code;
    double x1, y1, x2, y2;
};
struct Contour {
    bool curved = false;                          // has a quadratic record
    std::vector<std::pair<double, double>> poly;  // flattened, closed (last == first)
};
struct FileLetter {
    std::string text;
    double advance = 0;
    int codePoint = 0, islands = 0;  // letter lines 3 and 6
    std::vector<FilePoint> points;
    std::vector<FileBridge> bridges;
    std::vector<Contour> contours;
};
struct GroundFile {
    std::string text;
    double emMm = 0, stripWidth = 0;  // header lines 2 and 4
    int loose = 0;                    // header line 5
    std::vector<FileLetter> letters;
};

namespace detail {

inline void check(bool ok, const std::string& what) {
    if (!ok) throw std::runtime_error(what);
}

class Cursor {
public:
    explicit Cursor(const std::string& content) {
        check(content.size() >= 2 && content.ends_with("\r\n"), "file does not end with CR LF");
        for (std::size_t start = 0, end; start < content.size(); start = end + 2) {
            end = content.find("\r\n", start);
            lines_.push_back(content.substr(start, end - start));
            check(lines_.back().find_first_of("\r\n") == std::string::npos, "bare CR or LF in line");
        }
    }
    const std::string& text() {
        check(pos_ < lines_.size(), "file ends early");
        return lines_[pos_++];
    }
    // Work-file number form: " 0", " 101.6", " .1016", "-.5", " 1E-06" (its digit limit is the number writer's).
    double number() {
        const std::string& s = text();
        static const std::regex form(R"(^[ -](0|[1-9][0-9]*(\.[0-9]*[1-9])?|\.[0-9]*[1-9])(E[+-][0-9]{2,3})?$)");
        check(std::regex_match(s, form) && s != "-0", "not in number form: \"" + s + "\"");
        return std::stod(s);
    }
    int count() {
        const double v = number();
        check(v >= 0 && v == std::floor(v), "not a count");
        return static_cast<int>(v);
    }
    bool atEnd() const { return pos_ == lines_.size(); }

private:
    std::vector<std::string> lines_;
    std::size_t pos_ = 0;
};

// Rebuilds the contours by the drawing rules: 1 = line to the next point, 3 = quadratic
// through the next two, 6 = end of contour followed by one entry that is passed over.
inline void buildContours(FileLetter& l) {
    const auto& p = l.points;
    auto same = [](const FilePoint& a, const FilePoint& b) { return a.x == b.x && a.y == b.y; };
    Contour cur;
    std::size_t i = 0, first = 0;
    while (i < p.size()) {
        const int code = p[i].code;
        check(i == first || same(p[i], p[i - 1]), "record does not start where the previous one ended");
        if (code == 1 || code == 3) {
            const std::size_t n = code == 1 ? 2 : 3;
            check(i + n <= p.size(), "record runs past the points");
            for (std::size_t k = 1; k < n; ++k) check(p[i + k].code == 0, "inner point of a record has a code");
            if (cur.poly.empty()) cur.poly.emplace_back(p[i].x, p[i].y);
            const FilePoint &a = p[i], &c = p[i + 1], &e = p[i + n - 1];
            for (int s = 1, steps = code == 1 ? 1 : 64; s <= steps; ++s) {
                const double t = double(s) / steps, u = 1 - t;
                cur.poly.emplace_back(code == 1 ? e.x : u * u * a.x + 2 * u * t * c.x + t * t * e.x,
                                      code == 1 ? e.y : u * u * a.y + 2 * u * t * c.y + t * t * e.y);
            }
            cur.curved |= code == 3;
            i += n;
            continue;
        }
        check(code == 6, "point code " + std::to_string(code) + " where a record starts");
        check(!cur.poly.empty(), "contour without segments");
        check(same(p[i], p[first]), "closing entry is not the contour's first point");
        check(i + 1 < p.size() && p[i + 1].code == 0 && same(p[i + 1], p[first]),
              "closing entry not followed by the first point with code 0");
        l.contours.push_back(std::move(cur));
        cur = Contour{};
        first = i += 2;
    }
    check(first == p.size(), "last contour is not closed");
}

}  // namespace detail

inline GroundFile parseGroundFile(const std::string& content) {
    using detail::check;
    detail::Cursor in(content);
    GroundFile g;
    g.text = in.text();
    g.emMm = in.number();
    check(g.emMm > 0, "header line 2: the em size");
    const int n = in.count();
    g.stripWidth = in.number();
    check(g.stripWidth >= 0, "header line 4: the strip width");
    g.loose = in.count();
    for (int k = 0; k < n; ++k) {
        FileLetter& l = g.letters.emplace_back();
        l.text = in.text();
        l.advance = in.number();
        l.codePoint = in.count();
        in.number(), in.count();  // the kerning and the glyph, not judged here
        l.islands = in.count();
        for (int j = 0, points = in.count(); j < points; ++j) {
            const double x = in.number(), y = in.number(), code = in.number();
            check(code == 0 || code == 1 || code == 3 || code == 6, "segment code");
            l.points.push_back({x, y, static_cast<int>(code)});
        }
        for (int j = 0, bridges = in.count(); j < bridges; ++j) {
            FileBridge& b = l.bridges.emplace_back();
            b.code = static_cast<int>(in.number());
            b.x1 = in.number(), b.y1 = in.number(), b.x2 = in.number(), b.y2 = in.number();
        }
        detail::buildContours(l);
    }
    check(in.atEnd(), "lines after the last letter group");
    return g;
}

}  // namespace texttest

#include "cut/handover.h"

#include <cmath>
#include <system_error>

#include "geom/units.h"
#include "workfile/workfile_io.h"

namespace cut {

namespace fs = std::filesystem;

namespace {

using geom::kFullTurn;
using geom::kMmPerInch;
// Ends of neighbouring pieces further apart than this (mm) do not belong together.
constexpr double kJoinTolerance = 0.01;

// Reads the lines of one file and says where a problem lies.
class Lines {
public:
    Lines(std::string_view content, const char* file) : lines_(wf::splitLines(content)), file_(file) {}

    bool atEnd() const { return pos_ >= lines_.size(); }
    std::size_t remaining() const { return lines_.size() - pos_; }
    std::size_t lineNumber() const { return pos_; }  // 1-based number of the line read last

    const std::string& text(const char* what) {
        if (atEnd()) fail("ends before " + std::string(what));
        return lines_[pos_++];
    }
    // A number line: blanks, an optional sign, digits with at most one ".", an optional
    // exponent; nothing else may stand on it.
    double number(const char* what) {
        const std::string& line = text(what);
        if (!isNumber(line)) fail("line " + std::to_string(pos_) + " should hold " + what + " but reads \"" + clip(line) + "\"");
        double v = 0;
        try {
            v = wf::parseNumber(line);
        } catch (const fault::OverflowFault&) {
            fail("line " + std::to_string(pos_) + ": " + what + " out of range");
        }
        if (!std::isfinite(v) || std::fabs(v) > kLargest)
            fail("line " + std::to_string(pos_) + ": " + what + " out of range");
        return v;
    }
    [[noreturn]] void fail(const std::string& text) const { throw fault::HandoverFault(file_, text, 2); }

private:
    // No drawing is larger than this in internal units or millimetres.
    static constexpr double kLargest = 1e9;

    static std::string clip(const std::string& s) { return s.size() > 40 ? s.substr(0, 40) + "..." : s; }
    static bool isNumber(std::string_view s) {
        std::size_t i = 0, n = s.size();
        auto blanks = [&] {
            while (i < n && (s[i] == ' ' || s[i] == '\t')) ++i;
        };
        blanks();
        if (i < n && (s[i] == '-' || s[i] == '+')) ++i;
        bool digits = false, point = false;
        for (; i < n; ++i) {
            if (s[i] >= '0' && s[i] <= '9')
                digits = true;
            else if (s[i] == '.' && !point)
                point = true;
            else
                break;
        }
        if (!digits) return false;
        if (i < n && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
            ++i;
            if (i < n && (s[i] == '-' || s[i] == '+')) ++i;
            bool exp = false;
            while (i < n && s[i] >= '0' && s[i] <= '9') ++i, exp = true;
            if (!exp) return false;
        }
        blanks();
        return i == n;
    }

    std::vector<std::string> lines_;
    std::size_t pos_ = 0;
    const char* file_;
};

double dist(Pt p, Pt q) { return std::hypot(p.x - q.x, p.y - q.y); }

Edge lineEdge(Pt a, Pt b) {
    Edge e;
    e.a = a;
    e.b = b;
    return e;
}

// The arc counter-clockwise from a1 to a2 (through angle 0 when a1 >= a2).
Edge arcEdge(Pt c, double r, double a1, double a2) {
    Edge e;
    e.arc = true;
    e.c = c;
    e.r = r;
    e.start = a1;
    // in constant time, whatever the angles (a damaged file may hold any up to 1e9)
    a1 = std::fmod(a1, kFullTurn);
    double sweep = std::fmod(a2 - a1, kFullTurn);
    if (sweep <= 0) sweep += kFullTurn;
    e.sweep = sweep;
    e.a = {c.x + r * std::cos(a1), c.y + r * std::sin(a1)};
    e.b = {c.x + r * std::cos(a1 + sweep), c.y + r * std::sin(a1 + sweep)};
    return e;
}

Edge reversed(const Edge& e) {
    Edge r = e;
    std::swap(r.a, r.b);
    if (e.arc) {
        r.start = e.start + e.sweep;
        r.sweep = -e.sweep;
    }
    return r;
}

// Puts the pieces of one contour into traversal order: each piece keeps its place in the
// file but may be turned round so that it starts where the one before it ends.
void orient(std::vector<Edge>& edges) {
    if (edges.size() < 2) return;
    const Edge& second = edges[1];
    const double keep = std::min(dist(edges[0].b, second.a), dist(edges[0].b, second.b));
    const double turn = std::min(dist(edges[0].a, second.a), dist(edges[0].a, second.b));
    if (turn < keep) edges[0] = reversed(edges[0]);
    for (std::size_t i = 1; i < edges.size(); ++i) {
        const Pt end = edges[i - 1].b;
        if (dist(end, edges[i].b) < dist(end, edges[i].a)) edges[i] = reversed(edges[i]);
    }
}

std::string where(Pt p) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "(%.3f, %.3f) mm", p.x, p.y);
    return buf;
}

}  // namespace

C3 parseC3(std::string_view content) {
    Lines in(content, "c3.dat");
    C3 c;
    c.scale = in.number("the scale");
    if (!(c.scale > 0)) in.fail("the scale on line 1 must be above 0");
    in.text("line 2");
    c.aperture = in.number("the aperture width") * kMmPerInch;
    if (c.aperture < 0) in.fail("the aperture width on line 3 is below 0");
    return c;
}

std::vector<Letter> parseContours(std::string_view content, double scale) {
    Lines in(content, "workrl.dat");
    std::vector<Letter> letters;
    bool ended = false;
    while (!in.atEnd()) {
        const std::string& key = in.text("the end record");
        if (key == "s") {
            ended = true;
            break;
        }
        if (key.empty()) continue;
        if (key != "a") in.fail("line " + std::to_string(in.lineNumber()) + " should open a contour but reads \"" + key + "\"");
        std::vector<Edge> edges;
        for (;;) {
            const std::string& rec = in.text("the end of a contour");
            if (rec == "e") break;
            if (rec == "n") {
                letters.push_back({static_cast<int>(letters.size()) + 1, {}});
            } else if (rec == "1") {
                const double x1 = in.number("x1") * scale, y1 = in.number("y1") * scale;
                const double x2 = in.number("x2") * scale, y2 = in.number("y2") * scale;
                edges.push_back(lineEdge({x1, y1}, {x2, y2}));
            } else if (rec == "2") {
                const double cx = in.number("cx") * scale, cy = in.number("cy") * scale;
                const double r = in.number("the radius") * scale;
                const double a1 = in.number("the start angle"), a2 = in.number("the end angle");
                if (!(r > 0)) in.fail("line " + std::to_string(in.lineNumber() - 2) + ": an arc radius must be above 0");
                edges.push_back(arcEdge({cx, cy}, r, a1, a2));
            } else {
                in.fail("line " + std::to_string(in.lineNumber()) + " holds the unknown record \"" + rec + "\"");
            }
        }
        if (edges.empty()) continue;
        if (letters.empty()) letters.push_back({1, {}});
        orient(edges);
        letters.back().loops.push_back({std::move(edges)});
    }
    if (!ended) in.fail("the file is cut short (no end record \"s\")");
    std::erase_if(letters, [](const Letter& l) { return l.loops.empty(); });
    if (letters.empty()) in.fail("holds no letter contours");
    return letters;
}

std::vector<Loop> parseBar(std::string_view content, double scale) {
    Lines in(content, "workm.dat");
    if (in.atEnd()) return {};
    const double arcs = in.number("the number of arcs"), lines = in.number("the number of lines");
    if (arcs < 0 || lines < 0 || arcs != std::floor(arcs) || lines != std::floor(lines))
        in.fail("the numbers of arcs and lines must be whole numbers of 0 or more");
    // the shapes stage's bar holds up to 641 arcs and 641 lines of its own
    if (arcs > static_cast<double>(kMaxBarElements) || lines > static_cast<double>(kMaxBarElements))
        in.fail("holds more than " + std::to_string(kMaxBarElements) + " bar arcs or lines");
    const auto nArcs = static_cast<std::size_t>(arcs), nLines = static_cast<std::size_t>(lines);
    if (in.remaining() < nArcs * 6 + nLines * 5) in.fail("the file is cut short (fewer pieces than it announces)");
    std::vector<Edge> pool;
    pool.reserve(nArcs + nLines);
    for (std::size_t k = 0; k < nArcs; ++k) {
        const double cx = in.number("cx") * scale, cy = in.number("cy") * scale, r = in.number("the radius") * scale;
        const double a1 = in.number("the start angle"), a2 = in.number("the end angle");
        in.number("the pair index");
        if (!(r > 0)) in.fail("an arc radius must be above 0");
        pool.push_back(arcEdge({cx, cy}, r, a1, a2));
    }
    for (std::size_t k = 0; k < nLines; ++k) {
        const double x1 = in.number("x1") * scale, y1 = in.number("y1") * scale;
        const double x2 = in.number("x2") * scale, y2 = in.number("y2") * scale;
        in.number("the pair index");
        if (dist({x1, y1}, {x2, y2}) > 0) pool.push_back(lineEdge({x1, y1}, {x2, y2}));
    }
    // The pieces stand in the file arcs first, then lines: chain them into closed outlines.
    std::vector<Loop> loops;
    std::vector<char> used(pool.size(), 0);
    for (std::size_t s = 0; s < pool.size(); ++s) {
        if (used[s]) continue;
        used[s] = 1;
        Loop loop;
        loop.edges.push_back(pool[s]);
        const Pt first = pool[s].a;
        while (dist(loop.edges.back().b, first) > kJoinTolerance) {
            const Pt end = loop.edges.back().b;
            std::size_t best = pool.size();
            bool turn = false;
            double bestGap = kJoinTolerance;
            for (std::size_t k = 0; k < pool.size(); ++k) {
                if (used[k]) continue;
                const double ga = dist(end, pool[k].a), gb = dist(end, pool[k].b);
                if (ga <= bestGap) best = k, bestGap = ga, turn = false;
                if (gb < bestGap) best = k, bestGap = gb, turn = true;
            }
            if (best == pool.size()) in.fail("the bar piece through " + where(first) + " is not closed");
            used[best] = 1;
            loop.edges.push_back(turn ? reversed(pool[best]) : pool[best]);
        }
        loops.push_back(std::move(loop));
    }
    return loops;
}

std::vector<Bridge> parseBridges(std::string_view content, double scale) {
    Lines in(content, "hl.dat");
    const double count = in.number("the number of bridges");
    if (count < 0 || count != std::floor(count) || count > static_cast<double>(kMaxBridges))
        in.fail("the number of bridges must be a whole number from 0 to " + std::to_string(kMaxBridges));
    const auto n = static_cast<std::size_t>(count);
    if (in.remaining() < n * 5) in.fail("the file is cut short (fewer bridges than it announces)");
    std::vector<Bridge> bridges;
    bridges.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        Bridge b;
        b.kind = static_cast<int>(std::lround(in.number("the kind of a bridge")));
        b.p1 = {in.number("x1") * scale, in.number("y1") * scale};
        b.p2 = {in.number("x2") * scale, in.number("y2") * scale};
        bridges.push_back(b);
    }
    return bridges;
}

bool parseOneObject(std::string_view content) {
    const auto lines = wf::splitLines(content);
    try {
        return lines.empty() || wf::parseFlag(lines[0]);
    } catch (const fault::OverflowFault&) {
        throw fault::HandoverFault("orgdim.dat", "line 1: the flag out of range", 2);
    }
}

Handover readHandover(const fs::path& workfiles) {
    auto read = [&](const char* name, bool required, bool& present) -> std::string {
        const fs::path file = workfiles / name;
        std::error_code ec;
        present = fs::exists(file, ec);
        if (!present) {
            if (required) throw fault::HandoverFault(name, "missing from " + workfiles.string(), 3);
            return {};
        }
        if (!fs::is_regular_file(file, ec)) throw fault::HandoverFault(name, "is not a file", 3);
        try {
            return wf::readFile(file);
        } catch (const fault::FileFault&) {
            throw fault::HandoverFault(name, "cannot be read", 3);
        }
    };
    bool present = false;
    Handover h;
    const C3 c3 = parseC3(read("c3.dat", true, present));
    h.scale = c3.scale;
    h.aperture = c3.aperture;
    h.letters = parseContours(read("workrl.dat", true, present), h.scale);
    h.bridges = parseBridges(read("hl.dat", true, present), h.scale);
    const std::string bar = read("workm.dat", false, present);
    h.bar = parseBar(bar, h.scale);
    h.hasBar = !h.bar.empty();
    const std::string org = read("orgdim.dat", false, present);
    h.oneObject = parseOneObject(org);
    // the letters as typed: only for naming them, so a letters file that is missing, unreadable
    // or of other letters leaves them numbered as handed over
    std::error_code ec;
    if (fs::is_regular_file(workfiles / "tground.dat", ec)) {
        try {
            h.typed = parseTypedLetters(wf::readFile(workfiles / "tground.dat"));
        } catch (const fault::FileFault&) {
        }
        if (h.typed.size() < static_cast<std::size_t>(h.letters.back().number)) h.typed.clear();
    }
    return h;
}

std::string handoverMessage(const fault::HandoverFault& e) {
    const bool missing = e.text.rfind("missing", 0) == 0;
    return std::string(missing ? kNoHandover : kBadHandover) + " (Detail: " + e.file + ": " + e.text + ")";
}

}  // namespace cut

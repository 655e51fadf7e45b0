#include "cut/writers.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "geom/units.h"
#include "workfile/workfile_io.h"

namespace cut {

namespace {

// Shortest text that reads back as the same double.
void put(std::string& out, double v) {
    if (v == 0) v = 0;  // no "-0"
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}
// Fixed text with at most `digits` decimals, trailing zeros dropped.
void putFixed(std::string& out, double v, int digits) {
    char buf[48];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, digits);
    std::string s(buf, r.ptr);
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    if (s == "-0") s = "0";
    out += s;
}

// One closed path through the points (lines only).
void putPoints(std::string& s, const std::vector<Pt>& pts) {
    if (pts.empty()) return;
    s += "<path d=\"M";
    for (std::size_t i = 0; i < pts.size(); ++i) {
        if (i) s += 'L';
        putFixed(s, pts[i].x, 5);
        s += ',';
        putFixed(s, -pts[i].y, 5);
    }
    s += "Z\"/>\n";
}

// One outline as a closed subpath: lines and arcs. Mirrored y turns counter-clockwise into the
// SVG's positive sweep.
void putOutline(std::string& s, const Outline& o) {
    s += 'M';
    putFixed(s, o.segs[0].a.x, 5);
    s += ',';
    putFixed(s, -o.segs[0].a.y, 5);
    for (const Seg& g : o.segs) {
        if (g.bulge == 0) {
            s += 'L';
        } else {
            const double turn = 4 * std::atan(std::fabs(g.bulge));
            s += 'A';
            putFixed(s, g.r, 5);
            s += ',';
            putFixed(s, g.r, 5);
            s += turn > geom::kPi ? " 0 1," : " 0 0,";
            s += g.bulge > 0 ? "0 " : "1 ";
        }
        putFixed(s, g.b.x, 5);
        s += ',';
        putFixed(s, -g.b.y, 5);
    }
    s += 'Z';
}

// The letters, bridge strips and bar as handed over, in a hidden group marked as reference.
void putReference(std::string& s, const Handover& h) {
    s += "<g id=\"";
    s += kSvgReferenceGroup;
    s += "\" display=\"none\" fill=\"none\" stroke=\"#808080\" stroke-width=\"0.1\">\n";
    for (const Letter& l : h.letters)
        for (const Loop& loop : l.loops) putPoints(s, loopPoints(loop));
    for (const Bridge& b : h.bridges) putPoints(s, bridgeStrip(b, h.aperture));
    for (const Loop& loop : h.bar) putPoints(s, loopPoints(loop));
    s += "</g>\n";
}

}  // namespace

std::string svgText(const Drawing& d, const Handover& h, bool referenceLayers) {
    // y grows downward in SVG: every y is mirrored
    Pt lo = d.min, hi = d.max;
    for (const Pt& p : d.sheet) lo = {std::min(lo.x, p.x), std::min(lo.y, p.y)}, hi = {std::max(hi.x, p.x), std::max(hi.y, p.y)};
    const double w = std::max(hi.x - lo.x, 1e-3), ht = std::max(hi.y - lo.y, 1e-3);
    std::string s;
    s.reserve(64 * 1024);
    s += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"";
    putFixed(s, w, 4);
    s += "mm\" height=\"";
    putFixed(s, ht, 4);
    s += "mm\" viewBox=\"";
    putFixed(s, lo.x, 4);
    s += ' ';
    putFixed(s, -hi.y, 4);
    s += ' ';
    putFixed(s, w, 4);
    s += ' ';
    putFixed(s, ht, 4);
    // every outline in one group under the even-odd rule: the counters of a part and the parts
    // inside an opening show as what they are
    s += "\">\n<g id=\"cut\" fill=\"";
    s += d.kind == Kind::Stencil ? "none" : "#c8c8c8";
    s += "\" fill-rule=\"evenodd\" stroke=\"#d00000\" stroke-width=\"0.1\">\n";
    // one path per piece, its outside and its holes together, so that the even-odd rule leaves
    // the counters of a part open; the sheet's edge a path of its own
    std::vector<std::vector<const Outline*>> byPiece(d.pieces.size() + 1);
    for (const Outline& o : d.cut)
        if (!o.segs.empty())
            byPiece[o.piece >= 0 && o.piece < static_cast<int>(d.pieces.size()) ? static_cast<std::size_t>(o.piece) : d.pieces.size()].push_back(&o);
    for (std::size_t i = 0; i < byPiece.size(); ++i)
        for (std::size_t k = 0; k < byPiece[i].size(); ++k) {
            const bool alone = i == d.pieces.size();  // the sheet's edge, or an outline of no piece
            if (k == 0 || alone) s += "<path d=\"";
            putOutline(s, *byPiece[i][k]);
            if (k + 1 == byPiece[i].size() || alone) s += "\"/>\n";
        }
    s += "</g>\n";
    if (referenceLayers) putReference(s, h);
    s += "</svg>\n";
    return s;
}

namespace {

void putPoint(std::string& s, Pt p) {
    s += '[';
    put(s, p.x);
    s += ',';
    put(s, p.y);
    s += ']';
}

// the settings, the hand-over's numbers, the counts, the areas and the extents
void putReportHead(std::string& s, const Drawing& d, const Handover& h) {
    s += "{ \"kind\": \"";
    s += d.kind == Kind::Stencil ? "stencil" : "lettering";
    s += "\", \"kerf\": ";
    put(s, d.options.kerf);
    s += ", \"tabs\": ";
    s += d.options.tabs ? "true" : "false";
    s += ", \"minWidth\": ";
    put(s, d.options.minWidth);
    s += ", \"thinWidth\": ";
    put(s, thinWidth(d.options));
    s += ", \"border\": ";
    put(s, d.options.border >= 0 ? d.options.border : 0);
    s += ", \"sheet\": [";
    put(s, d.options.sheetWidth);
    s += ',';
    put(s, d.options.sheetHeight);
    s += "], \"tile\": ";
    s += d.options.tile ? "true" : "false";
    s += ",\n  \"apertureWidth\": ";
    put(s, h.aperture);
    s += ", \"scale\": ";
    put(s, h.scale);
    s += ", \"oneObject\": ";
    s += h.oneObject ? "true" : "false";
    s += ",\n  \"counts\": { \"letters\": " + std::to_string(h.letters.size()) + ", \"bridges\": " +
         std::to_string(h.bridges.size()) + ", \"barPieces\": " + std::to_string(h.bar.size()) +
         ", \"outlines\": " + std::to_string(d.cut.size()) + ", \"pieces\": " + std::to_string(d.pieces.size()) +
         ", \"arcs\": " + std::to_string(d.arcs) + ", \"lines\": " + std::to_string(d.lines) +
         ", \"problems\": " + std::to_string(d.problems.size()) + ", \"tabs\": " + std::to_string(d.tabs.size()) + " },\n";
    s += "  \"area\": ";
    put(s, d.area);
    s += ", \"letterArea\": ";
    put(s, d.letterArea);
    s += ", \"extents\": { \"min\": ";
    putPoint(s, d.min);
    s += ", \"max\": ";
    putPoint(s, d.max);
    s += ", \"width\": ";
    put(s, d.max.x - d.min.x);
    s += ", \"height\": ";
    put(s, d.max.y - d.min.y);
    s += " },\n";
}

void putReportPieces(std::string& s, const Drawing& d) {
    s += "  \"pieces\": [";
    for (std::size_t i = 0; i < d.pieces.size(); ++i) {
        const Piece& p = d.pieces[i];
        s += i ? ",\n    " : "\n    ";
        s += "{ \"letter\": " + std::to_string(p.letter) + ", \"area\": ";
        put(s, p.area);
        s += ", \"min\": ";
        putPoint(s, p.min);
        s += ", \"max\": ";
        putPoint(s, p.max);
        s += " }";
    }
    s += " ],\n";
}

void putReportProblems(std::string& s, const Drawing& d) {
    s += "  \"problems\": [";
    for (std::size_t i = 0; i < d.problems.size(); ++i) {
        const Problem& p = d.problems[i];
        s += i ? ",\n    " : "\n    ";
        s += "{ \"kind\": \"";
        s += problemKey(p.kind);
        s += "\", \"letter\": " + std::to_string(p.letter);
        if (!p.character.empty()) s += ", \"character\": " + wf::jsonString(p.character);
        if (p.kind == ProblemKind::Merged) s += ", \"otherLetter\": " + std::to_string(p.otherLetter);
        if (!p.otherCharacter.empty()) s += ", \"otherCharacter\": " + wf::jsonString(p.otherCharacter);
        if (p.sheet) s += ", \"sheet\": " + std::to_string(p.sheet);
        s += ", \"place\": ";
        putPoint(s, p.place);
        if (!p.detail.empty()) s += ", \"detail\": " + wf::jsonString(p.detail);
        s += " }";
    }
    s += " ],\n";
}

void putReportSheetsAndTabs(std::string& s, const Drawing& d) {
    s += "  \"sheets\": [";
    for (std::size_t i = 0; i < d.sheets.size(); ++i) {
        const Sheet& sh = d.sheets[i];
        s += i ? ",\n    " : "\n    ";
        s += "{ \"number\": " + std::to_string(sh.number) + ", \"min\": ";
        putPoint(s, sh.min);
        s += ", \"max\": ";
        putPoint(s, sh.max);
        s += ", \"marks\": [";
        for (std::size_t k = 0; k < sh.marks.size(); ++k) {
            s += k ? ", " : "";
            putPoint(s, sh.marks[k]);
        }
        s += "] }";
    }
    s += " ],\n  \"tabPlaces\": [";
    for (std::size_t i = 0; i < d.tabs.size(); ++i) {
        s += i ? ", " : "";
        putPoint(s, d.tabs[i]);
    }
    s += "] }\n";
}

}  // namespace

std::string reportJson(const Drawing& d, const Handover& h) {
    std::string s;
    putReportHead(s, d, h);
    putReportPieces(s, d);
    putReportProblems(s, d);
    putReportSheetsAndTabs(s, d);
    return s;
}

}  // namespace cut

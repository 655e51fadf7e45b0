#include "cut/writers.h"

#include <dxflib/dl_dxf.h>
#include <unistd.h>

#include <charconv>
#include <cmath>
#include <random>
#include <system_error>

#include "geom/units.h"
#include "workfile/workfile_io.h"

namespace cut {

namespace fs = std::filesystem;

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

void writeLoop(DL_Dxf& dxf, DL_WriterA& w, const std::vector<Pt>& pts, const std::vector<double>& bulges,
               const DL_Attributes& attr) {
    dxf.writePolyline(w, DL_PolylineData(static_cast<int>(pts.size()), 0, 0, 1), attr);
    for (std::size_t i = 0; i < pts.size(); ++i)
        dxf.writeVertex(w, DL_VertexData(pts[i].x, pts[i].y, 0, bulges.empty() ? 0 : bulges[i]));
    dxf.writePolylineEnd(w);
}

void writeEdges(DL_Dxf& dxf, DL_WriterA& w, const Loop& l, const DL_Attributes& attr) {
    std::vector<Pt> pts;
    std::vector<double> bulges;
    for (const Edge& e : l.edges) {
        pts.push_back(e.a);
        bulges.push_back(e.arc ? std::tan(e.sweep / 4) : 0);
    }
    writeLoop(dxf, w, pts, bulges, attr);
}

fs::path scratchFile() {
    std::random_device rd;
    return fs::temp_directory_path() / ("letterkerf-cut-" + std::to_string(::getpid()) + "-" + std::to_string(rd()) + ".dxf");
}

}  // namespace

std::string dxfText(const Drawing& d, const Handover& h) {
    const fs::path tmp = scratchFile();
    {
        DL_Dxf dxf;
        DL_WriterA w(tmp.c_str(), DL_Codes::AC1015);
        if (w.openFailed()) throw fault::FileFault("no room for the drawing in " + tmp.parent_path().string());
        dxf.writeHeader(w);
        w.dxfString(9, "$INSUNITS");
        w.dxfInt(70, 4);  // millimetres
        w.dxfString(9, "$MEASUREMENT");
        w.dxfInt(70, 1);
        w.sectionEnd();
        w.sectionTables();
        dxf.writeVPort(w);
        w.tableLinetypes(3);
        dxf.writeLinetype(w, DL_LinetypeData("BYBLOCK", "", 0, 0, 0.0));
        dxf.writeLinetype(w, DL_LinetypeData("BYLAYER", "", 0, 0, 0.0));
        dxf.writeLinetype(w, DL_LinetypeData("CONTINUOUS", "Solid line", 0, 0, 0.0));
        w.tableEnd();
        const std::pair<const char*, int> layers[] = {
            {"0", 7}, {kLayerCut, 1}, {kLayerLetters, 8}, {kLayerBridges, 3}, {kLayerBar, 5}};
        w.tableLayers(static_cast<int>(std::size(layers)));
        for (auto [name, colour] : layers)
            dxf.writeLayer(w, DL_LayerData(name, 0), DL_Attributes("", colour, 100, "CONTINUOUS", 1.0));
        w.tableEnd();
        w.tableStyle(1);
        dxf.writeStyle(w, DL_StyleData("Standard", 0, 0.0, 1.0, 0.0, 0, 2.5, "txt", ""));
        w.tableEnd();
        dxf.writeView(w);
        dxf.writeUcs(w);
        w.tableAppid(1);
        dxf.writeAppid(w, "ACAD");
        w.tableEnd();
        dxf.writeDimStyle(w, 1, 1, 1, 1, 1);
        dxf.writeBlockRecord(w);
        w.tableEnd();
        w.sectionEnd();
        w.sectionBlocks();
        dxf.writeBlock(w, DL_BlockData("*Model_Space", 0, 0.0, 0.0, 0.0));
        dxf.writeEndBlock(w, "*Model_Space");
        dxf.writeBlock(w, DL_BlockData("*Paper_Space", 0, 0.0, 0.0, 0.0));
        dxf.writeEndBlock(w, "*Paper_Space");
        dxf.writeBlock(w, DL_BlockData("*Paper_Space0", 0, 0.0, 0.0, 0.0));
        dxf.writeEndBlock(w, "*Paper_Space0");
        w.sectionEnd();

        w.sectionEntities();
        const DL_Attributes cut(kLayerCut, 256, -1, 0, "BYLAYER");
        for (const Outline& o : d.cut) {
            if (o.segs.empty()) continue;
            std::vector<Pt> pts;
            std::vector<double> bulges;
            for (const Seg& s : o.segs) pts.push_back(s.a), bulges.push_back(s.bulge);
            writeLoop(dxf, w, pts, bulges, cut);
        }
        const DL_Attributes letters(kLayerLetters, 256, -1, 0, "BYLAYER");
        for (const Letter& l : h.letters)
            for (const Loop& loop : l.loops) writeEdges(dxf, w, loop, letters);
        const DL_Attributes bridges(kLayerBridges, 256, -1, 0, "BYLAYER");
        for (const Bridge& b : h.bridges) writeLoop(dxf, w, bridgeStrip(b, h.aperture), {}, bridges);
        const DL_Attributes bar(kLayerBar, 256, -1, 0, "BYLAYER");
        for (const Loop& loop : h.bar) writeEdges(dxf, w, loop, bar);
        w.sectionEnd();
        // no OBJECTS section: readers make the default dictionaries themselves, and the one
        // the library writes has owners that point nowhere
        w.dxfEOF();
        w.close();
    }
    std::string text;
    try {
        text = wf::readFile(tmp);
    } catch (const fault::FileFault&) {
        std::error_code ec;
        fs::remove(tmp, ec);
        throw fault::FileFault("the drawing could not be written to " + tmp.parent_path().string());
    }
    std::error_code ec;
    fs::remove(tmp, ec);
    return text;
}

std::string svgText(const Drawing& d) {
    // y grows downward in SVG: every y is mirrored about the middle of the extent
    Pt lo = d.min, hi = d.max;
    for (const Pt& p : d.sheet) lo = {std::min(lo.x, p.x), std::min(lo.y, p.y)}, hi = {std::max(hi.x, p.x), std::max(hi.y, p.y)};
    const double w = std::max(hi.x - lo.x, 1e-3), h = std::max(hi.y - lo.y, 1e-3);
    std::string s;
    s.reserve(64 * 1024);
    s += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"";
    putFixed(s, w, 4);
    s += "mm\" height=\"";
    putFixed(s, h, 4);
    s += "mm\" viewBox=\"";
    putFixed(s, lo.x, 4);
    s += ' ';
    putFixed(s, -hi.y, 4);
    s += ' ';
    putFixed(s, w, 4);
    s += ' ';
    putFixed(s, h, 4);
    s += "\">\n<g fill=\"";
    s += d.kind == Kind::Stencil ? "none" : "#c8c8c8";
    s += "\" fill-rule=\"evenodd\" stroke=\"#d00000\" stroke-width=\"0.1\">\n";
    for (const Outline& o : d.cut) {
        if (o.segs.empty()) continue;
        s += "<path d=\"M";
        putFixed(s, o.segs[0].a.x, 5);
        s += ',';
        putFixed(s, -o.segs[0].a.y, 5);
        for (const Seg& g : o.segs) {
            if (g.bulge == 0) {
                s += 'L';
            } else {
                // mirrored y turns counter-clockwise into the SVG's positive sweep
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
        s += "Z\"/>\n";
    }
    s += "</g>\n</svg>\n";
    return s;
}

std::string reportJson(const Drawing& d, const Handover& h) {
    std::string s;
    auto point = [&](Pt p) {
        s += '[';
        put(s, p.x);
        s += ',';
        put(s, p.y);
        s += ']';
    };
    s += "{ \"kind\": \"";
    s += d.kind == Kind::Stencil ? "stencil" : "lettering";
    s += "\", \"kerf\": ";
    put(s, d.options.kerf);
    s += ", \"tabs\": ";
    s += d.options.tabs ? "true" : "false";
    s += ", \"border\": ";
    put(s, d.options.border >= 0 ? d.options.border : 0);
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
    point(d.min);
    s += ", \"max\": ";
    point(d.max);
    s += ", \"width\": ";
    put(s, d.max.x - d.min.x);
    s += ", \"height\": ";
    put(s, d.max.y - d.min.y);
    s += " },\n  \"pieces\": [";
    for (std::size_t i = 0; i < d.pieces.size(); ++i) {
        const Piece& p = d.pieces[i];
        s += i ? ",\n    " : "\n    ";
        s += "{ \"letter\": " + std::to_string(p.letter) + ", \"area\": ";
        put(s, p.area);
        s += ", \"min\": ";
        point(p.min);
        s += ", \"max\": ";
        point(p.max);
        s += " }";
    }
    s += " ],\n  \"problems\": [";
    for (std::size_t i = 0; i < d.problems.size(); ++i) {
        const Problem& p = d.problems[i];
        s += i ? ",\n    " : "\n    ";
        s += "{ \"kind\": \"";
        s += problemName(p.kind);
        s += "\", \"letter\": " + std::to_string(p.letter) + ", \"place\": ";
        point(p.place);
        s += " }";
    }
    s += " ],\n  \"tabPlaces\": [";
    for (std::size_t i = 0; i < d.tabs.size(); ++i) {
        s += i ? ", " : "";
        point(d.tabs[i]);
    }
    s += "] }\n";
    return s;
}

void saveFile(const fs::path& file, const std::string& content) {
    std::error_code ec;
    if (fs::exists(file, ec) && ::access(file.c_str(), W_OK) != 0)
        throw fault::FileFault(file.string() + " is write-protected");
    try {
        wf::replaceFile(file, content);
    } catch (const fault::FileFault&) {
        throw fault::FileFault(file.string() + " cannot be written");
    }
}

}  // namespace cut

// The DXF of the cut drawing, made in memory: no file is written here.
#include <dxflib/dl_dxf.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

#include "cut/writers.h"

namespace cut {

namespace {

// dxflib's writer, kept from its file: every group it is given is appended to a text. The
// file name it is opened on is empty, so its own stream never opens and is never used.
class TextWriter : public DL_WriterA {
public:
    explicit TextWriter(std::string& out) : DL_WriterA("", DL_Codes::AC1015), out_(out) {}
    void dxfReal(int gc, double value) const override {
        code(gc);
        if (value == 0 || !std::isfinite(value)) value = 0;  // no "-0"; nothing else can reach here
        char buf[48];
        auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 10);
        std::string_view s(buf, static_cast<std::size_t>(r.ptr - buf));
        while (s.back() == '0') s.remove_suffix(1);
        if (s.back() == '.') s.remove_suffix(1);
        out_.append(s);
        out_ += '\n';
    }
    void dxfInt(int gc, int value) const override {
        code(gc);
        out_ += std::to_string(value);
        out_ += '\n';
    }
    void dxfHex(int gc, int value) const override {
        code(gc);
        char buf[16];
        auto r = std::to_chars(buf, buf + sizeof buf, static_cast<unsigned>(value), 16);
        for (char* c = buf; c != r.ptr; ++c) out_ += static_cast<char>(*c >= 'a' ? *c - 'a' + 'A' : *c);
        out_ += '\n';
    }
    void dxfString(int gc, const char* value) const override {
        code(gc);
        out_ += value;
        out_ += '\n';
    }
    void dxfString(int gc, const std::string& value) const override { dxfString(gc, value.c_str()); }

private:
    void code(int gc) const {
        const std::string c = std::to_string(gc);
        if (c.size() < 3) out_.append(3 - c.size(), ' ');
        out_ += c;
        out_ += '\n';
    }
    std::string& out_;
};

struct Layer {
    const char* name;
    int colour;
    bool cut;  // cut by the machine: on and plotted; else a reference: off, grey, never plotted
};

// A layer record. A reference layer is off (a negative colour) and marked not to plot
// (group 290 = 0): a program that cuts every line it shows or plots leaves it alone.
void writeLayer(DL_WriterA& w, const Layer& l) {
    w.dxfString(0, "LAYER");
    w.handle();
    w.dxfString(100, "AcDbSymbolTableRecord");
    w.dxfString(100, "AcDbLayerTableRecord");
    w.dxfString(2, l.name);
    w.dxfInt(70, 0);
    w.dxfInt(62, l.cut ? l.colour : -l.colour);
    w.dxfString(6, "CONTINUOUS");
    w.dxfInt(290, l.cut ? 1 : 0);
    w.dxfInt(370, -3);
    w.dxfHex(390, 0xF);
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

void writeTables(DL_Dxf& dxf, DL_WriterA& w, const std::vector<Layer>& layers) {
    w.sectionTables();
    dxf.writeVPort(w);
    w.tableLinetypes(3);
    dxf.writeLinetype(w, DL_LinetypeData("BYBLOCK", "", 0, 0, 0.0));
    dxf.writeLinetype(w, DL_LinetypeData("BYLAYER", "", 0, 0, 0.0));
    dxf.writeLinetype(w, DL_LinetypeData("CONTINUOUS", "Solid line", 0, 0, 0.0));
    w.tableEnd();
    w.tableLayers(static_cast<int>(layers.size()));
    for (const Layer& l : layers) writeLayer(w, l);
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
    for (const char* block : {"*Model_Space", "*Paper_Space", "*Paper_Space0"}) {
        dxf.writeBlock(w, DL_BlockData(block, 0, 0.0, 0.0, 0.0));
        dxf.writeEndBlock(w, block);
    }
    w.sectionEnd();
}

void writeReference(DL_Dxf& dxf, DL_WriterA& w, const Handover& h) {
    const DL_Attributes letters(kLayerLetters, 256, -1, 0, "BYLAYER");
    for (const Letter& l : h.letters)
        for (const Loop& loop : l.loops) writeEdges(dxf, w, loop, letters);
    const DL_Attributes bridges(kLayerBridges, 256, -1, 0, "BYLAYER");
    for (const Bridge& b : h.bridges) writeLoop(dxf, w, bridgeStrip(b, h.aperture), {}, bridges);
    const DL_Attributes bar(kLayerBar, 256, -1, 0, "BYLAYER");
    for (const Loop& loop : h.bar) writeEdges(dxf, w, loop, bar);
}

}  // namespace

std::string dxfText(const Drawing& d, const Handover& h, bool referenceLayers) {
    std::string text;
    text.reserve(64 * 1024);
    TextWriter w(text);
    DL_Dxf dxf;
    dxf.writeHeader(w);
    w.dxfString(9, "$INSUNITS");
    w.dxfInt(70, 4);  // millimetres
    w.dxfString(9, "$MEASUREMENT");
    w.dxfInt(70, 1);
    w.sectionEnd();
    const bool edge = std::any_of(d.cut.begin(), d.cut.end(), [](const Outline& o) { return o.sheetEdge; });
    std::vector<Layer> layers{{"0", 7, true}, {kLayerCut, 1, true}};
    if (edge) layers.push_back({kLayerSheet, 5, true});
    if (referenceLayers)
        for (const char* name : {kLayerLetters, kLayerBridges, kLayerBar}) layers.push_back({name, kReferenceGrey, false});
    writeTables(dxf, w, layers);

    w.sectionEntities();
    const DL_Attributes cut(kLayerCut, 256, -1, 0, "BYLAYER"), sheet(kLayerSheet, 256, -1, 0, "BYLAYER");
    for (const Outline& o : d.cut) {
        if (o.segs.empty()) continue;
        std::vector<Pt> pts;
        std::vector<double> bulges;
        for (const Seg& s : o.segs) pts.push_back(s.a), bulges.push_back(s.bulge);
        writeLoop(dxf, w, pts, bulges, o.sheetEdge ? sheet : cut);
    }
    if (referenceLayers) writeReference(dxf, w, h);
    w.sectionEnd();
    // no OBJECTS section: readers make the default dictionaries themselves, and the one the
    // library writes has owners that point nowhere
    w.dxfEOF();
    return text;
}

}  // namespace cut

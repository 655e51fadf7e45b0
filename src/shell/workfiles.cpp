#include "shell/workfiles.h"

#include <cmath>

#include "shell/workfile_io.h"

namespace shell {

fs::path workFile(const fs::path& appFolder, const char* name) {
    return appFolder / "workfiles" / name;
}

TopDat readTopDat(const fs::path& appFolder) {
    TopDat t;
    try {
        const auto file = workFile(appFolder, "top.dat");
        if (wf::probeLength(file) < 4) return t;
        wf::LineReader in(file);
        t.top = in.int32();
        t.left = in.int32();
        t.line3 = in.text();
        t.line4 = in.text();
    } catch (const std::exception&) {
        // an unreadable file leaves the window at its default place
        TopDat fallback;
        fallback.line3 = t.line3;
        fallback.line4 = t.line4;
        return fallback;
    }
    return t;
}

void writeTopDat(const fs::path& appFolder, double top, double left, const TopDat& kept) {
    wf::LineWriter w;
    w.number(wf::toInt32(top)).number(wf::toInt32(left)).text(kept.line3).text(kept.line4);
    w.commit(workFile(appFolder, "top.dat"));
}

void rangeCheckPresets(Presets& p) {
    if (!(p.maxArcRadius >= kMaxArcRadiusLow && p.maxArcRadius <= kMaxArcRadiusHigh))
        p.maxArcRadius = 8890;
    if (!(p.minArcLength >= kMinArcLengthLow && p.minArcLength <= kMinArcLengthHigh))
        p.minArcLength = 0.1016;
}

Presets readThDat(const fs::path& appFolder) {
    Presets p;
    try {
        const auto file = workFile(appFolder, "th.dat");
        if (wf::probeLength(file) >= 4) {
            wf::LineReader in(file);
            in.text();
            p.minArcLength = in.number();
            p.maxArcRadius = in.number();
        }
    } catch (const std::exception&) {
        p = Presets{};
    }
    p.minArcRadius = 0.1;
    p.fitTolerance = 0.05;
    rangeCheckPresets(p);
    return p;
}

void writeThDat(const fs::path& appFolder, const Presets& p) {
    const auto file = workFile(appFolder, "th.dat");
    std::string first;
    std::error_code ec;
    if (fs::exists(file, ec) && fs::file_size(file, ec) > 0 && !ec) {
        wf::LineReader in(file);
        if (!in.atEnd()) first = in.text();
    }
    wf::LineWriter w;
    w.text(first)
        .number(p.minArcLength)
        .number(p.maxArcRadius)
        .number(p.minArcRadius)
        .number(p.fitTolerance);
    w.commit(file);
}

void probeWorkfileDcc(const fs::path& appFolder) {
    try {
        wf::probeLength(workFile(appFolder, "workfile.dcc"));
    } catch (const std::exception&) {
    }
}

void writeStv2b(const fs::path& appFolder, const SavedState& s) {
    wf::LineWriter w;
    w.number(s.shapeNumber).number(s.smallHeight).number(s.bigHeight);
    w.number(s.apertureWidthMin).number(s.apertureWidthMax);
    for (std::size_t i = 0; i < 256; ++i) w.number(s.signDistanceA[i]).number(s.signDistanceB[i]);
    w.flag(s.check1).flag(s.check2).flag(s.check4).flag(s.check3);
    w.text(s.text4).text(s.text5).text(s.text6);
    w.number(s.hscroll2);
    w.flag(s.frame11Visible);
    w.number(1000).number(-1000);
    w.number(s.hscroll1);
    w.commit(workFile(appFolder, "stv2b.dat"));
}

void writeOrgdim(const fs::path& appFolder, bool oneObject) {
    wf::LineWriter w;
    w.flag(oneObject);
    w.commit(workFile(appFolder, "orgdim.dat"));
}

bool readOrgdim(const fs::path& appFolder) {
    wf::LineReader in(workFile(appFolder, "orgdim.dat"));
    return in.int16() == 1;
}

void rewriteWifDat(const fs::path& appFolder) {
    const auto file = workFile(appFolder, "wif.dat");
    wf::LineReader in(file);
    const std::string first = in.text();
    in.text();
    wf::LineWriter w;
    w.text(first).text("0");
    w.commit(file);
}

std::int16_t readShapDatVariant(const fs::path& appFolder) {
    wf::LineReader in(workFile(appFolder, "shap.dat"));
    in.text();
    return in.int16();
}

void writeHlDat(const fs::path& appFolder, const engine::Model& m) {
    wf::LineWriter w;
    w.number(static_cast<double>(m.bridges.size()));
    for (const engine::Bridge& b : m.bridges)
        w.number(b.kind).number(b.x1).number(b.y1).number(b.x2).number(b.y2);
    w.commit(workFile(appFolder, "hl.dat"));
}

void writeC3Dat(const fs::path& appFolder, double outputScale, const std::string& text4,
                double smallHeight) {
    wf::LineWriter w;
    w.number(outputScale).text("1").text(text4).text(" 0").number(smallHeight).number(smallHeight);
    w.commit(workFile(appFolder, "c3.dat"));
}

}  // namespace shell

#include "shapes/workfiles.h"

#include <cmath>
#include <system_error>

#include "workfile/workfile_io.h"

namespace shapes {

convert::Targets conversionTargets(const fs::path& appFolder) {
    return {workFile(appFolder, "workrl.dat"), workFile(appFolder, "workm.dat")};
}

bool inWorkFolder(const fs::path& appFolder, const fs::path& file) {
    const auto resolved = [](const fs::path& p) {
        std::error_code ec;
        fs::path abs = fs::absolute(p, ec);
        if (ec) abs = p;
        const fs::path canonical = fs::weakly_canonical(abs, ec);
        return (ec ? abs : canonical).lexically_normal();
    };
    const fs::path work = resolved(appFolder / "workfiles");
    const fs::path target = resolved(file);
    auto w = work.begin(), t = target.begin();
    for (; w != work.end() && t != target.end(); ++w, ++t) {
        if (w->empty()) break;  // the trailing separator of a folder name
        if (*w != *t) return false;
    }
    return w == work.end() || w->empty();
}

namespace {
void put(const wf::LineWriter& w, const fs::path& file, wf::FileSet* set) {
    if (set)
        set->replace(file, w.content());
    else
        w.commit(file);
}
}  // namespace

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

void writeTopDat(const fs::path& appFolder, double top, double left, const TopDat& kept, wf::FileSet* set) {
    wf::LineWriter w;
    w.number(wf::toInt32(top)).number(wf::toInt32(left)).text(kept.line3).text(kept.line4);
    put(w, workFile(appFolder, "top.dat"), set);
}

void rangeCheckPresets(Presets& p) {
    if (!(p.maxArcRadius >= engine::kMaxArcRadiusLow && p.maxArcRadius <= engine::kMaxArcRadiusHigh))
        p.maxArcRadius = engine::kDefaultMaxArcRadius;
    if (!(p.minArcLength >= engine::kMinArcLengthLow && p.minArcLength <= engine::kMinArcLengthHigh))
        p.minArcLength = engine::kMinArcLengthHigh;
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
    p.minArcRadius = engine::kFixedMinArcRadius;
    p.fitTolerance = engine::kFixedFitTolerance;
    rangeCheckPresets(p);
    return p;
}

void writeStateLetters(const fs::path& appFolder, const std::string& text, wf::FileSet* set) {
    wf::LineWriter w;
    w.text(text);
    put(w, workFile(appFolder, "stv2text.dat"), set);
}

std::optional<std::string> readStateLetters(const fs::path& appFolder) {
    try {
        const auto file = workFile(appFolder, "stv2text.dat");
        std::error_code ec;
        if (!fs::is_regular_file(fs::symlink_status(file, ec))) return std::nullopt;  // never created here
        wf::LineReader in(file);
        if (in.atEnd()) return std::nullopt;
        return in.text();
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

void writeThDat(const fs::path& appFolder, const Presets& p, wf::FileSet* set) {
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
    put(w, file, set);
}

void probeWorkfileDcc(const fs::path& appFolder) {
    try {
        wf::probeLength(workFile(appFolder, "workfile.dcc"));
    } catch (const std::exception&) {
    }
}

std::string writeStv2b(const fs::path& appFolder, const SavedState& s, wf::FileSet* set) {
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
    put(w, workFile(appFolder, "stv2b.dat"), set);
    return w.content();
}

Stv2bRead readStv2b(const fs::path& appFolder) {
    Stv2bRead r;
    try {
        const fs::path file = workFile(appFolder, "stv2b.dat");
        if (wf::probeLength(file) < kStv2bMinLength) return r;
        r.present = true;
        wf::LineReader in(file);
        SavedState& s = r.state;
        const auto field = [&](auto& target, auto read) {
            target = read();
            ++r.fields;
        };
        field(s.shapeNumber, [&] { return in.int16(); });
        for (double* v : {&s.smallHeight, &s.bigHeight, &s.apertureWidthMin, &s.apertureWidthMax})
            field(*v, [&] { return in.number(); });
        for (std::size_t i = 0; i < 256; ++i) {
            field(s.signDistanceA[i], [&] { return in.number(); });
            field(s.signDistanceB[i], [&] { return in.number(); });
        }
        for (bool* b : {&s.check1, &s.check2, &s.check4, &s.check3}) field(*b, [&] { return in.flag(); });
        for (std::string* t : {&s.text4, &s.text5, &s.text6}) field(*t, [&] { return in.text(); });
        field(s.hscroll2, [&] { return in.int32(); });
        field(s.frame11Visible, [&] { return in.flag(); });
        double slider = 0;  // the knot slider's range, written for the siblings, not read back
        field(slider, [&] { return in.number(); });
        field(slider, [&] { return in.number(); });
        field(s.hscroll1, [&] { return in.int32(); });
    } catch (const std::exception&) {
        // what was read so far stands
    }
    return r;
}

void writeOrgdim(const fs::path& appFolder, bool oneObject, wf::FileSet* set) {
    wf::LineWriter w;
    w.flag(oneObject);
    put(w, workFile(appFolder, "orgdim.dat"), set);
}

bool readOrgdim(const fs::path& appFolder) {
    wf::LineReader in(workFile(appFolder, "orgdim.dat"));
    return in.int16() == 1;
}

void writeHlDat(const fs::path& appFolder, const engine::Model& m, wf::FileSet* set) {
    wf::LineWriter w;
    w.number(static_cast<double>(m.bridges.size()));
    for (const engine::Bridge& b : m.bridges)
        w.number(b.kind).number(b.x1).number(b.y1).number(b.x2).number(b.y2);
    put(w, workFile(appFolder, "hl.dat"), set);
}

void writeC3Dat(const fs::path& appFolder, double outputScale, const std::string& text4,
                double smallHeight, wf::FileSet* set) {
    const auto file = workFile(appFolder, "c3.dat");
    const std::string text = c3DatText(outputScale, text4, smallHeight);
    if (set)
        set->replace(file, text);
    else
        wf::replaceFile(file, text);
}

std::string c3DatText(double outputScale, const std::string& text4, double smallHeight) {
    wf::LineWriter w;
    w.number(outputScale).text("1").text(text4).text(" 0").number(smallHeight).number(smallHeight);
    return w.content();
}

}  // namespace shapes

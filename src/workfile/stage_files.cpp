#include "workfile/stage_files.h"

#include <algorithm>
#include <cmath>
#include <system_error>
#include <vector>

#include "workfile/workfile_io.h"

namespace wf {

namespace fs = std::filesystem;

fs::path workFile(const fs::path& programFolder, const char* name) { return programFolder / "workfiles" / name; }

std::string shapDatText(std::size_t letters, bool plainLetters) {
    LineWriter w;
    w.number(static_cast<double>(letters)).text(plainLetters ? "1" : "0");
    return w.content();
}

std::int16_t readShapDatVariant(const fs::path& programFolder) {
    LineReader in(workFile(programFolder, "shap.dat"));
    in.text();
    return in.int16();
}

std::string wifDatText() {
    LineWriter w;
    w.text("1").text("1");
    return w.content();
}

void rewriteWifDat(const fs::path& programFolder) {
    const auto file = workFile(programFolder, "wif.dat");
    LineReader in(file);
    const std::string first = in.text();
    in.text();
    LineWriter w;
    w.text(first).text("0");
    w.commit(file);
}

namespace {
constexpr int kHeightLine = 2, kApertureLine = 522;  // counted from 1
constexpr double kMmPerInch = 25.4;
}  // namespace

ShapesDrawing readShapesDrawing(const fs::path& programFolder) {
    ShapesDrawing d;
    try {
        const fs::path file = workFile(programFolder, "stv2b.dat");
        std::error_code ec;
        if (!fs::is_regular_file(file, ec)) return d;
        LineReader in(file);
        in.text();
        const double h = in.number();
        if (!(std::isfinite(h) && h > 0)) return d;
        d.heightMm = h;
        d.saved = true;
        for (int line = kHeightLine + 1; line < kApertureLine; ++line) in.text();
        d.apertureText = in.text();
    } catch (const std::exception&) {
        // what was read so far stands
    }
    return d;
}

double apertureMinimum(double heightMm) { return heightMm < 20 ? 0.1016 : 0.3048; }
double apertureMaximum(double heightMm) { return std::min(heightMm * 0.1, 15.0); }

double apertureInUse(double heightMm, double typedMm) {
    const double lo = apertureMinimum(heightMm), hi = apertureMaximum(heightMm);
    double b = typedMm;
    if (b < lo || b > hi) b = heightMm < 20 ? 0.1016 : (heightMm >= 50 ? 1.524 : 1.016);
    if (b < lo) b = lo;
    if (b > hi) b = hi;
    return b;
}

namespace {
// The fingerprint of a work file, "-" when there is none (or it cannot be read).
std::string fingerprintOf(const fs::path& file) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(file, ec))) return "-";
    try {
        return fingerprint(readFile(file));
    } catch (const fault::FileFault&) {
        return "-";
    }
}

}  // namespace

std::string fingerprint(std::string_view bytes) {
    std::uint64_t h = 14695981039346656037ull;
    for (const char c : bytes) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    char text[17];
    for (int i = 15; i >= 0; --i, h >>= 4) text[i] = "0123456789abcdef"[h & 0xF];
    text[16] = 0;
    return text;
}

std::string handoverStampText(const fs::path& programFolder, std::string_view stv2b, std::string_view c3) {
    LineWriter w;
    w.text("1").text(fingerprintOf(workFile(programFolder, "tground.dat"))).text(fingerprint(stv2b)).text(fingerprint(c3));
    return w.content();
}

HandoverAge handoverAge(const fs::path& programFolder) {
    std::vector<std::string> lines;
    try {
        lines = splitLines(readFile(workFile(programFolder, kHandoverStamp)));
    } catch (const fault::FileFault&) {
    }
    if (lines.size() < 4 || lines[0] != "1")
        return {true, "It cannot be told whether the cut drawing is up to date: it was made by an earlier version or "
                      "not handed over whole."};
    if (lines[3] != fingerprintOf(workFile(programFolder, "c3.dat")))
        return {true, "The cut drawing was not handed over whole."};
    if (lines[1] != fingerprintOf(workFile(programFolder, "tground.dat")))
        return {true, "The lettering was changed after the cut drawing was made."};
    if (lines[2] != fingerprintOf(workFile(programFolder, "stv2b.dat")))
        return {true, "The shapes were changed after the cut drawing was made."};
    return {};
}

}  // namespace wf

#include "workfile/stage_files.h"

#include "workfile/workfile_io.h"

#include <algorithm>
#include <cmath>

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

}  // namespace wf

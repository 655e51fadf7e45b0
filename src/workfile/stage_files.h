// The small files the stages hand each other besides the letters: shap.dat and wif.dat, each
// reader beside its writer. Every path is <program folder>/workfiles/<name>.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace wf {

std::filesystem::path workFile(const std::filesystem::path& programFolder, const char* name);

// ---- shap.dat: line 1 the number of letters; line 2 "1" for letters without bridges (the
// STV1b variant, joined by the bar later), else "0". The way back picks the text stage by it.
std::string shapDatText(std::size_t letters, bool plainLetters);
// line 2 as a number; raises the work-file faults
std::int16_t readShapDatVariant(const std::filesystem::path& programFolder);

// ---- wif.dat: line 1 "1" (letters handed over by the text stage, carried through); line 2
// "1" while the letters are not yet taken up, "0" once the shapes stage has closed.
std::string wifDatText();
// line 1 kept, line 2 becomes "0". Raises fault::FileFault when the file is missing or has
// fewer than two lines.
void rewriteWifDat(const std::filesystem::path& programFolder);

// ---- stv2b.dat, as far as the text stage needs it: the shapes stage scales the whole text
// to the letter height h (line 2, mm) and draws every bridge as a strip of the aperture width
// b (line 522, the "Text4" box, inches). Its defaults: h 4 inches, b "0.08".
inline constexpr double kShapesDefaultHeightMm = 101.6;
inline constexpr const char* kShapesDefaultAperture = "0.08";
struct ShapesDrawing {
    double heightMm = kShapesDefaultHeightMm;
    std::string apertureText = kShapesDefaultAperture;  // inches, as typed
    bool saved = false;  // read from stv2b.dat; otherwise the defaults
};
// Never raises: a missing, short or unreadable file gives the defaults (a file that ends
// before line 522 keeps its h).
ShapesDrawing readShapesDrawing(const std::filesystem::path& programFolder);

// The aperture width (mm) the shapes stage draws with for letters h mm high when "Text4"
// holds `typedMm`: a width outside the range that h allows becomes that height's own.
double apertureInUse(double heightMm, double typedMm);
double apertureMinimum(double heightMm);
double apertureMaximum(double heightMm);

}  // namespace wf

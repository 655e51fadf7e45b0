// The small files the stages hand each other besides the letters: shap.dat and wif.dat, each
// reader beside its writer. Every path is <program folder>/workfiles/<name>.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

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

// ---- the hand-over's stamp: how the cut stage knows that its drawing is not stale. The shapes
// stage writes it with every hand-over, just before c3.dat (the last file of the set):
//   line 1 "1" (the form of the stamp), line 2 the fingerprint of the lettering (tground.dat),
//   line 3 that of the shapes state (stv2b.dat) as this hand-over wrote it, line 4 that of c3.dat.
// A fingerprint is 16 hexadecimal digits (FNV-1a, 64 bits) of the file's bytes, "-" for no file.
// Fingerprints, not file times: leaving the shapes stage rewrites stv2b.dat with the same bytes,
// which changes its time but not what the drawing was made from.
inline constexpr const char* kHandoverStamp = "c3stamp.dat";
std::string fingerprint(std::string_view bytes);
std::string handoverStampText(const std::filesystem::path& programFolder, std::string_view stv2b, std::string_view c3);

// Whether the hand-over is the one the lettering and the shapes state now stand for.
struct HandoverAge {
    bool stale = false;
    std::string reason;  // for the user, when stale
};
// Looks only. A hand-over without a stamp, or whose c3.dat is not the stamped one, is stale
// (made by an earlier version, or not handed over whole).
HandoverAge handoverAge(const std::filesystem::path& programFolder);

}  // namespace wf

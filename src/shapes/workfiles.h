// Readers and writers of the work files shared with the sibling programs. Every path is
// <program folder>/workfiles/<name>. Each writer replaces its file whole (wf::replaceFile); given
// a wf::FileSet, it adds the file to that set instead, to be put in place with the others.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "convert/conversion.h"
#include "engine/model.h"
#include "engine/presets.h"
#include "workfile/stage_files.h"

namespace wf {
class FileSet;
}

namespace shapes {

namespace fs = std::filesystem;

using wf::workFile;
using wf::readShapDatVariant;
using wf::rewriteWifDat;
// The conversion's hand-over files there: workrl.dat and workm.dat.
convert::Targets conversionTargets(const fs::path& appFolder);

// True when `file` (absolute, or relative to the current folder) lies in the work folder of
// `appFolder` or names that folder itself, symbolic links followed as far as they exist: a
// path no output of the program may take.
bool inWorkFolder(const fs::path& appFolder, const fs::path& file);

// ---- top.dat: window position in twips and two lines kept for the siblings
struct TopDat {
    std::int32_t top = -1;  // -1: no position stored
    std::int32_t left = 0;
    std::string line3, line4;
};
TopDat readTopDat(const fs::path& appFolder);  // never raises
void writeTopDat(const fs::path& appFolder, double top, double left, const TopDat& kept, wf::FileSet* set = nullptr);

// ---- th.dat: presets
using Presets = engine::Presets;
// the defaults back for a shortest line or arc, a largest radius outside its range
void rangeCheckPresets(Presets& p);
Presets readThDat(const fs::path& appFolder);  // never raises; range-checked
void writeThDat(const fs::path& appFolder, const Presets& p, wf::FileSet* set = nullptr);

// workfile.dcc is only probed (created empty when missing); never raises
void probeWorkfileDcc(const fs::path& appFolder);

// ---- stv2b.dat: the saved state, 529 lines
struct SavedState {
    std::int16_t shapeNumber = 0;
    double smallHeight = 101.6, bigHeight = 101.6;
    double apertureWidthMin = 0, apertureWidthMax = 0;
    std::array<double, 256> signDistanceA{}, signDistanceB{};
    bool check1 = true, check2 = false, check4 = false, check3 = false;
    std::string text4 = "0.08", text5 = "0", text6 = "0";
    std::int32_t hscroll2 = 0;
    bool frame11Visible = false;
    std::int32_t hscroll1 = 0;
    bool operator==(const SavedState&) const = default;
};
inline constexpr int kStv2bLines = 529;
inline constexpr std::uintmax_t kStv2bMinLength = 3;
// Returns the file's content.
std::string writeStv2b(const fs::path& appFolder, const SavedState& s, wf::FileSet* set = nullptr);
// What the resume reads of stv2b.dat: its lines in file order as far as they go. `fields`
// counts the lines read whole (kStv2bLines for a whole file); a file shorter than
// kStv2bMinLength, or one that cannot be read, is not there (`present` false). Never raises.
struct Stv2bRead {
    bool present = false;
    int fields = 0;
    SavedState state;
    bool has(int field) const { return fields > field; }  // field: its line, counted from 0
};
Stv2bRead readStv2b(const fs::path& appFolder);
// the lines of the fields that follow the sign distances
inline constexpr int kStv2bSignDistances = 5;  // A[i] on line 5 + 2i, B[i] on 6 + 2i
inline constexpr int kStv2bCheck1 = kStv2bSignDistances + 512;

// ---- stv2text.dat: the text of the letters the saved state was made for (one line), written
// with stv2b.dat; the fresh start resumes the state when the new letters are the same
void writeStateLetters(const fs::path& appFolder, const std::string& text, wf::FileSet* set = nullptr);
std::optional<std::string> readStateLetters(const fs::path& appFolder);  // never raises; none: unknown

// ---- orgdim.dat: "Create as one object"
void writeOrgdim(const fs::path& appFolder, bool oneObject, wf::FileSet* set = nullptr);
bool readOrgdim(const fs::path& appFolder);  // raises wf faults

// ---- hl.dat: the bridge table for the later stage
void writeHlDat(const fs::path& appFolder, const engine::Model& m, wf::FileSet* set = nullptr);

// ---- c3.dat: summary for the later stage (c3DatText: its text; fault::OverflowFault for a number
// that cannot be written)
std::string c3DatText(double outputScale, const std::string& text4, double smallHeight);
void writeC3Dat(const fs::path& appFolder, double outputScale, const std::string& text4,
                double smallHeight, wf::FileSet* set = nullptr);

}  // namespace shapes

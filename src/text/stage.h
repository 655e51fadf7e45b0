// The text stage: what the user typed and chose, and "Next", which writes the letters and the
// hand-over files into workfiles/ and starts the shapes stage. The window and the command
// line run this same class through the suite's port.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "suite/port.h"
#include "workfile/stage_files.h"
#include "workfile/work_lock.h"
#include "text/bridge_edit.h"
#include "text/lettering.h"

namespace text {

namespace fs = std::filesystem;

// The two programs of the suite's first stage share one binary; its own file name tells them
// apart. "STV1b.EXE" sets letters without bridges (they are joined by the bar later).
enum class Variant { Bridges, NoBridges };
Variant variantOfProgram(const fs::path& programFile);
const char* programName(Variant v);  // "STV1.EXE" or "STV1b.EXE"

using suite::Icon;

// What coming back reopens: workfiles/stv1text.dat, six lines: the text, the font's family,
// its style, its file, "1" when the letters got bridges, and "1" when mid-size counters got two
// bridges (a file of five lines gives them one).
inline constexpr const char* kStateFile = "stv1text.dat";
// A font's family, style or file name longer than this is no name this stage wrote; nor is a
// state file longer than its five lines can be.
inline constexpr std::size_t kMaxFontNameBytes = 4096;
inline constexpr std::size_t kMaxStateBytes = kMaxTextBytes + 3 * kMaxFontNameBytes + 5 * 2 + 1;
struct StageState {
    std::string text, family, style, file;
    bool bridges = true;
    bool twoForMidSize = false;
};
std::optional<StageState> readState(const fs::path& folder);  // nothing when missing or unreadable

// The bridges the user placed by hand, written by "Next" beside the state: workfiles/stv1brdg.dat.
// Lines: the text, the font's family, style and file they were placed for, the number of letters
// edited, then for each letter its number in the text (1 the first), its character and its
// number of bridges, and for each bridge its kind and the ends x1, y1, x2, y2 (mm, the letter's
// own coordinates as in tground.dat).
inline constexpr const char* kBridgesFile = "stv1brdg.dat";
struct SavedEdits {
    std::string text, family, style, file;
    std::vector<LetterEdit> letters;
};
// A file longer than its most letters and bridges can be is not read.
inline constexpr std::size_t kMaxBridgesFileBytes = kMaxStateBytes + kMaxLetters * 40 + kMaxBridges * 5 * 26;
std::string bridgesFileText(const SavedEdits& e);
// Nothing when the file is missing, or is none this stage wrote: too long, a number out of
// range, more letters or bridges than the shapes stage holds.
std::optional<SavedEdits> readBridgeEdits(const fs::path& folder);

// The font a fresh start offers.
FontRef defaultFont();

// Ended: the shapes stage could not be started, and another program took the folder meanwhile.
enum class NextOutcome { Started, Refused, FileError, Ended };

class TextStage {
public:
    TextStage(fs::path folder, Variant variant, suite::Ui& port);

    const fs::path& folder() const { return folder_; }
    Variant variant() const { return variant_; }
    bool bridges() const { return variant_ == Variant::Bridges; }

    // Takes the work folder before anything in it is read: false (the user told why) when
    // another program of the suite works there, and this one must end. Held until the
    // shapes stage is started or this object ends.
    bool claimWorkFolder();

    // Reads the drawing the shapes stage will make, then restores the text, font and choice of
    // the last "Next" in this folder, and the bridges placed by hand when they were placed for
    // that text and font; false (and the defaults) when there is none. A font that is gone is
    // replaced by the default font, with a note (and the bridges placed by hand are dropped).
    bool reopen();

    // How the shapes stage will draw the letters: the height h and aperture width b of its saved
    // state (stv2b.dat) as it applies them, else its defaults.
    const wf::ShapesDrawing& drawing() const { return drawing_; }
    CutSize cutSize() const;
    bool twoForMidSize() const { return twoForMidSize_; }
    void setTwoForMidSize(bool two) { twoForMidSize_ = two; }

    const std::string& text() const { return text_; }
    // The new text; the bridges placed by hand follow it (BridgeEdits::followText). Returns how
    // many letters lost theirs.
    std::size_t setText(std::string t);
    const FontRef& font() const { return font_; }
    // Chooses the font; fault::TextFault when it cannot be read (the previous one stays). Another
    // font drops the bridges placed by hand: returns how many letters lost theirs.
    std::size_t setFont(const FontRef& f);

    // The bridges placed by hand, which lettering() and "Next" apply (letters with bridges only).
    BridgeEdits& bridgeEdits() { return edits_; }

    // The letters as "Next" would write them; fault::TextFault when the text cannot be set.
    Lettering lettering();

    // "Next": sets the text, writes tground.dat, shap.dat, wif.dat and the state (and with
    // bridges, the bridges placed by hand), then starts
    // "letterkerf stvt" in the program folder. Every failure is told through the port.
    NextOutcome next();

private:
    void writeFiles(const Lettering& l);
    void reopenEdits();

    fs::path folder_;
    Variant variant_;
    suite::Ui& port_;
    wf::WorkFolderLock lock_;
    std::string text_;
    FontRef font_;
    wf::ShapesDrawing drawing_;
    bool twoForMidSize_ = false;
    std::unique_ptr<Typesetter> typesetter_;
    BridgeEdits edits_;
};

}  // namespace text

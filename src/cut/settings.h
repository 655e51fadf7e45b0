// What the cut stage remembers between visits, in a work file of its own (workfiles/cutstate.dat):
//   line 1 "1" (the form), 2 the kind ("stencil", "lettering", or empty: as the hand-over
//   says), 3 the kerf in mm, 4 the border in mm (-1: none), 5 tabs (1/0), 6 reference layers
//   (1/0), 7 and 8 the sheet's width and height in mm (0: no sheet), 9 tiling (1/0), 10 the
//   folder last saved to (UTF-8; empty: none yet), 11 the thinnest material in mm (a file
//   without it, of an earlier version, gives the default).
#pragma once

#include <cstddef>
#include <deque>
#include <filesystem>
#include <optional>
#include <string>

#include "cut/cut.h"

namespace cut {

inline constexpr const char* kSettingsFile = "cutstate.dat";

struct Settings {
    std::optional<Kind> kind;
    double kerf = 0;
    double border = -1;
    bool tabs = false;
    bool referenceLayers = false;
    double sheetWidth = 0, sheetHeight = 0;
    bool tile = false;
    std::string lastFolder;
    double minWidth = kDefaultMinWidth;
    bool operator==(const Settings&) const = default;
};

// The cut window's undo: the settings shown before each change (kind, kerf, border, tabs,
// reference layers, sheet, tile), the newest last; the folder saved to is no setting of it.
class SettingsHistory {
public:
    static constexpr std::size_t kSteps = 100;
    // the settings shown went from `before` to `now`; no step when only the folder saved to differs
    void record(const Settings& before, const Settings& now);
    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    // the settings to show (there must be a step); `now` is kept for the way back; the folder
    // saved to stays `now`'s
    Settings undo(const Settings& now);
    Settings redo(const Settings& now);

private:
    std::deque<Settings> undo_, redo_;
};

// The settings kept in the work folder; the defaults when there are none or they cannot be
// read (a value out of its range counts as not there).
Settings readSettings(const std::filesystem::path& workFolder);
// Replaces the file through the work-file module. Raises fault::FileFault.
void writeSettings(const std::filesystem::path& workFolder, const Settings& s);

// The name a saved drawing is offered under: the lettering's text (workfiles/tground.dat, its
// first line) and the kind, e.g. "Stencil 2026 stencil.dxf"; characters a file name may not
// hold become "_". Without a text: "stencil.dxf".
std::string proposedName(const std::filesystem::path& workFolder, Kind kind, const char* extension);

}  // namespace cut

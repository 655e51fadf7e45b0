// The cut stage without a window: reads the hand-over of a program folder, makes the cut
// drawing and writes it (DXF, SVG, PNG) and a JSON report.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cut/cut.h"

namespace cut_qt {

// What the command line asks for.
struct Request {
    std::filesystem::path folder;  // program folder (holds workfiles/)
    std::optional<cut::Kind> kind;
    double kerf = 0;
    double minWidth = cut::kDefaultMinWidth;  // mm: thinner webs and bridges are problems
    bool tabs = false;
    double border = -1;
    double sheetWidth = 0, sheetHeight = 0;  // 0: any size
    bool tile = false;
    std::filesystem::path dxf, svg, png;
    bool referenceLayers = false;  // the letters, bridges and bar as handed over, for reference
    bool report = false;
    bool help = false;
    bool window = false;  // open the window with these settings instead
};

// Parses the arguments (without the program name); relative paths are taken against
// callerDir, the folder defaults to programFolder. Returns an error text, empty when fine.
std::string parseArguments(const std::vector<std::string>& args, const std::filesystem::path& callerDir,
                           const std::filesystem::path& programFolder, Request& r);
std::string usage();

// True when the arguments ask for the window: none, or the token the suite passes.
bool wantsWindow(const std::vector<std::string>& args);

// Runs a parsed request without a window; messages go to err as ICON|TITLE|TEXT, the report
// to out. Returns the exit status: 0 done, 1 bad arguments, 2 refused input, 3 file error.
int runHeadless(const Request& r, std::ostream& out, std::ostream& err);

// Parse and run.
int runCli(const std::vector<std::string>& args, const std::filesystem::path& callerDir,
           const std::filesystem::path& programFolder, std::ostream& out, std::ostream& err);

// The default output beside the hand-over: workfiles/stencil.dxf or workfiles/lettering.dxf.
std::filesystem::path defaultDxf(const std::filesystem::path& folder, cut::Kind kind);

// The drawing's settings from the request; the kind, when not asked for, from the hand-over.
cut::Options optionsOf(const Request& r, const cut::Handover& h);

// The files the cut stage writes, and their bytes.
enum class Output { Dxf, Svg, Png };
std::string outputBytes(Output kind, const cut::Drawing& d, const cut::Handover& h, bool referenceLayers);

// The files one output asks for and how each is made: the file itself, or for a tiled stencil
// one per sheet (NAME-1.dxf, NAME-2.dxf, ...).
std::vector<std::pair<std::filesystem::path, std::function<std::string()>>> filesOf(
    const std::filesystem::path& file, Output kind, const cut::Drawing& d, const cut::Handover& h, bool referenceLayers);

// A one-line summary of the problems ("" when there are none).
std::string problemSummary(const cut::Drawing& d);

}  // namespace cut_qt

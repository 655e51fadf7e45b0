// The files of the cut drawing: DXF in millimetres, SVG in millimetres, and the JSON report.
#pragma once

#include <filesystem>
#include <string>

#include "cut/cut.h"

#include "workfile/faults.h"

namespace cut {

// Layers of the DXF: the cut outlines, and for reference the letters, bridges and bar as
// handed over.
inline constexpr const char* kLayerCut = "CUT";
inline constexpr const char* kLayerLetters = "LETTERS";
inline constexpr const char* kLayerBridges = "BRIDGES";
inline constexpr const char* kLayerBar = "BAR";

// The whole DXF as text.
std::string dxfText(const Drawing& d, const Handover& h);
// The SVG: width and height in mm, a viewBox in mm (y upward as in the drawing), one path per
// outline with even-odd fill, arcs as arcs.
std::string svgText(const Drawing& d);
// The report: pieces, problems, areas and extents in mm.
std::string reportJson(const Drawing& d, const Handover& h);

// Replaces `file` with `content` in one step; never a file the user may not write.
void saveFile(const std::filesystem::path& file, const std::string& content);

}  // namespace cut

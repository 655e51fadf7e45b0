// The files of the cut drawing: DXF in millimetres, SVG in millimetres, and the JSON report.
#pragma once

#include <string>

#include "cut/cut.h"

#include "workfile/faults.h"

namespace cut {

// Layers of the DXF. What the machine cuts: the cut outlines, and the sheet's edge when a
// border is asked for. Only on request, for reference: the letters, bridge strips and bar as
// handed over, on layers that are off, grey and marked not to plot.
inline constexpr const char* kLayerCut = "CUT";
inline constexpr const char* kLayerSheet = "CUT_SHEET_EDGE";
inline constexpr const char* kLayerLetters = "REFERENCE_LETTERS";
inline constexpr const char* kLayerBridges = "REFERENCE_BRIDGES";
inline constexpr const char* kLayerBar = "REFERENCE_BAR";
inline constexpr int kReferenceGrey = 8;  // DXF colour number
// The SVG group that holds the reference outlines (hidden).
inline constexpr const char* kSvgReferenceGroup = "reference";

// The whole DXF as text; the reference layers only when asked for.
std::string dxfText(const Drawing& d, const Handover& h, bool referenceLayers = false);
// The SVG: width and height in mm, a viewBox in mm (y upward as in the drawing), one path per
// outline with even-odd fill, arcs as arcs; the reference outlines, when asked for, in a
// hidden group of their own.
std::string svgText(const Drawing& d, const Handover& h, bool referenceLayers = false);
// The report: pieces, problems, areas and extents in mm.
std::string reportJson(const Drawing& d, const Handover& h);


}  // namespace cut

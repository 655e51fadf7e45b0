// Loading the earlier stage's letters and the small shared operations on the model.
#pragma once

#include <cstdint>
#include <filesystem>

#include "engine/model.h"
#include "geom/geom.h"

namespace engine {

struct Box {
    double xmin, ymin, xmax, ymax;
};

// The largest letter file the capacities allow, in bytes: a header of five lines (the text, then
// four numbers), per letter its text and seven numbers (advance, four more, point count, bridge
// count), three numbers per point and five per bridge. A number takes at most 22 characters
// ("-1.23456789012345E+308"), a letter's text at most one character of 4 bytes, the whole text
// 255 of them; every line ends in CR LF. About 22 MB; wf::kMaxReadBytes lies far above it.
inline constexpr std::uintmax_t kLongestNumberLine = 22 + 2;
inline constexpr std::uintmax_t kLetterFileNumberLines =
    4 + kMaxLetters * 7 + kMaxElements * 3 + kMaxBridges * 5;
inline constexpr std::uintmax_t kLargestLetterFileBytes =
    (kMaxLetters * 4 + 2) + kMaxLetters * (4 + 2) + kLetterFileNumberLines * kLongestNumberLine;

// Reads tground.dat into the letter tables (not the scaling to h, which the caller runs
// next). Raises fault::FileFault, fault::OverflowFault or fault::CapacityFault on any fault; what was
// stored up to the fault stays in the tables.
void readGroundContours(Model& model, const std::filesystem::path& tground, bool fitIn);

// Extents of the contour points, and of the connection bar's lines and arcs as well when
// `withBar`. Without any of them the box runs from 1e50 down to -1e50.
Box contourExtents(const Model& model, bool withBar = false);

// The view window that shows `extents` whole: made square, a margin of a tenth around it,
// then widened to 4:3. Empty extents give the window around the default picture 0..639 x
// 0..479, a single point one of 640 x 480 around it.
ViewWindow viewAround(Box extents);

// Widens the box by the arc of circle (cx, cy, r) running counter-clockwise from start to
// end (radians).
void arcExtents(double cx, double cy, double r, double start, double end, Box& box);

// Counter-clockwise sweep from start to end (radians); equal angles give a full turn.
double arcSpan(double start, double end);

// value rounded to `digits` decimals, as its decimal text would round
using geom::roundTo;


// Height and width of all contours (and bar) in inches, rounded to 4 decimals.
// fault::OverflowFault when the extents are not finite (coordinates near the double range).
struct Dimensions {
    double heightIn, widthIn;
};
Dimensions contourDimensions(const Model& model, bool connectionOn);

}  // namespace engine

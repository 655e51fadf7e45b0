// One contour of the normalised element list turned into the line ("1") and arc ("2")
// records of the hand-over file: lines are copied, arcs checked against the cutting
// limits, quadratic curves sampled and replaced by as few arcs and lines as fit them.
// Limits are tested in millimetres (internal length x outputScale); every value written
// stays in internal units.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "engine/model.h"
#include "engine/presets.h"
#include "workfile/workfile_io.h"

namespace convert {

// The presets and the scale of the output.
struct Settings : engine::Presets {
    double outputScale = 1;  // millimetres per internal unit
};

// Writes the records of the contour m.elements[first..last] (kinds 1 0 | 10 0 0 | 3 0 0, as the
// read-back leaves them; last may be first - 1 for an empty contour) to out. Before them "n"
// when the contour's object differs from currentObject, which then takes it.
// Returns false when the arc fitting failed: the rest of this contour is not written.
bool writeContour(const engine::Model& m, std::int32_t first, std::int32_t last, std::int32_t& currentObject,
                  const Settings& s, wf::LineWriter& out);

// ---- pieces of writeContour, open for tests and the benchmark ----

// One entry of a contour's work list. mark: 1 start of a straight line (the next entry is
// its end), 10 arc through this entry and the next two, 0 end or further point of the
// record before it, 13 and up: sample points of quadratic curves, one number per run of
// curves that meet smoothly.
struct ContourPoint {
    double x = 0, y = 0;
    std::int16_t mark = 0;
};

// Work entries the contour needs: over m.elements[first..last - 1], 2 per line or end
// entry, 3 per arc start, 20 per curve start, 0 for the rest.
std::int32_t countContourPoints(const engine::Model& m, std::int32_t first, std::int32_t last);

// Writes `count` points of the quadratic curve P0 (start), P1 (control), P2 (end) at
// t = 0, 1/count, ..., (count - 1)/count into pts[next..], by forward differences, and
// advances next by count. Returns false (and writes nothing) when they would not fit.
bool sampleQuadratic(std::vector<ContourPoint>& pts, std::int32_t& next, std::int32_t count, double x0,
                     double y0, double x1, double y1, double x2, double y2);

// The turn between the curve starting at entry i (kind 3) and the one at i + 3, in radians,
// from their directions just before and just after the join; corner = 1 above 0.3 rad.
// Entries missing from the list give corner = 0, difference = 0.
void curveCorner(const engine::Model& m, std::int32_t i, std::int16_t& corner, double& difference);

// ok = 1 when P lies within tol of the circle (C, r).
void pointOnCircle(double px, double py, double cx, double cy, double r, std::int16_t& ok, double tol);

// Counter-clockwise length of the arc of radius r from a1 to a2 (radians).
void arcLength(double r, double a1, double a2, double& len);

// Figures of a writeContour call, summed over calls.
struct ContourStats {
    long records = 0;         // "1" and "2" records written
    long samples = 0;         // curve sample points
    double maxDeviation = 0;  // mm, largest distance of a sample point from its fitted piece
};

// Replaces the sample points pts[first..last] by as few arcs and lines as stay within the
// fit tolerance of them and writes those records (arc_fit.cpp). False on any fault (index, non-finite
// value); then nothing of this run has been written.
bool fitArcs(const std::vector<ContourPoint>& pts, std::int32_t first, std::int32_t last, const Settings& s,
             wf::LineWriter& out, ContourStats* stats = nullptr);

// writeContour that also counts what it wrote.
bool writeContour(const engine::Model& m, std::int32_t first, std::int32_t last, std::int32_t& currentObject,
                  const Settings& s, wf::LineWriter& out, ContourStats& stats);

}  // namespace convert

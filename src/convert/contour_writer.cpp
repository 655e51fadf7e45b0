#include "convert/contour_writer.h"

#include <algorithm>
#include <cmath>

#include "geom/geom.h"

namespace convert {

namespace {

using engine::kCodeArcMiddle;
using engine::kCodeEnd;
using engine::kCodeLine;
using engine::kCodeQuadratic;

constexpr std::int16_t kMarkLine = 1;
constexpr std::int16_t kMarkArc = 10;
constexpr std::int16_t kFirstRunGroup = 13;

constexpr std::int32_t kCurveSamples = 20;   // per curve in the work list
constexpr std::int32_t kCornerSamples = 99;  // per curve when judging a join
constexpr double kFlat = 0.05;               // internal units: a curve this flat is a line
constexpr double kCornerTurn = 0.3;          // rad
constexpr double kNearFullTurn = 0.1745329;  // directions this close below 2 pi count as just below 0
constexpr double kFullTurnCorner = geom::kTwoPi10Up;
constexpr double kLevelArc = 0.01;           // mm: an arc point this level with the middle one

std::int16_t entriesOf(std::int16_t kind) {
    switch (kind) {
        case kCodeLine:
        case kCodeEnd: return 2;
        case kCodeArcMiddle: return 3;
        case kCodeQuadratic: return kCurveSamples;
        default: return 0;
    }
}

double distance(double ax, double ay, double bx, double by) { return std::hypot(bx - ax, by - ay); }

// Appends p to the work list unless it is full.
bool append(std::vector<ContourPoint>& pts, std::int32_t& j, double x, double y, std::int16_t mark) {
    if (j < 0 || j >= static_cast<std::int32_t>(pts.size())) return false;
    pts[j++] = ContourPoint{x, y, mark};
    return true;
}

}  // namespace

std::int32_t countContourPoints(const engine::Model& m, std::int32_t first, std::int32_t last) {
    const std::int32_t size = static_cast<std::int32_t>(m.elements.size());
    std::int32_t n = 0;
    for (std::int32_t i = std::max(first, 0); i <= last - 1 && i < size; ++i) n += entriesOf(m.elements[i].kind);
    return n;
}

bool sampleQuadratic(std::vector<ContourPoint>& pts, std::int32_t& next, std::int32_t count, double x0,
                     double y0, double x1, double y1, double x2, double y2) {
    if (count <= 0 || next < 0 || static_cast<std::size_t>(next) + count > pts.size()) return false;
    const double d = 1.0 / count;
    const double d2x = (x0 - 2 * x1 + x2) * d * d, d2y = (y0 - 2 * y1 + y2) * d * d;
    double d1x = 2 * (x1 - x0) * d + d2x, d1y = 2 * (y1 - y0) * d + d2y;
    double x = x0, y = y0;
    for (std::int32_t k = 0; k < count; ++k) {
        pts[next + k].x = x;
        pts[next + k].y = y;
        x += d1x;
        y += d1y;
        d1x += 2 * d2x;
        d1y += 2 * d2y;
    }
    next += count;
    return true;
}

void curveCorner(const engine::Model& m, std::int32_t i, std::int16_t& corner, double& difference) {
    corner = 0;
    difference = 0;
    if (i < 0 || static_cast<std::size_t>(i) + 6 > m.elements.size()) return;
    const auto& e = m.elements;
    std::vector<ContourPoint> a(kCornerSamples), b(kCornerSamples);
    std::int32_t na = 0, nb = 0;
    sampleQuadratic(a, na, kCornerSamples, e[i].x, e[i].y, e[i + 1].x, e[i + 1].y, e[i + 2].x, e[i + 2].y);
    sampleQuadratic(b, nb, kCornerSamples, e[i + 3].x, e[i + 3].y, e[i + 4].x, e[i + 4].y, e[i + 5].x, e[i + 5].y);
    double a1 = geom::direction({a[kCornerSamples - 1].x, a[kCornerSamples - 1].y}, {e[i + 2].x, e[i + 2].y});
    double a2 = geom::direction({e[i + 3].x, e[i + 3].y}, {b[1].x, b[1].y});
    if (std::fabs(a1 - kFullTurnCorner) <= kNearFullTurn) a1 -= kFullTurnCorner;
    if (std::fabs(a2 - kFullTurnCorner) <= kNearFullTurn) a2 -= kFullTurnCorner;
    difference = std::fabs(a2 - a1);
    // directions on either side of 0 that the shift above does not catch (6.0 against 0.1)
    if (difference > geom::kPi) difference = kFullTurnCorner - difference;
    corner = difference > kCornerTurn ? 1 : 0;
}

void pointOnCircle(double px, double py, double cx, double cy, double r, std::int16_t& ok, double tol) {
    ok = std::fabs(r - distance(px, py, cx, cy)) <= tol ? 1 : 0;
}

void arcLength(double r, double a1, double a2, double& len) {
    len = a1 < a2 ? r * (a2 - a1) : r * (geom::kTwoPi - a1 + a2);
}


namespace {

// The contour's work list from m.elements[first..last] into pts: lines and three-point arcs
// as they stand, curves as their samples (one run group per run of curves that meet
// smoothly), flat curves as lines. A record whose entries run past `last` is not part of this
// contour and is left out. Returns how many entries were filled.
std::int32_t fillWorkList(const engine::Model& m, std::int32_t first, std::int32_t last, std::vector<ContourPoint>& pts,
                          ContourStats& stats) {
    const auto& e = m.elements;
    std::int32_t j = 0;
    std::int16_t runGroup = kFirstRunGroup;
    for (std::int32_t i = first; i <= last; ++i) {
        const std::int16_t kind = e[i].kind;
        if (kind == kCodeLine && i + 1 <= last) {
            if (j + 2 > static_cast<std::int32_t>(pts.size())) continue;
            append(pts, j, e[i].x, e[i].y, kMarkLine);
            append(pts, j, e[i + 1].x, e[i + 1].y, 0);
        } else if (kind == kCodeArcMiddle && i + 2 <= last) {
            if (j + 3 > static_cast<std::int32_t>(pts.size())) continue;
            append(pts, j, e[i].x, e[i].y, kMarkArc);
            append(pts, j, e[i + 1].x, e[i + 1].y, 0);
            append(pts, j, e[i + 2].x, e[i + 2].y, 0);
        } else if (kind == kCodeQuadratic && i + 2 <= last) {
            if (i - 3 >= first && e[i - 3].kind == kCodeQuadratic) {
                std::int16_t corner = 0;
                double difference = 0;
                curveCorner(m, i - 3, corner, difference);
                if (corner == 1) ++runGroup;
            }
            const double x0 = e[i].x, y0 = e[i].y, x1 = e[i + 1].x, y1 = e[i + 1].y, x2 = e[i + 2].x, y2 = e[i + 2].y;
            const bool bentX = std::fabs(x0 - x1) >= kFlat || std::fabs(x1 - x2) >= kFlat;
            const bool bentY = std::fabs(y0 - y1) >= kFlat || std::fabs(y1 - y2) >= kFlat;
            if (bentX && bentY) {
                const std::int32_t start = j;
                if (!sampleQuadratic(pts, j, kCurveSamples, x0, y0, x1, y1, x2, y2)) continue;
                for (std::int32_t k = start; k < j; ++k) pts[k].mark = runGroup;
                pts[j - 1].x = x2;
                pts[j - 1].y = y2;
                stats.samples += kCurveSamples;
            } else {
                if (j + 2 > static_cast<std::int32_t>(pts.size())) continue;
                append(pts, j, x0, y0, kMarkLine);
                append(pts, j, x2, y2, 0);
            }
        }
    }
    return j;
}

// The record of the arc from a through b to c: a "2" when its circle keeps within the cutting
// limits, otherwise the chord a-c as a "1".
void writeArcThrough(const ContourPoint& a, const ContourPoint& b, const ContourPoint& c, const Settings& s,
                     wf::LineWriter& out) {
    const double os = s.outputScale;
    const double x1 = a.x, y1 = a.y, x2 = b.x, y2 = b.y, x3 = c.x, y3 = c.y;
    const bool level = std::fabs(y1 - y2) * os < kLevelArc || std::fabs(y3 - y2) * os < kLevelArc;
    double cx = 0, cy = 0, a1 = 0, a2 = 0, r = 0, len = 0;
    bool arc = !level;
    if (arc) {
        const geom::Arc circle = geom::circleThrough({x1, y1}, {x3, y3}, {x2, y2});
        cx = circle.centre.x, cy = circle.centre.y, a1 = circle.start, a2 = circle.end, r = circle.radius;
        arcLength(r, a1, a2, len);
        arc = r * os <= s.maxArcRadius && len * os >= s.minArcLength && r * os >= s.minArcRadius;
    }
    if (arc)
        out.text("2").number(cx).number(cy).number(r).number(a1).number(a2);
    else
        out.text("1").number(x1).number(y1).number(x3).number(y3);
}

// The records of the work list's first `count` entries: lines, three-point arcs, and each run
// of curve samples fitted. False when a fitting failed (the rest is not written).
bool writeWorkList(const std::vector<ContourPoint>& pts, std::int32_t count, const Settings& s, wf::LineWriter& out,
                   ContourStats& stats) {
    for (std::int32_t j = 0; j <= count - 2;) {
        const ContourPoint& p = pts[j];
        if (p.mark == kMarkLine) {
            out.text("1").number(p.x).number(p.y).number(pts[j + 1].x).number(pts[j + 1].y);
            ++stats.records;
            j += 2;
        } else if (p.mark == kMarkArc && j + 2 < count) {
            writeArcThrough(p, pts[j + 1], pts[j + 2], s, out);
            ++stats.records;
            j += 3;
        } else if (p.mark >= kFirstRunGroup) {
            std::int32_t k = j;
            while (k + 1 < count && pts[k + 1].mark == p.mark) ++k;
            if (!fitArcs(pts, j, k, s, out, &stats)) return false;
            j = k + 1;
        } else {
            ++j;
        }
    }
    return true;
}

}  // namespace

bool writeContour(const engine::Model& m, std::int32_t first, std::int32_t last, std::int32_t& currentObject,
                  const Settings& s, wf::LineWriter& out, ContourStats& stats) {
    const std::int32_t size = static_cast<std::int32_t>(m.elements.size());
    const auto& e = m.elements;
    if (first >= 0 && first < size && e[first].object != currentObject) {
        out.text("n");
        currentObject = e[first].object;
    }
    if (first < 0) return true;
    last = std::min(last, size - 1);
    // the work list: n + 3 entries always suffice
    std::vector<ContourPoint> pts(static_cast<std::size_t>(countContourPoints(m, first, last)) + 3);
    const std::int32_t count = fillWorkList(m, first, last, pts, stats);
    return writeWorkList(pts, count, s, out, stats);
}

bool writeContour(const engine::Model& m, std::int32_t first, std::int32_t last, std::int32_t& currentObject,
                  const Settings& s, wf::LineWriter& out) {
    ContourStats stats;
    return writeContour(m, first, last, currentObject, s, out, stats);
}

}  // namespace convert

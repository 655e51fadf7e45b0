// The contour model: every letter point, bridge, per-letter datum and the shape outline.
// Tables have fixed capacities; storing beyond one is a fault::CapacityFault, which the operation
// that stores turns into its own message.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "workfile/faults.h"

namespace engine {

inline constexpr std::size_t kMaxElements = 301001;         // index 0..301000
inline constexpr std::size_t kMaxBridges = 2501;            // index 0..2500
inline constexpr std::size_t kMaxBridgeHeights = 1601;      // bridgeLetterHeight: 0..1600
inline constexpr std::size_t kMaxLetters = 255;             // letterText: 1..255
inline constexpr std::size_t kMaxShapeElements = 11;        // shapeLines / shapeArcs: 0..10
inline constexpr std::size_t kMaxKnots = 3;                 // knotX / knotY: 0..2
inline constexpr std::size_t kMaxBarElements = 641;         // barLines / barArcs
inline constexpr std::size_t kSignDistances = 257;          // signDistanceA/B: 0..256

// Segment codes of contour points.
enum SegmentCode : std::int16_t {
    kCodeNone = 0,
    kCodeLine = 1,     // straight to the next point, or arc start when the next point is 10
    kCodeInserted = 2,
    kCodeQuadratic = 3,
    kCodeEnd = 6,
    kCodeArcMiddle = 10,
};

struct Element {
    double x = 0, y = 0;
    std::int16_t kind = 0;
    std::int32_t object = 0;       // letter number, 1..letterCount
    double letterHeight = 0;
};

struct Bridge {
    std::int16_t kind = 0;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    std::int32_t object = 0;
    double letterHeight = 0;
};

struct ShapeLine {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    std::int16_t kind = 0;  // 0 baseline element, 1 other outline element
};

struct ShapeArc {
    double cx = 0, cy = 0, radius = 0, startDeg = 0, endDeg = 0;
    std::int16_t kind = 0;
    // the sweep the arc keeps once the letters are fitted: while they are, the waves' first arcs
    // reach one degree past the middle (degrees; equal: the arc as it stands)
    double keptStartDeg = 0, keptEndDeg = 0;
};

struct BarLine {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    std::int16_t type = 0;
    std::int32_t pairIndex = 0;
};

struct BarArc {
    double cx = 0, cy = 0, radius = 0, startDeg = 0, endDeg = 0;
    std::int16_t type = 0;
    std::int32_t pairIndex = 0;
};

// A table with a fixed capacity; the vector's size is the count in use.
template <typename T, std::size_t Capacity>
class Table {
public:
    static constexpr std::size_t capacity = Capacity;
    void clear() { items_.clear(); }
    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    T& push(const T& item) {
        if (items_.size() >= Capacity) throw fault::CapacityFault("table full");
        items_.push_back(item);
        return items_.back();
    }
    T& operator[](std::size_t i) { return items_[i]; }
    const T& operator[](std::size_t i) const { return items_[i]; }
    auto begin() { return items_.begin(); }
    auto end() { return items_.end(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }
    std::vector<T>& raw() { return items_; }

private:
    std::vector<T> items_;
};

struct ViewWindow {
    double xmin = 0, xmax = 639, ymin = 0, ymax = 479;
};

struct Model {
    // letters
    Table<Element, kMaxElements> elements;
    Table<Bridge, kMaxBridges> bridges;
    std::int16_t letterCount = 0;
    std::array<std::string, kMaxLetters + 1> letterText{};  // index 0 unused
    std::string groundText;
    double maxLetterHeight = 0;
    double headerValue4 = 0, headerValue5 = 0;  // read from the file, not used here
    double textScale = 1;      // factor of the last scaling to h
    double textScaleCopy = 1;  // same factor; overwritten by the conversion

    // letter spacing (owned by the spacing editor)
    std::array<double, kSignDistances> signDistanceA{};  // inches
    std::array<double, kSignDistances> signDistanceB{};  // millimetres

    // shape selection
    std::int16_t shapeNumber = 0;
    double smallHeight = 101.6;  // h, mm
    double bigHeight = 101.6;    // H, mm
    double knotShift = 0;        // mm

    // shape outline
    Table<ShapeLine, kMaxShapeElements> shapeLines;
    Table<ShapeArc, kMaxShapeElements> shapeArcs;
    std::array<std::int16_t, kMaxShapeElements> capStart{};
    std::array<std::int16_t, kMaxShapeElements> capEnd{};
    Table<std::array<double, 2>, kMaxKnots> knots;

    // connection bar
    Table<BarLine, kMaxBarElements> barLines;
    Table<BarArc, kMaxBarElements> barArcs;

    ViewWindow view;
};

}  // namespace engine

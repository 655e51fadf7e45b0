#include "engine/contours.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "geom/geom.h"
#include "workfile/workfile_io.h"

namespace engine {

static_assert(wf::kMaxReadBytes >= 4 * kLargestLetterFileBytes,
              "every letter file the capacities allow must be readable, with room to spare");

namespace {
constexpr double kExtremeStart = 100000.0;       // start value of a letter's y extremes
constexpr double kBoxStart = 1e50;               // start value of the bounding box
constexpr double kFullTurnSlack = 0.01;          // an arc range ending this near 2*pi meets 0
constexpr double kViewMargin = 0.1;
constexpr double kAspect = 1.333333333;
}  // namespace

namespace {

// The letter file's header: the text, a line not used here, the letter count and the two
// values kept as they are. A negative count is refused with the tables left empty.
void readHeader(wf::LineReader& in, Model& model) {
    model.groundText = wf::decodeText(in.text());
    in.number();  // line 2: not used here
    const std::int16_t letters = in.int16();
    if (letters < 0) {
        // the tables were emptied; a negative count must never size anything
        model.letterCount = 0;
        throw fault::FileFault("negative letter count");
    }
    model.letterCount = letters;
    model.headerValue4 = in.number();
    model.headerValue5 = in.number();
}

// the lowest point of a letter and its height
struct LetterExtent {
    double ymin, height;
};

// The points of letter k, moved right by `offset`: each with the letter's height, and with
// "Fit in" moved down to the letter's foot.
LetterExtent readLetterPoints(wf::LineReader& in, Model& model, int k, double offset, bool fitIn) {
    const std::int32_t points = in.int32();
    double ymax = -kExtremeStart, ymin = kExtremeStart;
    const std::size_t first = model.elements.size();
    for (std::int32_t p = 0; p < points; ++p) {
        Element e;
        e.x = in.number() + offset;
        e.y = in.number();
        e.kind = in.int16();
        e.object = k;
        if (e.y > ymax) ymax = e.y;
        if (e.y < ymin) ymin = e.y;
        model.elements.push(e);
    }
    const double height = ymax - ymin;
    for (std::size_t i = first; i < model.elements.size(); ++i) {
        Element& e = model.elements[i];
        e.letterHeight = height;
        if (fitIn) e.y -= ymin;
    }
    return {ymin, height};
}

// The bridges of letter k, moved as its points were.
void readLetterBridges(wf::LineReader& in, Model& model, int k, double offset, LetterExtent letter, bool fitIn) {
    const std::int32_t bridges = in.int32();
    for (std::int32_t q = 0; q < bridges; ++q) {
        Bridge b;
        b.kind = in.int16();
        b.x1 = in.number() + offset;
        b.y1 = in.number();
        b.x2 = in.number() + offset;
        b.y2 = in.number();
        // The letter-height column is shorter than the rest of the bridge table.
        if (model.bridges.size() >= kMaxBridgeHeights) throw fault::CapacityFault("too many bridges");
        b.letterHeight = letter.height;
        b.object = k;
        if (fitIn) {
            b.y1 -= letter.ymin;
            b.y2 -= letter.ymin;
        }
        model.bridges.push(b);
    }
}

}  // namespace

void readGroundContours(Model& model, const std::filesystem::path& tground, bool fitIn) {
    model.elements.clear();
    model.bridges.clear();
    // The letters are read again at every slider move: an unchanged file's bytes are kept, and
    // parsed as they stand, line after line.
    const std::shared_ptr<const std::string> bytes = wf::readFileKept(tground);
    wf::LineReader in(bytes);
    // room for every point at once: growing the table step by step would hold two copies of
    // it for a moment (a point takes at least three lines of three bytes)
    model.elements.raw().reserve(std::min<std::size_t>(kMaxElements, bytes->size() / 9 + 1));
    readHeader(in, model);

    double offset = 0;
    double maxHeight = 0;
    const int n = model.letterCount;
    for (int k = 1; k <= n; ++k) {
        if (k > static_cast<int>(kMaxLetters)) throw fault::CapacityFault("too many letters");
        model.letterText[static_cast<std::size_t>(k)] = wf::decodeText(in.text());
        const double advance = in.number();
        for (int unused = 0; unused < 4; ++unused) in.number();
        const LetterExtent letter = readLetterPoints(in, model, k, offset, fitIn);
        if (letter.height > maxHeight) maxHeight = letter.height;
        readLetterBridges(in, model, k, offset, letter, fitIn);
        if (k != n) offset += advance;
        if (!std::isfinite(offset)) throw fault::OverflowFault("overflow");
    }

    const Box box = contourExtents(model);
    model.maxLetterHeight = maxHeight;
    if (model.elements.empty()) return;  // nothing to shift
    for (Element& e : model.elements) e.x -= box.xmin;
    for (Bridge& b : model.bridges) {
        b.x1 -= box.xmin;
        b.x2 -= box.xmin;
    }
}

Box contourExtents(const Model& model, bool withBar) {
    Box b{kBoxStart, kBoxStart, -kBoxStart, -kBoxStart};
    for (const Element& e : model.elements) {
        if (e.x > b.xmax) b.xmax = e.x;
        if (e.x < b.xmin) b.xmin = e.x;
        if (e.y > b.ymax) b.ymax = e.y;
        if (e.y < b.ymin) b.ymin = e.y;
    }
    if (!withBar) return b;
    auto take = [&b](double x, double y) {
        if (x > b.xmax) b.xmax = x;
        if (x < b.xmin) b.xmin = x;
        if (y > b.ymax) b.ymax = y;
        if (y < b.ymin) b.ymin = y;
    };
    for (const BarArc& a : model.barArcs)
        arcExtents(a.cx, a.cy, a.radius, a.startDeg * geom::kDegToRadExact, a.endDeg * geom::kDegToRadExact, b);
    for (const BarLine& l : model.barLines) {
        take(l.x1, l.y1);
        take(l.x2, l.y2);
    }
    return b;
}

ViewWindow viewAround(Box b) {
    if (b.xmin == kBoxStart && b.ymin == kBoxStart && b.xmax == -kBoxStart && b.ymax == -kBoxStart) {
        b = Box{0, 0, 639, 479};
    } else if (b.xmin == b.xmax && b.ymin == b.ymax) {
        const double x0 = b.xmin;
        b.xmin -= 320;
        b.xmax = x0 + 320;
        b.ymin -= 240;
        b.ymax += 240;
    }
    const double w = b.xmax - b.xmin, h = b.ymax - b.ymin;
    if (w > h) {
        b.ymin -= (w - h) / 2;
        b.ymax += (w - h) / 2;
    } else {
        b.xmin -= (h - w) / 2;
        b.xmax += (h - w) / 2;
    }
    const double m = kViewMargin * (b.xmax - b.xmin);
    b.xmin -= m;
    b.xmax += m;
    b.ymin -= m;
    b.ymax += m;
    const double e = ((b.xmax - b.xmin) * kAspect - (b.xmax - b.xmin)) / 2;
    b.xmin -= e;
    b.xmax += e;
    return ViewWindow{b.xmin, b.xmax, b.ymin, b.ymax};
}

void arcExtents(double cx, double cy, double r, double start, double end, Box& box) {
    auto take = [&box](double x, double y) {
        if (x > box.xmax) box.xmax = x;
        if (x < box.xmin) box.xmin = x;
        if (y > box.ymax) box.ymax = y;
        if (y < box.ymin) box.ymin = y;
    };
    take(cx + r * std::cos(start), cy + r * std::sin(start));
    take(cx + r * std::cos(end), cy + r * std::sin(end));
    auto axisPoints = [&](double a, double b) {
        if (a <= geom::kPi / 2 && geom::kPi / 2 <= b) take(cx, cy + r);
        if (a <= geom::kPi && geom::kPi <= b) take(cx - r, cy);
        if (a <= 3 * geom::kPi / 2 && 3 * geom::kPi / 2 <= b) take(cx, cy - r);
        if (a <= 0 || b >= geom::kTwoPi - kFullTurnSlack) take(cx + r, cy);
    };
    if (start > end) {
        axisPoints(start, geom::kTwoPi);
        axisPoints(0, end);
    } else {
        axisPoints(start, end);
    }
}

double arcSpan(double start, double end) {
    if (start < end) return end - start;
    return geom::kTwoPi - start + end;
}

Dimensions contourDimensions(const Model& model, bool connectionOn) {
    const Box b = contourExtents(model, connectionOn);
    const Dimensions d{roundTo((b.ymax - b.ymin) / geom::kMmPerInch, 4),
                       roundTo((b.xmax - b.xmin) / geom::kMmPerInch, 4)};
    if (!std::isfinite(d.heightIn) || !std::isfinite(d.widthIn)) throw fault::OverflowFault("extents overflow");
    return d;
}

}  // namespace engine

// Bridges of real letters bent into the shapes: the text stage makes them reach far enough that
// each still holds at its whole width once the shapes stage has moved its ends with the letter.
// (How the letters themselves bend, curves cut at the knot and vertices on their segments, the
// shape build's own tests prove.)

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "engine/contours.h"
#include "engine/outline_pieces.h"
#include "engine/shape.h"
#include "preview/scale.h"
#include "text/lettering.h"
#include "text_support.h"

namespace {

namespace cl = ClipperLib;
namespace fs = std::filesystem;
constexpr double kInch = 25.4;

// "OBAD" in DejaVu Serif with its bridges as the shapes stage has it after loading, scaling to
// h = 4 inches and building `shape` with H = `bigInches`.
engine::Model bent(int shape, double bigInches) {
    static const engine::Model loaded = [] {
        const fs::path file = fs::path(LK_TEST_TMP) / ("bent." + std::to_string(getpid()) + ".dat");
        std::ofstream(file, std::ios::binary)
            << text::groundFile(text::Typesetter(text::resolveFont("DejaVu Serif")).set("OBAD", true));
        engine::Model m;
        engine::readGroundContours(m, file, true);
        fs::remove(file);
        m.smallHeight = 4 * kInch;
        preview::scaleToHeight(m);
        return m;
    }();
    engine::Model m = loaded;
    m.shapeNumber = static_cast<std::int16_t>(shape);
    m.bigHeight = bigInches * kInch;
    engine::buildShape(m, true);
    return m;
}

cl::IntPoint grid(geom::Point p) { return texttest::detail::grid(p.x, p.y); }

// The contours of the bent letters as closed paths on the grid, arcs and curves by 16 chords.
cl::Paths inkOf(const engine::Model& m) {
    cl::Paths ink;
    for (std::int32_t letter = 1; letter <= m.letterCount; ++letter)
        engine::forLetterSegments(m, 0, m.elements.size(), letter, [&](geom::Segment s) {
            if (ink.empty() || ink.back().back() != grid(s.a)) ink.push_back({grid(s.a)});  // a new contour
            ink.back().push_back(grid(s.b));
        }, 16);
    return ink;
}

// The narrowest a bridge of the bent letters holds, in mm: the strip's width less what of its
// two ends lies in a letter (each end is the strip's short side, which must lie in the sheet
// for the whole width to carry), and the number of islands no strip holds.
struct BentHold {
    double narrowest = 1e300;
    int loose = 0;
};
BentHold bentHold(const engine::Model& m, double b) {
    const cl::Paths ink = inkOf(m);
    cl::Paths strips;
    BentHold h;
    for (const engine::Bridge& br : m.bridges) {
        const geom::Point p1{br.x1, br.y1}, p2{br.x2, br.y2};
        const double len = std::hypot(p2.x - p1.x, p2.y - p1.y), side = br.kind == 2 ? -1 : 1;
        const geom::Point w{-(p2.y - p1.y) / len * b * side, (p2.x - p1.x) / len * b * side};
        strips.push_back({grid(p1), grid(p2), grid({p2.x + w.x, p2.y + w.y}), grid({p1.x + w.x, p1.y + w.y})});
        double worst = 0;
        for (const geom::Point& e : {p1, p2}) {
            cl::Clipper c;
            c.AddPath({grid(e), grid({e.x + w.x, e.y + w.y})}, cl::ptSubject, false);
            c.AddPaths(ink, cl::ptClip, true);
            cl::PolyTree inside;
            c.Execute(cl::ctIntersection, inside, cl::pftNonZero, cl::pftNonZero);
            cl::Paths open;
            cl::OpenPathsFromPolyTree(inside, open);
            double inInk = 0;
            for (const cl::Path& o : open)
                for (std::size_t i = 0; i + 1 < o.size(); ++i)
                    inInk += std::hypot(double(o[i + 1].X - o[i].X), double(o[i + 1].Y - o[i].Y)) / texttest::detail::kGrid;
            worst = std::max(worst, inInk);
        }
        h.narrowest = std::min(h.narrowest, b - worst);
    }
    h.loose = texttest::detail::holes(ink, strips, cl::ctDifference);
    return h;
}

}  // namespace

// The shapes stage moves a bridge's two ends with the letter and draws its strip at full width
// square to the moved segment: on a steep or sheared band the strip must still reach past both
// sides of the slanted stroke. Every bridge of serif letters holds at its whole width after each
// of the twenty shapes at h = 4 inches and H = 8 and 12 inches.
TEST(BentLetters, BridgesHoldAtTheirWholeWidth) {
    constexpr double b = 0.08 * kInch;
    double narrowest = b;
    for (int shape = 0; shape < 20; ++shape)
        for (double big : {8.0, 12.0}) {
            SCOPED_TRACE(::testing::Message() << "shape " << shape << " H " << big);
            const engine::Model m = bent(shape, big);
            ASSERT_GE(m.bridges.size(), 5u);
            const BentHold h = bentHold(m, b);
            EXPECT_EQ(h.loose, 0);
            EXPECT_GE(h.narrowest, b - 0.01);
            narrowest = std::min(narrowest, h.narrowest);
        }
    ::testing::Test::RecordProperty("narrowestMicrons", std::to_string(std::lround(narrowest * 1000)));
}

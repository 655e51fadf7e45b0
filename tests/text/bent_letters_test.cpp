// Bridges of real letters bent into the shapes: the text stage makes them reach far enough that
// each still holds at its whole width once the shapes stage has moved its ends with the letter.
// (How the letters themselves bend, curves cut at the knot and vertices on their segments, the
// shape build's own tests prove.)

#include <unistd.h>

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

// The bent letters as a letter file holds them, each at its place: contours by their segments
// (arcs and curves by 16 chords), bridges with the letter they belong to.
texttest::GroundFile asLetters(const engine::Model& m) {
    texttest::GroundFile g;
    g.letters.resize(static_cast<std::size_t>(m.letterCount));
    for (std::int32_t letter = 1; letter <= m.letterCount; ++letter) {
        auto& contours = g.letters[static_cast<std::size_t>(letter - 1)].contours;
        engine::forLetterSegments(m, 0, m.elements.size(), letter, [&](geom::Segment s) {
            const std::pair a{s.a.x, s.a.y};
            if (contours.empty() || std::hypot(contours.back().poly.back().first - a.first,
                                               contours.back().poly.back().second - a.second) > 1e-6)
                contours.push_back({false, {a}});  // a new contour
            contours.back().poly.emplace_back(s.b.x, s.b.y);
        }, 16);
    }
    for (const engine::Bridge& b : m.bridges)
        g.letters.at(static_cast<std::size_t>(b.object - 1)).bridges.push_back({b.kind, b.x1, b.y1, b.x2, b.y2});
    return g;
}

}  // namespace

// The shapes stage moves a bridge's two ends with the letter and draws its strip at full width
// square to the moved segment: on a steep or sheared band the strip must still reach past both
// sides of the slanted stroke, its ends wholly in the sheet. Every bridge of serif letters holds
// at its whole width after each of the twenty shapes at h = 4 inches and H = 8 and 12 inches.
TEST(BentLetters, BridgesHoldAtTheirWholeWidth) {
    for (int shape = 0; shape < 20; ++shape)
        for (double big : {8.0, 12.0}) {
            SCOPED_TRACE(::testing::Message() << "shape " << shape << " H " << big);
            const engine::Model m = bent(shape, big);
            ASSERT_GE(m.bridges.size(), 5u);
            const texttest::StencilCheck s = texttest::checkStencil(asLetters(m), 1);  // the model is in mm
            EXPECT_EQ(s.looseIslands, 0);
            EXPECT_TRUE(s.badBridges.empty());
            EXPECT_LT(s.endInInkMm, 0.01);
        }
}

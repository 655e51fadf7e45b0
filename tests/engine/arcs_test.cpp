#include "engine/arcs.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace engine;

namespace {

// a three-point arc on the circle (cx, cy, r) from angle a0 through a1 to a2, as the shape
// build stores it: start (code 1), middle (code 10), the middle again (code 1), end
void arc(Model& m, double cx, double cy, double r, double a0, double a1, double a2) {
    const auto at = [&](double a, std::int16_t code) {
        m.elements.push({cx + r * std::cos(a), cy + r * std::sin(a), code, 1, 1});
    };
    at(a0, kCodeLine), at(a1, kCodeArcMiddle), at(a1, kCodeLine), at(a2, kCodeNone);
}

}  // namespace

// Arcs of radius 0.9 and 801 mm, one with an end level with its middle and one the list cuts
// short become two lines; those of 1 and 800 mm and an ordinary one stay arcs.
TEST(StraightenUndrawableArcs, RadiusLevelEndsAndCutShortArcs) {
    Model m;
    arc(m, 10, 10, 0.9, 0.3, 1.0, 1.7);
    arc(m, -400, -700, 801, 0.3, 1.0, 1.7);
    arc(m, 0, 0, 1.0001, 0.3, 1.0, 1.7);
    arc(m, 0, 0, 799.999, 0.3, 1.0, 1.7);
    arc(m, 100, 100, 50, 0.3, 1.0, 1.7);
    arc(m, 100, 100, 50, 1.5708 - 0.04, 1.5708, 1.5708 + 0.5);  // the start 0.04 mm below the middle
    arc(m, 100, 100, 50, 0.3, 1.0, 1.7);
    m.elements.raw().pop_back();  // the last arc loses its end point
    straightenUndrawableArcs(m);
    const std::int16_t middles[7] = {kCodeLine, kCodeLine, kCodeArcMiddle, kCodeArcMiddle, kCodeArcMiddle,
                                     kCodeLine, kCodeLine};
    for (int k = 0; k < 7; ++k) EXPECT_EQ(m.elements[4 * k + 1].kind, middles[k]) << k;

    straightenUndrawableArcs(m);  // once straight, for good: a second pass changes nothing
    for (int k = 0; k < 7; ++k) EXPECT_EQ(m.elements[4 * k + 1].kind, middles[k]) << k;
}

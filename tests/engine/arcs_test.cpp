#include "engine/arcs.h"

#include <gtest/gtest.h>

#include "support/shaped.h"

using namespace engine;
using testsupport::arc;

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
    const std::int16_t middles[7] = {kCodeLine, kCodeLine, kCodeArcMiddle, kCodeArcMiddle, kCodeArcMiddle,
                                     kCodeLine, kCodeLine};
    for (int pass = 1; pass <= 2; ++pass) {  // once straight, for good: a second pass changes nothing
        straightenUndrawableArcs(m);
        for (int k = 0; k < 7; ++k) EXPECT_EQ(m.elements[4 * k + 1].kind, middles[k]) << "pass " << pass << " arc " << k;
    }
}

// The millimetres beside every inch value of the shapes window and its dialogs.
#include <gtest/gtest.h>

#include "shapes/inches_shown.h"

TEST(InchesShown, EachBoxSaysInAndItsMillimetres) {
    const struct {
        const char* typed;
        const char* shown;
    } cases[] = {
        {"5", "in = 127 mm"},        {" .08", "in = 2.03 mm"},   {"0.32", "in = 8.13 mm"},
        {"39", "in = 990.6 mm"},     {"0.004", "in = 0.102 mm"}, {"-0.25", "in = -6.35 mm"},
        {"0", "in = 0 mm"},          {"", "in"},                 {"5.", "in = 127 mm"},
        {"5 in", "in"},              {"abc", "in"},              {"1e400", "in"},
    };
    for (const auto& c : cases) EXPECT_EQ(shapes::inchesBeside(c.typed), c.shown) << '"' << c.typed << '"';
    EXPECT_EQ(shapes::rangeInMillimetres(0.32, 39), "in = 8.13 to 990.6 mm");
}

// The shapes stage works in inches (its dialogs, its saved state and the letter file's scale all
// count in them); the cut stage works in millimetres. Every inch value the windows show has its
// millimetres beside it, made here so that the window and the tests agree on the text.
#pragma once

#include <string>
#include <string_view>

namespace shapes {

// millimetres as shown: two decimals from 1 mm up, three below, trailing zeros dropped ("127 mm")
std::string millimetresText(double mm);
// what stands beside a box of inches: "in = 127 mm" for "5", and "in" while the box holds no number
std::string inchesBeside(std::string_view typedInches);
// a range of inches with its millimetres: "in = 8.13 to 990.6 mm"
std::string rangeInMillimetres(double lowInches, double highInches);

}  // namespace shapes

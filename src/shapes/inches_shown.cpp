#include "shapes/inches_shown.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "geom/units.h"

namespace shapes {

std::string millimetresText(double mm) {
    if (!std::isfinite(mm)) return "";
    const int decimals = std::fabs(mm) >= 1 ? 2 : 3;
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, mm, std::chars_format::fixed, decimals);
    if (ec != std::errc()) return "";
    std::string s(buf, end);
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    if (s == "-0") s = "0";
    return s + " mm";
}

std::string inchesBeside(std::string_view typed) {
    while (!typed.empty() && (typed.front() == ' ' || typed.front() == '\t')) typed.remove_prefix(1);
    while (!typed.empty() && (typed.back() == ' ' || typed.back() == '\t')) typed.remove_suffix(1);
    double inches = 0;
    const auto [end, ec] = std::from_chars(typed.data(), typed.data() + typed.size(), inches);
    if (typed.empty() || ec != std::errc() || end != typed.data() + typed.size()) return "in";
    const std::string mm = millimetresText(inches * geom::kMmPerInch);
    return mm.empty() ? "in" : "in = " + mm;
}

std::string rangeInMillimetres(double lowInches, double highInches) {
    std::string low = millimetresText(lowInches * geom::kMmPerInch);
    if (low.size() > 3) low.resize(low.size() - 3);  // the unit once, at the end
    return "in = " + low + " to " + millimetresText(highInches * geom::kMmPerInch);
}

}  // namespace shapes

// The number form of the work files: numbers written as the siblings write them, and read
// back by the same rule from files and text boxes.
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "workfile/workfile_io.h"

namespace wf {

namespace {

constexpr int kSignificantDigits = 15;
constexpr double kLargestWritable = 1.79769313486231e308;  // the largest 15-digit number below the range's end

}  // namespace

std::string formatNumber(double value) {
    if (!std::isfinite(value)) throw fault::OverflowFault("number is not finite");
    if (value == 0.0) return " 0";  // negative zero included

    // Correctly rounded to 15 significant digits: "d.dddddddddddddde+XX" (ties to even, as the
    // C library's own scientific form).
    const double magnitude = std::fabs(value);
    char sci[32];
    const char* const sciEnd =
        std::to_chars(sci, sci + sizeof sci, magnitude, std::chars_format::scientific, kSignificantDigits - 1).ptr;
    // the largest doubles round up past the range: such a line could never be read back
    if (magnitude > kLargestWritable) {
        double back = 0;
        if (std::from_chars(sci, sciEnd, back).ec == std::errc::result_out_of_range)
            throw fault::OverflowFault("number leaves the range when rounded");
    }
    char mantissa[kSignificantDigits];
    int nd = 0;
    const char* p = sci;
    for (; p != sciEnd && *p != 'e'; ++p)
        if (*p != '.') mantissa[nd++] = *p;
    ++p;  // past the 'e'
    const bool negativeExponent = *p == '-';
    int exponent = 0;
    for (++p; p != sciEnd; ++p) exponent = exponent * 10 + (*p - '0');
    if (negativeExponent) exponent = -exponent;
    while (nd > 1 && mantissa[nd - 1] == '0') --nd;

    // at most 22 characters: "-1.23456789012345E+308"
    char out[32];
    char* o = out;
    *o++ = value < 0 ? '-' : ' ';
    const bool expForm = exponent >= kSignificantDigits || exponent <= -5 ||
                         (nd - 1 - exponent) > kSignificantDigits;
    if (expForm) {
        *o++ = mantissa[0];
        if (nd > 1) {
            *o++ = '.';
            o = std::copy(mantissa + 1, mantissa + nd, o);
        }
        *o++ = 'E';
        *o++ = exponent < 0 ? '-' : '+';
        const int e = std::abs(exponent);
        if (e < 10) *o++ = '0';
        o = std::to_chars(o, out + sizeof out, e).ptr;
    } else if (exponent >= 0) {
        const int intDigits = exponent + 1;
        if (nd <= intDigits) {
            o = std::copy(mantissa, mantissa + nd, o);
            o = std::fill_n(o, intDigits - nd, '0');
        } else {
            o = std::copy(mantissa, mantissa + intDigits, o);
            *o++ = '.';
            o = std::copy(mantissa + intDigits, mantissa + nd, o);
        }
    } else {
        *o++ = '.';
        o = std::fill_n(o, -exponent - 1, '0');
        o = std::copy(mantissa, mantissa + nd, o);
    }
    return std::string(out, o);
}

namespace {

// The form the work files are written in, and most text boxes hold: blanks, an optional sign,
// digits with at most one point, an optional exponent "E", sign, digits, and nothing after it.
// Read by std::from_chars, which rounds as strtod does; false for any other text and for a
// value out of range, which the full rule below takes.
bool parsePlainNumber(std::string_view text, double& value) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    std::size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '+') start = i + 1;  // std::from_chars takes a minus only
        ++i;
    }
    std::size_t digits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            ++digits;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        const std::size_t exponentStart = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
        if (i == exponentStart) return false;
    }
    if (i != text.size()) return false;
    const char* const first = text.data() + start;
    const char* const last = text.data() + text.size();
    const auto [end, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && end == last && std::isfinite(value);
}

}  // namespace

double parseNumber(std::string_view text) {
    double plain = 0;
    if (parsePlainNumber(text, plain)) return plain;
    std::string clean;
    bool haveSign = false, haveDigits = false, havePoint = false;
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    };
    for (;;) {
        skipBlanks();
        if (i >= text.size()) break;
        const char c = text[i];
        if ((c == '+' || c == '-') && !haveSign && !haveDigits && !havePoint) {
            haveSign = true;
            clean += c;
            ++i;
        } else if (c >= '0' && c <= '9') {
            haveDigits = true;
            clean += c;
            ++i;
        } else if (c == '.' && !havePoint) {
            havePoint = true;
            clean += c;
            ++i;
        } else {
            break;
        }
    }
    if (!haveDigits) return 0.0;
    // Optional exponent: E or D, an optional sign, at least one digit.
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        std::size_t j = i + 1;
        std::string exp = "e";
        auto skip = [&] {
            while (j < text.size() && (text[j] == ' ' || text[j] == '\t')) ++j;
        };
        skip();
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) exp += text[j++];
        bool expDigits = false;
        for (;;) {
            skip();
            if (j < text.size() && text[j] >= '0' && text[j] <= '9') {
                exp += text[j++];
                expDigits = true;
            } else {
                break;
            }
        }
        if (expDigits) clean += exp;
    }
    errno = 0;
    const double v = std::strtod(clean.c_str(), nullptr);
    if (!std::isfinite(v) || (errno == ERANGE && std::fabs(v) > 1.0))
        throw fault::OverflowFault("number out of range: " + clean);
    return v;
}

namespace {
template <typename T>
T roundInto(double value, double lo, double hi) {
    if (!std::isfinite(value)) throw fault::OverflowFault("overflow");
    const double r = std::nearbyint(value);  // default rounding: half to even
    if (r < lo || r > hi) throw fault::OverflowFault("overflow");
    return static_cast<T>(r);
}
}  // namespace

std::int16_t toInt16(double value) { return roundInto<std::int16_t>(value, -32768.0, 32767.0); }
std::int32_t toInt32(double value) {
    return roundInto<std::int32_t>(value, -2147483648.0, 2147483647.0);
}

bool parseFlag(std::string_view text) { return parseNumber(text) == 1.0; }

double parseNumberOrZero(std::string_view text) {
    try {
        return parseNumber(text);
    } catch (const fault::OverflowFault&) {
        return 0;
    }
}

}  // namespace wf

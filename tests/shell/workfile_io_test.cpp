#include "shell/workfile_io.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <random>

#include "support/temp_folder.h"

using namespace wf;

TEST(NumberForm, MatchesTheSiblingsTextForm) {
    struct Case {
        double v;
        const char* text;
    } cases[] = {
        {0.1016, " .1016"},
        {-1000, "-1000"},
        {1e-7, " 1E-07"},
        {1e15, " 1E+15"},
        {1.0 / 24, " 4.16666666666667E-02"},
        {101.6, " 101.6"},
        {-0.5, "-.5"},
        {0.0, " 0"},
        {-0.0, " 0"},
        {4, " 4"},
        {8890, " 8890"},
        {12.5, " 12.5"},
        {123456789012345.0, " 123456789012345"},
        {1234567890123456.0, " 1.23456789012346E+15"},
        {0.0001, " .0001"},
        {0.00001, " 1E-05"},
        {1.5e-5, " 1.5E-05"},
        {-1.5e-5, "-1.5E-05"},
        {0.000123, " .000123"},
        {0.00012345678901234, " 1.2345678901234E-04"},
        {0.1 + 0.2, " .3"},
        {2.0 / 3, " .666666666666667"},
        {0.1 / 3, " 3.33333333333333E-02"},
        {1e300, " 1E+300"},
        {-2.5e-100, "-2.5E-100"},
        {99999999999999.9, " 99999999999999.9"},
        {999999999999999.9, " 1E+15"},
        {0.99999999999999999, " 1"},
        {25.4, " 25.4"},
        {-0.0508, "-.0508"},
    };
    for (const auto& c : cases) EXPECT_EQ(formatNumber(c.v), c.text) << c.v;
    EXPECT_THROW(formatNumber(std::nan("")), OverflowFault);
    EXPECT_THROW(formatNumber(INFINITY), OverflowFault);
    // 15 digits of the largest doubles round beyond the range: no reader could take them back
    EXPECT_THROW(formatNumber(DBL_MAX), OverflowFault);
    EXPECT_THROW(formatNumber(-DBL_MAX), OverflowFault);
    EXPECT_EQ(formatNumber(1.79769313486231e308), " 1.79769313486231E+308");
    EXPECT_EQ(parseNumber(formatNumber(1.79769313486231e308)), 1.79769313486231e308);
}

TEST(NumberForm, RoundTripsThroughTheParseAtFifteenDigits) {
    std::mt19937_64 rng(42);
    std::uniform_real_distribution<double> mant(1.0, 10.0);
    std::uniform_int_distribution<int> expo(-40, 40);
    for (int i = 0; i < 20000; ++i) {
        double v = mant(rng) * std::pow(10.0, expo(rng));
        if (i % 2) v = -v;
        if (i % 7 == 0) v = std::round(v);
        const std::string text = formatNumber(v);
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.14e", v);
        const double fifteen = std::strtod(buf, nullptr);
        ASSERT_EQ(parseNumber(text), fifteen) << text;
        ASSERT_EQ(text[0] == '-', v < 0) << text;
        ASSERT_NE(text.substr(1, 2), "0.") << text;  // never a zero before the point
        ASSERT_LE(text.size(), 22u) << text;
        // formatting the parsed value gives the same text again
        ASSERT_EQ(formatNumber(parseNumber(text)), text);
    }
}

TEST(LeadingNumberParse, StopsAtTheFirstForeignCharacter) {
    EXPECT_EQ(parseNumber(""), 0);
    EXPECT_EQ(parseNumber("."), 0);
    EXPECT_EQ(parseNumber("abc"), 0);
    EXPECT_EQ(parseNumber("12.5abc"), 12.5);
    EXPECT_EQ(parseNumber(" .1016"), 0.1016);
    EXPECT_EQ(parseNumber("-1000"), -1000);
    EXPECT_EQ(parseNumber("1 2 3"), 123);           // blanks ignored anywhere
    EXPECT_EQ(parseNumber("\t- 4 .5"), -4.5);
    EXPECT_EQ(parseNumber("+7"), 7);
    EXPECT_EQ(parseNumber("--7"), 0);
    EXPECT_EQ(parseNumber("1.2.3"), 1.2);
    EXPECT_EQ(parseNumber("1E-07"), 1e-7);
    EXPECT_EQ(parseNumber("2D3"), 2000);
    EXPECT_EQ(parseNumber("2e+2x"), 200);
    EXPECT_EQ(parseNumber("5E"), 5);               // an exponent without digits is no exponent
    EXPECT_EQ(parseNumber("5E-"), 5);
    EXPECT_EQ(parseNumber("1,5"), 1);
    EXPECT_EQ(parseNumber("4.16666666666667E-02"), 4.16666666666667E-02);
    EXPECT_THROW(parseNumber("1E999"), OverflowFault);
    EXPECT_EQ(parseNumber("1E-999"), 0);
}

TEST(IntegerConversion, RoundsHalfToEvenAndRefusesOverflow) {
    EXPECT_EQ(toInt16(2.5), 2);
    EXPECT_EQ(toInt16(3.5), 4);
    EXPECT_EQ(toInt16(-2.5), -2);
    EXPECT_EQ(toInt16(-3.5), -4);
    EXPECT_EQ(toInt16(0.49999999999999994), 0);
    EXPECT_EQ(toInt16(32767.4), 32767);
    EXPECT_EQ(toInt16(-32768.5), -32768);
    EXPECT_THROW(toInt16(32767.5), OverflowFault);
    EXPECT_THROW(toInt16(-32768.6), OverflowFault);
    EXPECT_EQ(toInt32(2147483647.0), 2147483647);
    EXPECT_THROW(toInt32(2147483647.5), OverflowFault);
    EXPECT_THROW(toInt32(NAN), OverflowFault);
    EXPECT_TRUE(parseFlag(" 1"));
    EXPECT_TRUE(parseFlag("1"));
    EXPECT_FALSE(parseFlag("1.4"));
    EXPECT_FALSE(parseFlag("0"));
    EXPECT_FALSE(parseFlag(""));
}

TEST(Lines, EndAtCrLfOrALoneCrOrLf) {
    using V = std::vector<std::string>;
    EXPECT_EQ(splitLines(""), V{});
    EXPECT_EQ(splitLines("a\r\nb\r\n"), (V{"a", "b"}));
    EXPECT_EQ(splitLines("a\nb"), (V{"a", "b"}));
    EXPECT_EQ(splitLines("a\rb\r"), (V{"a", "b"}));
    EXPECT_EQ(splitLines("a\r\n\r\nb"), (V{"a", "", "b"}));
    EXPECT_EQ(splitLines("a\n\rb"), (V{"a", "", "b"}));
    LineReader r(V{"1", " 2.5"});
    EXPECT_EQ(r.int16(), 1);
    EXPECT_EQ(r.number(), 2.5);
    EXPECT_THROW(r.text(), FileFault);
}

TEST(Files, ProbeCreatesAndReplaceIsAtomic) {
    testsupport::TempFolder t;
    const auto f = t.work("x.dat");
    EXPECT_EQ(probeLength(f), 0u);
    EXPECT_TRUE(std::filesystem::exists(f));

    LineWriter w;
    w.number(101.6).flag(true).text("as typed");
    w.commit(f);
    EXPECT_EQ(t.read("x.dat"), " 101.6\r\n1\r\nas typed\r\n");
    EXPECT_EQ(probeLength(f), 21u);

    // a folder that is missing: nothing written, the fault is raised
    EXPECT_THROW(replaceFile(t.path() / "nofolder" / "x.dat", "x"), FileFault);
    EXPECT_THROW(probeLength(t.path() / "nofolder" / "x.dat"), FileFault);

    // the target cannot be replaced (it is a folder): the old content stays, no temp left
    std::filesystem::create_directories(t.work("dir.dat") / "inner");
    EXPECT_THROW(replaceFile(t.work("dir.dat"), "new"), FileFault);
    int entries = 0;
    for (const auto& e : std::filesystem::directory_iterator(t.path() / "workfiles")) {
        (void)e;
        ++entries;
    }
    EXPECT_EQ(entries, 2);  // x.dat and dir.dat only
}

// Texts of the work files come out as UTF-8 whatever the sibling wrote.
TEST(Texts, Utf8KeptElseWindows1252) {
    EXPECT_EQ(wf::decodeText("A\xC3\x84\xE2\x82\xAC"), "A\xC3\x84\xE2\x82\xAC");  // valid: as it is
    EXPECT_EQ(wf::decodeText("\xC4\x80\x9F\xFF"), "\xC3\x84\xE2\x82\xAC\xC5\xB8\xC3\xBF");
    for (const char* bad : {"\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82"})  // overlong, surrogate, too high, cut
        EXPECT_FALSE(wf::isUtf8(bad)) << bad;
    EXPECT_EQ(wf::characters("A\xC3\x84\xF0\x9F\x98\x80 "),
              (std::vector<std::string>{"A", "\xC3\x84", "\xF0\x9F\x98\x80", " "}));
}

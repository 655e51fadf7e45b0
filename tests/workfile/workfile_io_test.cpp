#include "workfile/workfile_io.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <bit>
#include <cerrno>
#include <csignal>
#include <cfloat>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <random>
#include <regex>
#include <set>
#include <thread>

#include "engine/contours.h"

#include "support/temp_folder.h"
#include "workfile/outputs.h"

using namespace wf;
namespace fs = std::filesystem;

namespace {

fs::perms modeOf(const fs::path& p) { return fs::symlink_status(p).permissions(); }

// names in a folder that start with "." (temporary files)
std::set<std::string> dotNames(const fs::path& dir) {
    std::set<std::string> v;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().filename().string().front() == '.') v.insert(e.path().filename().string());
    return v;
}

// Files may grow to `bytes` while it lives (writes beyond fail with EFBIG): a disk that refuses
// more, even to a superuser.
struct FileSizeLimit {
    rlimit before{};
    void (*signalBefore)(int) = std::signal(SIGXFSZ, SIG_IGN);
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &before);
        rlimit small = before;
        small.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, signalBefore);
    }
};

}  // namespace

// The siblings' text form: 15 significant digits correctly rounded (an exact tie keeps the
// even digit), no leading zero, a blank for the sign of a positive number, and the exponent
// form from 1E+15 up, below 1E-04 and where the plain form would need more than 15 decimals.
// The largest doubles (their 15 digits beyond the range) and no number at all are refused.
TEST(NumberForm, MatchesTheSiblingsTextForm) {
    const std::pair<double, const char*> cases[] = {
        {0.1016, " .1016"}, {-1000, "-1000"}, {1e-7, " 1E-07"}, {1e15, " 1E+15"}, {-0.5, "-.5"}, {-0.0, " 0"},
        {1.0 / 24, " 4.16666666666667E-02"}, {123456789012345.0, " 123456789012345"}, {0.0001, " .0001"},
        {1234567890123456.0, " 1.23456789012346E+15"}, {0.00001, " 1E-05"}, {-1.5e-5, "-1.5E-05"},
        {0.00012345678901234, " 1.2345678901234E-04"}, {0.1 + 0.2, " .3"}, {2.0 / 3, " .666666666666667"},
        {-2.5e-100, "-2.5E-100"}, {999999999999999.9, " 1E+15"}, {0.99999999999999999, " 1"},
        {1234567890123455.0, " 1.23456789012346E+15"}, {1234567890123445.0, " 1.23456789012344E+15"},
        {123456789012345.5, " 123456789012346"}, {123456789012344.5, " 123456789012344"}, {-7e22, "-7E+22"},
        {0.00009999999999999995, " .0001"}, {9.999999999999999, " 10"}, {99999999999999.99, " 100000000000000"},
        {5e-324, " 4.94065645841247E-324"}, {1.797693134862315e308, " 1.79769313486231E+308"}};
    for (const auto& [v, text] : cases) EXPECT_EQ(formatNumber(v), text) << v;
    for (const double v : {std::nan(""), double(INFINITY), DBL_MAX, -DBL_MAX})
        EXPECT_THROW(formatNumber(v), fault::OverflowFault) << v;
    EXPECT_EQ(parseNumber(formatNumber(1.79769313486231e308)), 1.79769313486231e308);
}

// Blanks anywhere, one sign, one point, an exponent E or D with digits; the rest is not read.
TEST(LeadingNumberParse, StopsAtTheFirstForeignCharacterAndReadsThePlainFormAsStrtodDoes) {
    const std::pair<const char*, double> cases[] = {
        {"", 0}, {".", 0}, {"abc", 0}, {"12.5abc", 12.5}, {"1 2 3", 123}, {"\t- 4 .5", -4.5}, {"+7", 7}, {"--7", 0},
        {"1.2.3", 1.2}, {"2D3", 2000}, {"2e+2x", 200}, {"5E", 5}, {"5E-", 5}, {"1,5", 1}, {"1E-999", 0}};
    for (const auto& [text, v] : cases) EXPECT_EQ(parseNumber(text), v) << text;
    EXPECT_THROW(parseNumber("1E999"), fault::OverflowFault);

    // the plain form (blanks, a sign, digits with a point, an exponent E: what the files hold) is
    // read to the same value, bit for bit, as strtod reads it; any other text by the full rule
    // above. Bit patterns in both forms, and texts from an alphabet of the rule's characters.
    const std::regex plainForm("[ \t]*[-+]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][-+]?[0-9]+)?");
    std::vector<std::string> texts = {"5.", ".5", "-.5", "+.5", " \t7", "1e5", "1E+05", "1E-400", "-1E-400", "4.9E-324",
                                      "2.4E-324", "1.7976931348623157E+308", "-0", "00012.500",
                                      std::string(400, '9'), "." + std::string(340, '0') + "1"};
    std::mt19937_64 rng(3);
    const std::string alphabet = " \t+-..0123456789012345678901234567890123456789eE";
    for (int i = 0; i < 100000; ++i) {
        std::string t;
        for (std::size_t k = 0, n = rng() % 24; k < n; ++k) t += alphabet[rng() % alphabet.size()];
        texts.push_back(t);
        const double v = std::bit_cast<double>(rng());
        if (!std::isfinite(v)) continue;
        char buf[40];  // every digit, or a random number of them in the exponent form
        std::snprintf(buf, sizeof buf, i % 2 ? "%.*g" : "%.*e", i % 2 ? 17 : static_cast<int>(rng() % 20), v);
        texts.push_back(buf);
        if (std::fabs(v) < 1e300) texts.push_back(formatNumber(v));
    }
    int plain = 0;
    for (const std::string& t : texts) {
        if (!std::regex_match(t, plainForm)) continue;
        errno = 0;
        const double expected = std::strtod(t.c_str(), nullptr);
        if (!std::isfinite(expected) || (errno == ERANGE && std::fabs(expected) > 1.0)) {
            EXPECT_THROW(parseNumber(t), fault::OverflowFault) << t;
            continue;
        }
        const double got = parseNumber(t);
        ASSERT_EQ(std::bit_cast<std::uint64_t>(got), std::bit_cast<std::uint64_t>(expected)) << "'" << t << "' " << got;
        ++plain;
    }
    EXPECT_GT(plain, 100000);
}

// Integers round half to even and refuse what does not fit; lines end at CR LF or a lone CR or LF.
TEST(Lines, IntegersRoundHalfToEvenAndLinesEndAtCrLfOrALoneCrOrLf) {
    for (const auto& [v, i] : {std::pair{2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {0.49999999999999994, 0},
                               {32767.4, 32767}, {-32768.5, -32768}})
        EXPECT_EQ(toInt16(v), i) << v;
    EXPECT_THROW(toInt16(32767.5), fault::OverflowFault);
    EXPECT_THROW(toInt16(-32768.6), fault::OverflowFault);
    EXPECT_EQ(toInt32(2147483647.0), 2147483647);
    EXPECT_THROW(toInt32(2147483647.5), fault::OverflowFault);
    EXPECT_THROW(toInt32(NAN), fault::OverflowFault);
    EXPECT_TRUE(parseFlag(" 1") && parseFlag("1"));
    EXPECT_FALSE(parseFlag("1.4") || parseFlag("0") || parseFlag(""));

    using V = std::vector<std::string>;
    EXPECT_EQ(splitLines(""), V{});
    for (const char* text : {"a\r\nb\r\n", "a\nb", "a\rb\r"}) EXPECT_EQ(splitLines(text), (V{"a", "b"})) << text;
    for (const char* text : {"a\r\n\r\nb", "a\n\rb"}) EXPECT_EQ(splitLines(text), (V{"a", "", "b"})) << text;
    LineReader r(V{"1", " 2.5"});
    EXPECT_EQ(r.int16(), 1);
    EXPECT_EQ(r.number(), 2.5);
    EXPECT_THROW(r.text(), fault::FileFault);
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

// A FIFO, a device, a folder or a link in place of a file is refused at
// once (no open that waits for a writer, no endless read), and so is a file beyond the limit,
// which lies far above the largest letter file the capacities allow. The letter file's bytes
// are kept between slider moves, read again only when the file has changed.
TEST(Files, OnlyRegularFilesWithinTheLimitAreReadAndKeptOnesAgainWhenTheyChange) {
    static_assert(kMaxReadBytes >= 4 * engine::kLargestLetterFileBytes);
    EXPECT_GT(engine::kLargestLetterFileBytes, 20'000'000u);  // 301001 points, 2501 bridges, 255 letters
    testsupport::TempFolder t;
    ASSERT_EQ(::mkfifo(t.work("fifo.dat").c_str(), 0644), 0);
    fs::create_directories(t.work("folder.dat"));
    t.write("real.dat", "1\r\n");
    fs::create_symlink(t.work("real.dat"), t.work("link.dat"));
    // a device of its own where the system lets us make one (else /dev/zero itself)
    const bool device = ::mknod(t.work("zero.dat").c_str(), S_IFCHR | 0644, makedev(1, 5)) == 0;
    const auto start = std::chrono::steady_clock::now();
    for (const fs::path& p : {t.work("fifo.dat"), t.work("folder.dat"), t.work("link.dat"),
                              device ? t.work("zero.dat") : fs::path("/dev/zero")}) {
        SCOPED_TRACE(p);
        EXPECT_THROW(readFile(p), fault::FileFault);
        EXPECT_THROW(probeLength(p), fault::FileFault);
        EXPECT_THROW(LineReader{p}, fault::FileFault);
        EXPECT_THROW(readFileKept(p), fault::FileFault);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(readFile(t.work("real.dat")), "1\r\n");

    // a letter file followed by a long run of zero bytes (sparse): one byte beyond the limit
    // is refused without being read; at the limit it still reads
    t.write("big.dat", "A\r\n");
    fs::resize_file(t.work("big.dat"), kMaxReadBytes + 1);
    EXPECT_THROW(readFile(t.work("big.dat")), fault::FileFault);
    EXPECT_THROW(readFileKept(t.work("big.dat")), fault::FileFault);
    EXPECT_EQ(probeLength(t.work("big.dat")), kMaxReadBytes + 1);  // only looked at
    fs::resize_file(t.work("big.dat"), kMaxReadBytes);
    EXPECT_EQ(LineReader(t.work("big.dat")).text(), "A");

    // kept bytes are read again when the file is rewritten in place at the same size, replaced by
    // another file, or gone
    t.write("letters.dat", "A\r\nfirst\r\n");
    // just written: its times might not move at a change made at once, so it is read each time
    const auto fresh = readFileKept(t.work("letters.dat"));
    EXPECT_EQ(*fresh, "A\r\nfirst\r\n");
    EXPECT_NE(readFileKept(t.work("letters.dat")), fresh);
    std::this_thread::sleep_for(std::chrono::milliseconds(3100));
    const auto kept = readFileKept(t.work("letters.dat"));
    EXPECT_EQ(readFileKept(t.work("letters.dat")), kept);  // the very same bytes, not read again
    {
        std::fstream f(t.work("letters.dat"), std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(3);
        f << "FIRST";
    }
    EXPECT_EQ(*readFileKept(t.work("letters.dat")), "A\r\nFIRST\r\n");
    t.write("other.dat", "B\r\nfirst\r\n");
    fs::rename(t.work("other.dat"), t.work("letters.dat"));
    EXPECT_EQ(*readFileKept(t.work("letters.dat")), "B\r\nfirst\r\n");
    EXPECT_EQ(*kept, "A\r\nfirst\r\n");  // bytes handed out stay as they were
    fs::remove(t.work("letters.dat"));
    EXPECT_THROW(readFileKept(t.work("letters.dat")), fault::FileFault);
}

// The probe creates a file only when there is none and looks at an existing one whatever its
// mode; the writer ends each line; nothing is written into a missing folder. A replacement
// keeps the mode of the file it replaces and never replaces (or removes) a read-only file or a
// symbolic link (nor its target). A set writes every file before it puts any in place.
TEST(Files, ReplacementKeepsTheModeSparesReadOnlyFilesAndLinksAndASetGoesInPlaceInOrder) {
    testsupport::TempFolder t;
    EXPECT_EQ(probeLength(t.work("x.dat")), 0u);
    EXPECT_TRUE(t.exists("x.dat"));
    LineWriter w;
    w.number(101.6).flag(true).text("as typed");
    w.commit(t.work("x.dat"));
    EXPECT_EQ(t.read("x.dat"), " 101.6\r\n1\r\nas typed\r\n");
    EXPECT_THROW(replaceFile(t.path() / "nofolder" / "x.dat", "x"), fault::FileFault);
    EXPECT_THROW(probeLength(t.path() / "nofolder" / "x.dat"), fault::FileFault);

    t.write("ro.dat", "kept\r\n");
    fs::permissions(t.work("ro.dat"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(probeLength(t.work("ro.dat")), 6u);
    EXPECT_EQ(LineReader(t.work("ro.dat")).text(), "kept");
    EXPECT_THROW(replaceFile(t.work("ro.dat"), "new\r\n"), fault::FileFault);
    EXPECT_THROW(FileSet().remove(t.work("ro.dat")), fault::FileFault);
    EXPECT_EQ(t.read("ro.dat"), "kept\r\n");
    EXPECT_EQ(modeOf(t.work("ro.dat")), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

    t.write("rw.dat", "old\r\n");
    const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;  // 0640
    fs::permissions(t.work("rw.dat"), mode);
    replaceFile(t.work("rw.dat"), "new\r\n");
    EXPECT_EQ(t.read("rw.dat"), "new\r\n");
    EXPECT_EQ(modeOf(t.work("rw.dat")), mode);

    // a link, to a file outside the folder or to nothing: neither it nor its target changes
    testsupport::TempFolder other;
    other.write("target.dat", "theirs\r\n");
    fs::create_symlink(other.work("target.dat"), t.work("link.dat"));
    fs::create_symlink(other.work("none.dat"), t.work("dangling.dat"));
    for (const char* name : {"link.dat", "dangling.dat"}) {
        SCOPED_TRACE(name);
        EXPECT_THROW(replaceFile(t.work(name), "new\r\n"), fault::FileFault);
        EXPECT_THROW(probeLength(t.work(name)), fault::FileFault);
        EXPECT_THROW(FileSet().remove(t.work(name)), fault::FileFault);
        EXPECT_TRUE(fs::is_symlink(t.work(name)));
    }
    EXPECT_EQ(other.read("target.dat"), "theirs\r\n");
    EXPECT_FALSE(other.exists("none.dat"));
    EXPECT_TRUE(dotNames(t.path() / "workfiles").empty());

    // a set puts its files in place in the order given; a fault in the middle leaves the ones
    // before it new and the ones after it old, and no temporary file; stale temporary files of
    // ours (and only those) go
    const fs::path dir = t.path() / "workfiles";
    for (const char* name : {"a.dat", "b.dat", "c.dat"}) t.write(name, "old\r\n");
    {
        FileSet s;
        s.replace(t.work("a.dat"), "new a\r\n");
        s.replace(t.work("b.dat"), "new b\r\n");
        s.remove(t.work("gone.dat"));  // not there: counts as removed
        s.replace(t.work("c.dat"), "new c\r\n");
        EXPECT_EQ(dotNames(dir).size(), 3u);  // every file written, none in place yet
        EXPECT_EQ(t.read("a.dat"), "old\r\n");
        // b.dat turns into a folder before the set is put in place
        fs::remove(t.work("b.dat"));
        fs::create_directories(t.work("b.dat") / "x");
        EXPECT_THROW(s.commit(), fault::FileFault);
    }
    EXPECT_EQ(t.read("a.dat"), "new a\r\n");
    EXPECT_EQ(t.read("c.dat"), "old\r\n");
    EXPECT_TRUE(dotNames(dir).empty());
    {
        FileSet dropped;  // never committed: nothing changes, nothing stays behind
        dropped.replace(t.work("c.dat"), "new c\r\n");
    }
    EXPECT_EQ(t.read("c.dat"), "old\r\n");
    EXPECT_TRUE(dotNames(dir).empty());

    const std::set<std::string> ours = {".c3.dat.tmp123456-0", ".workrl.dat.tmp7-12"};
    const std::set<std::string> others = {".c3.dat.tmp", ".x.tmp1-", ".tmp1-2", ".hidden", "kon3.tmp",
                                          ".stv2b.dat.tmpA-1"};
    for (const auto& n : ours) std::ofstream(dir / n) << "x";
    for (const auto& n : others) std::ofstream(dir / n) << "x";
    fs::create_directories(dir / ".d.dat.tmp1-1");  // a folder is not ours
    EXPECT_EQ(removeStaleTemporaryFiles(dir), 2);
    for (const auto& n : ours) EXPECT_FALSE(fs::exists(dir / n)) << n;
    for (const auto& n : others) EXPECT_TRUE(fs::exists(dir / n)) << n;
    EXPECT_TRUE(fs::is_directory(dir / ".d.dat.tmp1-1"));
}

// An output is written whole or not at all: whatever stops the writing, the file that stood
// there stays as it was and no temporary file is left beside it. A file size limit stops the
// writing half-way (a full disk fails the same write call); with room, the same write succeeds
// whole.
TEST(Outputs, AFailedWriteKeepsTheOldFileAndLeavesNoTemporary) {
    const std::string big(200 * 1024, 'x');
    testsupport::TempFolder t(false);
    const fs::path target = t.path() / "drawing.dxf";
    std::ofstream(target) << "the old drawing";
    wf::Outputs outputs{wf::SuiteFiles{}};
    std::string message;
    try {
        const FileSizeLimit limit(16 * 1024);
        outputs.write(target, big);
    } catch (const fault::FileFault& e) {
        message = e.what();
    }
    EXPECT_NE(message.find(target.string()), std::string::npos) << message;
    EXPECT_EQ(testsupport::readAll(target), "the old drawing");
    EXPECT_EQ(std::distance(fs::directory_iterator(t.path()), {}), 1);  // no temporary file beside it
    outputs.write(target, big);
    EXPECT_EQ(testsupport::readAll(target), big);
}

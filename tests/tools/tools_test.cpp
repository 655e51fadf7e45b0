// The helper programs run for real (font2tground on the sample font, the sibling stand-in),
// and the program folder the build assembles.
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include "support/run_program.h"
#include "support/temp_folder.h"
#include "tground_file.h"

namespace tooltest {
namespace {

using testsupport::readAll;
using testsupport::runProgram;
namespace fs = std::filesystem;

// Runs the tool into `out` and reads its output back strictly (CR LF, number form, records).
GroundFile convert(const fs::path& out, const std::string& text, std::vector<std::string> extra = {}) {
    std::vector<std::string> args{LK_SAMPLE_FONT, text, out.string()};
    args.insert(args.end(), extra.begin(), extra.end());
    const testsupport::ProgramRun r = runProgram(LK_FONT2TGROUND, args, out.parent_path());
    EXPECT_EQ(r.status, 0) << r.err;
    try {
        return parseGroundFile(readAll(out));
    } catch (const BadFile& e) {
        ADD_FAILURE() << "\"" << text << "\": " << e.what();
        return {};
    }
}

// Letter groups, contour counts and sizes; each group is relative to its own origin, so the
// letters laid out by their advances do not overlap; a blank is a letter without contours;
// --em-mm scales everything. (The bridges are the text stage's typesetter's, judged there.)
TEST(Font2Tground, LayoutReadsBackAndScales) {
    testsupport::TempFolder t(false);
    const fs::path out = t.path() / "tground.dat";
    const GroundFile g = convert(out, "ABC");
    EXPECT_EQ(g.text, "ABC");
    ASSERT_EQ(g.letters.size(), 3u);
    const std::map<std::string, std::size_t> contours{{"A", 2}, {"B", 3}, {"C", 1}};
    for (std::size_t k = 0; k < g.letters.size(); ++k) {
        const FileLetter& l = g.letters[k];
        SCOPED_TRACE(l.text);
        EXPECT_EQ(l.contours.size(), contours.at(l.text));
        bool curved = false;
        for (const Contour& c : l.contours) curved |= c.curved;
        EXPECT_EQ(curved, l.text != "A");  // A is all straight, B and C have curves
        // capitals with a 100 mm em: about 73 mm tall, on the baseline (round ones overshoot)
        EXPECT_NEAR(l.ymin, 0, 2);
        EXPECT_TRUE(l.ymax > 60 && l.ymax < 80) << l.ymax;
        EXPECT_GT(l.advance, 0);
        EXPECT_TRUE(k + 1 == g.letters.size() || l.xmax < g.letters[k + 1].xmin + l.advance);
    }
    const GroundFile blank = convert(out, "i i");
    ASSERT_EQ(blank.letters.size(), 3u);
    EXPECT_EQ(blank.letters[1].text, " ");
    EXPECT_TRUE(blank.letters[1].points.empty() && blank.letters[1].bridges.empty());
    EXPECT_GT(blank.letters[1].advance, 0);
    EXPECT_EQ(blank.letters[0].points.size(), blank.letters[2].points.size());

    const GroundFile full = convert(out, "B8"), half = convert(out, "B8", {"--em-mm", "50"});
    ASSERT_EQ(full.letters.size(), half.letters.size());
    for (std::size_t k = 0; k < full.letters.size(); ++k) {
        const FileLetter &f = full.letters[k], &h = half.letters[k];
        EXPECT_NEAR(h.advance, f.advance / 2, 1e-6);
        ASSERT_EQ(h.points.size(), f.points.size());
        for (std::size_t i = 0; i < f.points.size(); ++i) {
            EXPECT_NEAR(h.points[i].x, f.points[i].x / 2, 1e-6);
            EXPECT_NEAR(h.points[i].y, f.points[i].y / 2, 1e-6);
        }
        EXPECT_EQ(h.bridges.size(), f.bridges.size());
    }
}

// Missing font, a character the font lacks, a missing folder, a bad em size: exit 1, and no
// file is left behind or replaced.
TEST(Font2Tground, FailuresLeaveNoFileBehind) {
    testsupport::TempFolder t(false);
    const fs::path out = t.path() / "tground.dat";
    EXPECT_EQ(runProgram(LK_FONT2TGROUND, {(t.path() / "missing.ttf").string(), "ABC", out.string()}, t.path()).status, 1);
    EXPECT_TRUE(fs::is_empty(t.path()));
    std::ofstream(out, std::ios::binary) << "old\r\n";
    const testsupport::ProgramRun r = runProgram(LK_FONT2TGROUND, {LK_SAMPLE_FONT, "A\xE4\xB8\xAD", out.string()}, t.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("has no letter"), std::string::npos) << r.err;
    EXPECT_EQ(runProgram(LK_FONT2TGROUND, {LK_SAMPLE_FONT, "A", (t.path() / "no" / "x.dat").string()}, t.path()).status, 1);
    EXPECT_NE(runProgram(LK_FONT2TGROUND, {LK_SAMPLE_FONT, "A", out.string(), "--em-mm", "-3"}, t.path()).status, 0);
    EXPECT_EQ(readAll(out), "old\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(t.path()), {}), 1);
}

// The stand-in appends its name and arguments to the log beside it, wherever the caller's
// current folder is; without the work-file folder it fails and creates nothing.
TEST(Standin, AppendsItsNameAndArgumentsToTheLog) {
    testsupport::TempFolder t, bare(false), elsewhere(false);
    for (const auto& [folder, name] : {std::pair{t.path(), "STV3.EXE"}, {bare.path(), "zodu.exe"}}) {
        fs::copy_file(LK_STANDIN, folder / name);
        fs::permissions(folder / name, fs::perms::owner_all, fs::perm_options::add);
    }
    EXPECT_EQ(runProgram(t.path() / "STV3.EXE", {"stvt", "two words"}, elsewhere.path()).status, 0);
    EXPECT_EQ(runProgram(t.path() / "STV3.EXE", {}, elsewhere.path()).status, 0);
    EXPECT_EQ(t.read("standin.log"), "STV3.EXE stvt two words\nSTV3.EXE\n");
    EXPECT_EQ(runProgram(bare.path() / "zodu.exe", {"stvt"}, elsewhere.path()).status, 1);
    EXPECT_FALSE(fs::exists(bare.path() / "workfiles"));
}

// The siblings under the names the suite starts them by, the committed work files, the letters.
TEST(SampleFolder, HoldsSiblingsWorkFilesAndLetters) {
    const fs::path folder = LK_PROGRAM_DIR;
    const std::pair<const char*, const char*> copies[] = {
        {"STV1.EXE", LK_TEXT_STAGE}, {"STV1b.EXE", LK_TEXT_STAGE}, {"STV3.EXE", LK_CUT}, {"zodu.exe", LK_START}};
    for (const auto& [name, program] : copies) {
        EXPECT_EQ(access((folder / name).c_str(), X_OK), 0) << name;
        EXPECT_EQ(readAll(folder / name), readAll(program)) << name;
        EXPECT_FALSE(readAll(program).empty()) << program;
    }
    for (const char* name : {"wif.dat", "shap.dat"}) {
        const fs::path committed = fs::path(LK_SAMPLE_WORKFILES) / name;
        ASSERT_TRUE(fs::exists(committed)) << name;
        EXPECT_EQ(readAll(folder / "workfiles" / name), readAll(committed)) << name;
    }
    GroundFile g;
    ASSERT_NO_THROW(g = parseGroundFile(readAll(folder / "workfiles" / "tground.dat")));
    EXPECT_EQ(g.text, LK_SAMPLE_TEXT);
    ASSERT_EQ(g.letters.size(), std::string(LK_SAMPLE_TEXT).size());
    for (std::size_t k = 0; k < g.letters.size(); ++k) EXPECT_EQ(g.letters[k].text, std::string(1, LK_SAMPLE_TEXT[k]));
}

}  // namespace
}  // namespace tooltest

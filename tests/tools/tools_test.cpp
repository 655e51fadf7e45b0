// The letter tool runs for real on the sample font, and the program folder the build assembles.
// (The sibling stand-in is proven by the tests that start it.)
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>

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

// The tool writes what the typesetter sets (its rules are proven in the text stage's tests) as a
// file the strict reader takes back, and --em-mm scales every point and advance.
TEST(Font2Tground, WritesTheTypesettersLettersAndScales) {
    testsupport::TempFolder t(false);
    const fs::path out = t.path() / "tground.dat";
    const GroundFile full = convert(out, "B 8"), half = convert(out, "B 8", {"--em-mm", "50"});
    EXPECT_EQ(full.text, "B 8");
    ASSERT_EQ(full.letters.size(), 3u);
    ASSERT_EQ(half.letters.size(), 3u);
    for (std::size_t k = 0; k < full.letters.size(); ++k) {
        const FileLetter &f = full.letters[k], &h = half.letters[k];
        EXPECT_NEAR(h.advance, f.advance / 2, 1e-6);
        ASSERT_EQ(h.points.size(), f.points.size());
        for (std::size_t i = 0; i < f.points.size(); ++i) {
            EXPECT_NEAR(h.points[i].x, f.points[i].x / 2, 1e-6);
            EXPECT_NEAR(h.points[i].y, f.points[i].y / 2, 1e-6);
        }
    }
}

// A missing font, a character the font lacks, a missing folder: exit 1 with the reason; a bad em
// size: the usage, exit 2. The file it was to replace is left as it was, nothing beside it.
TEST(Font2Tground, FailuresLeaveNoFileBehind) {
    testsupport::TempFolder t(false);
    const fs::path out = t.path() / "tground.dat";
    std::ofstream(out, std::ios::binary) << "old\r\n";
    const std::pair<std::vector<std::string>, int> failing[] = {
        {{(t.path() / "missing.ttf").string(), "ABC", out.string()}, 1},
        {{LK_SAMPLE_FONT, "A\xE4\xB8\xAD", out.string()}, 1},
        {{LK_SAMPLE_FONT, "A", (t.path() / "no" / "x.dat").string()}, 1},
        {{LK_SAMPLE_FONT, "A", out.string(), "--em-mm", "-3"}, 2},
    };
    for (const auto& [args, status] : failing) {
        const testsupport::ProgramRun r = runProgram(LK_FONT2TGROUND, args, t.path());
        EXPECT_EQ(r.status, status) << args[0] << " " << args[1];
        EXPECT_FALSE(r.err.empty()) << args[0] << " " << args[1];
    }
    EXPECT_EQ(readAll(out), "old\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(t.path()), {}), 1);
}

// The siblings under the names the suite starts them by, the committed work files, the letters.
TEST(SampleFolder, HoldsSiblingsWorkFilesAndLetters) {
    const fs::path folder = LK_PROGRAM_DIR;
    const std::pair<const char*, const char*> copies[] = {
        {"STV1.EXE", LK_TEXT_STAGE}, {"STV1b.EXE", LK_TEXT_STAGE}, {"STV3.EXE", LK_CUT}, {"zodu.exe", LK_START}};
    for (const auto& [name, program] : copies) {
        EXPECT_EQ(access((folder / name).c_str(), X_OK), 0) << name;
        const std::string built = readAll(program);
        EXPECT_FALSE(built.empty()) << program;
        EXPECT_TRUE(readAll(folder / name) == built) << name;
    }
    for (const char* name : {"wif.dat", "shap.dat"}) {
        const fs::path committed = fs::path(LK_SAMPLE_WORKFILES) / name;
        ASSERT_TRUE(fs::exists(committed)) << name;
        EXPECT_EQ(readAll(folder / "workfiles" / name), readAll(committed)) << name;
    }
    // the letters, as the tool writes them (a strict read throws on any fault of the form)
    EXPECT_EQ(parseGroundFile(readAll(folder / "workfiles" / "tground.dat")).text, LK_SAMPLE_TEXT);
}

}  // namespace
}  // namespace tooltest

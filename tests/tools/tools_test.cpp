// The letter tool runs for real on the sample font, and the program folder the build assembles.
// (The sibling stand-in is proven by the tests that start it.)
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>

#include "support/run_program.h"
#include "support/temp_folder.h"
#include "text/lettering.h"

namespace {

using testsupport::readAll;
using testsupport::runProgram;
namespace fs = std::filesystem;

// The tool writes exactly what the typesetter sets (its rules are proven in the text stage's
// tests) at the em size asked for, with or without bridges.
TEST(Font2Tground, WritesTheTypesettersLetters) {
    testsupport::TempFolder t(false);
    const fs::path out = t.path() / "tground.dat";
    text::Typesetter setter(text::resolveFont(LK_SAMPLE_FONT)), half(text::resolveFont(LK_SAMPLE_FONT), 50);
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, text::groundFile(setter.set("B 8", true))},
        {{"--em-mm", "50"}, text::groundFile(half.set("B 8", true))},
        {{"--no-bridges"}, text::groundFile(setter.set("B 8", false))},
    };
    for (const auto& [extra, letters] : cases) {
        std::vector<std::string> args{LK_SAMPLE_FONT, "B 8", out.string()};
        args.insert(args.end(), extra.begin(), extra.end());
        const testsupport::ProgramRun r = runProgram(LK_FONT2TGROUND, args, t.path());
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(readAll(out), letters) << (extra.empty() ? "" : extra[0]);
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
    // the letters, as the tool writes them
    EXPECT_EQ(readAll(folder / "workfiles" / "tground.dat"),
              text::groundFile(text::Typesetter(text::resolveFont(LK_SAMPLE_FONT)).set(LK_SAMPLE_TEXT, true)));
}

}  // namespace

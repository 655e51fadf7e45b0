// The sibling stand-in, and the program folder the build assembles.

#include "tground_file.h"
#include "tool_support.h"

namespace tooltest {
namespace {

class Standin : public ScratchTest {
protected:
    // A program folder of its own holding a copy of the stand-in under `name`.
    fs::path install(const std::string& name, bool withWorkfiles) {
        const fs::path program = dir() / (withWorkfiles ? "prog" : "bare") / name;
        fs::create_directories(program.parent_path() / (withWorkfiles ? "workfiles" : ""));
        fs::copy_file(LK_STANDIN, program);
        fs::permissions(program, fs::perms::owner_all, fs::perm_options::add);
        return program;
    }
};

// The log sits next to the program, wherever the caller's current folder is; without the
// work-file folder the stand-in fails and creates nothing.
TEST_F(Standin, AppendsItsNameAndArgumentsToTheLog) {
    const fs::path program = install("STV3.EXE", true);
    EXPECT_EQ(run(program, {"stvt", "two words"}, scratch()).status, 0);
    EXPECT_EQ(run(program, {}, scratch()).status, 0);
    EXPECT_EQ(readAll(program.parent_path() / "workfiles" / "standin.log"), "STV3.EXE stvt two words\nSTV3.EXE\n");
    const fs::path bare = install("zodu.exe", false);
    EXPECT_EQ(run(bare, {"stvt"}, scratch()).status, 1);
    EXPECT_FALSE(fs::exists(bare.parent_path() / "workfiles"));
}

TEST(SampleFolder, HoldsSiblingsWorkFilesAndLetters) {
    const fs::path folder = LK_PROGRAM_DIR;
    const std::string standin = readAll(LK_STANDIN), textStage = readAll(LK_TEXT_STAGE);
    ASSERT_FALSE(standin.empty());
    ASSERT_FALSE(textStage.empty());
    for (const char* name : {"STV1.EXE", "STV1b.EXE"}) {
        EXPECT_EQ(access((folder / name).c_str(), X_OK), 0) << name;
        EXPECT_EQ(readAll(folder / name), textStage) << name;
    }
    // the cut stage is the real program under the name the shapes stage starts
    EXPECT_EQ(access((folder / "STV3.EXE").c_str(), X_OK), 0);
    EXPECT_EQ(readAll(folder / "STV3.EXE"), readAll(LK_CUT));
    // the start window under the name the shapes stage hands over to
    EXPECT_EQ(access((folder / "zodu.exe").c_str(), X_OK), 0);
    EXPECT_EQ(readAll(folder / "zodu.exe"), readAll(LK_START));
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

#include <gtest/gtest.h>

#include "shell/session.h"
#include "shell/workfile_io.h"
#include "support/temp_folder.h"

using namespace shell;
using namespace testsupport;

namespace {

// the sample letters "ABC" in a folder of their own, with the later stage beside them
struct Converting {
    TempFolder t;
    HeadlessUi ui;
    std::unique_ptr<Session> s;
    explicit Converting(bool withLaterStage = true) {
        t.copySample("tground.dat");
        if (withLaterStage) t.addProgram("STV3.EXE");
        s = std::make_unique<Session>(t.path(), "stvt", ui);
        s->load();
        s->activate();
    }
    std::vector<std::string> lines(const char* name) const { return wf::splitLines(t.read(name)); }
    std::vector<std::string> texts() const {
        std::vector<std::string> v;
        for (const Message& m : ui.messages) v.push_back(m.title + "|" + m.text);
        return v;
    }
};

}  // namespace

TEST(StartConvert, WritesEveryHandOverFileAndStartsTheLaterStage) {
    Converting c;
    c.s->controls.Check2.set(1);  // with the bar
    c.t.write("workm.dat", "old");
    c.s->clickBild2();
    EXPECT_TRUE(c.ui.messages.empty()) << c.texts().front();
    ASSERT_EQ(c.ui.started.size(), 1u);
    EXPECT_EQ(c.ui.started[0].program, c.s->appFolder() + "STV3.EXE");
    EXPECT_EQ(c.ui.started[0].arguments, std::vector<std::string>{"stvt"});
    EXPECT_TRUE(c.ui.terminated);

    // internal units: the letter height becomes 200, and c3.dat tells the later stage the factor
    EXPECT_EQ(c.lines("c3.dat")[0], " .508");
    EXPECT_DOUBLE_EQ(c.s->outputScale, 101.6 / 200);
    const auto rl = c.lines("workrl.dat");
    EXPECT_EQ(rl.front(), "a");
    EXPECT_EQ(rl[1], "n");
    EXPECT_EQ(rl.back(), "s");
    EXPECT_EQ(std::count(rl.begin(), rl.end(), "a"), std::count(rl.begin(), rl.end(), "e"));
    EXPECT_EQ(std::count(rl.begin(), rl.end(), "n"), 3);  // one per letter
    const auto m = c.lines("workm.dat");
    EXPECT_EQ(m.size(), 2 + 6 * wf::parseNumber(m[0]) + 5 * wf::parseNumber(m[1]));
    EXPECT_EQ(c.lines("hl.dat")[0], " 3");
    EXPECT_EQ(c.lines("stv2b.dat").size(), std::size_t(kStv2bLines));
    EXPECT_EQ(c.lines("orgdim.dat")[0], "1");
    EXPECT_FALSE(c.lines("top.dat").empty());
    EXPECT_FALSE(c.s->wheelHookInstalled);
}

TEST(StartConvert, SizeLimitLeavesTheProgramAsItWas) {
    Converting c;
    c.s->controls.Textv.set(" 780.5");
    c.s->clickBild2();
    EXPECT_EQ(c.texts(), std::vector<std::string>{
                             "Contour dimensions too large !| Please change the dimensions. Maximum height or width = 780. "});
    EXPECT_FALSE(c.ui.terminated);
    EXPECT_FALSE(c.t.exists("workrl.dat"));

    Converting edge;
    edge.s->controls.Texth.set(" 780");
    edge.s->controls.Textv.set(" 780");
    edge.s->clickBild2();
    EXPECT_TRUE(edge.ui.messages.empty());
    EXPECT_EQ(edge.ui.started.size(), 1u);
}

TEST(StartConvert, FailuresNeverStartTheLaterStageOnAPartialHandOver) {
    {
        Converting c;
        std::filesystem::create_directories(c.t.work("workrl.dat") / "taken");  // cannot be replaced
        c.s->clickBild2();
        EXPECT_EQ(c.texts(), std::vector<std::string>{"Error|File access error !"});
        EXPECT_TRUE(c.ui.started.empty());
        EXPECT_TRUE(c.ui.terminated);
        EXPECT_EQ(c.lines("stv2b.dat").size(), std::size_t(kStv2bLines));  // the user can resume
    }
    {
        Converting c;
        c.t.write("tground.dat", "");  // the letters cannot be read again
        c.s->clickBild2();
        EXPECT_EQ(c.texts(), std::vector<std::string>{"Error|File access error !"});
        EXPECT_TRUE(c.ui.started.empty());
        EXPECT_FALSE(c.t.exists("workrl.dat"));
        EXPECT_EQ(c.lines("stv2b.dat").size(), std::size_t(kStv2bLines));
    }
    {
        Converting c(false);
        c.s->clickBild2();
        EXPECT_EQ(c.texts(), std::vector<std::string>{"Ende|STV3.EXE not found !"});
        EXPECT_TRUE(c.ui.terminated);
        EXPECT_EQ(c.lines("workrl.dat").back(), "s");
    }
}

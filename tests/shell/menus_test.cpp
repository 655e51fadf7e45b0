#include <gtest/gtest.h>

#include "shell/session.h"
#include "support/bare_session.h"

using namespace shell;
using namespace testsupport;

using Bare = BareSession;

TEST(Menus, BackToTheTextStageFollowsShapDat) {
    for (const auto& [shap, program] : std::vector<std::pair<std::string, std::string>>{
             {crlf({"x", " 1"}), "STV1b.EXE"}, {crlf({"x", " 2"}), "STV1.EXE"}, {crlf({"x", ""}), "STV1.EXE"}}) {
        Bare b;
        b.t.addProgram("STV1.EXE");
        b.t.addProgram("STV1b.EXE");
        b.t.write("shap.dat", shap);
        b.s.returnToTextStage();
        ASSERT_EQ(b.ui.started.size(), 1u) << shap;
        EXPECT_EQ(b.ui.started[0].program, b.s.appFolder() + program);
        EXPECT_EQ(b.ui.started[0].arguments, std::vector<std::string>{"stvt"});
        EXPECT_TRUE(b.ui.terminated);
        EXPECT_FALSE(b.t.exists("stv2b.dat"));  // nothing is saved
    }
    Bare one;
    one.t.addProgram("STV1.EXE");
    one.t.write("shap.dat", crlf({"x"}));
    one.s.returnToTextStage();
    ASSERT_EQ(one.ui.messages.size(), 1u);
    EXPECT_EQ(one.ui.messages[0].title + "|" + one.ui.messages[0].text, "End|File access error !");
    EXPECT_TRUE(one.ui.started.empty());
    EXPECT_TRUE(one.ui.terminated);
}

TEST(Menus, HelpDocumentsAndTheYesNoMemory) {
    Bare b;
    std::ofstream(b.t.path() / "main.pdf") << "%PDF";
    std::ofstream(b.t.work("menu1.pdf")) << "%PDF";  // among the work files it is not looked for
    b.s.openHelp("main.pdf");
    b.s.openHelp("menu1.pdf");
    EXPECT_EQ(b.ui.documents, std::vector<std::string>{b.s.appFolder() + "main.pdf"});
    ASSERT_EQ(b.ui.messages.size(), 1u);
    EXPECT_EQ(b.ui.messages[0].text, "menu1.pdf not found ? PDF-Reader installed ?");
    EXPECT_EQ(b.ui.messages[0].icon, Icon::None);

    // a closed question keeps the answer before it; with none yet it counts as Yes
    const auto ask = [&](bool close, bool yes) {
        b.ui.closeQuestions = close;
        b.ui.answerYes = yes;
        return b.s.confirmYesNo("LETTERKERF", "Clear all distances ?");
    };
    EXPECT_TRUE(ask(true, false));
    EXPECT_FALSE(ask(false, false));
    EXPECT_FALSE(ask(true, true));
    EXPECT_TRUE(ask(false, true));
    EXPECT_TRUE(ask(true, false));
    EXPECT_EQ(b.ui.questions, std::vector<std::string>(5, "LETTERKERF|Clear all distances ?"));
}

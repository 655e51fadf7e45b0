#include <gtest/gtest.h>

#include "shell/session.h"
#include "support/bare_session.h"

using namespace shell;
using namespace testsupport;

using Bare = BareSession;

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

#include <gtest/gtest.h>

#include "shapes/session.h"
#include "support/bare_session.h"
#include "workfile/workfile_io.h"

using namespace shapes;
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
    b.ui.documentViewer = false;  // there, but nothing opens it: the full path is named
    b.s.openHelp("main.pdf");
    EXPECT_EQ(b.ui.messages.back().text, suite::helpNotOpenedText(b.s.appFolder() + "main.pdf", "main.pdf"));

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

// The way back to the text stage keeps the work as "Start convert" would: the state and
// "Create as one object", then the text stage starts and this program ends.
TEST(Menus, TheWayBackKeepsTheWork) {
    Bare b;
    b.t.copySample("tground.dat");
    b.s.load();
    b.s.activate();
    b.s.controls().Check5.set(0);
    b.s.returnToTextStage();
    EXPECT_TRUE(b.s.terminated());
    EXPECT_EQ(b.t.read("orgdim.dat"), "0\r\n");
    const auto lines = wf::splitLines(b.t.read("stv2b.dat"));
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kStv2bLines));
    EXPECT_EQ(lines[0], " 0");  // the shape
}

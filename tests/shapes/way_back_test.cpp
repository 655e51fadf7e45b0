// The text stage's "Next" hands letters over again ("stvt"): the same characters take up the
// saved state as the resume does; other characters keep all but the letter spacing, and say so.
#include <gtest/gtest.h>

#include <fstream>

#include "shapes/session.h"
#include "workfile/workfile_io.h"
#include "support/temp_folder.h"

using namespace shapes;
using namespace testsupport;

namespace {

std::string testLetters(const char* name) {
    return wf::readFile(std::filesystem::path(LK_TEST_DATA) / name);
}

struct Visit {
    HeadlessUi ui;
    Session s;
    explicit Visit(const TempFolder& t) : s(t.path(), "stvt", ui) {
        s.load();
        s.activate();
    }
};

// What "Next" of the text stage leaves, beside the siblings the shapes stage starts.
void handOver(const TempFolder& t, const char* letters) {
    t.write("tground.dat", testLetters(letters));
    t.write("wif.dat", "1\r\n1\r\n");
    t.write("shap.dat", "18\r\n0\r\n");
    for (const char* program : {"STV1.EXE", "STV3.EXE"}) {
        std::ofstream(t.path() / program) << "#!/bin/sh\n";
        std::filesystem::permissions(t.path() / program, std::filesystem::perms::owner_all);
    }
}

// "Stencil 2026": Arch at H 6 in, h 4 in, the connection ticked and one pair spaced, then back
// to the text stage.
std::string workedOn(const TempFolder& t) {
    handOver(t, "stencil.dat");
    Visit v(t);
    v.ui.typedText1 = "6";
    v.ui.typedText2 = "4";
    v.s.chooseShape(9);
    v.s.tickConnection();
    v.s.model().signDistanceA[2] = 0.05;
    v.s.returnToTextStage();
    for (const auto& m : v.ui.messages) ADD_FAILURE() << m.title << "|" << m.text;
    return t.read("stv2b.dat");
}

}  // namespace

TEST(WayBack, TheSameLettersTakeUpTheSavedStateWhole) {
    TempFolder t;
    const std::string saved = workedOn(t);
    {
        Visit v(t);  // the same text handed over again: a different font would change only the file
        EXPECT_TRUE(v.ui.messages.empty());
        EXPECT_EQ(v.s.model().shapeNumber, 9);
        EXPECT_DOUBLE_EQ(v.s.model().bigHeight, 6 * 25.4);
        EXPECT_DOUBLE_EQ(v.s.model().smallHeight, 4 * 25.4);
        EXPECT_EQ(v.s.controls().Check2.value(), 1);
        EXPECT_FALSE(v.s.model().barLines.empty() && v.s.model().barArcs.empty());  // the bar is built
        v.s.closeWindow();
    }
    EXPECT_EQ(t.read("stv2b.dat"), saved);
}

TEST(WayBack, OtherLettersKeepAllButTheSpacingAndSaySo) {
    TempFolder t;
    const std::string saved = workedOn(t);
    handOver(t, "stencil7.dat");  // one letter changed
    Visit v(t);
    ASSERT_EQ(v.ui.messages.size(), 1u);
    EXPECT_EQ(v.ui.messages[0].text, kLettersChangedNote);
    EXPECT_EQ(v.s.model().shapeNumber, 9);
    EXPECT_DOUBLE_EQ(v.s.model().bigHeight, 6 * 25.4);
    EXPECT_DOUBLE_EQ(v.s.model().smallHeight, 4 * 25.4);
    EXPECT_EQ(v.s.controls().Check2.value(), 1);
    EXPECT_FALSE(anySignDistance(v.s.model()));
    v.s.closeWindow();
    // the state now belongs to the new letters: handed over again, they resume without a word
    Visit again(t);
    EXPECT_TRUE(again.ui.messages.empty());
    EXPECT_EQ(again.s.model().shapeNumber, 9);
    EXPECT_NE(saved, t.read("stv2b.dat"));  // the spacing went
}

// A state saved by an earlier version (no stv2text.dat) belongs to no known letters: a fresh start.
TEST(WayBack, AStateOfUnknownLettersIsLeftAlone) {
    TempFolder t;
    workedOn(t);
    std::filesystem::remove(t.path() / "workfiles" / "stv2text.dat");
    Visit v(t);
    EXPECT_TRUE(v.ui.messages.empty());
    EXPECT_EQ(v.s.model().shapeNumber, 0);
    EXPECT_FALSE(anySignDistance(v.s.model()));
}

#include "shapes/hand_over.h"

#include <gtest/gtest.h>

#include "shapes/ui.h"
#include "workfile/workfile_io.h"
#include "support/temp_folder.h"

using namespace shapes;
using namespace testsupport;

namespace {
std::string folderOf(const TempFolder& t) { return t.path().string() + "/"; }
}  // namespace

// top.dat: short, unparsable or oversized files place the window at the default; the place the
// window has when it hands over is written with lines 3-4 as they were read.
TEST(HandOver, TopDatPlacesTheWindowAndKeepsItsOtherLines) {
    TempFolder t;
    HeadlessUi ui;
    const auto place = [&](const std::string& content) {
        t.write("top.dat", content);
        const WindowPlace p = HandOver(folderOf(t), ui).readWindowPlace();
        return std::make_pair(p.topTwips, p.leftTwips);
    };
    EXPECT_EQ(place("-1\r\n500\r\n"), std::make_pair(200, 200));
    EXPECT_EQ(place("1\r\n"), std::make_pair(200, 200));  // 3 bytes: ignored
    EXPECT_EQ(place(crlf({"ab", "cd", "", ""})), std::make_pair(0, 0));  // unparsable: 0, 0
    EXPECT_EQ(place(crlf({"99999999999", "1"})), std::make_pair(200, 200));  // does not fit
    EXPECT_EQ(place(crlf({" 3000", " 4500", "kept three", "kept four"})), std::make_pair(3000, 4500));

    struct PlacedUi : HeadlessUi {
        bool windowPlace(int& top, int& left) override {
            top = 1234;
            left = 100;
            return true;
        }
    } placed;
    for (Ui* port : std::initializer_list<Ui*>{&placed, &ui}) {
        t.write("top.dat", crlf({" 3000", " 4500", "kept three", "kept four"}));
        HandOver h(folderOf(t), *port);
        h.readWindowPlace();
        t.write("top.dat", "changed meanwhile\r\n");
        wf::FileSet set;
        h.keepWindowPlace(set);
        set.commit();
        const char* top = port == &placed ? " 1234" : " 3000";  // without a window: as stored
        const char* left = port == &placed ? " 100" : " 4500";
        EXPECT_EQ(t.read("top.dat"), crlf({top, left, "kept three", "kept four"}));
    }
    writeTopDat(t.path(), 1234.5, 99.6, readTopDat(t.path()));  // twips rounded to whole ones
    EXPECT_EQ(t.read("top.dat"), crlf({" 1234", " 100", "kept three", "kept four"}));
}

// The way back starts the text stage's variant that shap.dat names, with the fresh token, and
// ends the program without saving; a shap.dat too short is a file error, and it ends all the same.
TEST(HandOver, BackToTheTextStageFollowsShapDat) {
    for (const auto& [shap, program] : std::vector<std::pair<std::string, std::string>>{
             {crlf({"x", " 1"}), "STV1b.EXE"}, {crlf({"x", " 2"}), "STV1.EXE"}, {crlf({"x", ""}), "STV1.EXE"}}) {
        TempFolder t;
        t.addProgram("STV1.EXE");
        t.addProgram("STV1b.EXE");
        t.write("shap.dat", shap);
        HeadlessUi ui;
        HandOver h(folderOf(t), ui);
        h.toTextStage();
        ASSERT_EQ(ui.started.size(), 1u) << shap;
        EXPECT_EQ(ui.started[0].program, folderOf(t) + program);
        EXPECT_EQ(ui.started[0].arguments, std::vector<std::string>{"stvt"});
        EXPECT_TRUE(ui.terminated && h.ended());
        EXPECT_FALSE(t.exists("stv2b.dat"));  // nothing is saved
    }
    TempFolder t;
    t.addProgram("STV1.EXE");
    t.write("shap.dat", crlf({"x"}));
    HeadlessUi ui;
    HandOver h(folderOf(t), ui);
    h.toTextStage();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title + "|" + ui.messages[0].text, "End|File access error !");
    EXPECT_EQ(ui.fileErrors, 1);
    EXPECT_TRUE(ui.started.empty());
    EXPECT_TRUE(ui.terminated && h.ended());
}

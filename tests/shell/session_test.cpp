#include "shell/session.h"

#include <gtest/gtest.h>

#include "engine/contours.h"
#include "shell/workfile_io.h"
#include "support/temp_folder.h"
#include "support/tground.h"

using namespace shell;
using namespace testsupport;

namespace {

const std::string kTwoLetters =
    tground("AB", {{"A", 30, square(-5, 0, 20), {{"1", 5, 8, 5, 20}}}, {"B", 5, square(0, 0, 10), {}}});

struct Started {
    HeadlessUi ui;
    std::unique_ptr<Session> s;
    WindowPlace place{};
    Started(const TempFolder& t, const std::string& commandLine) {
        s = std::make_unique<Session>(t.path(), commandLine, ui);
        place = s->load();
        s->activate();
    }
};

}  // namespace

TEST(StartUp, FreshFolderCreatesTheProbedFilesAndUsesDefaults) {
    TempFolder t;
    t.write("tground.dat", kTwoLetters);
    Started r(t, "stvt");
    EXPECT_EQ(r.place.topTwips, 200);
    EXPECT_EQ(r.place.leftTwips, 200);
    for (const char* f : {"top.dat", "th.dat", "workfile.dcc"}) {
        EXPECT_TRUE(t.exists(f)) << f;
        EXPECT_EQ(t.read(f), "") << f;
    }
    EXPECT_EQ(r.s->presets.minArcLength, 0.1016);
    EXPECT_EQ(r.s->presets.maxArcRadius, 8890);
    EXPECT_EQ(r.s->presets.minArcRadius, 0.1);
    EXPECT_EQ(r.s->presets.fitTolerance, 0.05);
    EXPECT_TRUE(r.ui.messages.empty());
    EXPECT_FALSE(r.ui.terminated);
    EXPECT_TRUE(r.s->firstActivationDone);
    EXPECT_TRUE(r.s->controls.Bild1);
    // the text is scaled to h = 4 inches: 20 mm tall letters become 101.6 mm
    EXPECT_EQ(r.s->controls.Texth.value(), " 4");
    EXPECT_EQ(r.s->controls.Textv.value(), " 9");  // 45 mm wide, times 5.08
    // a bridge exists, so the aperture limits were fixed for h = 101.6 mm
    EXPECT_EQ(r.s->apertureWidthMin, 0.3048);
    EXPECT_DOUBLE_EQ(r.s->apertureWidthMax, 10.16);
    EXPECT_EQ(r.s->controls.Text4.value(), " .08");
    // the view window is the fitted one, not the default
    EXPECT_LT(r.s->model.view.xmin, 0);
    EXPECT_GT(r.s->paintCount, 0);
    // a later activation changes nothing but the factor
    r.s->hmaxFactor = 3;
    r.s->model.smallHeight = 50;
    r.s->activate();
    EXPECT_EQ(r.s->hmaxFactor, 0.8);
    EXPECT_EQ(r.s->model.smallHeight, 50);
}

TEST(StartUp, CommandLineTokenDecidesTheStart) {
    struct Case {
        const char* line;
        bool runs;
    } cases[] = {{"stvt", true},     {" st vt ", true}, {"st\tvt", false}, {"STVT", false},
                 {"", false},        {"stvt4", false},  {"stvt ", true},
                 {"stvt3", true},    {"s t v t 3", true}};
    for (const auto& c : cases) {
        TempFolder t;
        t.write("tground.dat", kTwoLetters);
        t.addProgram("zodu.exe");
        Started r(t, c.line);
        EXPECT_EQ(r.ui.terminated, !c.runs) << '"' << c.line << '"';
        if (!c.runs) {
            ASSERT_EQ(r.ui.started.size(), 1u);
            EXPECT_EQ(r.ui.started[0].program, t.path().string() + "/zodu.exe");
            EXPECT_TRUE(r.ui.started[0].arguments.empty());
            EXPECT_EQ(r.s->model.elements.size(), 0u);  // nothing loaded
            EXPECT_EQ(r.s->paintCount, 0);
        } else {
            EXPECT_TRUE(r.ui.started.empty());
            EXPECT_GT(r.s->model.elements.size(), 0u);
        }
    }
    // without the start program the program still ends
    TempFolder t;
    Started r(t, "");
    EXPECT_TRUE(r.ui.terminated);
    EXPECT_TRUE(r.ui.started.empty());
    EXPECT_TRUE(r.ui.messages.empty());
}

TEST(WorkFiles, TopDatPlacesTheWindow) {
    TempFolder t;
    t.write("tground.dat", kTwoLetters);
    t.write("top.dat", "-1\r\n500\r\n");
    EXPECT_EQ(Started(t, "stvt").place.leftTwips, 200);
    t.write("top.dat", crlf({" 3000", " 4500", "kept three", "kept four"}));
    Started r(t, "stvt");
    EXPECT_EQ(r.place.topTwips, 3000);
    EXPECT_EQ(r.place.leftTwips, 4500);
    writeTopDat(t.path(), 1234.5, 99.6, r.s->topDat);
    EXPECT_EQ(t.read("top.dat"), crlf({" 1234", " 100", "kept three", "kept four"}));
    t.write("top.dat", "1\r\n");  // 3 bytes: ignored
    EXPECT_EQ(Started(t, "stvt").place.topTwips, 200);
    t.write("top.dat", crlf({"ab", "cd", "", ""}));  // unparsable: 0, 0
    Started z(t, "stvt");
    EXPECT_EQ(z.place.topTwips, 0);
    EXPECT_EQ(z.place.leftTwips, 0);
    t.write("top.dat", crlf({"99999999999", "1"}));  // does not fit: default place
    EXPECT_EQ(Started(t, "stvt").place.topTwips, 200);
}

TEST(WorkFiles, ThDatRangesAndRewrite) {
    struct Case {
        const char* minLen;
        const char* maxRad;
        double expMin, expMax;
    } cases[] = {{" .0508", " 10000", 0.0508, 10000}, {" .05", " 1999", 0.1016, 8890},
                 {" .1016", " 2000", 0.1016, 2000},   {" .1017", " 10000.5", 0.1016, 8890},
                 {" .07", " 5000", 0.07, 5000},       {"x", "", 0.1016, 8890}};
    for (const auto& c : cases) {
        TempFolder t;
        t.write("th.dat", crlf({"first line", c.minLen, c.maxRad, " 7", " 9"}));
        const Presets p = readThDat(t.path());
        EXPECT_EQ(p.minArcLength, c.expMin) << c.minLen;
        EXPECT_EQ(p.maxArcRadius, c.expMax) << c.maxRad;
        EXPECT_EQ(p.minArcRadius, 0.1);
        EXPECT_EQ(p.fitTolerance, 0.05);
        writeThDat(t.path(), p);
        const auto lines = wf::splitLines(t.read("th.dat"));
        ASSERT_EQ(lines.size(), 5u);
        EXPECT_EQ(lines[0], "first line");
        EXPECT_EQ(wf::parseNumber(lines[1]), c.expMin);
        EXPECT_EQ(lines[3], " .1");
        EXPECT_EQ(lines[4], " .05");
    }
    TempFolder t;
    t.write("th.dat", "abc\r\n");  // long enough, but line 3 is missing: all defaults
    EXPECT_EQ(readThDat(t.path()).maxArcRadius, 8890);
    writeThDat(t.path(), Presets{});
    EXPECT_EQ(t.read("th.dat"), crlf({"abc", " .1016", " 8890", " .1", " .05"}));
    t.write("th.dat", "");
    writeThDat(t.path(), Presets{});
    EXPECT_EQ(t.read("th.dat"), crlf({"", " .1016", " 8890", " .1", " .05"}));
}

TEST(SavedState, WriteThenResumeGivesTheSameState) {
    TempFolder t;
    t.write("tground.dat", kTwoLetters);
    SavedState s;
    s.shapeNumber = 7;
    s.smallHeight = 50.8;
    s.bigHeight = 127;
    s.apertureWidthMin = 0.3048;
    s.apertureWidthMax = 5.08;
    for (int i = 0; i < 256; ++i) {
        s.signDistanceA[i] = i * 0.01;
        // distances of "Remove empty space" refuse "Cut"; only entries it does not look at here
        s.signDistanceB[i] = i == 0 || i > 250 ? -i * 0.254 : 0;
    }
    s.check1 = true;  // (a visible knot slider ticks "On" when it is moved on resuming)
    s.check2 = true;
    s.check4 = true;
    s.check3 = true;
    s.text4 = " .05";
    s.text5 = "0.1 typed";
    s.text6 = " .16";
    s.hscroll2 = -20;
    s.frame11Visible = true;
    s.hscroll1 = -735;
    writeStv2b(t.path(), s);
    EXPECT_EQ(wf::splitLines(t.read("stv2b.dat")).size(), 529u);

    Started r(t, "stvt3");
    const SavedState back = r.s->currentState();
    EXPECT_EQ(back.shapeNumber, 7);
    EXPECT_EQ(back.smallHeight, 50.8);
    EXPECT_EQ(back.bigHeight, 127);
    EXPECT_EQ(back.apertureWidthMin, 0.3048);
    EXPECT_EQ(back.apertureWidthMax, 5.08);
    for (int i = 0; i < 256; ++i) {  // the file keeps 15 significant digits
        EXPECT_EQ(back.signDistanceA[i], wf::parseNumber(wf::formatNumber(s.signDistanceA[i])));
        EXPECT_EQ(back.signDistanceB[i], wf::parseNumber(wf::formatNumber(s.signDistanceB[i])));
    }
    EXPECT_EQ(back.check1, true);
    EXPECT_EQ(back.check2, true);
    EXPECT_EQ(back.check4, true);
    EXPECT_EQ(back.check3, true);
    EXPECT_EQ(back.text5, "0.1 typed");
    EXPECT_EQ(back.text6, " .16");
    EXPECT_EQ(back.hscroll2, -20);
    EXPECT_EQ(back.frame11Visible, true);
    EXPECT_EQ(back.hscroll1, -735);
    EXPECT_EQ(r.s->knotPosition, -735);
    EXPECT_TRUE(r.s->controls.Frame9);
    EXPECT_TRUE(r.s->controls.Check4.visible);
    EXPECT_FALSE(r.s->controls.Picture4);
    EXPECT_FALSE(r.s->loadingSettings);
    // written again, the file is the same byte for byte
    const std::string first = t.read("stv2b.dat");
    r.s->writeSavedState();
    EXPECT_EQ(t.read("stv2b.dat"), first);
}

TEST(SavedState, ShortOrDamagedFilesRestoreSafely) {
    TempFolder t;
    t.write("tground.dat", kTwoLetters);
    t.write("stv2b.dat", "5\r");  // 2 bytes: nothing restored
    Started r(t, "stvt3");
    EXPECT_EQ(r.s->model.shapeNumber, 0);
    EXPECT_EQ(r.s->model.smallHeight, 101.6);
    EXPECT_EQ(r.s->controls.Texth.value(), " 4");

    // a file cut after the heights: what was read stays, the guard flag is cleared
    t.write("stv2b.dat", crlf({" 3", " 76.2", " 152.4"}));
    Started c(t, "stvt3");
    EXPECT_EQ(c.s->model.shapeNumber, 3);
    EXPECT_EQ(c.s->model.smallHeight, 76.2);
    EXPECT_FALSE(c.s->loadingSettings);
    EXPECT_EQ(c.s->controls.Texth.value(), " 6");  // h = 3 in, bent to H = 6 in at the ends
    EXPECT_TRUE(c.ui.messages.empty());

    // without the connection, orgdim.dat decides "Create as one object"
    SavedState s;
    writeStv2b(t.path(), s);
    t.write("orgdim.dat", "0\r\n");
    EXPECT_EQ(Started(t, "stvt3").s->controls.Check5.value(), 0);
    t.write("orgdim.dat", " 1\r\n");
    EXPECT_EQ(Started(t, "stvt3").s->controls.Check5.value(), 1);
    t.write("orgdim.dat", "1.4\r\n");  // rounds to 1
    EXPECT_EQ(Started(t, "stvt3").s->controls.Check5.value(), 1);
    // flags count only when exactly 1
    std::vector<std::string> lines = wf::splitLines(t.read("stv2b.dat"));
    lines[517] = "1.4";
    std::string text;
    for (const auto& l : lines) text += l + "\r\n";
    t.write("stv2b.dat", text);
    EXPECT_EQ(Started(t, "stvt3").s->controls.Check1.value(), 0);
}

TEST(Closing, HandsOverToTheLaterStageOrSaysWhy) {
    {
        TempFolder t;
        t.write("tground.dat", kTwoLetters);
        t.write("wif.dat", crlf({"kept as it is", "1"}));
        t.addProgram("STV3.EXE");
        Started r(t, "stvt");
        EXPECT_TRUE(r.s->closeWindow());
        EXPECT_EQ(t.read("wif.dat"), crlf({"kept as it is", "0"}));
        ASSERT_EQ(r.ui.started.size(), 1u);
        EXPECT_EQ(r.ui.started[0].program, t.path().string() + "/STV3.EXE");
        EXPECT_EQ(r.ui.started[0].arguments, std::vector<std::string>{"stvt"});
        EXPECT_TRUE(r.ui.terminated);
        EXPECT_TRUE(r.ui.messages.empty());
    }
    auto expectRefused = [](const TempFolder& t, Started& r) {
        EXPECT_FALSE(r.s->exitMenu());
        ASSERT_EQ(r.ui.messages.size(), 1u);
        EXPECT_EQ(r.ui.messages[0].text, "File access error !");
        EXPECT_EQ(r.ui.messages[0].title, "Error");
        EXPECT_EQ(r.ui.messages[0].icon, Icon::Critical);
        EXPECT_TRUE(r.ui.started.empty());
        EXPECT_FALSE(r.ui.terminated);
        EXPECT_FALSE(r.s->wheelHookInstalled);
        (void)t;
    };
    {
        TempFolder t;  // no wif.dat
        t.write("tground.dat", kTwoLetters);
        t.addProgram("STV3.EXE");
        Started r(t, "stvt");
        expectRefused(t, r);
    }
    {
        TempFolder t;  // wif.dat of one line
        t.write("tground.dat", kTwoLetters);
        t.write("wif.dat", "1\r\n");
        t.addProgram("STV3.EXE");
        Started r(t, "stvt");
        expectRefused(t, r);
        EXPECT_EQ(t.read("wif.dat"), "1\r\n");
    }
    {
        TempFolder t;  // no STV3.EXE
        t.write("tground.dat", kTwoLetters);
        t.write("wif.dat", crlf({"x", "1"}));
        Started r(t, "stvt");
        expectRefused(t, r);
    }
}

TEST(StartUp, BadLetterFilesGiveTheMessageAndNoCrash) {
    {
        TempFolder t(false);  // no workfiles/ folder at all
        Started r(t, "stvt");
        EXPECT_EQ(r.place.topTwips, 200);
        ASSERT_EQ(r.ui.messages.size(), 1u);
        EXPECT_EQ(r.ui.messages[0].text, "File access error !");
        EXPECT_FALSE(r.ui.terminated);
        EXPECT_FALSE(std::filesystem::exists(t.path() / "workfiles"));
    }
    const std::string garbled[] = {
        "",                                       // empty file
        "AB\r\n0\r\n2\r\n0\r\n0\r\nA\r\n",        // cut short
        std::string(5000, '\x07'),                // garbage, one long line
        crlf({"A", "0", "1", "0", "0", "A", "0", "0", "0", "0", "0", "2", "1", "1", "1", "1", "1", "1", "0"}),
    };
    for (const auto& content : garbled) {
        TempFolder t;
        t.write("tground.dat", content);
        Started r(t, "stvt");
        EXPECT_GE(r.ui.messages.size(), 1u);
        for (const auto& m : r.ui.messages) EXPECT_EQ(m.text, "File access error !");
        EXPECT_TRUE(r.s->controls.Bild1);
        EXPECT_FALSE(r.s->paintSuppressed);
        EXPECT_EQ(t.read("tground.dat"), content);  // the input is never touched
    }
}

TEST(Helpers, DriveBlanksAndFolders) {
    EXPECT_EQ(driveOfPath("C:\\prog\\x"), "C:");
    EXPECT_EQ(driveOfPath("/usr/lib"), "");
    EXPECT_EQ(driveOfPath("AB:"), "");  // the last character is not looked at
    EXPECT_EQ(driveOfPath("AB:x"), "AB:");
    EXPECT_EQ(stripBlanks(std::string(" a b\0c ", 7)), "abc");
    EXPECT_EQ(appFolderOf("/opt/letter kerf/letterkerf"), "/opt/letter kerf/");
    EXPECT_EQ(appFolderOf("/letterkerf"), "/");
}

// The files the shapes stage shares with its siblings, and the ways on: "Start convert" to the
// later stage, back to the text stage, and the text stage handing letters over again.
#include <gtest/gtest.h>

#include "shapes/hand_over.h"
#include "shapes/started.h"

using namespace shapes;
using namespace testsupport;
using Lines = std::vector<std::string>;

// top.dat: short, unparsable or oversized files place the window at the default; the place the
// window has when it hands over is written with lines 3-4 as they were read.
TEST(HandOverFiles, TopDatPlacesTheWindowAndKeepsItsOtherLines) {
    TempFolder t;
    HeadlessUi ui;
    const std::string folder = t.path().string() + "/";
    for (const auto& [content, top, left] : {std::tuple{"-1\r\n500\r\n", 200, 200}, {"1\r\n", 200, 200},
                                             {"ab\r\ncd\r\n\r\n\r\n", 0, 0}, {"99999999999\r\n1\r\n", 200, 200},
                                             {" 3000\r\n 4500\r\nkept three\r\nkept four\r\n", 3000, 4500}}) {
        t.write("top.dat", content);
        const WindowPlace p = HandOver(folder, ui).readWindowPlace();
        EXPECT_EQ(std::make_pair(p.topTwips, p.leftTwips), std::make_pair(top, left)) << content;
    }
    struct PlacedUi : HeadlessUi {
        bool windowPlace(int& top, int& left) override { return top = 1234, left = 100, true; }
    } placed;
    for (Ui* port : std::initializer_list<Ui*>{&placed, &ui}) {  // without a window: as stored
        HandOver h(folder, *port);
        h.readWindowPlace();
        t.write("top.dat", "changed meanwhile\r\n");
        wf::FileSet set;
        h.keepWindowPlace(set);
        set.commit();
        EXPECT_EQ(t.read("top.dat"), crlf({port == &ui ? " 3000" : " 1234", port == &ui ? " 4500" : " 100", "kept three", "kept four"}));
        t.write("top.dat", crlf({" 3000", " 4500", "kept three", "kept four"}));
    }
    writeTopDat(t.path(), 1234.5, 99.6, readTopDat(t.path()));  // twips rounded to whole ones, half to even
    EXPECT_EQ(t.read("top.dat"), crlf({" 1234", " 100", "kept three", "kept four"}));
}

// th.dat: values outside their ranges fall back to the defaults; line 1 is kept on rewriting.
TEST(HandOverFiles, ThDatRangesAndRewrite) {
    const struct {
        const char *minLen, *maxRad;
        double expMin, expMax;
    } cases[] = {{" .0508", " 10000", 0.0508, 10000}, {" .05", " 1999", 0.1016, 8890},
                 {" .1016", " 2000", 0.1016, 2000},   {" .1017", " 10000.5", 0.1016, 8890},
                 {" .07", " 5000", 0.07, 5000},       {"x", "", 0.1016, 8890}};
    TempFolder t;
    for (const auto& c : cases) {
        t.write("th.dat", crlf({"first line", c.minLen, c.maxRad, " 7", " 9"}));
        const Presets p = readThDat(t.path());
        EXPECT_EQ(std::make_tuple(p.minArcLength, p.maxArcRadius, p.minArcRadius, p.fitTolerance),
                  std::make_tuple(c.expMin, c.expMax, 0.1, 0.05)) << c.minLen << "|" << c.maxRad;
    }
    writeThDat(t.path(), readThDat(t.path()));
    EXPECT_EQ(t.read("th.dat"), crlf({"first line", " .1016", " 8890", " .1", " .05"}));
    t.write("th.dat", "abc\r\n");  // long enough, but line 3 is missing: all defaults
    EXPECT_EQ(readThDat(t.path()).maxArcRadius, 8890);
    writeThDat(t.path(), Presets{.minArcLength = 0.07, .maxArcRadius = 5000});
    EXPECT_EQ(t.read("th.dat"), crlf({"abc", " .07", " 5000", " .1", " .05"}));
}

// The bytes of hl.dat, c3.dat and orgdim.dat as the later stage reads them.
TEST(HandOverFiles, BridgeTableSummaryAndOneObjectFlag) {
    TempFolder t;
    engine::Model m;
    m.bridges.push(engine::Bridge{1, 0.5, -2, 10, 25.4, 1, 20});
    m.bridges.push(engine::Bridge{2, 1e-7, 0, -1000, 101.6, 2, 20});
    writeHlDat(t.path(), m);
    EXPECT_EQ(t.read("hl.dat"), crlf({" 2", " 1", " .5", "-2", " 10", " 25.4", " 2", " 1E-07", " 0", "-1000", " 101.6"}));
    writeC3Dat(t.path(), 101.6 / 200, " .08", 101.6);
    EXPECT_EQ(t.read("c3.dat"), crlf({" .508", "1", " .08", " 0", " 101.6", " 101.6"}));
    for (const bool one : {true, false}) {
        writeOrgdim(t.path(), one);
        EXPECT_EQ(t.read("orgdim.dat"), one ? "1\r\n" : "0\r\n");
        EXPECT_EQ(readOrgdim(t.path()), one);
    }
}

// Every hand-over file written in internal units (letter height 200), the later stage started
// with the fresh-start token and the program ended; 780 is still within the size limit.
TEST(StartConvert, WritesEveryHandOverFileAndStartsTheLaterStage) {
    Started c(sampleLetters());
    c.t.addProgram("STV3.EXE");
    c.c().Check2.set(1);  // with the bar
    c.c().Texth.set(" 780");
    c.c().Textv.set(" 780");
    c.s->startConvert();
    EXPECT_EQ(c.last(), "");
    ASSERT_EQ(c.ui().started.size(), 1u);
    EXPECT_EQ(c.ui().started[0].program, c.s->appFolder() + "STV3.EXE");
    EXPECT_EQ(c.ui().started[0].arguments, Lines{"stvt"});
    EXPECT_TRUE(c.ui().terminated);
    EXPECT_FALSE(c.s->zoom().wheelHooked());
    const auto lines = [&](const char* name) { return wf::splitLines(c.t.read(name)); };
    EXPECT_EQ(lines("c3.dat")[0], " .508");  // the sample letters are 101.6 mm high
    EXPECT_EQ(lines("workrl.dat").back(), "s");
    EXPECT_EQ(lines("hl.dat").size(), 1 + 5 * 6u);  // the sample "ABC": A and both counters of B hang by two
    EXPECT_EQ(lines("stv2b.dat").size(), std::size_t(kStv2bLines));
    EXPECT_EQ(lines("orgdim.dat")[0], "1");
    EXPECT_FALSE(lines("top.dat").empty());
}

// Failures never start the later stage on a missing or partial hand-over. Past the size check
// the program ends with the state saved for the resume.
TEST(StartConvert, FailuresNeverStartTheLaterStageOnAPartialHandOver) {
    const struct {
        const char* what;
        void (*spoil)(Started<>&);
        const char* message;
        bool ends, contoursWritten;
    } cases[] = {
        {"too large", [](Started<>& c) { c.c().Textv.set(" 780.5"); },
         "Contour dimensions too large !| Please change the dimensions. Maximum height or width = 780. ", false, false},
        {"workrl.dat taken", [](Started<>& c) { fs::create_directories(c.t.work("workrl.dat") / "x"); },
         "Error|File access error !", true, false},
        {"letters unreadable", [](Started<>& c) { c.t.write("tground.dat", ""); }, "Error|File access error !", true, false},
        {"later stage cannot run", [](Started<>& c) { std::ofstream(c.t.path() / "STV3.EXE") << "not a program"; },
         "Ende|STV3.EXE not found !", true, true},
        {"no work folder", [](Started<>& c) { fs::remove_all(c.t.path() / "workfiles"); }, "Error|File access error !", true, false},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        Started c;
        if (std::string(k.what) != "later stage cannot run") c.t.addProgram("STV3.EXE");
        k.spoil(c);
        c.s->startConvert();
        EXPECT_EQ(c.last(), k.message);
        EXPECT_EQ(c.ui().messages.size(), 1u);
        EXPECT_TRUE(c.ui().started.empty());
        EXPECT_EQ(c.ui().terminated, k.ends);
        EXPECT_EQ(fs::is_regular_file(c.t.work("workrl.dat")), k.contoursWritten);
        if (k.contoursWritten) { EXPECT_EQ(wf::splitLines(c.t.read("workrl.dat")).back(), "s"); }
        const bool saved = k.ends && fs::exists(c.t.path() / "workfiles");
        EXPECT_EQ(wf::splitLines(c.t.read("stv2b.dat")).size(), saved ? std::size_t(kStv2bLines) : 0u);
    }
}

// The way back to the text stage keeps the work ("Create as one object" too), starts the text
// stage's variant that shap.dat names with the fresh token and ends; a shap.dat too short is a
// file error, and it ends all the same.
TEST(WayBack, ToTheTextStageFollowsShapDatAndKeepsTheWork) {
    for (const auto& [shap, program] : std::vector<std::pair<std::string, std::string>>{
             {crlf({"x", " 1"}), "STV1b.EXE"}, {crlf({"x", " 2"}), "STV1.EXE"}, {crlf({"x", ""}), "STV1.EXE"},
             {crlf({"x"}), ""}}) {
        SCOPED_TRACE(shap);
        Started b;
        b.t.addProgram("STV1.EXE");
        b.t.addProgram("STV1b.EXE");
        b.t.write("shap.dat", shap);
        b.c().Check5.set(0);
        b.s->returnToTextStage();
        EXPECT_TRUE(b.s->terminated() && b.ui().terminated);
        EXPECT_EQ(b.t.read("orgdim.dat"), "0\r\n");  // the state itself comes back below
        if (program.empty()) {
            EXPECT_EQ(b.last(), "End|File access error !");
            EXPECT_TRUE(b.ui().started.empty());
            continue;
        }
        EXPECT_EQ(b.last(), "");
        ASSERT_EQ(b.ui().started.size(), 1u);
        EXPECT_EQ(b.ui().started[0].program, b.s->appFolder() + program);
        EXPECT_EQ(b.ui().started[0].arguments, Lines{"stvt"});
    }
}

namespace {
// "Stencil 2026" handed over by the text stage, then Arch at H 6 in, h 4 in, the connection
// ticked and one pair spaced, and back to the text stage; the saved state.
std::string workedOn(Started<>& v) {
    v.t.write("wif.dat", "1\r\n1\r\n");
    v.t.write("shap.dat", "18\r\n0\r\n");
    v.t.addProgram("STV1.EXE");
    v.t.addProgram("STV3.EXE");
    v.start("stvt");
    v.ui().typedText1 = "6";
    v.ui().typedText2 = "4";
    v.s->chooseShape(9);
    v.s->tickConnection();
    v.m().signDistanceA[2] = 0.05;
    v.s->returnToTextStage();
    EXPECT_EQ(v.last(), "");
    return v.t.read("stv2b.dat");
}
}  // namespace

// The text stage's "Next" hands letters over again ("stvt"): the same characters take up the
// saved state as the resume does; other characters keep all but the letter spacing and say so
// once; a state of unknown letters (no stv2text.dat) is a fresh start.
TEST(WayBack, HandedOverAgainTheWorkComesBack) {
    Started v(testLetters("stencil.dat"));
    const std::string saved = workedOn(v);
    v.start("stvt");  // the same text: a different font would change only the file
    EXPECT_EQ(v.last(), "");
    EXPECT_EQ(v.m().shapeNumber, 9);
    EXPECT_FALSE(v.m().barLines.empty() && v.m().barArcs.empty());  // the bar is built
    EXPECT_TRUE(v.s->closeWindow());  // everything taken up: the state written on leaving is the same
    EXPECT_EQ(v.t.read("stv2b.dat"), saved);

    v.t.write("tground.dat", testLetters("stencil7.dat"));  // one letter changed
    v.start("stvt");
    EXPECT_EQ(v.ui().messages.size(), 1u);
    EXPECT_EQ(v.ui().messages.back().text, kLettersChangedNote);
    EXPECT_EQ(v.m().shapeNumber, 9);
    EXPECT_DOUBLE_EQ(v.m().bigHeight, 6 * 25.4);
    EXPECT_DOUBLE_EQ(v.m().smallHeight, 4 * 25.4);
    EXPECT_EQ(v.c().Check2.value(), 1);
    EXPECT_FALSE(anySignDistance(v.m()));
    v.s->closeWindow();
    v.start("stvt");  // the state now belongs to the new letters: taken up without a word
    EXPECT_EQ(v.last(), "");
    EXPECT_EQ(v.m().shapeNumber, 9);

    fs::remove(v.t.work("stv2text.dat"));
    v.start("stvt");
    EXPECT_EQ(v.last(), "");
    EXPECT_EQ(v.m().shapeNumber, 0);
}

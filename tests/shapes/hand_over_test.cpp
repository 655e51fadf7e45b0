// The files the shapes stage shares with its siblings, and the ways on: "Start convert" to the
// later stage, back to the text stage, and the text stage handing letters over again.
#include <gtest/gtest.h>

#include "shapes/hand_over.h"
#include "shapes/started.h"

using namespace shapes;
using namespace testsupport;
using Lines = std::vector<std::string>;

// The small files as the siblings read them. top.dat: short, unparsable or oversized files place
// the window at the default; the place the window has when it hands over is written with lines
// 3-4 as they were read. th.dat: values outside their ranges fall back to the defaults; line 1
// is kept on rewriting. hl.dat and c3.dat: their bytes (orgdim.dat's are proven on the ways on,
// read back by the resume).
TEST(HandOverFiles, TopThHlAndC3AsTheSiblingsReadThem) {
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
    for (Ui* port : std::initializer_list<Ui*>{&ui, &placed}) {  // without a window: as stored
        HandOver h(folder, *port);
        h.readWindowPlace();
        t.write("top.dat", "changed meanwhile\r\n");
        wf::FileSet set;
        h.keepWindowPlace(set);
        set.commit();
        EXPECT_EQ(t.read("top.dat"), crlf({port == &ui ? " 3000" : " 1234", port == &ui ? " 4500" : " 100", "kept three", "kept four"}));
    }
    writeTopDat(t.path(), 2344.5, 98.6, readTopDat(t.path()));  // twips rounded to whole ones, half to even
    EXPECT_EQ(t.read("top.dat"), crlf({" 2344", " 99", "kept three", "kept four"}));

    for (auto [minLen, maxRad, expMin, expMax] :
         {std::tuple{" .0508", " 10000", 0.0508, 10000.0}, {" .05", " 1999", 0.1016, 8890.0},
          {" .1016", " 2000", 0.1016, 2000.0}, {" .1017", " 10000.5", 0.1016, 8890.0},
          {" .07", " 5000", 0.07, 5000.0}, {"x", "", 0.1016, 8890.0}}) {
        t.write("th.dat", crlf({"first line", minLen, maxRad, " 7", " 9"}));
        const Presets p = readThDat(t.path());
        EXPECT_EQ(std::make_tuple(p.minArcLength, p.maxArcRadius, p.minArcRadius, p.fitTolerance),
                  std::make_tuple(expMin, expMax, 0.1, 0.05)) << minLen << "|" << maxRad;
    }
    writeThDat(t.path(), readThDat(t.path()));
    EXPECT_EQ(t.read("th.dat"), crlf({"first line", " .1016", " 8890", " .1", " .05"}));
    t.write("th.dat", "abc\r\n");  // long enough, but line 3 is missing: all defaults
    EXPECT_EQ(readThDat(t.path()).maxArcRadius, 8890);
    writeThDat(t.path(), Presets{.minArcLength = 0.07, .maxArcRadius = 5000});
    EXPECT_EQ(t.read("th.dat"), crlf({"abc", " .07", " 5000", " .1", " .05"}));

    engine::Model m;
    m.bridges.push(engine::Bridge{1, 0.5, -2, 10, 25.4, 1, 20});
    m.bridges.push(engine::Bridge{2, 1e-7, 0, -1000, 101.6, 2, 20});
    writeHlDat(t.path(), m);
    EXPECT_EQ(t.read("hl.dat"), crlf({" 2", " 1", " .5", "-2", " 10", " 25.4", " 2", " 1E-07", " 0", "-1000", " 101.6"}));
    writeC3Dat(t.path(), 101.6 / 200, " .08", 101.6);
    EXPECT_EQ(t.read("c3.dat"), crlf({" .508", "1", " .08", " 0", " 101.6", " 101.6"}));
}

// "Start convert" writes every hand-over file in internal units (letter height 200), starts the
// later stage with the fresh-start token and ends; 780 is still within the size limit. Failures
// never start it on a missing or partial hand-over; past the size check the program ends with
// the state saved for the resume.
TEST(StartConvert, HandsOverWholeOrNotAtAll) {
    const struct {
        const char* what;
        void (*change)(Started<>&);
        const char* message;
        bool ends, contoursWritten;
    } cases[] = {
        {"with the bar, 780 inches",
         [](Started<>& c) { c.c().Check2.set(1), c.c().Texth.set(" 780"), c.c().Textv.set(" 780"); }, "", true, true},
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
        Started c(sampleLetters());
        if (std::string(k.what) != "later stage cannot run") c.t.addProgram("STV3.EXE");
        k.change(c);
        c.s->startConvert();
        EXPECT_EQ(c.last(), k.message);
        EXPECT_EQ(c.ui().messages.size(), *k.message ? 1u : 0u);
        EXPECT_EQ(c.ui().terminated, k.ends);
        EXPECT_EQ(fs::is_regular_file(c.t.work("workrl.dat")), k.contoursWritten);
        const auto lines = [&](const char* name) { return wf::splitLines(c.t.read(name)); };
        if (k.contoursWritten) { EXPECT_EQ(lines("workrl.dat").back(), "s"); }
        const bool saved = k.ends && fs::exists(c.t.path() / "workfiles");
        EXPECT_EQ(lines("stv2b.dat").size(), saved ? std::size_t(kStv2bLines) : 0u);
        if (*k.message) {
            EXPECT_TRUE(c.ui().started.empty());
            continue;
        }
        ASSERT_EQ(c.ui().started.size(), 1u);
        EXPECT_EQ(c.ui().started[0].program, c.s->appFolder() + "STV3.EXE");
        EXPECT_EQ(c.ui().started[0].arguments, Lines{"stvt"});
        EXPECT_FALSE(c.s->zoom().wheelHooked());
        EXPECT_EQ(lines("c3.dat")[0], " .508");  // the sample letters are 101.6 mm high
        EXPECT_EQ(lines("hl.dat").size(), 1 + 5 * 6u);  // the sample "ABC": A and both counters of B hang by two
        EXPECT_EQ(c.t.read("orgdim.dat"), "1\r\n");
        EXPECT_FALSE(lines("top.dat").empty());
    }
}

// Closing rewrites wif.dat and starts the later stage; the way back keeps the work ("Create as
// one object" too) and starts the text stage's variant that shap.dat names; both with the fresh
// token, and end. Without wif.dat or the program closing says so and stays open (wif.dat's own
// lines are the work-file tests'); a shap.dat too short is a file error, and the way back ends.
TEST(WaysOn, ClosingAndTheWayBackStartTheirSiblingOrSayWhy) {
    const struct {
        const char* what;
        const char* shap;  // the way back with this shap.dat; nullptr: closing
        const char* wif;   // nullptr: no wif.dat
        bool programs;
        const char* started;  // "": nothing started
        const char* message;
    } cases[] = {
        {"closing", nullptr, "kept as it is\r\n1\r\n", true, "STV3.EXE", ""},
        {"closing without wif.dat", nullptr, nullptr, true, "", "Error|File access error !"},
        {"closing without the program", nullptr, "x\r\n1\r\n", false, "", "Error|File access error !"},
        {"back to variant 1", "x\r\n 1\r\n", nullptr, true, "STV1b.EXE", ""},
        {"back to variant 2", "x\r\n 2\r\n", nullptr, true, "STV1.EXE", ""},
        {"back, no variant", "x\r\n\r\n", nullptr, true, "STV1.EXE", ""},
        {"back, shap.dat too short", "x\r\n", nullptr, true, "", "End|File access error !"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        Started b;
        if (k.wif) b.t.write("wif.dat", k.wif);
        for (const char* p : {"STV1.EXE", "STV1b.EXE", "STV3.EXE"})
            if (k.programs) b.t.addProgram(p);
        b.start("stvt");
        const bool ends = k.shap || *k.started;
        if (k.shap) {
            b.t.write("shap.dat", k.shap);
            b.c().Check5.set(0);
            b.s->returnToTextStage();
            EXPECT_EQ(b.t.read("orgdim.dat"), "0\r\n");  // the state itself comes back below
        } else {
            EXPECT_EQ(ends ? b.s->closeWindow() : b.s->exitMenu(), ends);
            EXPECT_FALSE(b.s->zoom().wheelHooked());
        }
        EXPECT_EQ(std::make_pair(b.s->terminated(), b.ui().terminated), std::make_pair(ends, ends));
        EXPECT_EQ(b.last(), k.message);
        EXPECT_EQ(b.ui().messages.size(), *k.message ? 1u : 0u);
        if (*k.message) { EXPECT_EQ(b.ui().messages.back().icon, Icon::Critical); }
        if (!*k.started) {
            EXPECT_TRUE(b.ui().started.empty());
            continue;
        }
        ASSERT_EQ(b.ui().started.size(), 1u);
        EXPECT_EQ(b.ui().started[0].program, b.s->appFolder() + k.started);
        EXPECT_EQ(b.ui().started[0].arguments, Lines{"stvt"});
        if (!k.shap) { EXPECT_EQ(b.t.read("wif.dat"), crlf({"kept as it is", "0"})); }
    }
}

// "Stencil 2026" handed over by the text stage, worked on (Arch at H 6 in, h 4 in, the connection
// ticked, one pair spaced) and taken back to it. Its "Next" hands the letters over again
// ("stvt"): the same characters take up the saved state as the resume does; other characters
// keep all but the letter spacing and say so once; a state of unknown letters (no
// stv2text.dat) is a fresh start.
TEST(WayBack, HandedOverAgainTheWorkComesBack) {
    Started v(testLetters("stencil.dat"));
    v.t.write("wif.dat", "1\r\n1\r\n");
    v.t.write("shap.dat", "18\r\n0\r\n");
    for (const char* p : {"STV1.EXE", "STV3.EXE"}) v.t.addProgram(p);
    v.start("stvt");
    v.ui().typedText1 = "6";
    v.ui().typedText2 = "4";
    v.s->chooseShape(9);
    v.s->tickConnection();
    v.m().signDistanceA[2] = 0.05;
    v.s->returnToTextStage();
    ASSERT_EQ(v.last(), "");
    const std::string saved = v.t.read("stv2b.dat");
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

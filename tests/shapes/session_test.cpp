// The session from start to close: the suite's token, the letters, the saved state and the
// way it comes back, the hand-over on closing, and faults that must end in a message.
#include <gtest/gtest.h>

#include <tuple>

#include "shapes/started.h"

using namespace shapes;
using namespace testsupport;

// First start in a fresh folder: probed files created, text scaled to 4 inches, limits fixed.
TEST(StartUp, FreshFolderCreatesTheProbedFilesAndUsesDefaults) {
    Started r;
    EXPECT_EQ(std::make_tuple(r.place.topTwips, r.place.leftTwips), std::make_tuple(200, 200));
    for (const char* f : {"top.dat", "th.dat", "workfile.dcc"}) EXPECT_EQ(r.t.read(f), "") << f;
    EXPECT_TRUE(r.ui().messages.empty());
    EXPECT_TRUE(r.s->activated() && r.c().Bild1 && r.s->zoom().wheelHooked());
    EXPECT_EQ(r.c().Texth.value(), " 4");  // 20 mm tall letters become 101.6 mm
    EXPECT_EQ(r.c().Textv.value(), " 9");  // 45 mm wide, times 5.08
    EXPECT_EQ(r.s->apertureLimits().min, 0.3048);  // a bridge exists: limits for h = 101.6 mm
    EXPECT_DOUBLE_EQ(r.s->apertureLimits().max, 10.16);
    EXPECT_EQ(r.c().Text4.value(), " .08");
    EXPECT_LT(r.m().view.xmin, 0);  // the fitted view window, not the default
    r.m().smallHeight = 50;  // a later activation changes nothing
    const int redraws = r.ui().redraws;
    r.s->activate();
    EXPECT_EQ(r.m().smallHeight, 50);
    EXPECT_EQ(r.ui().redraws, redraws);
}

// Only the token "stvt" or "stvt3" (blanks dropped, nothing else) starts; anything else hands
// to zodu.exe with no argument and ends, silently when there is none.
TEST(StartUp, CommandLineTokenDecidesTheStart) {
    const struct {
        const char* line;
        bool runs, startProgram = true;
    } cases[] = {{"stvt", true},  {" st vt ", true}, {"st\tvt", false}, {"STVT", false}, {"", false},
                 {"stvt4", false}, {"stvt3", true},  {"s t v t 3", true}, {"", false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("\"") + c.line + "\"" + (c.startProgram ? "" : " without zodu.exe"));
        Started r;
        if (c.startProgram) r.t.addProgram("zodu.exe");
        r.start(c.line);
        const HeadlessUi& ui = r.ui();
        EXPECT_EQ(ui.terminated, !c.runs);
        EXPECT_EQ(r.m().elements.empty(), !c.runs);
        EXPECT_TRUE(ui.messages.empty());
        ASSERT_EQ(ui.started.size(), !c.runs && c.startProgram ? 1u : 0u);
        if (c.runs || !c.startProgram) continue;
        EXPECT_EQ(ui.started[0].program, r.t.path().string() + "/zodu.exe");
        EXPECT_TRUE(ui.started[0].arguments.empty());
        EXPECT_EQ(ui.redraws, 0);
    }
}

// A missing folder, garbled letters or a negative letter count: the file message, the input
// untouched, no handler left half-done; clicks afterwards do no harm.
TEST(StartUp, BadLetterFilesGiveTheMessageAndNoCrash) {
    Started none("", "stvt", false);  // no workfiles/ folder at all
    EXPECT_EQ(none.last(), "Error|File access error !");
    EXPECT_FALSE(fs::exists(none.t.path() / "workfiles"));
    std::string negative = tground("AB", {{"A", 30, square(0, 0, 20), {}}});
    negative.replace(negative.find("\r\n1\r\n"), 5, "\r\n-3\r\n");  // line 3, the count
    for (const std::string& content :
         {std::string(), std::string("AB\r\n0\r\n2\r\n0\r\n0\r\nA\r\n"), std::string(5000, '\x07'), negative,
          crlf({"A", "0", "1", "0", "0", "A", "0", "0", "0", "0", "0", "2", "1", "1", "1", "1", "1", "1", "0"})}) {
        SCOPED_TRACE(content.substr(0, 20));
        Started r(content);
        ASSERT_GE(r.ui().messages.size(), 1u);
        for (const auto& m : r.ui().messages) EXPECT_EQ(m.text, "File access error !");
        EXPECT_TRUE(r.c().Bild1);
        EXPECT_FALSE(r.s->flags().any());
        EXPECT_TRUE(r.s->handleEvent([&] { r.c().Check2.set(1), r.c().Check4.set(1); }));
        EXPECT_EQ(r.t.read("tground.dat"), content);  // the input is never touched
    }
}

// The saved state's fields in the order the siblings read them, line by line; read back and
// written again, the same bytes.
TEST(SavedState, FieldOrderAndTheWayBack) {
    Started r;
    SavedState s{.shapeNumber = 7, .smallHeight = 50.8, .bigHeight = 127, .apertureWidthMin = 0.3048,
                 .apertureWidthMax = 5.08, .check1 = true, .check2 = true, .check4 = true, .check3 = false,
                 .text4 = " .05", .text5 = "0.1 typed", .text6 = " .16", .hscroll2 = -20,
                 .frame11Visible = true, .hscroll1 = -735};
    for (int i = 0; i < 256; ++i) {
        s.signDistanceA[i] = i * 0.01;
        s.signDistanceB[i] = i == 0 || i > 250 ? -i * 0.254 : 0;  // entries "Cut" does not look at
    }
    writeStv2b(r.t.path(), s);
    const auto lines = wf::splitLines(r.t.read("stv2b.dat"));
    ASSERT_EQ(lines.size(), std::size_t(kStv2bLines));
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 9),
              (std::vector<std::string>{" 7", " 50.8", " 127", " .3048", " 5.08", " 0", " 0", " .01", " 0"}));
    EXPECT_EQ(lines[kStv2bSignDistances + 2 * 255], " 2.55");
    EXPECT_EQ(std::vector<std::string>(lines.begin() + kStv2bCheck1, lines.end()),
              (std::vector<std::string>{"1", "1", "1", "0", " .05", "0.1 typed", " .16", "-20", "1", " 1000", "-1000",
                                        "-735"}));

    // read back into the model and the controls, the state they make is written with the same bytes
    r.start("stvt3");
    EXPECT_EQ(r.m().shapeNumber, 7);
    EXPECT_TRUE(r.c().Frame11 && r.c().HScroll1.visible);  // the knot slider, visible, where it was
    EXPECT_FALSE(r.s->flags().any());
    const std::string first = r.t.read("stv2b.dat");
    writeStv2b(r.t.path(), r.s->currentState());
    EXPECT_EQ(r.t.read("stv2b.dat"), first);
}

// A file cut short restores the fields it still holds; "Create as one object" comes from
// orgdim.dat without the connection; a box is ticked only by exactly 1; a box holds one line.
TEST(SavedState, ShortDamagedAndOddFilesRestoreSafely) {
    Started r;
    r.t.write("stv2b.dat", "5\r");  // 2 bytes: nothing restored
    r.start();
    EXPECT_EQ(std::make_tuple(r.m().shapeNumber, r.m().smallHeight), std::make_tuple(std::int16_t(0), 101.6));
    r.t.write("stv2b.dat", crlf({" 3", " 76.2", " 152.4"}));  // cut after the heights
    r.start();
    EXPECT_EQ(std::make_tuple(r.m().shapeNumber, r.m().smallHeight), std::make_tuple(std::int16_t(3), 76.2));
    EXPECT_EQ(r.c().Texth.value(), " 6");  // h = 3 in, bent to H = 6 in at the ends
    EXPECT_TRUE(r.ui().messages.empty());
    EXPECT_FALSE(r.s->flags().any());
    const Stv2bRead part = readStv2b(r.t.path());
    EXPECT_EQ(std::make_tuple(part.present, part.fields), std::make_tuple(true, 3));

    writeStv2b(r.t.path(), SavedState{});
    for (const auto& [orgdim, expected] : {std::pair{"0\r\n", 0}, {" 1\r\n", 1}, {"1.4\r\n", 1}}) {
        r.t.write("orgdim.dat", orgdim);  // 1.4 rounds to 1
        r.start();
        EXPECT_EQ(r.c().Check5.value(), expected) << orgdim;
    }
    auto lines = wf::splitLines(r.t.read("stv2b.dat"));
    lines[kStv2bCheck1] = "1.4";
    std::string text;
    for (const auto& l : lines) text += l + "\r\n";
    r.t.write("stv2b.dat", text);
    r.start();
    EXPECT_EQ(r.c().Check1.value(), 0);

    r.c().Text4.set(std::string(" .1\r\n7\0", 7));
    r.c().Text5.set("0\n1");
    writeStv2b(r.t.path(), r.s->currentState());
    EXPECT_EQ(wf::splitLines(r.t.read("stv2b.dat")).size(), std::size_t(kStv2bLines));
    r.start();
    EXPECT_EQ(std::make_tuple(r.c().Text4.value(), r.c().Text5.value()), std::make_tuple(std::string(" .17"), std::string("01")));
}

// A fault below a handler ends the event with the fault message, not the program; the
// session stays usable and the work files stay whole.
TEST(Faults, NothingEscapesAnEvent) {
    Started<WatchingUi> r;
    const std::string th = r.t.read("th.dat");
    r.ui().atRedraw = [] { throw std::runtime_error("injected"); };
    EXPECT_FALSE(r.s->handleEvent([&] { r.c().Check2.set(1); }));
    ASSERT_EQ(r.ui().messages.size(), 1u);
    EXPECT_EQ(std::make_tuple(r.ui().messages[0].text, r.ui().messages[0].title, r.ui().messages[0].icon),
              std::make_tuple(std::string(kFileAccessError), std::string(wf::kErrorTitle), Icon::Critical));
    EXPECT_EQ(r.ui().enabled, std::vector<bool>{true});  // windows a long operation disabled take input again
    EXPECT_FALSE(r.s->flags().any());
    r.ui().atRedraw = nullptr;  // the next one works
    EXPECT_TRUE(r.s->handleEvent([&] { r.c().Check4.set(1); }));
    EXPECT_EQ(r.ui().messages.size(), 1u);
    EXPECT_FALSE(r.m().barLines.empty());
    EXPECT_EQ(r.t.read("th.dat"), th);
    EXPECT_EQ(r.t.read("tground.dat"), kTwoLetters);
}

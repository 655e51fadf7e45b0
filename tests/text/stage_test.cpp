// "Next" in a program folder: the files it writes, what the shapes stage makes of them, the
// way back, and the failures that must leave everything as it was.

#include "support/temp_folder.h"
#include "text/stage.h"
#include "text_support.h"
#include "workfile/workfile_io.h"

namespace texttest {
namespace {

// "Next" writes the letter file as shown, carrying the bridges placed by hand, shap.dat naming the
// variant to come back to, wif.dat, and starts the shapes stage with "stvt". Coming back reopens
// the same text, font and bridges; the edits stay with their letters while the text grows and go
// with another font. The variant without bridges writes none and leaves the bridges placed by
// hand alone. A bridges file this stage did not write, or one placed for another text, is not
// applied.
TEST(TextStage, NextHandsOverTheBridgesPlacedByHandAndComingBackReopens) {
    TempFolder f;
    f.addProgram("letterkerf");
    suite::HeadlessUi port;
    text::TextStage stage(f.path(), text::Variant::Bridges, port);
    stage.setText("AB \xC3\x84" "8");
    stage.setFont(text::resolveFont("DejaVu Sans:Bold"));
    const text::Lettering placed = stage.lettering();
    text::Lettering l = placed;
    const text::Pt m = text::stripMiddle(l.letters[0].bridges[0], l.stripWidth);
    ASSERT_TRUE(stage.bridgeEdits().move(l, {0, 0}, {m.x + 1, m.y}));  // along the crossbar
    while (!l.letters[1].bridges.empty()) ASSERT_TRUE(stage.bridgeEdits().remove(l, {1, 0}));  // the B's counters let go
    ASSERT_EQ(l.looseCount(), 2u);
    ASSERT_EQ(stage.next(), text::NextOutcome::Started);
    EXPECT_TRUE(port.messages.empty());
    ASSERT_EQ(port.started.size(), 1u);
    EXPECT_EQ(port.started[0].program, (f.path() / "letterkerf").string());
    EXPECT_EQ(port.started[0].arguments, std::vector<std::string>{"stvt"});
    EXPECT_EQ(f.read("wif.dat"), wf::wifDatText());
    // the letters as shown (the shapes stage's loader reads such a file in the bent letters' test)
    const auto handedOver = [&](const text::Lettering& shown, const char* variant) {
        EXPECT_EQ(f.read("tground.dat"), text::groundFile(shown));
        EXPECT_EQ(f.read("shap.dat"), std::string(" 5\r\n") + variant + "\r\n");
    };
    handedOver(l, "0");  // with the bridges as edited
    const std::string savedEdits = f.read(text::kBridgesFile);
    {
        text::TextStage again(f.path(), text::Variant::Bridges, port);
        ASSERT_TRUE(again.reopen());
        EXPECT_EQ(again.text(), "AB \xC3\x84" "8");
        EXPECT_EQ(again.font().family + " " + again.font().style, "DejaVu Sans Bold");
        EXPECT_EQ(text::groundFile(again.lettering()), text::groundFile(l));
        EXPECT_EQ(again.setText("AB \xC3\x84" "8C"), 0u);  // the edits follow the text (the rule is BridgeEdits')
        EXPECT_EQ(again.setFont(text::resolveFont("DejaVu Serif:Bold")), 2u);  // both edited letters
        EXPECT_TRUE(again.bridgeEdits().empty());
    }
    {
        text::TextStage plain(f.path(), text::Variant::NoBridges, port);
        ASSERT_TRUE(plain.reopen());
        EXPECT_EQ(plain.lettering().bridgeCount(), 0u);
        ASSERT_EQ(plain.next(), text::NextOutcome::Started);
        handedOver(plain.lettering(), "1");
        EXPECT_EQ(f.read(text::kBridgesFile), savedEdits);
    }
    EXPECT_EQ(text::variantOfProgram("/x/STV1b.EXE"), text::Variant::NoBridges);
    EXPECT_EQ(text::variantOfProgram("/x/STV1.EXE"), text::Variant::Bridges);

    const std::vector<std::string> lines = wf::splitLines(savedEdits);
    ASSERT_GE(lines.size(), 12u);  // 4 of text and font, 1 count, 3 for the A, its bridge's 5
    const std::pair<std::size_t, const char*> changes[] = {
        {0, "AX"},    // placed for another text
        {2, "Book"},  // ... another style
        {4, "3"},     // more letters than it holds
        {7, "1602"},  // more bridges than the shapes stage holds
        {8, "3"},     // no kind of bridge
        {9, "1E300"}, // a coordinate out of reach
    };
    std::vector<std::string> damaged = {savedEdits.substr(0, savedEdits.size() / 2),
                                        std::string(text::kMaxBridgesFileBytes + 1, '1')};
    for (const auto& [line, value] : changes) {
        std::string out;
        for (std::size_t i = 0; i < lines.size(); ++i) out += (i == line ? std::string(value) : lines[i]) + "\r\n";
        damaged.push_back(out);
    }
    for (const std::string& c : damaged) {
        SCOPED_TRACE(c.substr(0, 40));
        f.write(text::kBridgesFile, c);
        text::TextStage again(f.path(), text::Variant::Bridges, port);
        ASSERT_TRUE(again.reopen());
        EXPECT_EQ(text::groundFile(again.lettering()), text::groundFile(placed));
    }
}

// A refused text writes nothing; the files of "Next" go as one set (a write-protected one
// stops them all); a missing work folder or a shapes stage that cannot start are told, and
// nothing is started after a failed write.
TEST(TextStage, FailuresAreToldAndLeaveFilesAlone) {
    TempFolder f;
    suite::HeadlessUi port;
    text::TextStage stage(f.path(), text::Variant::Bridges, port);
    stage.setText("A\xE4\xB8\xAD");
    EXPECT_EQ(stage.next(), text::NextOutcome::Refused);
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_EQ(port.messages[0].title, "Text");
    EXPECT_EQ(port.messages[0].text.rfind("The font DejaVu Sans Bold has no letter", 0), 0u) << port.messages[0].text;
    EXPECT_TRUE(std::filesystem::is_empty(f.path() / "workfiles"));

    stage.setText("AB");
    f.write("tground.dat", "old\r\n");
    f.write("wif.dat", "1\r\n0\r\n");
    std::filesystem::permissions(f.work("wif.dat"), std::filesystem::perms::owner_read);
    EXPECT_EQ(stage.next(), text::NextOutcome::FileError);
    EXPECT_NE(port.messages.back().text.find("wif.dat is write-protected"), std::string::npos);
    EXPECT_EQ(f.read("tground.dat"), "old\r\n");
    EXPECT_FALSE(f.exists("shap.dat") || f.exists(text::kStateFile));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(f.path() / "workfiles"), {}), 2);
    std::filesystem::permissions(f.work("wif.dat"), std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    EXPECT_EQ(stage.next(), text::NextOutcome::FileError);  // no shapes stage in the folder
    EXPECT_NE(port.messages.back().text.find("cannot be started"), std::string::npos);
    EXPECT_NE(f.read("tground.dat"), "old\r\n");
    EXPECT_TRUE(port.started.empty());

    std::filesystem::remove_all(f.path() / "workfiles");
    EXPECT_EQ(stage.next(), text::NextOutcome::FileError);
    EXPECT_NE(port.messages.back().text.find("workfiles"), std::string::npos);
}

// Coming back reads only a state this stage could have written: a text longer than any it
// takes, or a font name longer than a path, makes the state unreadable (the defaults stay)
// before the text is ever split into letters.
TEST(TextStage, ComingBackRefusesOverlongStateLines) {
    std::string widest;
    for (std::size_t i = 0; i < text::kMaxLetters; ++i) widest += "\xF0\x9F\x98\x80";
    const struct {
        std::string text, family;
        bool reopens;
    } cases[] = {
        {std::string(text::kMaxLetters, 'x'), "DejaVu Serif", true},
        {widest, "DejaVu Serif", true},
        {widest + "x", "DejaVu Serif", false},
        {std::string(40u << 20, 'x'), "DejaVu Serif", false},
        {"AB", std::string(text::kMaxFontNameBytes + 1, 'F'), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.size());
        TempFolder f;
        wf::LineWriter w;
        w.text(c.text).text(c.family).text("Bold").text("").flag(true);
        f.write(text::kStateFile, w.content());
        suite::HeadlessUi port;
        text::TextStage stage(f.path(), text::Variant::Bridges, port);
        EXPECT_EQ(stage.reopen(), c.reopens);
        EXPECT_EQ(stage.text(), c.reopens ? c.text : "");
    }
}

// "Next" gives the folder up just before the shapes stage starts (it may take it); a failed
// start takes the folder back; when another program took it meanwhile, the text stage ends.
TEST(TextStage, NextHandsTheFolderToTheShapesStage) {
    struct StartingPort : suite::HeadlessUi {
        std::function<bool()> onStart;
        bool startProgram(const std::string&, const std::vector<std::string>&) override { return onStart(); }
    } port;
    TempFolder f;
    wf::WorkFolderLock other(f.path() / "workfiles");
    text::TextStage stage(f.path(), text::Variant::Bridges, port);
    ASSERT_TRUE(stage.claimWorkFolder());
    stage.setText("AB");
    port.onStart = [&] { return other.acquire() == wf::LockState::Held; };
    EXPECT_EQ(stage.next(), text::NextOutcome::Started);
    EXPECT_TRUE(other.held());  // given up for good
    other.release();
    ASSERT_TRUE(stage.claimWorkFolder());  // as when the text stage is back
    port.onStart = [] { return false; };
    EXPECT_EQ(stage.next(), text::NextOutcome::FileError);
    EXPECT_EQ(other.acquire(), wf::LockState::Busy);  // taken back
    port.onStart = [&] { return other.acquire() == wf::LockState::Held && false; };  // another comes in
    EXPECT_EQ(stage.next(), text::NextOutcome::Ended);
    EXPECT_EQ(port.messages.back().text, wf::kWorkFolderBusy);
}

// The command line: relative paths count from the caller's folder, the report, the exit codes.
TEST(TextStage, CommandLineWritesTheLettersAndReports) {
    TempFolder f;
    f.addProgram("letterkerf");  // counts as startable; never started without --start
    const fs::path dir = f.path();
    const ProgramRun r = runProgram(LK_TEXT_CLI,
                                    {"--folder", dir.filename().string(), "--text", "STENCIL 0486 &@", "--font",
                                     "Liberation Serif", "--report"},
                                    dir.parent_path());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"looseIslands\": 0"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"arguments\": [\"stvt\"]"), std::string::npos) << r.out;
    // the letters as "Next" in the text stage coming back to the folder writes them
    suite::HeadlessUi port;
    text::TextStage back(dir, text::Variant::Bridges, port);
    ASSERT_TRUE(back.reopen());
    EXPECT_EQ(back.text(), "STENCIL 0486 &@");
    const text::Lettering l = back.lettering();
    EXPECT_EQ(f.read("tground.dat"), text::groundFile(l));
    EXPECT_NE(r.out.find("\"bridgeCount\": " + std::to_string(l.bridgeCount())), std::string::npos) << r.out;

    const ProgramRun help = runProgram(LK_TEXT_CLI, {"--help"}, dir);
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--no-bridges"), std::string::npos);
    const std::pair<std::vector<std::string>, int> statuses[] = {
        {{"--bogus"}, 1}, {{"--text", "A\xE4\xB8\xAD"}, 2}, {{"--font", "No Such Family"}, 2}};
    for (auto [args, status] : statuses) {
        args.insert(args.begin(), {"--folder", dir.string()});
        const ProgramRun run = runProgram(LK_TEXT_CLI, args, dir);
        EXPECT_EQ(run.status, status) << args[2];
        EXPECT_TRUE(status != 2 || run.err.rfind("critical|", 0) == 0) << run.err;
    }
    EXPECT_EQ(runProgram(LK_TEXT_CLI, {"--folder", (dir / "none").string()}, dir).status, 1);
    fs::remove(dir / "letterkerf");
    EXPECT_EQ(runProgram(LK_TEXT_CLI, {"--folder", dir.string(), "--text", "AB"}, dir).status, 3);
}

}  // namespace
}  // namespace texttest

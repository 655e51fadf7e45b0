// "Next" in a program folder: the files it writes, what the shapes stage makes of them, the
// way back, and the failures that must leave everything as it was.

#include <sys/stat.h>

#include <functional>
#include <regex>

#include "engine/contours.h"
#include "workfile/workfile_io.h"
#include "text/stage.h"
#include "text_support.h"

namespace texttest {
namespace {

class RecordingPort : public suite::Ui {
public:
    std::vector<std::string> messages;
    std::vector<std::string> started;
    bool canStart = true;
    void runDialog(suite::YesNoDialog&) override {}
    void terminate() override {}
    void message(const std::string& text, const std::string& title, suite::Icon icon) override {
        messages.push_back(std::string(suite::iconName(icon)) + "|" + title + "|" + text);
    }
    bool startProgram(const std::string& program, const std::vector<std::string>& args) override {
        if (!canStart) return false;
        std::string s = program;
        for (const auto& a : args) s += " " + a;
        started.push_back(s);
        return true;
    }
};

class Folder : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::path(LK_TEST_TMP) / ("text." + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                                       "." + std::to_string(getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "workfiles");
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(dir_ / "workfiles", fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(dir_, ec);
    }
    std::string work(const std::string& name) const { return readAll(dir_ / "workfiles" / name); }
    fs::path dir_;
};

// Both variants: the letter file the shapes stage's own loader reads (bridges only from
// STV1.EXE), shap.dat naming the variant to come back to, wif.dat, and the shapes stage started
// with "stvt". Coming back reopens the same text and font.
TEST_F(Folder, NextHandsOverAndComingBackReopens) {
    for (auto variant : {text::Variant::Bridges, text::Variant::NoBridges}) {
        const bool bridges = variant == text::Variant::Bridges;
        SCOPED_TRACE(text::programName(variant));
        RecordingPort port;
        text::TextStage stage(dir_, variant, port);
        stage.setText("Stencil Ä8");
        stage.setFont(text::resolveFont("DejaVu Serif:Bold"));
        ASSERT_EQ(stage.next(), text::NextOutcome::Started);
        EXPECT_TRUE(port.messages.empty());
        EXPECT_EQ(port.started, std::vector<std::string>{(dir_ / "letterkerf").string() + " stvt"});

        engine::Model m;
        engine::readGroundContours(m, dir_ / "workfiles" / "tground.dat", false);
        EXPECT_EQ(m.groundText, "Stencil Ä8");
        EXPECT_EQ(m.letterCount, 10);
        EXPECT_EQ(m.letterText[9], "Ä");
        EXPECT_EQ(m.bridges.size() > 0, bridges);
        EXPECT_EQ(work("shap.dat"), std::string(" 10\r\n") + (bridges ? "0" : "1") + "\r\n");
        EXPECT_EQ(wf::splitLines(work("wif.dat")).size(), 2u);

        RecordingPort back;
        text::TextStage again(dir_, variant, back);
        ASSERT_TRUE(again.reopen());
        EXPECT_EQ(again.text(), "Stencil Ä8");
        EXPECT_EQ(again.font().family, "DejaVu Serif");
        EXPECT_EQ(again.font().style, "Bold");
        EXPECT_EQ(again.lettering().bridgeCount(), m.bridges.size());
    }
    EXPECT_EQ(text::variantOfProgram("/x/STV1b.EXE"), text::Variant::NoBridges);
    EXPECT_EQ(text::variantOfProgram("/x/STV1.EXE"), text::Variant::Bridges);
}

bool sameBridges(const std::vector<text::Bridge>& a, const std::vector<text::Bridge>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].kind != b[i].kind || length(a[i].p1 - b[i].p1) > 1e-6 || length(a[i].p2 - b[i].p2) > 1e-6) return false;
    return true;
}

// The bridges placed by hand are what tground.dat carries and what coming back reopens; they
// stay with their letters while the text grows and go with another font. A bridges file this
// stage did not write, or one placed for another text, is not applied.
TEST_F(Folder, BridgesPlacedByHandSurviveNextAndComingBack) {
    RecordingPort port;
    text::TextStage stage(dir_, text::Variant::Bridges, port);
    stage.setText("AB");
    stage.setFont(text::resolveFont("DejaVu Sans:Bold"));
    const text::Lettering placed = stage.lettering();
    text::Lettering l = placed;
    const text::Bridge a = l.letters[0].bridges[0];
    const text::Pt m = text::stripMiddle(a, l.stripWidth);
    ASSERT_TRUE(stage.bridgeEdits().move(l, {0, 0}, {m.x + 1, m.y}));  // along the crossbar
    while (!l.letters[1].bridges.empty()) ASSERT_TRUE(stage.bridgeEdits().remove(l, {1, 0}));  // the B's counters let go
    ASSERT_EQ(l.looseCount(), 2u);
    EXPECT_FALSE(sameBridges(l.letters[0].bridges, placed.letters[0].bridges));
    auto expectEdited = [&](const text::Lettering& got) {
        EXPECT_TRUE(sameBridges(got.letters[0].bridges, l.letters[0].bridges));
        EXPECT_TRUE(sameBridges(got.letters[1].bridges, l.letters[1].bridges));
        EXPECT_EQ(got.looseCount(), 2u);
    };
    expectEdited(stage.lettering());
    ASSERT_EQ(stage.next(), text::NextOutcome::Started);
    const GroundFile g = tooltest::parseGroundFile(work("tground.dat"));
    EXPECT_EQ(g.loose, 2);
    EXPECT_EQ(checkStencil(g).looseIslands, 2);
    ASSERT_EQ(g.letters[0].bridges.size(), l.letters[0].bridges.size());
    EXPECT_NEAR(g.letters[0].bridges[0].x1, l.letters[0].bridges[0].p1.x, 1e-6);
    EXPECT_EQ(g.letters[1].bridges.size(), 0u);
    const std::string savedEdits = work(text::kBridgesFile);

    {
        RecordingPort back;
        text::TextStage again(dir_, text::Variant::Bridges, back);
        ASSERT_TRUE(again.reopen());
        expectEdited(again.lettering());
        EXPECT_EQ(again.setText("ABC"), 0u);
        expectEdited(again.lettering());
        EXPECT_EQ(again.setText("XBC"), 1u);  // the A is gone, the B keeps its edit
        EXPECT_TRUE(sameBridges(again.lettering().letters[1].bridges, l.letters[1].bridges));
        EXPECT_EQ(again.setFont(text::resolveFont("DejaVu Serif:Bold")), 1u);
        EXPECT_TRUE(again.bridgeEdits().empty());
    }
    {
        RecordingPort back;  // letters without bridges leave the bridges placed by hand alone
        text::TextStage plain(dir_, text::Variant::NoBridges, back);
        ASSERT_TRUE(plain.reopen());
        EXPECT_EQ(plain.lettering().bridgeCount(), 0u);
        ASSERT_EQ(plain.next(), text::NextOutcome::Started);
        EXPECT_EQ(work(text::kBridgesFile), savedEdits);
    }

    std::vector<std::string> lines = wf::splitLines(savedEdits);
    ASSERT_GE(lines.size(), 12u);  // 4 of text and font, 1 count, 3 for the A, its bridge's 5
    auto with = [&](std::size_t line, const std::string& value) {
        std::vector<std::string> changed = lines;
        changed.at(line) = value;
        std::string out;
        for (const std::string& s : changed) out += s + "\r\n";
        return out;
    };
    const std::string cases[] = {
        with(0, "AX"),                          // placed for another text
        with(2, "Book"),                        // ... another style
        with(4, "3"),                           // more letters than it holds
        with(7, "1602"),                        // more bridges than the shapes stage holds
        with(8, "3"),                           // no kind of bridge
        with(9, "1E300"),                       // a coordinate out of reach
        savedEdits.substr(0, savedEdits.size() / 2),
        std::string(text::kMaxBridgesFileBytes + 1, '1'),
    };
    for (const std::string& c : cases) {
        SCOPED_TRACE(c.substr(0, 40));
        std::ofstream(dir_ / "workfiles" / text::kBridgesFile, std::ios::binary | std::ios::trunc) << c;
        RecordingPort back;
        text::TextStage again(dir_, text::Variant::Bridges, back);
        ASSERT_TRUE(again.reopen());
        const text::Lettering got = again.lettering();
        EXPECT_TRUE(sameBridges(got.letters[0].bridges, placed.letters[0].bridges));
        EXPECT_EQ(got.looseCount(), 0u);
    }
}

// A refused text writes nothing; a write-protected letter file, a missing work-file folder or
// a shapes stage that cannot start are told, and nothing is started after a failed write.
TEST_F(Folder, FailuresAreToldAndLeaveFilesAlone) {
    RecordingPort port;
    text::TextStage stage(dir_, text::Variant::Bridges, port);
    stage.setText("A\xE4\xB8\xAD");
    EXPECT_EQ(stage.next(), text::NextOutcome::Refused);
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_EQ(port.messages[0].rfind("critical|Text|The font DejaVu Sans Bold has no letter", 0), 0u) << port.messages[0];
    EXPECT_TRUE(fs::is_empty(dir_ / "workfiles"));

    // the four files go as one set: the last of them protected, none of the others changes
    stage.setText("AB");
    std::ofstream(dir_ / "workfiles" / "tground.dat") << "old\r\n";
    std::ofstream(dir_ / "workfiles" / "wif.dat") << "1\r\n0\r\n";
    fs::permissions(dir_ / "workfiles" / "wif.dat", fs::perms::owner_read);
    EXPECT_EQ(stage.next(), text::NextOutcome::FileError);
    EXPECT_NE(port.messages.back().find("wif.dat is write-protected"), std::string::npos) << port.messages.back();
    EXPECT_EQ(work("tground.dat"), "old\r\n");
    EXPECT_EQ(work("wif.dat"), "1\r\n0\r\n");
    EXPECT_FALSE(fs::exists(dir_ / "workfiles" / "shap.dat"));
    EXPECT_FALSE(fs::exists(dir_ / "workfiles" / text::kStateFile));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "workfiles"), fs::directory_iterator()), 2);  // no leftovers
    EXPECT_TRUE(port.started.empty());
    fs::permissions(dir_ / "workfiles" / "wif.dat", fs::perms::owner_write, fs::perm_options::add);

    port.canStart = false;
    EXPECT_EQ(stage.next(), text::NextOutcome::FileError);
    EXPECT_NE(port.messages.back().find("cannot be started"), std::string::npos);
    EXPECT_NE(work("tground.dat"), "old\r\n");

    fs::remove_all(dir_ / "workfiles");
    EXPECT_EQ(stage.next(), text::NextOutcome::FileError);
    EXPECT_NE(port.messages.back().find("workfiles"), std::string::npos);
}

// Coming back reads only a state this stage could have written: a text longer than any it
// takes, or a font name longer than a path, makes the state unreadable (the defaults stay)
// before the text is ever split into letters.
TEST_F(Folder, ComingBackRefusesOverlongStateLines) {
    const std::string longest(text::kMaxLetters, 'x');
    const std::string fourByte = "\xF0\x9F\x98\x80";
    std::string widest;
    for (std::size_t i = 0; i < text::kMaxLetters; ++i) widest += fourByte;
    struct Case {
        std::string text, family;
        bool reopens;
    };
    const Case cases[] = {
        {longest, "DejaVu Serif", true},
        {widest, "DejaVu Serif", true},
        {widest + "x", "DejaVu Serif", false},
        {std::string(40u << 20, 'x'), "DejaVu Serif", false},
        {"AB", std::string(text::kMaxFontNameBytes + 1, 'F'), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.size());
        wf::LineWriter w;
        w.text(c.text).text(c.family).text("Bold").text("").flag(true);
        std::ofstream(dir_ / "workfiles" / text::kStateFile, std::ios::binary | std::ios::trunc) << w.content();
        RecordingPort port;
        text::TextStage stage(dir_, text::Variant::Bridges, port);
        EXPECT_EQ(stage.reopen(), c.reopens);
        EXPECT_EQ(stage.text(), c.reopens ? c.text : "");
    }
}

// "Next" gives the folder up just before the shapes stage starts: the shapes stage's command
// line, run while the text stage still lives, is not turned away. A failed start takes the
// folder back; when another program took it meanwhile, the text stage ends.
TEST_F(Folder, NextHandsTheFolderToTheShapesStage) {
    struct StartingPort : RecordingPort {
        std::function<bool()> onStart;
        bool startProgram(const std::string&, const std::vector<std::string>&) override { return onStart(); }
    } port;
    wf::WorkFolderLock other(dir_ / "workfiles");
    {
        text::TextStage stage(dir_, text::Variant::Bridges, port);
        ASSERT_TRUE(stage.claimWorkFolder());
        EXPECT_EQ(other.acquire(), wf::LockState::Busy);
        stage.setText("AB");
        texttest::ProgramRun shapes{};
        port.onStart = [&] {
            shapes = runProgram(LK_SHAPES_CLI, {"--folder", dir_.string(), "--report"}, dir_);
            return true;
        };
        EXPECT_EQ(stage.next(), text::NextOutcome::Started);
        EXPECT_EQ(shapes.status, 0) << shapes.err;
        EXPECT_EQ(shapes.err.find(wf::kWorkFolderBusy), std::string::npos) << shapes.err;
        EXPECT_NE(shapes.out.find("\"letterCount\": 2"), std::string::npos) << shapes.out;
        EXPECT_EQ(other.acquire(), wf::LockState::Held);  // given up for good
        other.release();
    }
    text::TextStage stage(dir_, text::Variant::Bridges, port);
    ASSERT_TRUE(stage.claimWorkFolder());
    stage.setText("AB");
    port.onStart = [] { return false; };
    EXPECT_EQ(stage.next(), text::NextOutcome::FileError);
    EXPECT_EQ(other.acquire(), wf::LockState::Busy);  // taken back
    port.onStart = [&] {
        EXPECT_EQ(other.acquire(), wf::LockState::Held);  // another program comes in meanwhile
        return false;
    };
    EXPECT_EQ(stage.next(), text::NextOutcome::Ended);
    EXPECT_TRUE(other.held());
    EXPECT_EQ(port.messages.back(), std::string("critical|Error|") + wf::kWorkFolderBusy);
}

// The command line end to end: the text stage writes, the shapes stage's command line loads
// what it wrote; relative paths count from the caller's folder; the exit codes.
TEST_F(Folder, CommandLineHandsOverToTheShapesStage) {
    const fs::path shapes = dir_ / "letterkerf";
    fs::copy_file(LK_SHAPES_CLI, shapes);  // counts as startable; never started without --start
    const texttest::ProgramRun r = runProgram(LK_TEXT_CLI,
                             {"--folder", dir_.filename().string(), "--text", "STENCIL 0486 &@", "--font",
                              "Liberation Serif", "--report"},
                             dir_.parent_path());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"looseIslands\": 0"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"arguments\": [\"stvt\"]"), std::string::npos) << r.out;
    std::smatch bridges;
    ASSERT_TRUE(std::regex_search(r.out, bridges, std::regex("\"bridgeCount\": ([0-9]+)")));
    EXPECT_GE(std::stoi(bridges[1]), 9);  // 0 8 & two each, 4 6 @ one each

    const texttest::ProgramRun loaded = runProgram(LK_SHAPES_CLI, {"--folder", dir_.string(), "--report"}, dir_);
    ASSERT_EQ(loaded.status, 0) << loaded.err;
    EXPECT_NE(loaded.out.find("\"letterCount\": 15"), std::string::npos) << loaded.out;
    EXPECT_NE(loaded.out.find("\"bridges\": " + bridges[1].str()), std::string::npos) << loaded.out;

    EXPECT_EQ(runProgram(LK_TEXT_CLI, {"--folder", dir_.string(), "--bogus"}, dir_).status, 1);
    EXPECT_EQ(runProgram(LK_TEXT_CLI, {"--folder", (dir_ / "none").string()}, dir_).status, 1);
    const texttest::ProgramRun help = runProgram(LK_TEXT_CLI, {"--help"}, dir_);
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--no-bridges"), std::string::npos);
    const texttest::ProgramRun missing = runProgram(LK_TEXT_CLI, {"--folder", dir_.string(), "--text", "A\xE4\xB8\xAD"}, dir_);
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err.rfind("critical|Text|", 0), 0u) << missing.err;
    const texttest::ProgramRun badFont = runProgram(LK_TEXT_CLI, {"--folder", dir_.string(), "--font", "No Such Family"}, dir_);
    EXPECT_EQ(badFont.status, 2);
    fs::remove(shapes);
    EXPECT_EQ(runProgram(LK_TEXT_CLI, {"--folder", dir_.string(), "--text", "AB"}, dir_).status, 3);
}

}  // namespace
}  // namespace texttest

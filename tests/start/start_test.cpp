// The start window's logic: which buttons the folder allows and what each one starts.
#include <gtest/gtest.h>

#include "start/start.h"
#include "support/temp_folder.h"

using namespace testsupport;
using start::Action;
using start::Outcome;

namespace {

struct Fixture {
    TempFolder t;
    suite::HeadlessUi ui;
    Fixture() {
        for (const char* p : {"STV1.EXE", "STV1b.EXE", "STV3.EXE", "letterkerf"}) t.addProgram(p);
    }
};

// a saved state and a whole hand-over: every button is available
void fullWork(const TempFolder& t) {
    t.write("stv2b.dat", "saved\r\n");
    t.write("workrl.dat", "n\r\n");
    t.write("c3.dat", " 1\r\n");
}

}  // namespace

// Continue needs a saved state of at least 3 bytes, Cut drawing both hand-over files; looking
// at the folder changes nothing in it.
TEST(StartWindow, ButtonsFollowTheFolder) {
    Fixture f;
    const auto entries = [&] { return std::distance(fs::recursive_directory_iterator(f.t.path()), {}); };
    const auto before = entries();
    start::StartWindow w(f.t.path(), f.ui);
    EXPECT_TRUE(w.enabled(Action::NewLettering) && w.enabled(Action::Help) && w.enabled(Action::Exit));
    EXPECT_FALSE(w.enabled(Action::Continue) || w.enabled(Action::CutDrawing));
    // a disabled button does nothing at all
    EXPECT_EQ(w.run(Action::CutDrawing), Outcome::Disabled);
    EXPECT_TRUE(f.ui.started.empty());
    EXPECT_TRUE(f.ui.messages.empty());
    EXPECT_FALSE(w.terminated());
    EXPECT_EQ(entries(), before + 1);  // the lock, the one thing made
    EXPECT_TRUE(f.t.exists(wf::kLockFileName));

    struct Step {
        const char* file;
        std::string content;
        bool continueOn, cutOn;
    } steps[] = {
        {"stv2b.dat", "1\r", false, false},  // 2 bytes: nothing to restore
        {"stv2b.dat", "1\r\n", true, false},
        {"workrl.dat", "n\r\n", true, false},  // half a hand-over
        {"c3.dat", " 1\r\n", true, true},
    };
    for (const Step& s : steps) {
        f.t.write(s.file, s.content);
        w.refresh();
        EXPECT_EQ(w.enabled(Action::Continue), s.continueOn) << s.file << " " << s.content.size();
        EXPECT_EQ(w.enabled(Action::CutDrawing), s.cutOn) << s.file;
    }
}

// Each button starts its program with the suite's token and the window ends right after.
TEST(StartWindow, EachButtonStartsItsProgramAndEnds) {
    struct Case {
        Action action;
        std::string shapDat;  // "" : no shap.dat
        const char* program;
        const char* token;
    } cases[] = {
        {Action::NewLettering, "", "STV1.EXE", "stvt"},
        {Action::NewLettering, "x\r\n0\r\n", "STV1.EXE", "stvt"},
        {Action::NewLettering, "x\r\n1\r\n", "STV1b.EXE", "stvt"},
        {Action::NewLettering, "x\r\n", "STV1.EXE", "stvt"},  // a short shap.dat is no reason to stop
        {Action::Continue, "", "letterkerf", "stvt3"},
        {Action::CutDrawing, "", "STV3.EXE", "stvt"},
    };
    for (const Case& c : cases) {
        Fixture f;
        fullWork(f.t);
        if (!c.shapDat.empty()) f.t.write("shap.dat", c.shapDat);
        start::StartWindow w(f.t.path(), f.ui);
        EXPECT_EQ(w.run(c.action), Outcome::Started) << c.program;
        ASSERT_EQ(f.ui.started.size(), 1u) << c.program;
        EXPECT_EQ(f.ui.started[0].program, (f.t.path() / c.program).string());
        EXPECT_EQ(f.ui.started[0].arguments, std::vector<std::string>{c.token});
        EXPECT_TRUE(f.ui.terminated);
        EXPECT_TRUE(w.terminated());
        EXPECT_TRUE(f.ui.messages.empty());
        // once ended, nothing more happens
        EXPECT_EQ(w.run(c.action), Outcome::Ended);
        EXPECT_EQ(f.ui.started.size(), 1u);
    }
}

// A sibling that is missing or cannot run is named in a message; the window stays.
TEST(StartWindow, SaysWhatIsMissingAndStays) {
    TempFolder t;
    fullWork(t);
    // not executable: there, but it cannot run
    std::ofstream(t.path() / "STV3.EXE") << "data";
    suite::HeadlessUi ui;
    start::StartWindow w(t.path(), ui);
    const std::string missing = " is missing from the program folder " + t.path().string() + " .";
    const struct {
        Action action;
        Outcome outcome;
        std::string says;
    } cases[] = {{Action::NewLettering, Outcome::Missing, "The text stage STV1.EXE" + missing},
                 {Action::Continue, Outcome::Missing, "The shapes stage letterkerf" + missing},
                 {Action::CutDrawing, Outcome::Failed, "The cut stage STV3.EXE could not be started: it may not be run."}};
    for (const auto& c : cases) {
        ui.messages.clear();
        EXPECT_EQ(w.run(c.action), c.outcome) << c.says;
        ASSERT_EQ(ui.messages.size(), 1u) << c.says;
        const suite::Message& m = ui.messages[0];
        EXPECT_EQ(std::tie(m.icon, m.title, m.text), std::make_tuple(suite::Icon::Critical, "LETTERKERF", c.says));
    }
    EXPECT_FALSE(ui.terminated);

    // Help: main.pdf beside the programs (what is said when it does not open is the suite's)
    ui.messages.clear();
    EXPECT_EQ(w.run(Action::Help), Outcome::Missing);
    EXPECT_EQ(ui.messages.at(0).text, suite::helpNotOpenedText((t.path() / "main.pdf").string(), "main.pdf"));
    EXPECT_EQ(ui.messages.at(0).title, "Info");
    std::ofstream(t.path() / "main.pdf") << "%PDF-1.4";
    EXPECT_EQ(w.run(Action::Help), Outcome::Opened);
    EXPECT_EQ(ui.documents, std::vector<std::string>{(t.path() / "main.pdf").string()});
    ui.documentViewer = false;  // there, but no program opens PDF files
    EXPECT_EQ(w.run(Action::Help), Outcome::Failed);

    EXPECT_EQ(w.run(Action::Exit), Outcome::Ended);
    EXPECT_TRUE(ui.terminated);
    EXPECT_TRUE(ui.started.empty());
}

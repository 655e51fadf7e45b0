// The start window and its command line on real program folders, and the help documents
// the build puts beside the programs.
#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "start_qt/start_cli.h"
#include "start_qt/start_window.h"
#include "support/held_folder.h"
#include "support/temp_folder.h"

using namespace testsupport;
namespace fs = std::filesystem;
using start::Action;

namespace {

// A program folder with recording stand-ins under the siblings' names.
struct Folder {
    TempFolder t;
    Folder() {
        for (const char* p : {"STV1.EXE", "STV1b.EXE", "STV3.EXE", "letterkerf"}) {
            fs::copy_file(LK_STANDIN, t.path() / p);
            fs::permissions(t.path() / p, fs::perms::owner_all, fs::perm_options::add);
        }
    }
};

struct CliRun {
    int status;
    std::string out, err;
    QJsonObject report;
};

CliRun cli(const fs::path& folder, const QStringList& args) {
    std::ostringstream out, err;
    const int status = start_qt::runStartCli(QStringList{"--folder", QString::fromStdString(folder.string())} + args,
                                             "/nonexistent", out, err);
    return {status, out.str(), err.str(), QJsonDocument::fromJson(QByteArray::fromStdString(out.str())).object()};
}

}  // namespace

// The report names every button with its state and program (which buttons the folder allows
// is the logic's, proven without a window); the options run the buttons.
TEST(StartCommandLine, ReportsAndRunsTheButtons) {
    Folder f;
    f.t.write("shap.dat", "x\r\n1\r\n");
    CliRun r = cli(f.t.path(), {"--report"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(r.report["savedState"].toBool());
    EXPECT_EQ(r.report["kind"].toString(), "parts");
    const QJsonObject actions = r.report["actions"].toObject();
    EXPECT_EQ(actions.keys(), (QStringList{"continue", "cut", "exit", "help", "new"}));
    const QJsonObject lettering = actions["new"].toObject(), shapes = actions["continue"].toObject();
    EXPECT_EQ(lettering["caption"].toString(), "New lettering");
    EXPECT_EQ(lettering["program"].toString().toStdString(), (f.t.path() / "STV1b.EXE").string());
    EXPECT_TRUE(lettering["enabled"].toBool() && !shapes["enabled"].toBool());
    EXPECT_EQ(shapes["arguments"].toArray(), QJsonArray{"stvt3"});
    EXPECT_TRUE(r.report["started"].toArray().isEmpty());

    // an unavailable button is refused; so is a missing program, with its message
    r = cli(f.t.path(), {"--continue", "--report"});
    EXPECT_EQ(r.status, 2);
    EXPECT_FALSE(r.report["terminated"].toBool());
    f.t.write("workrl.dat", "n\r\n");
    f.t.write("c3.dat", " 1\r\n");
    fs::remove(f.t.path() / "STV3.EXE");
    r = cli(f.t.path(), {"--cut-drawing"});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err.rfind("critical|LETTERKERF|The cut stage STV3.EXE is missing", 0), 0u) << r.err;

    // --new --stencil really starts STV1.EXE with the token, whatever shap.dat says
    r = cli(f.t.path(), {"--new", "--stencil", "--chain", "--report"});
    EXPECT_EQ(r.status, 0) << r.err;
    std::string log;  // the stand-in runs detached: wait (up to 10 s) until it has written its line
    for (int i = 0; i < 500 && (log.empty() || log.back() != '\n'); ++i, QThread::msleep(20))
        log = f.t.read("standin.log");
    EXPECT_EQ(log, "STV1.EXE stvt\n");
    EXPECT_TRUE(r.report["terminated"].toBool());
    ASSERT_EQ(r.report["started"].toArray().size(), 1);

    for (const QStringList& bad : std::vector<QStringList>{
             {"--bogus"}, {"--new", "--continue"}, {"--parts"}, {"--new", "--stencil", "--parts"}, {"--png"}})
        EXPECT_EQ(cli(f.t.path(), bad).status, 1) << bad.join(' ').toStdString();
    std::ostringstream out, err;
    EXPECT_EQ(start_qt::runStartCli({"--folder", "/no/such/folder"}, "/", out, err), 1);
    EXPECT_EQ(start_qt::runStartCli({"--help"}, "/", out, err), 0);
}

// The window's buttons follow the folder when it comes back to the front; a click starts the
// program and closes the window.
TEST(StartWindowWidget, ButtonsFollowTheFolderAndStart) {
    Folder f;
    suite::HeadlessUi ui;
    start_qt::StartWidget w(f.t.path().string(), &ui);
    w.show();
    EXPECT_FALSE(w.button(Action::Continue)->isEnabled());
    auto* note = w.findChild<QLabel*>("continueShapesNote");
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->text(), "No saved lettering in this folder yet");

    f.t.write("stv2b.dat", "saved\r\n");
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&w, &activate);
    EXPECT_TRUE(w.button(Action::Continue)->isEnabled());
    EXPECT_NE(note->text(), "No saved lettering in this folder yet");

    // the kind picked in the window decides the variant of the text stage
    auto* parts = w.findChild<QRadioButton*>("kindParts");
    ASSERT_NE(parts, nullptr);
    QTest::mouseClick(parts, Qt::LeftButton);
    QTest::mouseClick(w.button(Action::NewLettering), Qt::LeftButton);
    ASSERT_EQ(ui.started.size(), 1u);
    EXPECT_EQ(ui.started[0].program, (f.t.path() / "STV1b.EXE").string());
    EXPECT_TRUE(ui.terminated);
    EXPECT_FALSE(w.isVisible());
}

// While another program works in the folder, the window says so in a message box and ends:
// it neither looks at the work nor starts a program (the stand-ins would write their log into
// workfiles/).
TEST(StartWindowWidget, ASecondProgramOnTheFolderSaysSoAndStartsNothing) {
    Folder f;
    f.t.write("stv2b.dat", "a saved state\r\n");
    wf::WorkFolderLock first(f.t.path() / "workfiles");
    ASSERT_EQ(first.acquire(), wf::LockState::Held);
    const auto before = testsupport::filesOf(f.t.path() / "workfiles");

    testsupport::MessageBoxCloser closer;
    {
        start_qt::StartWidget w(f.t.path().string());
        closer.timer.stop();
        EXPECT_TRUE(w.logic().terminated());
        EXPECT_EQ(closer.title, "Error");
        EXPECT_EQ(closer.text.toStdString(), wf::kWorkFolderBusy);
        EXPECT_FALSE(w.button(Action::Continue)->isEnabled());  // the saved state was not looked at
        EXPECT_EQ(w.logic().run(Action::NewLettering), start::Outcome::Ended);
    }

    QThread::msleep(200);  // a stand-in started by mistake would have written by now
    EXPECT_EQ(testsupport::filesOf(f.t.path() / "workfiles"), before);
}

// Real letters through the whole chain: the shapes stage converts, the cut stage draws.
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QThread>
#include <QThreadPool>
#include <QPushButton>
#include <QShortcut>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "suite_qt/keys.h"
#include "cut_qt/cut_cli.h"
#include "cut_qt/cut_window.h"
#include "cut/chain.h"
#include "cut/dxf_readback.h"
#include "workfile/stage_files.h"
#include "workfile/work_lock.h"
#include "cut/settings.h"
#include "cut/writers.h"
#include "support/held_folder.h"
#include "support/temp_folder.h"

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

// The cut stage's command line, in this process.
ProgramRun runCut(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = cut_qt::runCli(args, LK_TEST_TMP, LK_PROGRAM_DIR, out, err);
    return {status, out.str(), err.str()};
}
ProgramRun cutIn(const Chain& c, std::vector<std::string> args) {
    args.insert(args.begin(), {"--folder", c.t.path().string()});
    return runCut(args);
}
const fs::path kSample = fs::path(LK_PROGRAM_DIR) / "workfiles" / "tground.dat";

int count(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// ezdxf's reading and audit of a DXF: "ok" or what it found
std::string ezdxfAudit(const fs::path& file) {
    const ProgramRun r = runProgram("/usr/bin/python3",
                                    {"-c",
                                     "import sys, ezdxf\n"
                                     "doc = ezdxf.readfile(sys.argv[1])\n"
                                     "a = doc.audit()\n"
                                     "print('ok' if not a.errors else [str(e.message) for e in a.errors], end='')\n",
                                     file.string()},
                                    LK_TEST_TMP);
    return r.out + r.err;
}

}  // namespace

// A user's whole job, each stage as its own program: words typed in the text stage, bent into
// an arch by the shapes stage and joined by its bar, drawn by the cut stage. As lettering
// (workm.dat is there) it is one piece but the j's dot, reported with its character as typed.
// Without the bar it is a stencil, every island held by a bridge, its DXF in mm read by ezdxf
// (with the reference layers and a border too) and by our reading; with the bridges taken out
// the islands are reported and the drawing written all the same. Typing another text makes the
// drawing stale (the report lists it first) until it is converted again.
TEST(CutChain, TypedWordsThroughEveryStage) {
    const Chain c("Hoyt jog 0486 &@", "DejaVu Sans:Bold", {"--shape", "4", "--H", "6", "--h", "4", "--connection"});
    const ProgramRun r = cutIn(c, {"--report"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"kind\": \"lettering\""), std::string::npos);
    EXPECT_EQ(count(r.out, "\"kind\": \"loose piece\""), 1) << r.out;
    EXPECT_NE(r.out.find("\"letter\": 6, \"character\": \"j\""), std::string::npos);  // "Hoyt j": the sixth, as typed

    fs::remove(c.t.work("workm.dat"));
    // (the @'s bridge leaves a spike thinner than the default 1 mm: thin material, not at issue here)
    const ProgramRun stencil = cutIn(c, {"--report", "--min-width", "0"});
    ASSERT_EQ(stencil.status, 0) << stencil.err;
    EXPECT_NE(stencil.out.find("\"kind\": \"stencil\""), std::string::npos);
    EXPECT_NE(stencil.out.find("\"problems\": [ ]"), std::string::npos) << stencil.out;
    EXPECT_EQ(stencil.err, "");
    EXPECT_EQ(ezdxfAudit(c.t.work("stencil.dxf")), "ok");
    const auto dxf = testsupport::readDxf(c.t.read("stencil.dxf"));
    EXPECT_EQ(dxf.insunits, 4);
    EXPECT_GE(dxf.polylines.size(), 14u);  // fourteen letters, each at least one opening
    for (const auto& p : dxf.polylines) EXPECT_TRUE(p.layer == "CUT" && p.closed) << p.layer;  // nothing but the cut by default
    const fs::path withReference = c.t.path() / "reference.dxf";
    ASSERT_EQ(cutIn(c, {"--reference-layers", "--border", "5", "--min-width", "0", "--dxf", withReference.string()}).status, 0);
    EXPECT_EQ(ezdxfAudit(withReference), "ok");
    c.t.write("hl.dat", " 0\r\n");
    const ProgramRun loose = cutIn(c, {"--report", "--min-width", "0", "--dxf", (c.t.path() / "loose.dxf").string()});
    EXPECT_EQ(loose.status, 0);
    EXPECT_GE(count(loose.out, "\"kind\": \"island\""), 3) << loose.out;  // the o's, the g's, 0, 4, 6, 8, ...
    EXPECT_EQ(loose.err.rfind("information|Cut drawing|The drawing has ", 0), 0u) << loose.err;
    EXPECT_TRUE(fs::exists(c.t.path() / "loose.dxf"));  // written all the same

    c.type("ELM", "DejaVu Sans:Bold");
    const ProgramRun stale = cutIn(c, {"--report"});
    EXPECT_EQ(stale.status, 0);
    EXPECT_NE(stale.out.find("\"problems\": [\n    { \"kind\": \"stale\""), std::string::npos) << stale.out;
    EXPECT_NE(stale.err.find("The lettering was changed"), std::string::npos) << stale.err;
    c.convert({});
    EXPECT_EQ(count(cutIn(c, {"--report"}).out, "\"kind\": \"stale\""), 0);
}

// A folder without a hand-over, options it cannot take, an output over a work file and a
// garbled hand-over each have their exit status and say what is wrong; --help is no fault.
TEST(CutChain, CommandLineSaysWhatIsWrongWithItsExitStatus) {
    TempFolder empty;
    const std::string folder = empty.path().string();
    ProgramRun r = runCut({"--folder", folder});
    EXPECT_EQ(r.status, 3);
    // what to do first, the file as the detail
    EXPECT_EQ(r.err.rfind(std::string("critical|Hand-over|") + cut::kNoHandover + " (Detail: c3.dat: missing", 0), 0u) << r.err;
    EXPECT_EQ(runCut({"--kerf", "wide"}).status, 1);
    EXPECT_EQ(runCut({"--folder", folder, "--dxf", empty.work("hl.dat").string()}).status, 1);
    empty.write("c3.dat", "garbage\r\n");
    r = runCut({"--folder", folder});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("c3.dat"), std::string::npos);
    EXPECT_EQ(runCut({"--help"}).status, 0);
}

// The window on the sample with its bridges taken out: the islands are in the list, selecting
// one brings it into view; as lettering the list says "(none)", which cannot be selected. The
// window remembers its settings in the work folder and the folder saved to; the save dialogs
// start in the user's documents the first time, with a name from the text and the kind.
TEST(CutWindow, ListsProblemsAndRemembersItsSettingsAndTheLastFolder) {
    const Chain c(kSample);
    c.t.write("hl.dat", " 0\r\n");
    cut_qt::Request r;
    r.folder = c.t.path();
    const fs::path out = c.t.path() / "saved";
    fs::create_directories(out);
    QStandardPaths::setTestModeEnabled(true);  // the documents folder of the tests (~/.qttest/...)
    const std::string documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString();
    fs::create_directories(documents);
    {
        cut_qt::CutWindow w(r);
        w.show();
        ASSERT_NE(w.drawing(), nullptr);
        EXPECT_EQ(w.problemList()->count(), 3);  // the counter of A and both of B
        EXPECT_TRUE(w.problemList()->item(0)->text().startsWith("island of letter 1"));
        w.problemList()->setCurrentRow(1);
        EXPECT_GT(w.view()->zoom(), 1);
        EXPECT_EQ(w.suggestedFile(cut_qt::Output::Dxf).parent_path().string(), documents);
        EXPECT_TRUE(w.saveDxfTo(c.t.path() / "w.dxf"));
        w.setKind(cut::Kind::Lettering);
        EXPECT_EQ(w.problemList()->item(0)->flags(), Qt::NoItemFlags);  // "(none)"
        w.setKerf(0.2);
        EXPECT_EQ(w.suggestedFile(cut_qt::Output::Svg).filename(), "ABC lettering.svg");
        ASSERT_TRUE(w.saveSvgTo(out / "mine.svg"));
    }
    EXPECT_TRUE(c.t.exists(cut::kSettingsFile));
    cut_qt::CutWindow again(r);
    ASSERT_NE(again.drawing(), nullptr);
    EXPECT_EQ(again.drawing()->kind, cut::Kind::Lettering);
    EXPECT_DOUBLE_EQ(again.drawing()->options.kerf, 0.2);
    EXPECT_EQ(again.suggestedFile(cut_qt::Output::Dxf), out / "ABC lettering.dxf");
    QStandardPaths::setTestModeEnabled(false);
}

// The window fits a 1366 x 768 screen (with room for a panel and the frame), even with its
// banner shown over a stale drawing, which heads the problem list; F1 and "Help" open the cut
// stage's own help document, built with the programs; Ctrl+S saves the DXF, Ctrl+Q ends,
// Ctrl+plus / minus / 0 zoom, every button has a mnemonic. Undo and redo take the settings back
// and forth, into the work folder too.
TEST(CutWindow, FitsASmallScreenWithItsKeysHelpAndUndo) {
    const Chain c(kSample);
    fs::remove(c.t.work(wf::kHandoverStamp));  // no stamp: stale, so the banner shows
    cut_qt::Request r;
    r.folder = c.t.path();
    cut_qt::CutWindow w(r);
    w.show();
    EXPECT_FALSE(w.staleBanner()->isHidden());
    EXPECT_TRUE(w.problemList()->item(0)->text().startsWith("the drawing is out of date"));
    const QSize least = w.minimumSizeHint().expandedTo(w.minimumSize()), now = w.size();
    EXPECT_LE(std::max(least.width(), now.width()), 1366);
    EXPECT_LE(std::max(least.height(), now.height()), 700);
    EXPECT_TRUE(fs::is_regular_file(fs::path(LK_PROGRAM_DIR) / cut_qt::kHelpDocument));
    QList<QKeySequence> keys;
    for (const QShortcut* s : w.findChildren<QShortcut*>()) keys << s->key();
    EXPECT_TRUE(keys.contains(QKeySequence(QKeySequence::HelpContents)));
    for (const Qt::Key k : {Qt::Key_S, Qt::Key_Q, Qt::Key_Z, Qt::Key_Y, Qt::Key_Plus, Qt::Key_0})
        EXPECT_TRUE(keys.contains(QKeySequence(Qt::CTRL | k))) << QKeySequence(k).toString().toStdString();
    bool help = false;
    for (const QPushButton* b : w.findChildren<QPushButton*>()) {
        EXPECT_TRUE(b->text().contains('&')) << b->text().toStdString();
        help = help || suite_qt::withoutMnemonic(b->text()) == "Help";
    }
    EXPECT_TRUE(help);

    const auto kept = [&] { return cut::readSettings(c.t.path() / "workfiles"); };
    w.setKerf(0.3);
    ASSERT_TRUE(w.undo());
    EXPECT_DOUBLE_EQ(kept().kerf, r.kerf);
    EXPECT_FALSE(w.undo());
    ASSERT_TRUE(w.redo());
    EXPECT_DOUBLE_EQ(kept().kerf, 0.3);
}

TEST(CutWindow, DrawsALargeHandOverWhileTheWindowAnswers) {
    const Chain c(fs::path(LK_TEST_DATA) / "half.dat", {"--no-connection"});
    cut_qt::Request r;
    r.folder = c.t.path();
    cut_qt::CutWindow w(r);
    EXPECT_EQ(w.drawing(), nullptr);  // being made
    w.setKerf(0.1);                   // while the first is made
    QElapsedTimer waited;
    waited.start();
    while (!w.drawing() && waited.elapsed() < 60000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(5);
    }
    ASSERT_NE(w.drawing(), nullptr);
    EXPECT_DOUBLE_EQ(w.drawing()->options.kerf, 0.1);
    // the first drawing, when it comes after, is not shown over the second; the outlines may
    // come first, the drawing shown at last is the whole one, its thin material found
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    EXPECT_DOUBLE_EQ(w.drawing()->options.kerf, 0.1);
    ASSERT_FALSE(w.drawing()->thinPending);
    const cut::Handover h = cut::readHandover(r.folder / "workfiles");
    EXPECT_EQ(cut::reportJson(*w.drawing(), h), cut::reportJson(cut::makeDrawing(h, w.drawing()->options), h));
    // while the drawing for a new kerf is made, the save key asks for no file, as the buttons
    w.setKerf(0.2);
    bool asked = false;
    QTimer::singleShot(1000, &w, [&] {
        if (QWidget* d = QApplication::activeModalWidget()) asked = true, d->close();
    });
    for (QShortcut* s : w.findChildren<QShortcut*>())
        if (s->key() == QKeySequence(Qt::CTRL | Qt::Key_S)) emit s->activated();
    EXPECT_FALSE(asked);
}

// While another program works in the folder, the window says so in a message box and is
// not shown, the command line says so on standard error and exits with 3: no drawing is
// written, inside the folder or out of it.
TEST(CutWindow, ASecondProgramOnTheFolderSaysSoAndTouchesNoFile) {
    const Chain c(kSample);
    wf::WorkFolderLock first(c.t.path() / "workfiles");
    ASSERT_EQ(first.acquire(), wf::LockState::Held);
    const auto contents = [&] { return testsupport::filesOf(c.t.path() / "workfiles"); };
    const auto before = contents();

    testsupport::MessageBoxCloser closer;
    // should the window come up after all, the test fails instead of waiting on it
    QTimer::singleShot(10000, &closer.timer, [] { QApplication::closeAllWindows(); });
    cut_qt::Request r;
    r.folder = c.t.path();
    EXPECT_EQ(cut_qt::runWindow(r), 3);  // returns at once: the window never ran
    closer.timer.stop();
    EXPECT_EQ(closer.title, "Error");
    EXPECT_EQ(closer.text.toStdString(), wf::kWorkFolderBusy);

    const fs::path svg = c.t.path() / "out.svg";
    const ProgramRun refused = cutIn(c, {"--dxf", (c.t.path() / "out.dxf").string(), "--svg", svg.string(), "--report"});
    EXPECT_EQ(refused.status, 3);
    EXPECT_EQ(refused.err, std::string("critical|Error|") + wf::kWorkFolderBusy + "\n");
    EXPECT_TRUE(refused.out.empty());
    EXPECT_FALSE(fs::exists(svg));
    EXPECT_FALSE(fs::exists(c.t.path() / "out.dxf"));
    EXPECT_EQ(contents(), before);

    first.release();
    EXPECT_EQ(cutIn(c, {"--svg", svg.string()}).status, 0);
    EXPECT_TRUE(fs::exists(svg));
}

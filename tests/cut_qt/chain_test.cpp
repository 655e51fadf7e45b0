// Real letters through the whole chain: the shapes stage converts, the cut stage draws.
#include <QElapsedTimer>
#include <QProcess>
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
#include "cut/dxf_readback.h"
#include "workfile/stage_files.h"
#include "workfile/work_lock.h"
#include "cut/handover.h"
#include "cut/settings.h"
#include "support/held_folder.h"
#include "support/temp_folder.h"

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

struct CutRun {
    int status;
    std::string out, err;
};

// A program folder holding `letters`, converted by the shapes stage's command line.
struct Converted {
    TempFolder t;
    explicit Converted(const fs::path& letters, QStringList options = {}) {
        fs::copy_file(letters, t.work("tground.dat"));
        QProcess p;
        options.prepend(QString::fromStdString(t.path().string()));
        options.prepend("--folder");
        options << "--convert";
        p.start(QString::fromStdString((fs::path(LK_PROGRAM_DIR) / "letterkerf-cli").string()), options);
        p.waitForFinished(60000);
        EXPECT_TRUE(t.exists("workrl.dat"));
    }
    CutRun cut(std::vector<std::string> args) const {
        std::ostringstream out, err;
        args.insert(args.begin(), {"--folder", t.path().string()});
        const int status = cut_qt::runCli(args, LK_TEST_TMP, LK_PROGRAM_DIR, out, err);
        return {status, out.str(), err.str()};
    }
};

int count(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// ezdxf's reading and audit of a DXF: "ok" or what it found
std::string ezdxfAudit(const fs::path& file) {
    QProcess p;
    p.start("/usr/bin/python3", {"-c",
                                 "import sys, ezdxf\n"
                                 "doc = ezdxf.readfile(sys.argv[1])\n"
                                 "a = doc.audit()\n"
                                 "print('ok' if not a.errors else [str(e.message) for e in a.errors])\n",
                                 QString::fromStdString(file.string())});
    p.waitForFinished(60000);
    return (p.readAllStandardOutput() + p.readAllStandardError()).trimmed().toStdString();
}

}  // namespace

// A user's whole job, each stage as its own program: words typed in the text stage, bent into
// an arch by the shapes stage and joined by its bar, drawn by the cut stage. As lettering
// (workm.dat is there) it is one piece but the j's dot, reported with its character as typed.
// Without the bar it is a stencil, every island held by a bridge, its DXF in mm read by ezdxf
// (with the reference layers and a border too) and by our reading; with the bridges taken out
// the islands are reported and the drawing written all the same; as lettering the letters'
// areas in the DXF equal the hand-over's. Typing another text makes the drawing stale (the
// report lists it first) until it is converted again.
TEST(CutChain, TypedWordsThroughEveryStage) {
    TempFolder t;
    t.addProgram("letterkerf");  // the shapes stage the text stage hands over to
    const auto type = [&](const char* words) {
        QProcess text;
        text.start(QString::fromStdString((fs::path(LK_PROGRAM_DIR) / "letterkerf-text-cli").string()),
                   {"--folder", QString::fromStdString(t.path().string()), "--text", words, "--font", "DejaVu Sans:Bold"});
        ASSERT_TRUE(text.waitForFinished(60000));
        ASSERT_EQ(text.exitCode(), 0) << text.readAllStandardError().toStdString();
    };
    type("Hoyt jog 0486 &@");
    Converted c(t.work("tground.dat"), {"--shape", "4", "--H", "6", "--h", "4", "--connection"});
    const CutRun r = c.cut({"--report"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"kind\": \"lettering\""), std::string::npos);
    EXPECT_EQ(count(r.out, "\"kind\": \"loose piece\""), 1) << r.out;
    EXPECT_NE(r.out.find("\"letter\": 6, \"character\": \"j\""), std::string::npos);  // "Hoyt j": the sixth, as typed

    fs::remove(c.t.work("workm.dat"));
    // (the @'s bridge leaves a spike thinner than the default 1 mm: thin material, not at issue here)
    const CutRun stencil = c.cut({"--report", "--min-width", "0"});
    ASSERT_EQ(stencil.status, 0) << stencil.err;
    EXPECT_NE(stencil.out.find("\"kind\": \"stencil\""), std::string::npos);
    EXPECT_NE(stencil.out.find("\"problems\": [ ]"), std::string::npos) << stencil.out;
    EXPECT_EQ(stencil.err, "");
    EXPECT_EQ(ezdxfAudit(c.t.work("stencil.dxf")), "ok");
    const auto dxf = testsupport::readDxf(c.t.read("stencil.dxf"));
    EXPECT_EQ(dxf.insunits, 4);
    int cut = 0;
    for (const auto& p : dxf.polylines) cut += p.layer == "CUT" && p.closed && !selfCrossing(p);
    EXPECT_EQ(cut, static_cast<int>(dxf.polylines.size()));  // nothing but the cut by default
    EXPECT_GE(cut, 14);  // fourteen letters, each at least one opening, closed and simple
    const fs::path withReference = c.t.path() / "reference.dxf";
    ASSERT_EQ(c.cut({"--reference-layers", "--border", "5", "--min-width", "0", "--dxf", withReference.string()}).status, 0);
    EXPECT_EQ(ezdxfAudit(withReference), "ok");
    c.t.write("hl.dat", " 0\r\n");
    const CutRun loose = c.cut({"--report", "--min-width", "0", "--dxf", (c.t.path() / "loose.dxf").string()});
    EXPECT_EQ(loose.status, 0);
    EXPECT_GE(count(loose.out, "\"kind\": \"island\""), 3) << loose.out;  // the o's, the g's, 0, 4, 6, 8, ...
    EXPECT_EQ(loose.err.rfind("information|Cut drawing|The drawing has ", 0), 0u) << loose.err;
    EXPECT_TRUE(fs::exists(c.t.path() / "loose.dxf"));  // written all the same

    // areas from the DXF against the hand-over's own arcs and lines
    const CutRun plain = c.cut({"--kind", "lettering", "--dxf", (c.t.path() / "p.dxf").string()});
    ASSERT_EQ(plain.status, 0) << plain.err;
    double cutArea = 0;
    for (const auto& p : testsupport::readDxf(c.t.read("../p.dxf")).polylines)
        if (p.layer == "CUT") {
            cutArea += testsupport::area(p);
            EXPECT_FALSE(selfCrossing(p));
        }
    double letters = 0;
    for (const auto& l : cut::readHandover(c.t.path() / "workfiles").letters) {
        // a letter's outsides and counters turn opposite ways: its area is their sum's size
        double sum = 0;
        for (const auto& loop : l.loops) {
            testsupport::DxfPolyline p;
            for (const auto& e : loop.edges) p.v.push_back({e.a.x, e.a.y, e.arc ? std::tan(e.sweep / 4) : 0});
            sum += testsupport::area(p);
        }
        letters += std::fabs(sum);
    }
    ASSERT_GT(letters, 0);
    EXPECT_NEAR(cutArea / letters, 1, 0.001) << cutArea << " " << letters;

    type("ELM");
    fs::copy_file(t.work("tground.dat"), c.t.work("tground.dat"), fs::copy_options::overwrite_existing);
    const CutRun stale = c.cut({"--report"});
    EXPECT_EQ(stale.status, 0);
    EXPECT_NE(stale.out.find("\"problems\": [\n    { \"kind\": \"stale\""), std::string::npos) << stale.out;
    EXPECT_NE(stale.err.find("The lettering was changed"), std::string::npos) << stale.err;
    Converted again(c.t.work("tground.dat"));
    EXPECT_EQ(count(again.cut({"--report"}).out, "\"kind\": \"stale\""), 0);
}

// A folder without a hand-over, options it cannot take, an output over a work file and a
// garbled hand-over each have their exit status and say what is wrong; --help names the options.
TEST(CutChain, CommandLineSaysWhatIsWrongWithItsExitStatus) {
    TempFolder empty;
    const auto run = [](std::vector<std::string> args, std::string* said = nullptr) {
        std::ostringstream out, err;
        const int status = cut_qt::runCli(args, LK_TEST_TMP, LK_PROGRAM_DIR, out, err);
        if (said) *said = err.str() + out.str();
        return status;
    };
    std::string said;
    EXPECT_EQ(run({"--folder", empty.path().string()}, &said), 3);
    // what to do first, the file as the detail
    EXPECT_EQ(said.rfind(std::string("critical|Hand-over|") + cut::kNoHandover + " (Detail: c3.dat: missing", 0), 0u) << said;
    EXPECT_EQ(run({"--kerf", "wide"}), 1);
    EXPECT_EQ(run({"--folder", empty.path().string(), "--dxf", empty.work("hl.dat").string()}), 1);
    empty.write("c3.dat", "garbage\r\n");
    EXPECT_EQ(run({"--folder", empty.path().string()}, &said), 2);
    EXPECT_NE(said.find("c3.dat"), std::string::npos);
    EXPECT_EQ(run({"--help"}, &said), 0);
    for (const char* o : {"--folder", "--kind", "--kerf", "--tabs", "--border", "--dxf", "--svg", "--png", "--report"})
        EXPECT_NE(said.find(o), std::string::npos) << o;
}

// The window on the sample with its bridges taken out: the islands are in the list, selecting
// one brings it into view; as lettering the list says "(none)", which cannot be selected. The
// window remembers its settings in the work folder and the folder saved to; the save dialogs
// start in the user's documents the first time, with a name from the text and the kind.
TEST(CutWindow, ListsProblemsAndRemembersItsSettingsAndTheLastFolder) {
    Converted c(fs::path(LK_PROGRAM_DIR) / "workfiles" / "tground.dat");
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
    Converted c(fs::path(LK_PROGRAM_DIR) / "workfiles" / "tground.dat");
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
    for (const QKeySequence& k : {QKeySequence(QKeySequence::HelpContents), QKeySequence(Qt::CTRL | Qt::Key_S),
                                  QKeySequence(Qt::CTRL | Qt::Key_Q), QKeySequence(Qt::CTRL | Qt::Key_Z),
                                  QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::Key_Plus),
                                  QKeySequence(Qt::CTRL | Qt::Key_0)})
        EXPECT_TRUE(keys.contains(k)) << k.toString().toStdString();
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
    Converted c(fs::path(LK_TEST_DATA) / "half.dat", {"--no-connection"});
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
    // the first drawing, when it comes after, is not shown over the second
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    EXPECT_DOUBLE_EQ(w.drawing()->options.kerf, 0.1);
}

// While another program works in the folder, the window says so in a message box and is
// not shown, the command line says so on standard error and exits with 3: no drawing is
// written, inside the folder or out of it.
TEST(CutWindow, ASecondProgramOnTheFolderSaysSoAndTouchesNoFile) {
    const Converted c(fs::path(LK_PROGRAM_DIR) / "workfiles" / "tground.dat");
    wf::WorkFolderLock first(c.t.path() / "workfiles");
    ASSERT_EQ(first.acquire(), wf::LockState::Held);
    const auto contents = [&] { return testsupport::filesOf(c.t.path() / "workfiles"); };
    const auto before = contents();

    testsupport::MessageBoxCloser closer;
    QTimer guard;  // should the window come up after all, the test fails instead of waiting on it
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QApplication::closeAllWindows(); });
    guard.start(10000);
    cut_qt::Request r;
    r.folder = c.t.path();
    EXPECT_EQ(cut_qt::runWindow(r), 3);  // returns at once: the window never ran
    closer.timer.stop();
    EXPECT_EQ(closer.title, "Error");
    EXPECT_EQ(closer.text.toStdString(), wf::kWorkFolderBusy);

    const fs::path svg = c.t.path() / "out.svg";
    const CutRun refused = c.cut({"--dxf", (c.t.path() / "out.dxf").string(), "--svg", svg.string(), "--report"});
    EXPECT_EQ(refused.status, 3);
    EXPECT_EQ(refused.err, std::string("critical|Error|") + wf::kWorkFolderBusy + "\n");
    EXPECT_TRUE(refused.out.empty());
    EXPECT_FALSE(fs::exists(svg));
    EXPECT_FALSE(fs::exists(c.t.path() / "out.dxf"));
    EXPECT_EQ(contents(), before);

    first.release();
    EXPECT_EQ(c.cut({"--svg", svg.string()}).status, 0);
    EXPECT_TRUE(fs::exists(svg));
}

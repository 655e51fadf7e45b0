// The program killed at any moment of a conversion, or two of them on one folder: every work
// file is the old one or the new one, whole, and the hand-over set is never a mix.
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "shapes/session.h"
#include "workfile/workfile_io.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

// The files of "Start convert" in the order they are put in place; c3.dat, the scale, last.
const char* const kHandOverSet[] = {"th.dat",     "orgdim.dat", "stv2b.dat", "top.dat",
                                    "workrl.dat", "workm.dat",  "hl.dat",    "c3.dat"};
const char* const kOld = "old\r\n";

using Files = std::map<std::string, std::string>;

QString cli() { return QString::fromStdString((fs::path(LK_PROGRAM_DIR) / "letterkerf-cli").string()); }

// A program folder with 250 letters over "old" work files.
void prepare(const fs::path& dir) {
    fs::remove_all(dir);
    fs::create_directories(dir / "workfiles");
    fs::copy_file(LK_STANDIN, dir / "STV3.EXE");
    fs::copy_file(fs::path(LK_TEST_DATA) / "half.dat", dir / "workfiles" / "tground.dat");
    for (const char* name : kHandOverSet) std::ofstream(dir / "workfiles" / name) << kOld;
}

Files handOverSet(const fs::path& dir) {
    Files files;
    for (const char* name : kHandOverSet)
        if (fs::exists(dir / "workfiles" / name)) files[name] = wf::readFile(dir / "workfiles" / name);
    return files;
}

// our temporary files (".NAME.tmpN-M") in the work folder
int temporaryFiles(const fs::path& dir) {
    int n = 0;
    for (const auto& e : fs::directory_iterator(dir / "workfiles")) {
        const std::string name = e.path().filename().string();
        n += name.front() == '.' && name.find(".tmp") != std::string::npos;
    }
    return n;
}

// Runs a conversion over the folder, killed after killAfterMs unless that is negative; returns
// the files it left and how long it ran.
Files runConversion(const fs::path& dir, int killAfterMs, qint64* ms = nullptr) {
    prepare(dir);
    QProcess p;
    p.setProgram(cli());
    p.setArguments({"--folder", QString::fromStdString(dir.string()), "--connection", "--cut", "--convert"});
    QElapsedTimer t;
    t.start();
    p.start();
    p.waitForStarted();
    if (killAfterMs >= 0) QThread::msleep(killAfterMs), p.kill();
    p.waitForFinished(30000);
    if (ms) *ms = t.elapsed();
    return handOverSet(dir);
}

}  // namespace

// Killed at many moments, the files of the set are each old or new, whole,
// and the new ones are always the first of the fixed order: a new c3.dat means a whole new
// set. The temporary files a kill leaves behind are removed at the next start (ours only).
TEST(Killed, TheHandOverSetIsOldOrNewAndAStartClearsWhatAKillLeft) {
    testsupport::TempFolder base(false);
    const fs::path dir = base.path() / "program";
    qint64 full = 0;
    const Files done = runConversion(dir, -1, &full);
    ASSERT_EQ(wf::splitLines(done.at("workrl.dat")).back(), "s");
    for (const char* name : kHandOverSet) ASSERT_NE(done.at(name), kOld) << name;

    constexpr int kMoments = 20;
    int interrupted = 0, leftTemporary = 0;
    for (int i = 1; i <= kMoments; ++i) {
        SCOPED_TRACE("killed after " + std::to_string(i) + "/" + std::to_string(kMoments + 1));
        const Files files = runConversion(dir, static_cast<int>(full * i / (kMoments + 1)));
        bool oldSeen = false;
        for (const char* name : kHandOverSet) {
            const std::string& text = files.at(name);
            const bool isNew = text == done.at(name);
            EXPECT_TRUE(text == kOld || isNew) << name;
            EXPECT_FALSE(isNew && oldSeen) << name << " is new after an old file of the set";
            oldSeen = oldSeen || !isNew;
        }
        interrupted += oldSeen;
        if (temporaryFiles(dir) == 0) continue;
        ++leftTemporary;
        std::ofstream(dir / "workfiles" / ".notours.tmp") << "x";
        std::ofstream(dir / "workfiles" / "kon1.tmp") << "x";
        QProcess again;
        again.start(cli(), {"--folder", QString::fromStdString(dir.string())});
        again.waitForFinished(30000);
        EXPECT_EQ(temporaryFiles(dir), 1);  // .notours.tmp
        EXPECT_TRUE(fs::exists(dir / "workfiles" / "kon1.tmp"));
    }
    EXPECT_GT(interrupted, 0);  // some runs were really cut short
    RecordProperty("runsThatLeftTemporaryFiles", leftTemporary);
}

// Two conversions started together on one folder never mix their sets: the
// folder ends with one run's set, whole, and a run that found the folder taken said so and
// changed nothing.
TEST(TwoPrograms, NeverInterleaveTheirHandOverSets) {
    testsupport::TempFolder base(false);
    const fs::path dir = base.path() / "program";
    const QStringList runA = {"--shape", "0", "--h", "4", "--connection", "--cut", "--convert"};
    const QStringList runB = {"--shape", "0", "--h", "6", "--convert"};
    const auto start = [&](QProcess& p, const QStringList& args) {
        p.setProgram(cli());
        p.setArguments(QStringList{"--folder", QString::fromStdString(dir.string())} + args);
        p.start();
    };
    const auto alone = [&](const QStringList& args, bool fresh = true) {
        if (fresh) prepare(dir);
        QProcess p;
        start(p, args);
        p.waitForFinished(30000);
        EXPECT_EQ(p.exitCode(), 0);
        return handOverSet(dir);
    };
    const Files setA = alone(runA), setB = alone(runB);
    // B started once A has ended finds A's state for the same letters and takes it up
    alone(runA);
    const Files setBAfterA = alone(runB, false);
    ASSERT_NE(setA.at("c3.dat"), setB.at("c3.dat"));
    ASSERT_NE(setA.at("workrl.dat"), setB.at("workrl.dat"));

    int refusals = 0;
    for (int pair = 0; pair < 10; ++pair) {
        SCOPED_TRACE("pair " + std::to_string(pair));
        prepare(dir);
        QProcess a, b;
        start(a, runA);
        start(b, runB);
        a.waitForFinished(30000);
        b.waitForFinished(30000);
        const Files files = handOverSet(dir);
        EXPECT_TRUE(files == setA || files == setB || files == setBAfterA) << "a mixed set";
        for (QProcess* p : {&a, &b}) {
            if (p->exitCode() == 0) continue;
            EXPECT_EQ(p->exitCode(), 3);
            // a line of its own (Qt may add notes of its own)
            EXPECT_TRUE(("\n" + p->readAllStandardError())
                            .contains(QByteArray("\ncritical|Error|") + wf::kWorkFolderBusy + "\n"));
            ++refusals;
        }
    }
    RecordProperty("refusals", refusals);
}

// The program killed at any moment of a conversion: every work file is the old one or the new
// one, whole.
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

#include <map>

#include "shell/workfile_io.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

const char* const kWorkFiles[] = {"workrl.dat", "workm.dat", "c3.dat",  "hl.dat",
                                  "th.dat",     "stv2b.dat", "top.dat", "orgdim.dat"};

// Runs a conversion of 250 letters over "old" work files, killed after killAfterMs unless that
// is negative; returns the files it left and how long it ran.
std::map<std::string, std::string> convert(const fs::path& dir, int killAfterMs, qint64* ms = nullptr) {
    fs::remove_all(dir);
    fs::create_directories(dir / "workfiles");
    fs::copy_file(LK_STANDIN, dir / "STV3.EXE");
    fs::copy_file(fs::path(LK_TEST_DATA) / "half.dat", dir / "workfiles" / "tground.dat");
    for (const char* name : kWorkFiles) std::ofstream(dir / "workfiles" / name) << "old\r\n";
    QProcess p;
    p.setProgram(QString::fromStdString((fs::path(LK_PROGRAM_DIR) / "letterkerf-cli").string()));
    p.setArguments({"--folder", QString::fromStdString(dir.string()), "--connection", "--cut", "--convert"});
    QElapsedTimer t;
    t.start();
    p.start();
    p.waitForStarted();
    if (killAfterMs >= 0) QThread::msleep(killAfterMs), p.kill();
    p.waitForFinished(30000);
    if (ms) *ms = t.elapsed();
    std::map<std::string, std::string> files;
    for (const char* name : kWorkFiles)
        if (fs::exists(dir / "workfiles" / name)) files[name] = wf::readFile(dir / "workfiles" / name);
    return files;
}

}  // namespace

TEST(Killed, EveryWorkFileIsOldOrNewWhole) {
    testsupport::TempFolder base(false);
    const fs::path dir = base.path() / "program";
    qint64 full = 0;
    const auto done = convert(dir, -1, &full);
    ASSERT_EQ(wf::splitLines(done.at("workrl.dat")).back(), "s");
    ASSERT_NE(done.at("workm.dat"), "old\r\n");

    int interrupted = 0;
    for (int i = 1; i <= 12; ++i) {
        for (const auto& [name, text] : convert(dir, static_cast<int>(full * i / 13))) {
            EXPECT_TRUE(text == "old\r\n" || text == done.at(name)) << name << " after " << i << "/13";
            interrupted += text == "old\r\n";
        }
    }
    EXPECT_GT(interrupted, 0);  // some runs were really cut short
}

// The program killed at any moment of a conversion: every work file is the old one or the new
// one, whole.
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

#include <map>

#include "shell/workfile_io.h"
#include "support/temp_folder.h"

using namespace testsupport;
namespace fs = std::filesystem;

namespace {

const char* const kWorkFiles[] = {"workrl.dat", "workm.dat", "c3.dat", "hl.dat", "th.dat",
                                  "stv2b.dat",  "top.dat",   "orgdim.dat"};

std::map<std::string, std::string> snapshot(const fs::path& work) {
    std::map<std::string, std::string> files;
    for (const char* name : kWorkFiles)
        if (fs::exists(work / name)) files[name] = wf::readFile(work / name);
    return files;
}

// a program folder with 250 letters, and "old" versions of the files the conversion writes
void prepare(const fs::path& dir) {
    fs::remove_all(dir);
    fs::create_directories(dir / "workfiles");
    fs::copy_file(fs::path(LK_PROGRAM_DIR) / "STV3.EXE", dir / "STV3.EXE");
    fs::copy_file(fs::path(LK_TEST_DATA) / "half.dat", dir / "workfiles" / "tground.dat");
    for (const char* name : kWorkFiles) std::ofstream(dir / "workfiles" / name) << "old\r\n";
}

qint64 convert(const fs::path& dir, int killAfterMs) {
    QProcess p;
    p.setProgram(QString::fromStdString((fs::path(LK_PROGRAM_DIR) / "letterkerf-cli").string()));
    p.setArguments({"--folder", QString::fromStdString(dir.string()), "--connection", "--cut", "--convert"});
    QElapsedTimer t;
    t.start();
    p.start();
    p.waitForStarted();
    if (killAfterMs >= 0) {
        QThread::msleep(killAfterMs);
        p.kill();
    }
    p.waitForFinished(30000);
    return t.elapsed();
}

}  // namespace

TEST(Killed, EveryWorkFileIsOldOrNewWhole) {
    TempFolder base(false);
    const fs::path dir = base.path() / "program";
    prepare(dir);
    const auto old = snapshot(dir / "workfiles");
    const qint64 full = convert(dir, -1);
    const auto done = snapshot(dir / "workfiles");
    ASSERT_EQ(wf::splitLines(done.at("workrl.dat")).back(), "s");
    ASSERT_NE(done.at("workm.dat"), old.at("workm.dat"));

    int interrupted = 0;
    for (int i = 1; i <= 12; ++i) {
        prepare(dir);
        convert(dir, static_cast<int>(full * i / 13));
        const auto now = snapshot(dir / "workfiles");
        for (const auto& [name, text] : now) {
            EXPECT_TRUE(text == old.at(name) || text == done.at(name)) << name << " after " << i << "/13";
            interrupted += text == old.at(name);
        }
    }
    EXPECT_GT(interrupted, 0);  // some runs were really cut short
}

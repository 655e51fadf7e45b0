// The program folder as users have it: odd names, a full disk, siblings that cannot run.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include "shell/session.h"
#include "shell/workfile_io.h"
#include "support/temp_folder.h"

using namespace shell;
using namespace testsupport;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> texts(const HeadlessUi& ui) {
    std::vector<std::string> v;
    for (const Message& m : ui.messages) v.push_back(m.title + "|" + m.text);
    return v;
}

// the sample letters in `dir` (a program folder), the later stage beside them
void prepare(const fs::path& dir) {
    fs::create_directories(dir / "workfiles");
    fs::copy_file(fs::path(LK_PROGRAM_DIR) / "workfiles" / "tground.dat", dir / "workfiles" / "tground.dat");
    fs::copy_file(fs::path(LK_PROGRAM_DIR) / "STV3.EXE", dir / "STV3.EXE");
}

// a small file system of its own at `at`, as long as the object lives
struct SmallDisk {
    fs::path at;
    bool mounted;
    SmallDisk(const fs::path& where, const char* options) : at(where) {
        fs::create_directories(at);
        mounted = mount("tmpfs", at.c_str(), "tmpfs", 0, options) == 0;
    }
    ~SmallDisk() {
        if (mounted) umount2(at.c_str(), MNT_DETACH);
    }
};

}  // namespace

TEST(Faults, AFolderWithBlanksQuotesAndLettersBeyondAscii) {
    TempFolder base(false);
    const fs::path dir = base.path() / "Schilder 'Größe' \"Ä\" ø";
    prepare(dir);
    HeadlessUi ui;
    Session s(dir, "stvt", ui);
    s.load();
    s.activate();
    s.clickBild2();
    EXPECT_TRUE(ui.messages.empty()) << texts(ui).front();
    ASSERT_EQ(ui.started.size(), 1u);
    EXPECT_EQ(ui.started[0].program, dir.string() + "/STV3.EXE");
    EXPECT_EQ(wf::splitLines(wf::readFile(dir / "workfiles" / "workrl.dat")).back(), "s");
}

TEST(Faults, SiblingsThatCannotRunAndAMissingWorkFolder) {
    {
        TempFolder t;
        t.copySample("tground.dat");
        std::ofstream(t.path() / "STV3.EXE") << "not a program";  // present, not executable
        HeadlessUi ui;
        Session s(t.path(), "stvt", ui);
        s.load();
        s.activate();
        s.clickBild2();
        EXPECT_EQ(texts(ui), std::vector<std::string>{"Ende|STV3.EXE not found !"});
        EXPECT_TRUE(ui.started.empty());
    }
    {
        TempFolder t(false);  // no workfiles/ at all
        t.addProgram("STV3.EXE");
        HeadlessUi ui;
        Session s(t.path(), "stvt", ui);
        s.load();
        s.activate();
        ui.messages.clear();
        s.clickBild2();
        EXPECT_EQ(texts(ui), std::vector<std::string>{"Error|File access error !"});
        EXPECT_TRUE(ui.started.empty());
        EXPECT_TRUE(ui.terminated);
    }
}

// A work folder on a file system with almost no room left. Needs the right to mount; skipped
// where that is not given.
TEST(Faults, AFullDiskLeavesEveryWorkFileOldOrNewWhole) {
    TempFolder t(false);
    const fs::path work = t.path() / "workfiles";
    const SmallDisk disk(work, "size=24k");
    if (!disk.mounted) GTEST_SKIP() << "no tmpfs can be mounted here";
    t.copySample("tground.dat");
    t.addProgram("STV3.EXE");
    t.write("c3.dat", crlf({" 9", "old"}));
    HeadlessUi ui;
    Session s(t.path(), "stvt", ui);
    s.load();
    s.activate();
    // fill what is left but a little
    {
        std::ofstream fill(work / "filler", std::ios::binary);
        const std::string block(1024, 'x');
        for (int i = 0; i < 64 && fill; ++i) fill.write(block.data(), block.size()), fill.flush();
    }
    fs::resize_file(work / "filler", fs::file_size(work / "filler") - 2048);
    s.clickBild2();
    EXPECT_EQ(texts(ui), std::vector<std::string>{"Error|File access error !"});
    EXPECT_TRUE(ui.started.empty());
    // each file is the old one or a new one, whole; no temporary file is left behind
    for (const auto& e : fs::directory_iterator(work)) {
        const std::string name = e.path().filename().string();
        EXPECT_NE(name.front(), '.') << name;
        if (name == "workrl.dat") EXPECT_EQ(wf::splitLines(t.read(name)).back(), "s");
        if (name == "stv2b.dat") EXPECT_EQ(wf::splitLines(t.read(name)).size(), std::size_t(kStv2bLines));
    }
    const std::string c3 = t.read("c3.dat");
    EXPECT_TRUE(c3 == crlf({" 9", "old"}) || wf::splitLines(c3).size() == 6u) << c3;
}

// A read-only work folder: permissions do not hold back a superuser, a read-only mount does.
TEST(Faults, AReadOnlyWorkFolder) {
    TempFolder t(false);
    const fs::path work = t.path() / "workfiles";
    const SmallDisk disk(work, "size=64k");
    if (!disk.mounted) GTEST_SKIP() << "no tmpfs can be mounted here";
    t.copySample("tground.dat");
    t.addProgram("STV3.EXE");
    ASSERT_EQ(mount("tmpfs", work.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
    HeadlessUi ui;
    Session s(t.path(), "stvt", ui);
    s.load();
    s.activate();  // the probes cannot create their files; the letters are read all the same
    EXPECT_EQ(s.model.letterCount, 3);
    s.clickBild2();
    EXPECT_EQ(texts(ui).back(), "Error|File access error !");
    EXPECT_TRUE(ui.started.empty());
    EXPECT_FALSE(fs::exists(work / "workrl.dat"));
}

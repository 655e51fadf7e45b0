// One program of the suite at a time on a program folder.
#include "workfile/work_lock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>

#include "shapes/session.h"
#include "support/temp_folder.h"

using namespace shapes;
using namespace testsupport;
namespace fs = std::filesystem;

namespace {

// every entry of a folder with its bytes
std::map<std::string, std::string> contents(const fs::path& dir) {
    std::map<std::string, std::string> v;
    for (const auto& e : fs::directory_iterator(dir)) {
        std::ifstream in(e.path(), std::ios::binary);
        v[e.path().filename().string()] = std::string(std::istreambuf_iterator<char>(in), {});
    }
    return v;
}

// a HeadlessUi that, whenever a program is started, tries the lock of the folder itself
struct ProbingUi : HeadlessUi {
    fs::path folder;
    std::vector<wf::LockState> atStart;
    bool startProgram(const std::string& program, const std::vector<std::string>& args) override {
        wf::WorkFolderLock other(folder);
        atStart.push_back(other.acquire());
        return HeadlessUi::startProgram(program, args);
    }
};

// makes the work folder read-only as long as it lives: for a superuser (whom no mode holds
// back) a read-only file system mounted there, else the folder's mode
struct ReadOnlyFolder {
    fs::path at;
    bool mounted = false, ok = false;
    explicit ReadOnlyFolder(const fs::path& dir) : at(dir) {
        if (::geteuid() != 0) {
            fs::permissions(at, fs::perms::owner_read | fs::perms::owner_exec);
            ok = true;
            return;
        }
        // a file system of its own holding a copy of the folder, remounted read-only
        const auto saved = contents(at);
        if (::mount("tmpfs", at.c_str(), "tmpfs", 0, "size=1m") != 0) return;
        mounted = true;
        for (const auto& [name, bytes] : saved) std::ofstream(at / name, std::ios::binary) << bytes;
        ok = ::mount("tmpfs", at.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }
    ~ReadOnlyFolder() {
        if (mounted) ::umount2(at.c_str(), MNT_DETACH);
        if (::geteuid() != 0) fs::permissions(at, fs::perms::owner_all);
    }
};

}  // namespace

// A second program on the folder says so and ends before it touches a file (not even the
// stale temporary files, which may be the first one's work in progress); the first one
// removed those of an earlier run when it took the folder. Once the first ends, the folder is
// free again.
TEST(WorkFolder, ASecondProgramSaysSoAndEndsWithoutTouchingAFile) {
    TempFolder t;
    t.copySample("tground.dat");
    t.write(".c3.dat.tmp1-1", "left by a killed run");
    auto ui1 = std::make_unique<HeadlessUi>();
    auto first = std::make_unique<Session>(t.path(), "stvt", *ui1);
    ASSERT_TRUE(first->claimWorkFolder());
    EXPECT_TRUE(ui1->messages.empty());
    EXPECT_FALSE(t.exists(".c3.dat.tmp1-1"));
    EXPECT_TRUE(t.exists(wf::kLockFileName));
    EXPECT_EQ(fs::status(t.work(wf::kLockFileName)).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    first->load();
    first->activate();

    t.write(".c3.dat.tmp2-2", "the first one's work in progress");
    for (const char* probed : {"top.dat", "th.dat", "workfile.dcc"}) fs::remove(t.work(probed));
    const auto before = contents(t.path() / "workfiles");
    HeadlessUi ui2;
    Session second(t.path(), "stvt", ui2);
    EXPECT_FALSE(second.claimWorkFolder());
    ASSERT_EQ(ui2.messages.size(), 1u);
    EXPECT_EQ(ui2.messages[0].text, wf::kWorkFolderBusy);
    EXPECT_EQ(ui2.messages[0].title, "Error");
    EXPECT_EQ(ui2.messages[0].icon, Icon::Critical);
    EXPECT_TRUE(ui2.terminated);
    EXPECT_TRUE(second.terminated());
    second.load();  // what a careless caller might still do: the ended session creates nothing
    second.activate();
    EXPECT_EQ(contents(t.path() / "workfiles"), before);

    first.reset();
    HeadlessUi ui3;
    Session third(t.path(), "stvt", ui3);
    EXPECT_TRUE(third.claimWorkFolder());
    EXPECT_TRUE(ui3.messages.empty());
}

// The lock is given up just before a sibling program starts (the sibling may take it) and
// taken again when the start fails; no program started meanwhile inherits it.
TEST(WorkFolder, GivenUpJustBeforeASiblingStarts) {
    TempFolder t;
    t.copySample("tground.dat");
    t.copySample("wif.dat");
    ProbingUi ui;
    ui.folder = t.path() / "workfiles";
    Session s(t.path(), "stvt", ui);
    ASSERT_TRUE(s.claimWorkFolder());
    s.load();
    s.activate();
    EXPECT_FALSE(s.closeWindow());  // no STV3.EXE: "File access error !", the window stays
    ASSERT_EQ(ui.atStart.size(), 1u);
    EXPECT_EQ(ui.atStart[0], wf::LockState::Held);
    EXPECT_TRUE(s.workLock()->held());
    wf::WorkFolderLock other(ui.folder);
    EXPECT_EQ(other.acquire(), wf::LockState::Busy);
    t.addProgram("STV3.EXE");
    EXPECT_TRUE(s.closeWindow());
    ASSERT_EQ(ui.atStart.size(), 2u);
    EXPECT_EQ(ui.atStart[1], wf::LockState::Held);
    EXPECT_FALSE(s.workLock()->held());

    // a child started while the lock is held does not keep it once we give it up
    wf::WorkFolderLock mine(ui.folder);
    ASSERT_EQ(mine.acquire(), wf::LockState::Held);
    pid_t child = 0;
    char sleepName[] = "sleep", seconds[] = "5";
    char* argv[] = {sleepName, seconds, nullptr};
    ASSERT_EQ(::posix_spawnp(&child, "sleep", nullptr, nullptr, argv, environ), 0);
    mine.release();
    EXPECT_EQ(other.acquire(), wf::LockState::Held);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
}

// A read-only work folder without a lock file: the program starts so the work can be looked
// at, says that nothing can be saved, and writes nothing (it cannot: every write is "File
// access error !"). With a lock file there (made while the folder was writable), the lock
// works as ever. No work folder: nothing to lock, the operations report it. Something else in
// the lock file's place in a writable folder: the program says so and ends.
TEST(WorkFolder, ReadOnlyMissingOrUnusable) {
    {
        SCOPED_TRACE("read-only, no lock file");
        TempFolder t;
        t.copySample("tground.dat");
        t.addProgram("STV3.EXE");
        const ReadOnlyFolder ro(t.path() / "workfiles");
        if (!ro.ok) GTEST_SKIP() << "no read-only folder can be made here";
        const auto before = contents(t.path() / "workfiles");
        HeadlessUi ui;
        Session s(t.path(), "stvt", ui);
        EXPECT_TRUE(s.claimWorkFolder());
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, wf::kWorkFolderReadOnly);
        EXPECT_EQ(ui.messages[0].icon, Icon::Information);
        s.load();
        s.activate();
        EXPECT_EQ(s.model().letterCount, 3);  // the work can be looked at
        s.startConvert();
        EXPECT_EQ(ui.messages.back().text, kFileAccessError);
        EXPECT_TRUE(ui.started.empty());
        EXPECT_EQ(contents(t.path() / "workfiles"), before);
    }
    {
        SCOPED_TRACE("read-only, with a lock file");
        TempFolder t;
        t.copySample("tground.dat");
        { wf::WorkFolderLock once(t.path() / "workfiles"); ASSERT_EQ(once.acquire(), wf::LockState::Held); }
        const ReadOnlyFolder ro(t.path() / "workfiles");
        ASSERT_TRUE(ro.ok);
        HeadlessUi ui;
        Session s(t.path(), "stvt", ui);
        EXPECT_TRUE(s.claimWorkFolder());
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_EQ(wf::WorkFolderLock(t.path() / "workfiles").acquire(), wf::LockState::Busy);
    }
    {
        SCOPED_TRACE("no work folder");
        TempFolder t(false);
        HeadlessUi ui;
        Session s(t.path(), "stvt", ui);
        EXPECT_TRUE(s.claimWorkFolder());
        EXPECT_TRUE(ui.messages.empty());
        EXPECT_FALSE(fs::exists(t.path() / "workfiles"));
    }
    for (const bool link : {false, true}) {
        SCOPED_TRACE(link ? "a link in the lock file's place" : "a folder in the lock file's place");
        TempFolder t;
        if (link)
            fs::create_symlink(t.work("elsewhere"), t.work(wf::kLockFileName));
        else
            fs::create_directories(t.work(wf::kLockFileName));
        HeadlessUi ui;
        Session s(t.path(), "stvt", ui);
        EXPECT_FALSE(s.claimWorkFolder());
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, wf::kWorkFolderNotLockable);
        EXPECT_TRUE(ui.terminated);
        EXPECT_FALSE(t.exists("elsewhere"));
    }
}

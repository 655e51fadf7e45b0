// One program of the suite at a time on a program folder: the lock every program takes first.
#include "workfile/work_lock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/temp_folder.h"

using namespace testsupport;
using wf::LockState;
namespace fs = std::filesystem;

namespace {

// makes the work folder read-only as long as it lives: for a superuser (whom no mode holds
// back) the folder bound onto itself read-only; else the mode
struct ReadOnlyFolder {
    fs::path at;
    bool mounted = false, ok = ::geteuid() != 0;
    explicit ReadOnlyFolder(const fs::path& dir) : at(dir) {
        if (ok) {
            fs::permissions(at, fs::perms::owner_read | fs::perms::owner_exec);
            return;
        }
        mounted = ::mount(at.c_str(), at.c_str(), nullptr, MS_BIND, nullptr) == 0;
        ok = mounted && ::mount(nullptr, at.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
    }
    ~ReadOnlyFolder() {
        if (mounted) ::umount2(at.c_str(), MNT_DETACH);
        if (::geteuid() != 0) fs::permissions(at, fs::perms::owner_all);
    }
};

}  // namespace

// The first program holds the folder, a second one is told it is busy and ends before it
// touches a file; once the first lets go the folder is free. The lock file is readable to all.
TEST(WorkFolderLock, OneProgramAtATime) {
    TempFolder t;
    wf::WorkFolderLock first(t.path() / "workfiles"), second(t.path() / "workfiles");
    EXPECT_EQ(first.acquire(), LockState::Held);
    EXPECT_EQ(fs::status(t.work(wf::kLockFileName)).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(second.acquire(), LockState::Busy);
    EXPECT_FALSE(second.held());
    EXPECT_EQ(first.acquire(), LockState::Held);  // held already: stays held
    first.release();
    EXPECT_EQ(second.acquire(), LockState::Held);
    EXPECT_TRUE(t.exists(wf::kLockFileName));  // never removed

    // a sibling is started with the lock given up just before (so that it may take it); a failed
    // start takes the folder back, or ends the program when another took it meanwhile; no program
    // started while the lock is held keeps it once we give it up
    std::vector<LockState> atStart;
    const auto sibling = [&](bool starts) {
        return [&, starts] {
            atStart.push_back(first.acquire());
            first.release();
            return starts;
        };
    };
    EXPECT_EQ(second.handOver(sibling(false)), wf::HandOver::NotStarted);
    EXPECT_TRUE(second.held());
    EXPECT_EQ(second.handOver(sibling(true)), wf::HandOver::Started);
    EXPECT_FALSE(second.held());
    EXPECT_EQ(atStart, (std::vector<LockState>{LockState::Held, LockState::Held}));
    ASSERT_EQ(second.acquire(), LockState::Held);
    EXPECT_EQ(second.handOver([&] { return first.acquire() == LockState::Held && false; }), wf::HandOver::Lost);
    first.release();

    ASSERT_EQ(second.acquire(), LockState::Held);
    pid_t child = 0;
    char sleepName[] = "sleep", seconds[] = "5";
    char* argv[] = {sleepName, seconds, nullptr};
    ASSERT_EQ(::posix_spawnp(&child, "sleep", nullptr, nullptr, argv, environ), 0);
    second.release();
    EXPECT_EQ(first.acquire(), LockState::Held);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
}

// What each outcome tells the program: go on quietly, go on after a note, or say why and end.
TEST(WorkFolderLock, EachOutcomeGoesOnOrSaysWhyAndEnds) {
    const struct {
        LockState state;
        bool proceed;
        const char *text, *title;
    } claims[] = {{LockState::Held, true, nullptr, nullptr},
                  {LockState::NoFolder, true, nullptr, nullptr},
                  {LockState::ReadOnly, true, wf::kWorkFolderReadOnly, "Info"},
                  {LockState::Busy, false, wf::kWorkFolderBusy, "Error"},
                  {LockState::Failed, false, wf::kWorkFolderNotLockable, "Error"}};
    for (const auto& c : claims) {
        SCOPED_TRACE(static_cast<int>(c.state));
        const wf::FolderClaim claim = wf::claimOf(c.state);
        EXPECT_EQ(claim.proceed, c.proceed);
        EXPECT_EQ(claim.critical, !c.proceed);  // an error ends the program, a note does not
        EXPECT_STREQ(claim.text, c.text);
        EXPECT_STREQ(claim.title, c.title);
    }
}

// A read-only work folder without a lock file: the program goes on after a note (nothing can
// be saved there anyway); with a lock file made while it was writable, the lock works as ever.
// No work folder: nothing to lock. Something else in the lock file's place: the program says
// so and ends, and nothing is made where a link points.
TEST(WorkFolderLock, ReadOnlyMissingOrUnusable) {
    for (const bool lockFileThere : {false, true}) {
        SCOPED_TRACE(lockFileThere ? "read-only, with a lock file" : "read-only, no lock file");
        TempFolder t;
        if (lockFileThere) wf::WorkFolderLock(t.path() / "workfiles").acquire();
        const ReadOnlyFolder ro(t.path() / "workfiles");
        if (!ro.ok) GTEST_SKIP() << "no read-only folder can be made here";
        wf::WorkFolderLock lock(t.path() / "workfiles"), other(t.path() / "workfiles");
        EXPECT_EQ(lock.acquire(), lockFileThere ? LockState::Held : LockState::ReadOnly);
        EXPECT_EQ(other.acquire(), lockFileThere ? LockState::Busy : LockState::ReadOnly);
    }
    TempFolder none(false);
    EXPECT_EQ(wf::WorkFolderLock(none.path() / "workfiles").acquire(), LockState::NoFolder);
    EXPECT_FALSE(fs::exists(none.path() / "workfiles"));

    for (const bool link : {false, true}) {
        SCOPED_TRACE(link ? "a link in the lock file's place" : "a folder in the lock file's place");
        TempFolder t;
        if (link)
            fs::create_symlink(t.work("elsewhere"), t.work(wf::kLockFileName));
        else
            fs::create_directories(t.work(wf::kLockFileName));
        EXPECT_EQ(wf::WorkFolderLock(t.path() / "workfiles").acquire(), LockState::Failed);
        EXPECT_FALSE(t.exists("elsewhere"));
    }
}

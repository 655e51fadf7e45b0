// The lock that keeps two programs of the suite out of one program folder at the same time.
#pragma once

#include <filesystem>
#include <functional>

namespace wf {

// The lock file in the work folder. It is created once (mode 0644 whatever the umask, so any
// user who may read the folder may lock it) and never removed: the lock is the exclusive flock
// on it, which the system drops when the program ends, however it ends.
inline constexpr const char* kLockFileName = ".letterkerf.lock";

// What every program of the suite says about its work folder, and the titles of its boxes.
inline constexpr const char* kErrorTitle = "Error";
inline constexpr const char* kInfoTitle = "Info";
inline constexpr const char* kWorkFolderBusy =
    "Another program of the suite is working in this program folder. Close it, then start again.";
inline constexpr const char* kWorkFolderNotLockable =
    "The work folder cannot be locked (workfiles/.letterkerf.lock). Nothing has been changed.";
inline constexpr const char* kWorkFolderReadOnly =
    "The work folder is read-only: the work can be looked at, but nothing can be saved.";

enum class LockState {
    Held,      // this program holds the folder
    Busy,      // another program holds it
    ReadOnly,  // the folder takes no file and holds no lock file: nothing can be written there
    NoFolder,  // there is no work folder
    Failed,    // the folder takes files, yet the lock file cannot be used (something else in its place, no room)
    Released,  // not tried yet, or given up
};

// What a program does after trying the lock at its start, the same in every program:
// held or no folder (the operations report that as they meet it): on, silently; a read-only
// folder: on, after a note, since nothing can be written there anyway; else it ends after
// saying why, before a file is touched.
struct FolderClaim {
    bool proceed = true;
    const char* text = nullptr;  // nothing to say
    const char* title = nullptr;
    bool critical = false;       // an error rather than a note
};
FolderClaim claimOf(LockState state);

// What a program says when it could not take the folder back (Busy: another program has it).
const char* lostText(LockState state);

enum class HandOver {
    Started,     // the sibling runs; the lock stays given up
    NotStarted,  // the start failed; the lock is held again (when it was held before)
    Lost,        // the start failed and the folder could not be taken back: this program ends
};

class WorkFolderLock {
public:
    explicit WorkFolderLock(std::filesystem::path workFolder);
    WorkFolderLock(const WorkFolderLock&) = delete;
    WorkFolderLock& operator=(const WorkFolderLock&) = delete;
    ~WorkFolderLock() { release(); }

    // Tries once, without waiting. The descriptor is closed on exec, so a program started
    // meanwhile never inherits the lock.
    LockState acquire();
    void release();
    // Starts a sibling program that works in this folder: the lock is given up just before
    // `start` runs (the sibling takes it) and taken again when `start` returns false.
    HandOver handOver(const std::function<bool()>& start);
    bool held() const { return fd_ >= 0; }
    LockState state() const { return state_; }
    const std::filesystem::path& file() const { return file_; }

private:
    std::filesystem::path file_;
    int fd_ = -1;
    LockState state_ = LockState::Released;
};

}  // namespace wf

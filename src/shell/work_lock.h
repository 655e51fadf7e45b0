// The lock that keeps two programs of the suite out of one program folder at the same time.
#pragma once

#include <filesystem>

namespace shell {

// The lock file in the work folder. It is created once (mode 0644 whatever the umask, so any
// user who may read the folder may lock it) and never removed: the lock is the exclusive flock
// on it, which the system drops when the program ends, however it ends.
inline constexpr const char* kLockFileName = ".letterkerf.lock";

enum class LockState {
    Held,      // this program holds the folder
    Busy,      // another program holds it
    ReadOnly,  // the folder takes no file and holds no lock file: nothing can be written there
    NoFolder,  // there is no work folder
    Failed,    // the folder takes files, yet the lock file cannot be used (something else in its place, no room)
    Released,  // not tried yet, or given up
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
    bool held() const { return fd_ >= 0; }
    LockState state() const { return state_; }
    const std::filesystem::path& file() const { return file_; }

private:
    std::filesystem::path file_;
    int fd_ = -1;
    LockState state_ = LockState::Released;
};

}  // namespace shell

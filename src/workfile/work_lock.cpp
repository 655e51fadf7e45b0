#include "workfile/work_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace wf {

namespace {
constexpr int kFlags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
constexpr mode_t kLockMode = 0644;

// the folder refuses new files to this user (or to everyone)
bool refusesFiles(int error) { return error == EACCES || error == EPERM || error == EROFS; }
}  // namespace

FolderClaim claimOf(LockState state) {
    switch (state) {
        case LockState::Held:
        case LockState::NoFolder: return {};
        case LockState::ReadOnly: return {true, kWorkFolderReadOnly, kInfoTitle, false};
        default: return {false, lostText(state), kErrorTitle, true};
    }
}

const char* lostText(LockState state) {
    return state == LockState::Busy ? kWorkFolderBusy : kWorkFolderNotLockable;
}

WorkFolderLock::WorkFolderLock(std::filesystem::path workFolder) : file_(std::move(workFolder) / kLockFileName) {}

LockState WorkFolderLock::acquire() {
    if (fd_ >= 0) return state_ = LockState::Held;
    int fd = ::open(file_.c_str(), O_RDWR | O_CREAT | O_EXCL | kFlags, kLockMode);
    if (fd >= 0) {
        (void)::fchmod(fd, kLockMode);  // whatever the umask took away
    } else if (errno == EEXIST) {
        fd = ::open(file_.c_str(), O_RDWR | kFlags);
        // a lock file of another user: reading is all flock needs
        if (fd < 0 && (errno == EACCES || errno == EROFS)) fd = ::open(file_.c_str(), O_RDONLY | kFlags);
        if (fd < 0) return state_ = LockState::Failed;
    } else if (errno == ENOENT) {
        return state_ = LockState::NoFolder;
    } else if (refusesFiles(errno)) {
        return state_ = LockState::ReadOnly;
    } else {
        return state_ = LockState::Failed;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return state_ = LockState::Failed;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        return state_ = error == EWOULDBLOCK ? LockState::Busy : LockState::Failed;
    }
    fd_ = fd;
    return state_ = LockState::Held;
}

HandOver WorkFolderLock::handOver(const std::function<bool()>& start) {
    const bool held = fd_ >= 0;
    if (held) release();
    if (start()) return HandOver::Started;
    if (held && acquire() != LockState::Held) return HandOver::Lost;
    return HandOver::NotStarted;
}

void WorkFolderLock::release() {
    if (fd_ < 0) return;
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
    state_ = LockState::Released;
}

}  // namespace wf

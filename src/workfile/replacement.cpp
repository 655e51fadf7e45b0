// Atomic replacement: new texts written to temporary files beside their targets, flushed, and
// renamed over them in order; the temporary files of a killed run removed.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <random>
#include <set>

#include "workfile/descriptor.h"
#include "workfile/workfile_io.h"

namespace wf {

void replaceFile(const std::filesystem::path& file, std::string_view content, Sync sync) {
    FileSet set;
    set.replace(file, content, sync);
    set.commit();
}

namespace {

// ".NAME.tmpN-M", the name of a temporary file of FileSet
bool isTemporaryName(std::string_view name) {
    if (name.size() < 2 || name[0] != '.') return false;
    const std::size_t tmp = name.rfind(".tmp");
    if (tmp == std::string_view::npos || tmp < 2) return false;
    const std::string_view tail = name.substr(tmp + 4);
    const std::size_t dash = tail.find('-');
    if (dash == std::string_view::npos || dash == 0 || dash + 1 == tail.size()) return false;
    for (std::size_t i = 0; i < tail.size(); ++i)
        if (i != dash && (tail[i] < '0' || tail[i] > '9')) return false;
    return true;
}

std::filesystem::path temporaryName(const std::filesystem::path& file) {
    static std::atomic<unsigned> counter{0};
    std::random_device rd;
    return file.parent_path() / ("." + file.filename().string() + ".tmp" + std::to_string(rd() % 1000000) + "-" +
                                 std::to_string(counter++));
}

// The file that `file` names, when it exists, must be one the user may replace or remove:
// a regular file, not a symbolic link, writable to this user and not read-only by its mode
// (which holds for a superuser too). False when there is no such file yet.
bool checkReplaceable(const std::filesystem::path& file, struct stat& st) {
    if (::lstat(file.c_str(), &st) != 0) {
        if (errno == ENOENT) return false;
        throw fault::FileFault("cannot look at " + file.string());
    }
    if (S_ISLNK(st.st_mode)) throw fault::FileFault("a symbolic link is not replaced: " + file.string());
    if (!S_ISREG(st.st_mode)) throw fault::FileFault("not a regular file: " + file.string());
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) != 0)
        throw fault::FileFault("read-only: " + file.string());
    return true;
}

bool writeAll(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t n = ::write(fd, content.data(), content.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        content.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// fsync, where the file system has it: some (network shares among them) refuse it for what
// they cannot flush, which is no fault of the file
bool flush(int fd) { return ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP || errno == EROFS; }

// flushes the folders' entries (the renames); a folder that cannot be opened for it is skipped
void syncFolders(const std::set<std::filesystem::path>& folders) {
    for (const auto& dir : folders) {
        Fd d(::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (d.fd >= 0 && !flush(d.fd)) throw fault::FileFault("cannot flush " + dir.string());
    }
}

}  // namespace

void FileSet::replace(const std::filesystem::path& file, std::string_view content, Sync sync) {
    if (committed_) throw fault::FileFault("the set is committed");
    struct stat old {};
    const bool exists = checkReplaceable(file, old);
    std::filesystem::path tmp;
    int fd = -1;
    for (int attempt = 0; attempt < 8 && fd < 0; ++attempt) {
        tmp = temporaryName(file);
        fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) throw fault::FileFault("cannot write " + file.string());
    Fd out(fd);
    bool ok = writeAll(out.fd, content);
    if (ok && exists) {
        // the new file takes the old one's place with its owner (where allowed) and its mode
        if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) (void)::fchown(out.fd, old.st_uid, old.st_gid);
        ok = ::fchmod(out.fd, old.st_mode & 07777) == 0;
    }
    if (ok && sync == Sync::Durable) ok = flush(out.fd);
    ok = ::close(out.release()) == 0 && ok;  // a full disk may only show when the last block goes out
    if (!ok) {
        ::unlink(tmp.c_str());
        throw fault::FileFault("cannot write " + file.string());
    }
    entries_.push_back({file, tmp});
    durable_ = durable_ || sync == Sync::Durable;
}

void FileSet::remove(const std::filesystem::path& file) {
    if (committed_) throw fault::FileFault("the set is committed");
    struct stat st {};
    checkReplaceable(file, st);
    entries_.push_back({file, {}});
}

void FileSet::commit() {
    if (committed_) return;
    std::set<std::filesystem::path> folders;
    for (const Entry& e : entries_) folders.insert(e.target.parent_path());
    for (; done_ < entries_.size(); ++done_) {
        const Entry& e = entries_[done_];
        // everything before the last file is on the disk before the last file is
        if (durable_ && entries_.size() > 1 && done_ + 1 == entries_.size()) syncFolders(folders);
        if (e.temp.empty()) {
            if (::unlink(e.target.c_str()) != 0 && errno != ENOENT)
                throw fault::FileFault("cannot remove " + e.target.string());
        } else if (::rename(e.temp.c_str(), e.target.c_str()) != 0) {
            throw fault::FileFault("cannot replace " + e.target.string());
        }
    }
    committed_ = true;
    if (durable_) syncFolders(folders);
}

FileSet::~FileSet() {
    for (std::size_t i = done_; i < entries_.size(); ++i)
        if (!entries_[i].temp.empty()) ::unlink(entries_[i].temp.c_str());
}

int removeStaleTemporaryFiles(const std::filesystem::path& folder) {
    std::error_code ec;
    int removed = 0;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::filesystem::path p = it->path();
        if (!isTemporaryName(p.filename().string())) continue;
        struct stat st {};
        if (::lstat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::unlink(p.c_str()) == 0) ++removed;
    }
    return removed;
}

}  // namespace wf

// The line files: a work file probed, read whole (or kept while it stays the same), split
// into lines and read line after line; lines collected and written as one file.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <mutex>

#include "workfile/descriptor.h"
#include "workfile/workfile_io.h"

namespace wf {

std::uintmax_t probeLength(const std::filesystem::path& file) {
    // twice: a file created by someone else between the look and the creation is looked at again
    for (int attempt = 0; attempt < 2; ++attempt) {
        struct stat st {};
        if (::lstat(file.c_str(), &st) == 0) {
            if (!S_ISREG(st.st_mode)) throw fault::FileFault("not a regular file: " + file.string());
            return static_cast<std::uintmax_t>(st.st_size);
        }
        if (errno != ENOENT) throw fault::FileFault("cannot open " + file.string());
        const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            return 0;
        }
        if (errno != EEXIST) throw fault::FileFault("cannot open " + file.string());
    }
    throw fault::FileFault("cannot open " + file.string());
}

std::vector<std::string> splitLines(std::string_view content) {
    // counted first: a letter file has up to a million lines, and growing the list step by
    // step would copy every line again and again
    std::size_t ends = 1;
    for (std::size_t i = 0; i < content.size(); ++i)
        ends += content[i] == '\n' || (content[i] == '\r' && (i + 1 == content.size() || content[i + 1] != '\n'));
    std::vector<std::string> lines;
    lines.reserve(ends);
    std::size_t start = 0;
    for (std::size_t i = 0; i < content.size(); ++i) {
        const char c = content[i];
        if (c == '\r' || c == '\n') {
            lines.emplace_back(content.substr(start, i - start));
            if (c == '\r' && i + 1 < content.size() && content[i + 1] == '\n') ++i;
            start = i + 1;
        }
    }
    if (start < content.size()) lines.emplace_back(content.substr(start));
    return lines;
}

namespace {

// The file opened for reading as readFile takes it: not through a link, no FIFO held open,
// a regular file within the limit.
Fd openForReading(const std::filesystem::path& file, struct stat& st) {
    // O_NONBLOCK: a FIFO in the file's place must not hold the open; it is refused just below
    Fd in(::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (in.fd < 0) throw fault::FileFault("cannot read " + file.string());
    if (::fstat(in.fd, &st) != 0 || !S_ISREG(st.st_mode)) throw fault::FileFault("not a regular file: " + file.string());
    if (static_cast<std::uintmax_t>(st.st_size) > kMaxReadBytes) throw fault::FileFault("too large: " + file.string());
    return Fd(in.release());
}

std::string readOpened(const Fd& in, const struct stat& st, const std::filesystem::path& file) {
    std::string content;
    content.reserve(static_cast<std::size_t>(st.st_size));
    char buf[1 << 16];
    for (;;) {
        const ssize_t n = ::read(in.fd, buf, sizeof buf);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            throw fault::FileFault("cannot read " + file.string());
        }
        content.append(buf, static_cast<std::size_t>(n));
        // a file that grows while it is read is held to the same limit
        if (content.size() > kMaxReadBytes) throw fault::FileFault("too large: " + file.string());
    }
    return content;
}

}  // namespace

std::string readFile(const std::filesystem::path& file) {
    struct stat st {};
    const Fd in = openForReading(file, st);
    return readOpened(in, st, file);
}

std::shared_ptr<const std::string> readFileKept(const std::filesystem::path& file) {
    struct Kept {
        std::filesystem::path file;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = -1;
        timespec modified{}, changed{};
        std::shared_ptr<const std::string> bytes;
    };
    // A file changed within this long before it was read may change again without its times
    // moving on (they tick coarsely on some file systems): such bytes are not trusted later.
    constexpr long kTimeGrainSeconds = 2;
    static std::mutex lock;
    static Kept kept;
    struct stat st {};
    const Fd in = openForReading(file, st);
    const auto same = [](const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; };
    {
        const std::lock_guard<std::mutex> guard(lock);
        if (kept.bytes && kept.file == file && kept.device == st.st_dev && kept.inode == st.st_ino &&
            kept.size == st.st_size && same(kept.modified, st.st_mtim) && same(kept.changed, st.st_ctim))
            return kept.bytes;
        kept = Kept{};  // the old bytes go before the new ones come
    }
    timespec readAt{};
    ::clock_gettime(CLOCK_REALTIME, &readAt);
    auto bytes = std::make_shared<const std::string>(readOpened(in, st, file));
    // kept only when the file has been still for a while and stayed so while it was read
    struct stat after {};
    const bool settled = ::fstat(in.fd, &after) == 0 && after.st_size == st.st_size &&
                         same(after.st_mtim, st.st_mtim) && same(after.st_ctim, st.st_ctim) &&
                         bytes->size() == static_cast<std::size_t>(st.st_size) &&
                         st.st_ctim.tv_sec + kTimeGrainSeconds < readAt.tv_sec &&
                         st.st_mtim.tv_sec + kTimeGrainSeconds < readAt.tv_sec;
    if (settled) {
        const std::lock_guard<std::mutex> guard(lock);
        kept = Kept{file, st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim, bytes};
    }
    return bytes;
}

LineReader::LineReader(const std::filesystem::path& file)
    : owner_(std::make_shared<const std::string>(readFile(file))), content_(*owner_) {}

LineReader::LineReader(std::shared_ptr<const std::string> text) : owner_(std::move(text)), content_(*owner_) {}

LineReader LineReader::over(std::string_view text) {
    LineReader r;
    r.content_ = text;
    return r;
}

LineReader::LineReader(const std::vector<std::string>& lines) {
    // the lines hold no line end of their own, so a lone LF after each keeps them apart
    std::string joined;
    for (const auto& l : lines) {
        joined += l;
        joined += '\n';
    }
    owner_ = std::make_shared<const std::string>(std::move(joined));
    content_ = *owner_;
}

std::string_view LineReader::next() {
    if (pos_ >= content_.size()) throw fault::FileFault("input past end of file");
    std::size_t end = pos_;
    while (end < content_.size() && content_[end] != '\r' && content_[end] != '\n') ++end;
    const std::string_view line = content_.substr(pos_, end - pos_);
    pos_ = end;
    if (pos_ < content_.size()) {
        if (content_[pos_] == '\r' && pos_ + 1 < content_.size() && content_[pos_ + 1] == '\n') ++pos_;
        ++pos_;
    }
    return line;
}
const std::string& LineReader::text() {
    line_.assign(next());
    return line_;
}
double LineReader::number() { return parseNumber(next()); }
std::int16_t LineReader::int16() { return toInt16(number()); }
std::int32_t LineReader::int32() { return toInt32(number()); }
bool LineReader::flag() { return number() == 1.0; }

LineWriter& LineWriter::text(std::string_view line) {
    content_.append(line);
    content_.append(kEol);
    return *this;
}

void LineWriter::commit(const std::filesystem::path& file, Sync sync) const { replaceFile(file, content_, sync); }

}  // namespace wf

#include "workfile/workfile_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <mutex>
#include <set>

namespace wf {

namespace {

constexpr int kSignificantDigits = 15;
constexpr double kLargestWritable = 1.79769313486231e308;  // the largest 15-digit number below the range's end

}  // namespace

std::string formatNumber(double value) {
    if (!std::isfinite(value)) throw fault::OverflowFault("number is not finite");
    if (value == 0.0) return " 0";  // negative zero included

    // Correctly rounded to 15 significant digits: "d.dddddddddddddde+XX" (ties to even, as the
    // C library's own scientific form).
    const double magnitude = std::fabs(value);
    char sci[32];
    const char* const sciEnd =
        std::to_chars(sci, sci + sizeof sci, magnitude, std::chars_format::scientific, kSignificantDigits - 1).ptr;
    // the largest doubles round up past the range: such a line could never be read back
    if (magnitude > kLargestWritable) {
        double back = 0;
        if (std::from_chars(sci, sciEnd, back).ec == std::errc::result_out_of_range)
            throw fault::OverflowFault("number leaves the range when rounded");
    }
    char mantissa[kSignificantDigits];
    int nd = 0;
    const char* p = sci;
    for (; p != sciEnd && *p != 'e'; ++p)
        if (*p != '.') mantissa[nd++] = *p;
    ++p;  // past the 'e'
    const bool negativeExponent = *p == '-';
    int exponent = 0;
    for (++p; p != sciEnd; ++p) exponent = exponent * 10 + (*p - '0');
    if (negativeExponent) exponent = -exponent;
    while (nd > 1 && mantissa[nd - 1] == '0') --nd;

    // at most 22 characters: "-1.23456789012345E+308"
    char out[32];
    char* o = out;
    *o++ = value < 0 ? '-' : ' ';
    const bool expForm = exponent >= kSignificantDigits || exponent <= -5 ||
                         (nd - 1 - exponent) > kSignificantDigits;
    if (expForm) {
        *o++ = mantissa[0];
        if (nd > 1) {
            *o++ = '.';
            o = std::copy(mantissa + 1, mantissa + nd, o);
        }
        *o++ = 'E';
        *o++ = exponent < 0 ? '-' : '+';
        const int e = std::abs(exponent);
        if (e < 10) *o++ = '0';
        o = std::to_chars(o, out + sizeof out, e).ptr;
    } else if (exponent >= 0) {
        const int intDigits = exponent + 1;
        if (nd <= intDigits) {
            o = std::copy(mantissa, mantissa + nd, o);
            o = std::fill_n(o, intDigits - nd, '0');
        } else {
            o = std::copy(mantissa, mantissa + intDigits, o);
            *o++ = '.';
            o = std::copy(mantissa + intDigits, mantissa + nd, o);
        }
    } else {
        *o++ = '.';
        o = std::fill_n(o, -exponent - 1, '0');
        o = std::copy(mantissa, mantissa + nd, o);
    }
    return std::string(out, o);
}

namespace {

// The form the work files are written in, and most text boxes hold: blanks, an optional sign,
// digits with at most one point, an optional exponent "E", sign, digits, and nothing after it.
// Read by std::from_chars, which rounds as strtod does; false for any other text and for a
// value out of range, which the full rule below takes.
bool parsePlainNumber(std::string_view text, double& value) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    std::size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '+') start = i + 1;  // std::from_chars takes a minus only
        ++i;
    }
    std::size_t digits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            ++digits;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        const std::size_t exponentStart = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
        if (i == exponentStart) return false;
    }
    if (i != text.size()) return false;
    const char* const first = text.data() + start;
    const char* const last = text.data() + text.size();
    const auto [end, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && end == last && std::isfinite(value);
}

}  // namespace

double parseNumber(std::string_view text) {
    double plain = 0;
    if (parsePlainNumber(text, plain)) return plain;
    std::string clean;
    bool haveSign = false, haveDigits = false, havePoint = false;
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    };
    for (;;) {
        skipBlanks();
        if (i >= text.size()) break;
        const char c = text[i];
        if ((c == '+' || c == '-') && !haveSign && !haveDigits && !havePoint) {
            haveSign = true;
            clean += c;
            ++i;
        } else if (c >= '0' && c <= '9') {
            haveDigits = true;
            clean += c;
            ++i;
        } else if (c == '.' && !havePoint) {
            havePoint = true;
            clean += c;
            ++i;
        } else {
            break;
        }
    }
    if (!haveDigits) return 0.0;
    // Optional exponent: E or D, an optional sign, at least one digit.
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        std::size_t j = i + 1;
        std::string exp = "e";
        auto skip = [&] {
            while (j < text.size() && (text[j] == ' ' || text[j] == '\t')) ++j;
        };
        skip();
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) exp += text[j++];
        bool expDigits = false;
        for (;;) {
            skip();
            if (j < text.size() && text[j] >= '0' && text[j] <= '9') {
                exp += text[j++];
                expDigits = true;
            } else {
                break;
            }
        }
        if (expDigits) clean += exp;
    }
    errno = 0;
    const double v = std::strtod(clean.c_str(), nullptr);
    if (!std::isfinite(v) || (errno == ERANGE && std::fabs(v) > 1.0))
        throw fault::OverflowFault("number out of range: " + clean);
    return v;
}

namespace {
template <typename T>
T roundInto(double value, double lo, double hi) {
    if (!std::isfinite(value)) throw fault::OverflowFault("overflow");
    const double r = std::nearbyint(value);  // default rounding: half to even
    if (r < lo || r > hi) throw fault::OverflowFault("overflow");
    return static_cast<T>(r);
}
}  // namespace

std::int16_t toInt16(double value) { return roundInto<std::int16_t>(value, -32768.0, 32767.0); }
std::int32_t toInt32(double value) {
    return roundInto<std::int32_t>(value, -2147483648.0, 2147483647.0);
}

bool parseFlag(std::string_view text) { return parseNumber(text) == 1.0; }

namespace {

// closes a descriptor when the scope ends
struct Fd {
    int fd = -1;
    explicit Fd(int f) : fd(f) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
    int release() {
        const int f = fd;
        fd = -1;
        return f;
    }
};

}  // namespace

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

namespace {

// length of the valid UTF-8 sequence at text[i], 0 when none starts there
std::size_t utf8SequenceAt(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char c = byte(i);
    if (c < 0x80) return 1;
    std::size_t n;
    unsigned lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        if (c == 0xE0) lo = 0xA0;  // no overlong forms
        if (c == 0xED) hi = 0x9F;  // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        if (c == 0xF0) lo = 0x90;
        if (c == 0xF4) hi = 0x8F;  // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (i + n > text.size()) return 0;
    if (byte(i + 1) < lo || byte(i + 1) > hi) return 0;
    for (std::size_t k = 2; k < n; ++k)
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
    return n;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Windows-1252 at 0x80..0x9F; the five unassigned bytes stand for themselves.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

bool isUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = utf8SequenceAt(text, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

std::string decodeText(std::string_view text) {
    if (isUtf8(text)) return std::string(text);
    std::string out;
    out.reserve(text.size() * 2);
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        appendUtf8(out, c >= 0x80 && c <= 0x9F ? kCp1252High[c - 0x80] : c);
    }
    return out;
}

std::vector<std::string> characters(std::string_view utf8) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t n = std::max<std::size_t>(1, utf8SequenceAt(utf8, i));
        out.emplace_back(utf8.substr(i, n));
        i += n;
    }
    return out;
}

std::string jsonString(std::string_view text) {
    std::string out = "\"";
    for (unsigned char c : decodeText(text)) {  // JSON is UTF-8, whatever the bytes were
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
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

double parseNumberOrZero(std::string_view text) {
    try {
        return parseNumber(text);
    } catch (const fault::OverflowFault&) {
        return 0;
    }
}

}  // namespace wf

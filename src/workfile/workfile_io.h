// The one place where work-file numbers are written and read, and where work files are
// opened, probed, split into lines and replaced.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "workfile/faults.h"

namespace wf {

// Number-to-text form of the work files: " 101.6", " .1016", "-.5", " 0", "-1000",
// " 1E-07", " 4.16666666666667E-02". At most 15 significant digits.
// A non-finite value raises fault::OverflowFault: such a number must never reach a file; so does a
// value so close to the largest double that its 15 digits round beyond it.
std::string formatNumber(double value);

// Leading-number parse: blanks and tabs are ignored anywhere, then an optional sign, digits
// with at most one ".", an optional exponent (E or D, optional sign, digits); parsing stops
// at the first other character. "" and "." give 0. A magnitude beyond double range raises
// fault::OverflowFault.
double parseNumber(std::string_view text);
// The same for a text box: a number too large to hold reads as 0, as text that does not parse.
double parseNumberOrZero(std::string_view text);

// Round half to even into the integer type; fault::OverflowFault when the rounded value leaves it.
std::int16_t toInt16(double value);
std::int32_t toInt32(double value);

// A flag line counts as set when its parsed value is exactly 1.
bool parseFlag(std::string_view text);

inline constexpr const char* kEol = "\r\n";

// Texts of the work files (the lettering, a letter) as UTF-8: kept when they are valid UTF-8,
// otherwise read as Windows-1252, the older siblings' code page.
bool isUtf8(std::string_view text);
std::string decodeText(std::string_view text);
// The characters of a UTF-8 text, one string each (a byte that starts no valid sequence
// counts as one character).
std::vector<std::string> characters(std::string_view utf8);
// A text as a JSON string, quoted and escaped; always UTF-8 (see decodeText), whatever the
// bytes were, so that a report stays readable even for a folder name of any bytes.
std::string jsonString(std::string_view text);

// The most a work file may hold to be read: far above the largest letter file the capacities
// allow (engine::kLargestLetterFileBytes, about 22 MB), so that no file the suite writes is ever
// refused, yet a stray huge file cannot eat the memory.
inline constexpr std::uintmax_t kMaxReadBytes = std::uintmax_t{128} << 20;

// Length of the file in bytes. A file that does not exist is created empty first (as the sibling
// programs expect); an existing file is only looked at, whatever its write permission. fault::FileFault
// when it cannot be created, or when something other than a regular file (a folder, a FIFO, a
// device, a symbolic link) stands in its place.
std::uintmax_t probeLength(const std::filesystem::path& file);

// Lines of a text file: CR LF ends a line, and so does a lone CR or a lone LF.
std::vector<std::string> splitLines(std::string_view content);

// Reads a whole file; fault::FileFault when it cannot be read, is not a regular file (a symbolic link
// is not followed: a work file is never read through one) or holds more than kMaxReadBytes.
std::string readFile(const std::filesystem::path& file);

// The bytes of a file as readFile reads them (the same checks and faults, every time), kept
// for the next call: while the file keeps its identity (device, inode, size, modification and
// change times) it is not read again. Bytes of a file changed just before it was read are not
// kept (file times tick coarsely on some file systems). One file is kept, the last one read.
std::shared_ptr<const std::string> readFileKept(const std::filesystem::path& file);

// Reads line after line (lines as splitLines makes them, split as they are read); reading past
// the last line is a fault::FileFault.
class LineReader {
public:
    explicit LineReader(const std::filesystem::path& file);
    explicit LineReader(const std::vector<std::string>& lines);
    // text held in memory, shared with whoever keeps it
    explicit LineReader(std::shared_ptr<const std::string> text);
    // text held in memory by the caller, which must outlive the reader
    static LineReader over(std::string_view text);
    const std::string& text();       // next line as it stands (valid until the next read)
    double number();                 // next line, leading-number parse
    std::int16_t int16();            // next line, rounded into 16 bits
    std::int32_t int32();            // next line, rounded into 32 bits
    bool flag();                     // next line, set when exactly 1
    bool atEnd() const { return pos_ >= content_.size(); }

private:
    LineReader() = default;
    std::string_view next();  // the next line in place
    std::shared_ptr<const std::string> owner_;
    std::string_view content_;
    std::size_t pos_ = 0;
    std::string line_;
};

// How a replaced file reaches the disk: Durable files are flushed (fsync) before they replace
// their targets and the folder after; Scratch files (read back by this program only) are not.
enum class Sync { Durable, Scratch };

// The rules of every replacement: a target that exists must be a regular file the user may
// write (neither a symbolic link, nor read-only by its mode or to this user) or fault::FileFault is
// raised; the new file keeps the old one's mode (and, where allowed, its owner).
//
// A set of files replaced together. replace() writes each new text to a temporary file in the
// target's folder (".NAME.tmpN-M") and flushes it; no target is touched yet. commit() then puts
// them in place in the order they were added (remove() entries in their place), the folder
// flushed before the last one, so a set whose last file is new is new whole. A fault raises
// fault::FileFault; what was put in place before it stays, nothing after it is touched, and the
// temporary files are removed (also when the set is dropped without commit()).
class FileSet {
public:
    FileSet() = default;
    FileSet(const FileSet&) = delete;
    FileSet& operator=(const FileSet&) = delete;
    ~FileSet();
    void replace(const std::filesystem::path& file, std::string_view content, Sync sync = Sync::Durable);
    void remove(const std::filesystem::path& file);  // a missing file counts as removed
    void commit();
    std::size_t size() const { return entries_.size(); }
    bool committed() const { return committed_; }

private:
    struct Entry {
        std::filesystem::path target, temp;  // no temp: a removal
    };
    std::vector<Entry> entries_;
    std::size_t done_ = 0;  // entries put in place
    bool durable_ = false;
    bool committed_ = false;
};

// Removes the temporary files that an earlier run of this program left in `folder` when it was
// killed between writing and renaming (".NAME.tmpN-M", regular files only); anything else stays.
// Returns how many were removed. Call it only while holding the work folder's lock.
int removeStaleTemporaryFiles(const std::filesystem::path& folder);

// Collects lines and replaces the target file atomically: the text goes to a temporary file
// in the same folder, which is then renamed over the target (see FileSet for the rules). On
// any failure the target is untouched, the temporary file is removed and fault::FileFault is raised.
class LineWriter {
public:
    LineWriter& text(std::string_view line);
    LineWriter& number(double value) { return text(formatNumber(value)); }
    LineWriter& flag(bool set) { return text(set ? "1" : "0"); }
    const std::string& content() const { return content_; }
    void commit(const std::filesystem::path& file, Sync sync = Sync::Durable) const;

private:
    std::string content_;
};

// Replaces `file` with `content` atomically (a FileSet of one).
void replaceFile(const std::filesystem::path& file, std::string_view content, Sync sync = Sync::Durable);

}  // namespace wf

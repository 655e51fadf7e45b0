// The one place where work-file numbers are written and read, and where work files are
// opened, probed, split into lines and replaced.
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace wf {

// A run-time fault while reading or writing a work file (missing folder, unreadable file,
// line past the end of the file). Each operation decides whether it reports it.
struct FileFault : std::runtime_error {
    using std::runtime_error::runtime_error;
};
// A number that does not fit where it goes (16/32-bit overflow, non-finite value).
struct OverflowFault : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Number-to-text form of the work files: " 101.6", " .1016", "-.5", " 0", "-1000",
// " 1E-07", " 4.16666666666667E-02". At most 15 significant digits.
// A non-finite value raises OverflowFault: such a number must never reach a file; so does a
// value so close to the largest double that its 15 digits round beyond it.
std::string formatNumber(double value);

// Leading-number parse: blanks and tabs are ignored anywhere, then an optional sign, digits
// with at most one ".", an optional exponent (E or D, optional sign, digits); parsing stops
// at the first other character. "" and "." give 0. A magnitude beyond double range raises
// OverflowFault.
double parseNumber(std::string_view text);
// The same for a text box: a number too large to hold reads as 0, as text that does not parse.
double parseNumberOrZero(std::string_view text);

// Round half to even into the integer type; OverflowFault when the rounded value leaves it.
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

// Length of the file in bytes. Opening it for binary access first creates an empty file
// when none exists (as the sibling programs expect); FileFault when it cannot be opened.
std::uintmax_t probeLength(const std::filesystem::path& file);

// Lines of a text file: CR LF ends a line, and so does a lone CR or a lone LF.
std::vector<std::string> splitLines(std::string_view content);

// Reads a whole file; FileFault when it cannot be read.
std::string readFile(const std::filesystem::path& file);

// Reads line after line; reading past the last line is a FileFault.
class LineReader {
public:
    explicit LineReader(const std::filesystem::path& file);
    explicit LineReader(std::vector<std::string> lines) : lines_(std::move(lines)) {}
    const std::string& text();       // next line as it stands
    double number();                 // next line, leading-number parse
    std::int16_t int16();            // next line, rounded into 16 bits
    std::int32_t int32();            // next line, rounded into 32 bits
    bool flag();                     // next line, set when exactly 1
    bool atEnd() const { return pos_ >= lines_.size(); }
    std::size_t lineCount() const { return lines_.size(); }

private:
    std::vector<std::string> lines_;
    std::size_t pos_ = 0;
};

// Collects lines and replaces the target file atomically: the text goes to a temporary file
// in the same folder, which is then renamed over the target. On any failure the target is
// untouched, the temporary file is removed and FileFault is raised.
class LineWriter {
public:
    LineWriter& text(std::string_view line);
    LineWriter& number(double value) { return text(formatNumber(value)); }
    LineWriter& flag(bool set) { return text(set ? "1" : "0"); }
    const std::string& content() const { return content_; }
    void commit(const std::filesystem::path& file) const;

private:
    std::string content_;
};

// Replaces `file` with `content` atomically (see LineWriter).
void replaceFile(const std::filesystem::path& file, std::string_view content);

}  // namespace wf

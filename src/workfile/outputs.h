// The files a program writes where the user says (drawings, pictures, dumps): each written whole
// or not at all by the one atomic writer, beside its target, and never over a file of the suite.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "workfile/faults.h"

namespace wf {

// What a file is, whatever names lead to it: its device and inode, after links.
struct FileIdentity {
    std::uintmax_t device = 0, inode = 0;
    bool operator==(const FileIdentity&) const = default;
};
// The identity of the file a path names, links followed; nothing when there is no file.
std::optional<FileIdentity> identityOf(const std::filesystem::path& file);

// Where an output goes once links are followed: an existing file (its identity), or a name
// in a folder (the folder's identity and the name) for a file yet to be made.
struct OutputPlace {
    std::filesystem::path path;  // the file to replace: the named one, or what its link points to
    std::optional<FileIdentity> file, folder;
    std::string name;
    bool sameAs(const OutputPlace& o) const;
};
OutputPlace placeOf(const std::filesystem::path& target);

// The files of the suite that no output may replace, known by identity.
class SuiteFiles {
public:
    // `what` names the kind for the user: "a program of the suite", "a help document of the suite".
    // A file that does not exist now is left out: a new output cannot be it.
    void add(const std::filesystem::path& file, std::string what);
    // The work folder: every work file in it (names ending in ".dat" or ".dcc", whether there yet
    // or not), the folder lock and the atomic writer's temporary files (names starting with ".").
    void addWorkFolder(const std::filesystem::path& workFolder);
    // What the place is to the suite ("a work file", ...), or "" when it is none of its files.
    std::string whatIs(const OutputPlace& place) const;

private:
    std::vector<std::pair<FileIdentity, std::string>> files_;
    std::vector<FileIdentity> workFolders_;
};

// The outputs of one run. Each target is checked against the suite's files and the outputs of
// the run before it, then replaced whole through a FileSet of one: a temporary file beside it,
// written, checked, synced and renamed into place. A symbolic link the user named is followed:
// the file it points to is replaced, the link stays.
class Outputs {
public:
    explicit Outputs(SuiteFiles suite) : suite_(std::move(suite)) {}
    // Takes the target for this run; fault::FileFault (a text naming the file) when it is a file
    // of the suite or an output of this run already (by any name, the same one included).
    void claim(const std::filesystem::path& target);
    // Claims the target (unless it was claimed under this very name) and writes it. On failure fault::FileFault
    // with a text naming the file; the file that stood there stays as it was and no temporary
    // file is left.
    void write(const std::filesystem::path& target, std::string_view content);

private:
    SuiteFiles suite_;
    std::vector<std::pair<std::filesystem::path, OutputPlace>> claimed_;
};

}  // namespace wf

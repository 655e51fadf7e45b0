#include "workfile/outputs.h"

#include <sys/stat.h>

#include <algorithm>
#include <system_error>

#include "workfile/work_lock.h"
#include "workfile/workfile_io.h"

namespace wf {

namespace fs = std::filesystem;

namespace {

bool endsWith(std::string_view s, std::string_view tail) {
    return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

bool isWorkFileName(std::string_view name) {
    return endsWith(name, ".dat") || endsWith(name, ".dcc") || (!name.empty() && name[0] == '.');
}

// A symbolic link the user named leads to its final target (made absolute); any other path
// stays as it is.
fs::path followLinks(const fs::path& target) {
    std::error_code ec;
    fs::path p = fs::absolute(target, ec);
    if (ec) p = target;
    for (int hops = 0; hops < 40 && fs::is_symlink(fs::symlink_status(p, ec)); ++hops) {
        const fs::path to = fs::read_symlink(p, ec);
        if (ec) break;
        p = (to.is_absolute() ? to : p.parent_path() / to).lexically_normal();
    }
    return p;
}

}  // namespace

std::optional<FileIdentity> identityOf(const fs::path& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) return std::nullopt;
    return FileIdentity{static_cast<std::uintmax_t>(st.st_dev), static_cast<std::uintmax_t>(st.st_ino)};
}

OutputPlace placeOf(const fs::path& target) {
    OutputPlace p;
    p.path = followLinks(target);
    p.file = identityOf(p.path);
    p.folder = identityOf(p.path.parent_path().empty() ? fs::path(".") : p.path.parent_path());
    p.name = p.path.filename().string();
    return p;
}

bool OutputPlace::sameAs(const OutputPlace& o) const {
    if (file && o.file) return *file == *o.file;
    if (folder && o.folder) return *folder == *o.folder && name == o.name;
    return path == o.path;
}

void SuiteFiles::add(const fs::path& file, std::string what) {
    if (const auto id = identityOf(file)) files_.emplace_back(*id, std::move(what));
}

void SuiteFiles::addWorkFolder(const fs::path& workFolder) {
    const auto folder = identityOf(workFolder);
    if (!folder) return;
    workFolders_.push_back(*folder);
    add(workFolder / kLockFileName, "the lock of the work folder");
    std::error_code ec;
    for (fs::directory_iterator it(workFolder, ec), end; !ec && it != end; it.increment(ec))
        if (isWorkFileName(it->path().filename().string())) add(it->path(), "a work file");
}

std::string SuiteFiles::whatIs(const OutputPlace& place) const {
    if (place.file)
        for (const auto& [id, what] : files_)
            if (id == *place.file) return what;
    if (place.folder && isWorkFileName(place.name))
        for (const FileIdentity& f : workFolders_)
            if (f == *place.folder) return "a work file";
    return {};
}

void Outputs::claim(const fs::path& target) {
    const OutputPlace place = placeOf(target);
    if (const std::string what = suite_.whatIs(place); !what.empty())
        throw fault::FileFault(target.string() + " is " + what + " and is not replaced by an output; choose another file");
    for (const auto& [path, other] : claimed_)
        if (place.sameAs(other))
            throw fault::FileFault(target.string() + " is the same file as " + path.string() +
                                   ", another output of this run; choose another file");
    claimed_.emplace_back(target, place);
}

void Outputs::write(const fs::path& target, std::string_view content) {
    if (std::none_of(claimed_.begin(), claimed_.end(), [&](const auto& c) { return c.first == target; })) claim(target);
    // the place as it is now: a link changed since the claim is followed anew and checked again
    const OutputPlace place = placeOf(target);
    if (const std::string what = suite_.whatIs(place); !what.empty())
        throw fault::FileFault(target.string() + " is " + what + " and is not replaced by an output; choose another file");
    std::error_code ec;
    const bool existed = fs::exists(fs::symlink_status(place.path, ec));
    try {
        replaceFile(place.path, content);
    } catch (const fault::FileFault& e) {
        throw fault::FileFault(target.string() + " could not be written (" + e.what() + "); " +
                               (existed ? "the file there before is unchanged." : "no file was made."));
    }
}

}  // namespace wf

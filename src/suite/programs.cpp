#include "suite/programs.h"

namespace suite {

namespace fs = std::filesystem;

std::string folderOfProgram(const fs::path& programFile) {
    std::error_code ec;
    fs::path abs = fs::absolute(programFile, ec);
    if (ec) abs = programFile;
    std::string folder = abs.parent_path().string();
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

std::string programFolder() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return folderOfProgram(ec ? fs::current_path(ec) / "program" : self);
}

wf::SuiteFiles suiteFiles(const std::filesystem::path& programFolder) {
    wf::SuiteFiles files;
    files.addWorkFolder(programFolder / "workfiles");
    for (const char* name : kProgramFiles) files.add(programFolder / name, "a program of the suite");
    files.add("/proc/self/exe", "a program of the suite");
    for (const char* name : kHelpDocuments) files.add(programFolder / name, "a help document of the suite");
    return files;
}

}  // namespace suite

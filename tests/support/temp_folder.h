// A program folder of its own for each test: workfiles/, optional sibling stand-ins.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace testsupport {

namespace fs = std::filesystem;

// the bytes of a file, "" when there is none; in one piece: the programs compared are tens of megabytes
inline std::string readAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream all;
    if (in) all << in.rdbuf();
    return all.str();
}

class TempFolder {
public:
    explicit TempFolder(bool withWorkfiles = true) {
        std::random_device rd;
        path_ = fs::path(LK_TEST_TMP) / ("t" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(path_);
        if (withWorkfiles) fs::create_directories(path_ / "workfiles");
    }
    ~TempFolder() {
        std::error_code ec;
        fs::current_path(fs::path(LK_TEST_TMP), ec);
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }
    fs::path work(const std::string& name) const { return path_ / "workfiles" / name; }

    void write(const std::string& workName, const std::string& content) const {
        std::ofstream(work(workName), std::ios::binary) << content;
    }
    std::string read(const std::string& workName) const { return readAll(work(workName)); }
    bool exists(const std::string& workName) const { return fs::exists(work(workName)); }

    // an executable file in the program folder (a sibling program)
    void addProgram(const std::string& name) const {
        const fs::path p = path_ / name;
        std::ofstream(p) << "#!/bin/sh\nexit 0\n";
        fs::permissions(p, fs::perms::owner_all, fs::perm_options::add);
    }
    // copies a file of the bundled sample folder's workfiles/
    void copySample(const std::string& workName) const {
        fs::copy_file(fs::path(LK_PROGRAM_DIR) / "workfiles" / workName, work(workName),
                      fs::copy_options::overwrite_existing);
    }

private:
    fs::path path_;
};

// Lines joined with CR LF, each line ended.
inline std::string crlf(std::initializer_list<std::string> lines) {
    std::string s;
    for (const auto& l : lines) s += l + "\r\n";
    return s;
}

}  // namespace testsupport

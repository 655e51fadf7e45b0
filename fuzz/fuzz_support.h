// Shared pieces of the fuzz targets: one program folder per process, the input written as a
// work file, and the faults a reader is allowed to raise.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace fuzzsupport {

namespace fs = std::filesystem;

// lkfuzz.XXXXXX with workfiles/ inside, made once and removed when the process ends; in
// memory (/dev/shm) where there is one, since every input writes and renames work files.
inline const fs::path& programFolder() {
    static const fs::path folder = [] {
        std::error_code ec;
        const fs::path shm = "/dev/shm";
        const fs::path base = fs::is_directory(shm, ec) && access(shm.c_str(), W_OK) == 0 ? shm : fs::temp_directory_path();
        std::string pattern = (base / "lkfuzz.XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        fs::create_directories(fs::path(pattern) / "workfiles");
        static const std::string removeAtExit = pattern;
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(removeAtExit, ec);
        });
        return fs::path(pattern);
    }();
    return folder;
}

inline fs::path workPath(const char* name) { return programFolder() / "workfiles" / name; }

inline void writeWork(const char* name, std::string_view content) {
    std::ofstream out(workPath(name), std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    if (!out) std::abort();  // the target itself failed, not the reader
}

inline void removeWork(const char* name) {
    std::error_code ec;
    fs::remove(workPath(name), ec);
}

inline std::string_view asText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The session enters the program folder; the fuzzer's own relative paths must not move.
class KeepWorkingFolder {
public:
    KeepWorkingFolder() : saved_(fs::current_path()) {}
    ~KeepWorkingFolder() {
        std::error_code ec;
        fs::current_path(saved_, ec);
    }

private:
    fs::path saved_;
};

// A small letter (a closed square) for the targets that need letters but fuzz something else;
// the sample letters replace it when the build's program folder has them.
inline constexpr const char* kTinyTground =
    "A\r\n 0\r\n 1\r\n 7\r\n 8\r\n"
    "A\r\n 20\r\n 0\r\n 0\r\n 0\r\n 0\r\n 8\r\n"
    " 0\r\n 0\r\n 1\r\n 10\r\n 0\r\n 0\r\n 10\r\n 0\r\n 1\r\n 10\r\n 10\r\n 0\r\n"
    " 10\r\n 10\r\n 1\r\n 0\r\n 10\r\n 0\r\n 0\r\n 0\r\n 6\r\n 0\r\n 0\r\n 0\r\n"
    " 0\r\n";

inline std::string sampleTground() {
#ifdef LK_PROGRAM_DIR
    std::ifstream in(fs::path(LK_PROGRAM_DIR) / "workfiles" / "tground.dat", std::ios::binary);
    if (in) {
        std::string s((std::istreambuf_iterator<char>(in)), {});
        if (!s.empty()) return s;
    }
#endif
    return kTinyTground;
}

}  // namespace fuzzsupport

// An output is written whole or not at all: whatever stops the writing, the file that stood
// there stays as it was and no temporary file is left beside it.
#include "workfile/outputs.h"

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/resource.h>

#include <csignal>
#include <fstream>
#include <functional>

#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

std::string readAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A folder on a file system of 64 KB, unmounted at the end; empty when mounting is not allowed.
struct SmallFileSystem {
    testsupport::TempFolder t;
    fs::path dir;
    SmallFileSystem() {
        const fs::path d = t.path() / "small";
        fs::create_directories(d);
        if (::mount("tmpfs", d.c_str(), "tmpfs", 0, "size=64k") == 0) dir = d;
    }
    ~SmallFileSystem() {
        if (!dir.empty()) ::umount2(dir.c_str(), MNT_DETACH);
    }
};

// Files may grow to `bytes` while it lives (writes beyond fail with EFBIG): a disk that refuses
// more, even to a superuser.
struct FileSizeLimit {
    rlimit before{};
    void (*signalBefore)(int) = nullptr;
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &before);
        signalBefore = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = before;
        small.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, signalBefore);
    }
};

}  // namespace

TEST(Outputs, AFailedWriteKeepsTheOldFileAndLeavesNoTemporary) {
    const std::string big(200 * 1024, 'x');
    struct Way {
        const char* name;
        std::function<void(const fs::path& folder, const std::function<void()>& write)> run;
    };
    // the limit first: the full file system needs a mount, which may be refused
    const Way ways[] = {
        {"a file size limit",
         [](const fs::path&, const std::function<void()>& write) {
             FileSizeLimit limit(16 * 1024);
             write();
         }},
        {"a full file system", [](const fs::path&, const std::function<void()>& write) { write(); }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        SmallFileSystem small;
        testsupport::TempFolder plain(false);
        const bool full = std::string(way.name) == "a full file system";
        if (full && small.dir.empty()) {
            GTEST_SKIP() << "a small file system cannot be mounted here (not allowed); the file size limit shows the same";
        }
        const fs::path folder = full ? small.dir : plain.path();
        const fs::path target = folder / "drawing.dxf";
        std::ofstream(target) << "the old drawing";
        wf::Outputs outputs{wf::SuiteFiles{}};
        std::string message;
        way.run(folder, [&] {
            try {
                outputs.write(target, big);
            } catch (const fault::FileFault& e) {
                message = e.what();
            }
        });
        EXPECT_NE(message.find(target.string()), std::string::npos) << message;
        EXPECT_EQ(readAll(target), "the old drawing");
        EXPECT_EQ(namesIn(folder), std::vector<std::string>{"drawing.dxf"});
        // with room, the same write succeeds whole
        if (!full) {
            outputs.write(target, big);
            EXPECT_EQ(readAll(target), big);
        }
    }
}

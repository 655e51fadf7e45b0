// An output is written whole or not at all: whatever stops the writing, the file that stood
// there stays as it was and no temporary file is left beside it.
#include "workfile/outputs.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <fstream>

#include "support/run_program.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

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

// A file size limit stops the writing half-way (a full disk fails the same write call); with
// room, the same write succeeds whole.
TEST(Outputs, AFailedWriteKeepsTheOldFileAndLeavesNoTemporary) {
    const std::string big(200 * 1024, 'x');
    testsupport::TempFolder t(false);
    const fs::path target = t.path() / "drawing.dxf";
    std::ofstream(target) << "the old drawing";
    wf::Outputs outputs{wf::SuiteFiles{}};
    std::string message;
    try {
        const FileSizeLimit limit(16 * 1024);
        outputs.write(target, big);
    } catch (const fault::FileFault& e) {
        message = e.what();
    }
    EXPECT_NE(message.find(target.string()), std::string::npos) << message;
    EXPECT_EQ(testsupport::readAll(target), "the old drawing");
    EXPECT_EQ(std::distance(fs::directory_iterator(t.path()), {}), 1);  // no temporary file beside it
    outputs.write(target, big);
    EXPECT_EQ(testsupport::readAll(target), big);
}

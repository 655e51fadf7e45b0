// Running the helper programs from the tests: argument lists only, no shell.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace tooltest {

namespace fs = std::filesystem;

struct RunResult {
    int status = -1;  // exit status, -1 when the program did not exit normally
    std::string err;  // what it wrote on stderr
};

inline std::string readAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Starts `program` with `args`, stdout to /dev/null, stderr to a file in `scratch`.
inline RunResult run(const fs::path& program, const std::vector<std::string>& args, const fs::path& scratch) {
    const fs::path errFile = scratch / "stderr.txt";
    std::vector<std::string> all{program.string()};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return {-1, "cannot start " + program.string()};
    int wstatus = 0;
    while (waitpid(pid, &wstatus, 0) < 0) {
    }
    RunResult r{WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1, readAll(errFile)};
    fs::remove(errFile);
    return r;
}

// A fresh folder per test, below the build's test folder; removed afterwards.
class ScratchTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::path(LK_TOOLS_TEST_TMP) /
               (std::string(info->test_suite_name()) + "." + info->name() + "." + std::to_string(getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "scratch");
    }
    void TearDown() override { fs::remove_all(dir_); }
    const fs::path& dir() const { return dir_; }
    fs::path scratch() const { return dir_ / "scratch"; }

private:
    fs::path dir_;
};

}  // namespace tooltest

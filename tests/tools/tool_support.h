// Running the helper programs from the tests: argument lists only, no shell.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/run_program.h"

namespace tooltest {

namespace fs = std::filesystem;

using RunResult = testsupport::ProgramRun;
using testsupport::readAll;

// Runs `program` with `args` in `scratch`.
inline RunResult run(const fs::path& program, const std::vector<std::string>& args, const fs::path& scratch) {
    return testsupport::runProgram(program, args, scratch);
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

// Runs a program from a test: an argument list (no shell), in a given folder, both outputs
// captured.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace testsupport {

struct ProgramRun {
    int status = -1;  // exit status, -1 when the program did not start or exit normally
    std::string out, err;
};

// Runs `program` with `args` in `cwd`; its outputs pass through two files there.
inline ProgramRun runProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                             const std::filesystem::path& cwd) {
    namespace fs = std::filesystem;
    const fs::path outFile = cwd / ".out.txt", errFile = cwd / ".err.txt";
    std::vector<std::string> all{program.string()};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const fs::path before = fs::current_path();
    fs::current_path(cwd);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    fs::current_path(before);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return {-1, "", "cannot start " + program.string()};
    int wstatus = 0;
    while (waitpid(pid, &wstatus, 0) < 0) {
    }
    ProgramRun r{WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1, readAll(outFile), readAll(errFile)};
    fs::remove(outFile);
    fs::remove(errFile);
    return r;
}

}  // namespace testsupport

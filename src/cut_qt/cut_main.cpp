// letterkerf-cut: the cut stage. Started by the shapes stage as STV3.EXE with "stvt" (or
// without arguments) it opens its window; with options it works without one.
#include <QApplication>

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "suite_qt/guard.h"
#include "cut_qt/cut_cli.h"
#include "cut_qt/cut_window.h"

namespace fs = std::filesystem;

namespace {

fs::path programFolder(const char* argv0) {
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (ec) self = fs::absolute(argv0 ? argv0 : "", ec);
    return self.parent_path();
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::error_code ec;
    const fs::path caller = fs::current_path(ec);
    const fs::path folder = programFolder(argc > 0 ? argv[0] : nullptr);
    cut_qt::Request request;
    if (!cut_qt::wantsWindow(args)) {
        const std::string error = cut_qt::parseArguments(args, caller, folder, request);
        if (!error.empty() || !request.window) return cut_qt::runCli(args, caller, folder, std::cout, std::cerr);
    } else {
        request.folder = folder;
    }
    suite_qt::GuardedApplication app(argc, argv);
    return cut_qt::runWindow(request);
}

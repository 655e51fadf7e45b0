// letterkerf-cut: the cut stage. Started by the shapes stage as STV3.EXE with "stvt" (or
// without arguments) it opens its window; with options it works without one.
#include <QApplication>

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "cutapp/cut_cli.h"
#include "cutapp/cut_window.h"

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
    cutapp::Request request;
    if (!cutapp::wantsWindow(args)) {
        const std::string error = cutapp::parseArguments(args, caller, folder, request);
        if (!error.empty() || !request.window) return cutapp::runCli(args, caller, folder, std::cout, std::cerr);
    } else {
        request.folder = folder;
    }
    QApplication app(argc, argv);
    return cutapp::runWindow(request);
}

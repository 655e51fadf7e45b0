// letterkerf-text-cli: the text stage without a window.
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <iostream>

#include "text_qt/text_cli.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    char self[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    const std::string program = n > 0 ? std::string(self, static_cast<std::size_t>(n)) : std::string(argv[0]);
    std::error_code ec;
    const std::string caller = std::filesystem::current_path(ec).string();
    return text_qt::runTextCli(args, program, caller, std::cout, std::cerr);
}

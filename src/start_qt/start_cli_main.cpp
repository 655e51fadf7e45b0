// letterkerf-start-cli: the start window without a window.
#include <filesystem>
#include <iostream>

#include "suite_qt/toolkit.h"
#include "start_qt/start_cli.h"

int main(int argc, char** argv) {
    // the toolkit starts only for a picture of the window (--png)
    suite_qt::ToolkitOnDemand toolkit(argc, argv, suite_qt::ToolkitOnDemand::Widgets);
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) self = std::filesystem::absolute(argv[0], ec);
    return start_qt::runStartCli(args, QString::fromStdString(self.parent_path().string()), std::cout, std::cerr);
}

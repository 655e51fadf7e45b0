// letterkerf-cli: the same program without a window.
#include <iostream>

#include "shapes_qt/cli.h"
#include "suite_qt/toolkit.h"
#include "shapes/session.h"

int main(int argc, char** argv) {
    // the toolkit starts only for a picture of the preview (--png)
    suite_qt::ToolkitOnDemand toolkit(argc, argv, suite_qt::ToolkitOnDemand::Gui);
    // the arguments as the system's bytes: a folder name need not be UTF-8
    const std::vector<std::string> args(argv + 1, argv + argc);
    return shapes_qt::runCli(args, suite::programFolder(), std::cout, std::cerr);
}

// letterkerf-cli: the same program without a window.
#include <QCoreApplication>
#include <QGuiApplication>
#include <iostream>

#include "shapes_qt/cli.h"
#include "suite_qt/guard.h"
#include "shapes/session.h"

int main(int argc, char** argv) {
    // The preview is drawn offscreen; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    suite_qt::cleanVectorState();
    // the arguments as the system's bytes: a folder name need not be UTF-8
    const std::vector<std::string> args(argv + 1, argv + argc);
    return shapes_qt::runCli(args, suite::programFolder(), std::cout, std::cerr);
}

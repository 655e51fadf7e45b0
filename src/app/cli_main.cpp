// letterkerf-cli: the same program without a window.
#include <QCoreApplication>
#include <QGuiApplication>
#include <iostream>

#include "app/cli.h"
#include "app/guard.h"
#include "shell/session.h"

int main(int argc, char** argv) {
    // The preview is drawn offscreen; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    app::cleanVectorState();
    // the arguments as the system's bytes: a folder name need not be UTF-8
    const std::vector<std::string> args(argv + 1, argv + argc);
    return app::runCli(args, shell::programFolder(), std::cout, std::cerr);
}

// letterkerf-start-cli: the start window without a window.
#include <QApplication>
#include <QFileInfo>
#include <iostream>

#include "suite_qt/guard.h"
#include "start_qt/start_cli.h"

int main(int argc, char** argv) {
    // the window is only drawn offscreen (--png); no display is needed
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    suite_qt::cleanVectorState();
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return start_qt::runStartCli(args, QFileInfo(QCoreApplication::applicationFilePath()).absolutePath(), std::cout,
                                 std::cerr);
}

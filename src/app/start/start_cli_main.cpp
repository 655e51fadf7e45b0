// letterkerf-start-cli: the start window without a window.
#include <QApplication>
#include <QFileInfo>
#include <iostream>

#include "app/guard.h"
#include "app/start/start_cli.h"

int main(int argc, char** argv) {
    // the window is only drawn offscreen (--png); no display is needed
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    app::cleanVectorState();
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return appstart::runStartCli(args, QFileInfo(QCoreApplication::applicationFilePath()).absolutePath(), std::cout,
                                 std::cerr);
}

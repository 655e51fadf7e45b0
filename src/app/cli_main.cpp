// letterkerf-cli: the same program without a window.
#include <QCoreApplication>
#include <QGuiApplication>
#include <iostream>

#include "app/cli.h"
#include "shell/session.h"

int main(int argc, char** argv) {
    // The preview is drawn offscreen; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    const QString folder =
        QString::fromStdString(shell::appFolderOf(QCoreApplication::applicationFilePath().toStdString()));
    return app::runCli(args, folder, std::cout, std::cerr);
}

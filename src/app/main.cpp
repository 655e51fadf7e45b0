// letterkerf: the main window of the program.
#include <QApplication>
#include <QStringList>

#include "app/guard.h"
#include "app/mainwindow.h"
#include "shell/session.h"

int main(int argc, char** argv) {
    app::GuardedApplication app(argc, argv);
    // The suite passes its token as the whole command line.
    QStringList rest;
    for (int i = 1; i < argc; ++i) rest << QString::fromLocal8Bit(argv[i]);
    const QString folder = QString::fromStdString(shell::appFolderOf(QCoreApplication::applicationFilePath().toStdString()));
    app::MainWindow w(folder, rest.join(' '));
    w.show();
    return app.exec();
}

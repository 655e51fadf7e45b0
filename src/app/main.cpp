// letterkerf: the main window of the program.
#include <QApplication>
#include <string>

#include "app/guard.h"
#include "app/mainwindow.h"
#include "shell/session.h"

int main(int argc, char** argv) {
    app::GuardedApplication app(argc, argv);
    // The suite passes its token as the whole command line.
    std::string commandLine;
    for (int i = 1; i < argc; ++i) commandLine += (i > 1 ? " " : "") + std::string(argv[i]);
    app::MainWindow w(shell::programFolder(), commandLine);
    w.show();
    return app.exec();
}

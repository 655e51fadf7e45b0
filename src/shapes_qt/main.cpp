// letterkerf: the main window of the program.
#include <QApplication>
#include <cstring>
#include <iostream>
#include <string>

#include "suite_qt/guard.h"
#include "shapes_qt/mainwindow.h"
#include "shapes/session.h"

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::cout << "usage: letterkerf stvt | letterkerf stvt3\n"
                     "Shapes and sizes of LETTERKERF: bends the letters of workfiles/tground.dat into a shape.\n"
                     "  stvt    a fresh start on the letters the text stage has just written\n"
                     "  stvt3   resume the last run (workfiles/stv2b.dat)\n"
                     "Started with anything else it opens the start window (zodu.exe) and ends.\n"
                     "Without a window: letterkerf-cli --help.\n";
        return 0;
    }
    suite_qt::GuardedApplication app(argc, argv);
    // The suite passes its token as the whole command line.
    std::string commandLine;
    for (int i = 1; i < argc; ++i) commandLine += (i > 1 ? " " : "") + std::string(argv[i]);
    shapes_qt::MainWindow w(suite::programFolder(), commandLine);
    if (w.terminated()) return 1;  // another program works in the folder (said in a message box)
    w.show();
    return app.exec();
}

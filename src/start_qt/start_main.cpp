// letterkerf-start: the start window. In the program folder it is zodu.exe, which the shapes
// stage starts when it is started without the suite's token.
#include <QApplication>
#include <iostream>

#include "suite_qt/guard.h"
#include "start_qt/start_cli.h"
#include "start_qt/start_window.h"
#include "suite/programs.h"

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::cout << start_qt::kWindowUsage;
            return 0;
        }
    }
    suite_qt::GuardedApplication app(argc, argv);
    start_qt::StartWidget w(suite::programFolder());
    if (w.logic().terminated()) return 1;  // another program works in the folder (said in a message box)
    w.show();
    return app.exec();
}

// letterkerf-start: the start window. In the program folder it is zodu.exe, which the shapes
// stage starts when it is started without the suite's token.
#include <QApplication>
#include <iostream>

#include "app/guard.h"
#include "app/start/start_cli.h"
#include "app/start/start_window.h"
#include "shell/session.h"

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::cout << appstart::kWindowUsage;
            return 0;
        }
    }
    app::GuardedApplication app(argc, argv);
    appstart::StartWidget w(shell::programFolder());
    if (w.logic().terminated()) return 1;  // another program works in the folder (said in a message box)
    w.show();
    return app.exec();
}

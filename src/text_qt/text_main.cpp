// letterkerf-text: the text stage's window. In the program folder it is STV1.EXE (letters with
// stencil bridges) and STV1b.EXE (without); the suite starts it with "stvt".
#include <QApplication>
#include <QFileInfo>
#include <cstring>
#include <iostream>

#include "suite_qt/guard.h"

#include "text_qt/text_window.h"

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::cout << "usage: letterkerf-text [stvt]\n"
                         "The text stage of LETTERKERF: type the text, pick the font; \"Next\" hands the letters to\n"
                         "the shapes stage. As STV1.EXE it places stencil bridges, as STV1b.EXE it does not.\n"
                         "Without a window: letterkerf-text-cli --help.\n";
            return 0;
        }
    suite_qt::GuardedApplication app(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();
    text_qt::TextWindow w(QFileInfo(self).absolutePath(), text::variantOfProgram(self.toStdString()));
    if (w.refused()) return 1;  // another program works in the folder (said in a message box)
    w.show();
    return app.exec();
}

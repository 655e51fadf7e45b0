// letterkerf-text: the text stage's window. In the program folder it is STV1.EXE (letters with
// stencil bridges) and STV1b.EXE (without); the suite starts it with "stvt".
#include <QApplication>
#include <QFileInfo>

#include "app/text/text_window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString self = QCoreApplication::applicationFilePath();
    apptext::TextWindow w(QFileInfo(self).absolutePath(), text::variantOfProgram(self.toStdString()));
    w.show();
    return app.exec();
}

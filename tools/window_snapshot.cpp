// Saves a PNG of the main window after each of the given shapes was chosen, for looking at
// what the window shows. Run on the offscreen platform:
//   window_snapshot PROGRAM_FOLDER OUT_PREFIX SHAPE...   (writes OUT_PREFIX<SHAPE>.png)
// A SHAPE may carry the letters c (tick "Contour connection") and x (tick "Cut" as well),
// as in 4c or 18cx.
#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>

#include "app/mainwindow.h"

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: window_snapshot PROGRAM_FOLDER OUT_PREFIX SHAPE...\n");
        return 1;
    }
    QApplication a(argc, argv);
    app::MainWindow w(QString::fromLocal8Bit(argv[1]), "stvt");
    w.show();
    QElapsedTimer t;
    t.start();
    while (!w.session().firstActivationDone && t.elapsed() < 10000) QApplication::processEvents();
    for (int i = 3; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        const int shape = std::atoi(argv[i]);
        shell::Session& s = w.session();
        s.controls.Check2.set(0);
        s.model.shapeNumber = static_cast<std::int16_t>(shape);
        s.model.bigHeight = shape == 0 ? s.model.smallHeight : s.model.smallHeight * 1.25;
        s.rebuild(shell::kRebuildAll);
        if (arg.contains('c')) s.controls.Check2.set(1);
        if (arg.contains('x')) s.controls.Check4.set(1);
        s.fitAndRedraw();
        s.ui().controlsChanged();
        w.repaint();
        QApplication::processEvents();
        const QString file = QString::fromLocal8Bit(argv[2]) + arg + ".png";
        if (!w.grab().save(file, "PNG")) {
            std::fprintf(stderr, "%s: cannot write\n", file.toLocal8Bit().constData());
            return 3;
        }
    }
    return 0;
}

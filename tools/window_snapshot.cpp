// Saves PNGs of the main window and its dialogs, for looking at what the window shows.
//   window_snapshot [--token TOKEN] [--screen] PROGRAM_FOLDER OUT_PREFIX ITEM...
// An ITEM is a shape number, which is chosen before the window is saved as OUT_PREFIX<ITEM>.png;
// it may carry the letters c (tick "Contour connection") and x (tick "Cut" as well), as in 4c
// or 18cx. "window" saves the window as it stands. "dialog:NAME" opens a dialog and saves it
// as OUT_PREFIX<NAME>.png: shape4 (a shape's dimensions), aperture, presetting, spacing, yesno.
// Without --token the window starts fresh ("stvt"); "stvt3" restores the saved state.
// With --screen each PNG is the whole screen as a window manager shows it (what lies beyond
// the screen's edge is missing there), not the widget alone.
#include <QApplication>
#include <QElapsedTimer>
#include <QMenuBar>
#include <QScreen>
#include <QWindow>
#include <QTimer>
#include <QToolButton>
#include <cstdio>
#include <cstdlib>

#include "shapes_qt/mainwindow.h"

namespace {

bool wholeScreen = false;

// lets the window manager map and the window draw what it shows before the screen is taken
void settle(QWidget* w) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 5000 && !(w->windowHandle() && w->windowHandle()->isExposed())) QApplication::processEvents();
    for (t.restart(); t.elapsed() < 400;) QApplication::processEvents();
}

bool save(QWidget* w, const QString& file) {
    if (wholeScreen) settle(w);
    const QPixmap picture = wholeScreen ? w->screen()->grabWindow(0) : w->grab();
    if (picture.save(file, "PNG")) return true;
    std::fprintf(stderr, "%s: cannot write\n", file.toLocal8Bit().constData());
    return false;
}

// opens a dialog through the window's own controls, saves it once it is up, closes it
bool dialog(shapes_qt::MainWindow& w, const QString& name, const QString& file) {
    bool saved = false, seen = false;
    QTimer::singleShot(300, [&] {
        QWidget* d = QApplication::activeModalWidget();
        if (!d) return;
        seen = true;
        saved = save(d, file);
        d->close();
    });
    shapes::Session& s = w.session();
    if (name == "shape4") {
        w.findChild<QToolButton*>("auswahl_4")->click();
    } else if (name == "aperture") {
        w.findChild<QToolButton*>("Picture6")->click();
    } else if (name == "spacing") {
        w.findChild<QToolButton*>("Picture3")->click();
    } else if (name == "presetting") {
        w.menuBar()->findChild<QAction*>("konvein")->trigger();
    } else if (name == "yesno") {
        if (s.controls().Check2 != 1) s.controls().Check2.set(1);
        if (s.controls().Check5 != 1) s.controls().Check5.set(1);
        s.controls().Check5.set(0);
    } else {
        std::fprintf(stderr, "%s: no such dialog\n", name.toLocal8Bit().constData());
        return false;
    }
    if (!seen) std::fprintf(stderr, "%s: no dialog came up\n", name.toLocal8Bit().constData());
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication a(argc, argv);
    QStringList args = QApplication::arguments();
    args.removeFirst();
    QString token = "stvt";
    if (args.size() >= 2 && args[0] == "--token") {
        token = args[1];
        args.remove(0, 2);
    }
    if (!args.isEmpty() && args[0] == "--screen") {
        wholeScreen = true;
        args.removeFirst();
    }
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: window_snapshot [--token TOKEN] [--screen] PROGRAM_FOLDER OUT_PREFIX ITEM...\n");
        return 1;
    }
    shapes_qt::MainWindow w(args[0].toStdString(), token.toStdString());
    w.show();
    QElapsedTimer t;
    t.start();
    while (!w.session().activated() && t.elapsed() < 10000) QApplication::processEvents();
    const QString prefix = args[1];
    for (int i = 2; i < args.size(); ++i) {
        const QString& arg = args[i];
        shapes::Session& s = w.session();
        if (arg.startsWith("dialog:")) {
            const QString name = arg.mid(7);
            if (!dialog(w, name, prefix + name + ".png")) return 3;
            continue;
        }
        if (arg != "window") {
            const int shape = std::atoi(arg.toLocal8Bit().constData());  // "4cx" is shape 4
            s.controls().Check2.set(0);
            s.model().shapeNumber = static_cast<std::int16_t>(shape);
            s.model().bigHeight = shape == 0 ? s.model().smallHeight : s.model().smallHeight * 1.25;
            s.rebuild(shapes::kRebuildAll);
            if (arg.contains('c')) s.controls().Check2.set(1);
            if (arg.contains('x')) s.controls().Check4.set(1);
            s.fitAndRedraw();  // fit and redraw
            s.ui().controlsChanged();
        }
        w.repaint();
        QApplication::processEvents();
        if (!save(&w, prefix + arg + ".png")) return 3;
    }
    return 0;
}

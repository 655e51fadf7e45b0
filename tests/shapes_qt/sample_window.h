// The shapes window on the sample letters, and working a modal dialog once it is up.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

#include "shapes_qt/mainwindow.h"
#include "support/temp_folder.h"

namespace testsupport {

// Lets the window's queued events run until `done` holds (or a generous limit passes).
template <typename Pred>
bool runUntil(Pred done) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 10000) QApplication::processEvents(QEventLoop::AllEvents, 50);
    return done();
}

// The sample letters in a program folder of their own, the window stored at 1500 / 3000 twips.
struct SampleWindow {
    TempFolder t;
    shapes_qt::MainWindow w;
    SampleWindow() : w((t.copySample("tground.dat"), t.write("top.dat", crlf({" 1500", " 3000", "", ""})), t.path().string()), "stvt") { w.show(); }
    bool up() { return runUntil([&] { return w.session().activated(); }); }
    template <typename T = QWidget>
    T* find(const char* name) { return w.findChild<T*>(name); }
};

// Runs `open` and `act` on the modal dialog once it is up (it may take several turns of the
// event loop); a dialog still open afterwards is rejected. True when a dialog came up.
template <typename Open, typename Act>
bool onModal(Open open, Act act) {
    bool seen = false;
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!d) return;
        // keys go where the focus is: wait (a while at most) until the dialog has taken it
        if (!d->isActiveWindow() && ++ticks < 200) return;
        timer.stop();
        seen = true;
        act(d);
        if (d->isVisible()) d->reject();
    });
    timer.start(10);
    open();
    timer.stop();
    return seen;
}

}  // namespace testsupport

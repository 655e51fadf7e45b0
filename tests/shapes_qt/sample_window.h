// The shapes window on the sample letters, and the helpers its tests share: waiting for the
// window's queued events, and working a modal dialog once it is up.
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
    SampleWindow() : w((prepare(t), t.path().string()), "stvt") { w.show(); }
    static void prepare(const TempFolder& t) {
        t.copySample("tground.dat");
        t.write("top.dat", crlf({" 1500", " 3000", "", ""}));
    }
    bool up() { return runUntil([&] { return w.session().activated(); }); }
};

// Runs `open` and, once a modal dialog is up, `act` on it. The dialog may come up only after
// several turns of the event loop, so the check repeats; a dialog still open afterwards is
// rejected, so a test never hangs in it. True when a dialog came up.
template <typename Open, typename Act>
bool onModal(Open open, Act act) {
    bool seen = false;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!d) return;
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

using Keys = std::vector<std::variant<Qt::Key, const char*>>;

// Opens the dialog `name` and plays the keys into whatever has the focus in it, one after
// another; true when that dialog came up and the keys closed it.

}  // namespace testsupport

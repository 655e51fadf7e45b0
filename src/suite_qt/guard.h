// No fault may end the program: every event of every window runs under a guard that turns an
// escaping exception into the program's fault message and keeps the program running.
#pragma once

#include <QApplication>
#include <functional>

#include "suite/programs.h"

namespace suite_qt {

// What the program does when a fault escapes an event. The main window installs its session's
// recovery; without one, the fault message is shown on its own.
void setFaultHandler(std::function<void()> handler);

// Runs one event handler. False when a fault escaped it (and was reported).
bool guardEvent(const std::function<void()>& handler);

// The fault message of the suite's programs.
using suite::kFaultText;
using suite::kFaultTitle;

// Leaves the processor's upper vector registers clean. The toolkit's start-up and its drawing
// run wide vector code that leaves them in use, and on some processors every plain SSE
// instruction after that (the maths library's, our own double arithmetic) runs at a fraction
// of its speed until they are cleared. Every program of the suite calls it once its application
// object is made and after it draws; a processor without such registers is left alone.
void cleanVectorState();

// The last line: an exception that leaves any event handler of any window ends there. Each
// event leaves the vector registers clean (see cleanVectorState), so the work a slider move
// starts never runs behind a paint's wide instructions.
class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace suite_qt

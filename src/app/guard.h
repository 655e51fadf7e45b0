// No fault may end the program: every event of every window runs under a guard that turns an
// escaping exception into the program's fault message and keeps the program running.
#pragma once

#include <QApplication>
#include <functional>

namespace app {

// What the program does when a fault escapes an event. The main window installs its session's
// recovery; without one, the fault message is shown on its own.
void setFaultHandler(std::function<void()> handler);

// Runs one event handler. False when a fault escaped it (and was reported).
bool guardEvent(const std::function<void()>& handler);

// The last line: an exception that leaves any event handler of any window ends there.
class GuardedApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace app

#include "app/guard.h"

#include <QMessageBox>

#include "shell/session.h"

namespace app {

namespace {

std::function<void()>& faultHandler() {
    static std::function<void()> handler;
    return handler;
}

void reportEscapedFault() {
    static bool reporting = false;  // a fault while the message is up is not reported twice
    if (reporting) return;
    reporting = true;
    try {
        if (faultHandler()) {
            faultHandler()();
        } else {
            QMessageBox::critical(nullptr, shell::kErrorTitle, shell::kFileAccessError);
        }
    } catch (...) {
    }
    reporting = false;
}

}  // namespace

void setFaultHandler(std::function<void()> handler) { faultHandler() = std::move(handler); }

bool guardEvent(const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (...) {
        reportEscapedFault();
        return false;
    }
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        reportEscapedFault();
        return false;
    }
}

}  // namespace app

#include "suite_qt/guard.h"

#include <QMessageBox>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define LK_VZEROUPPER 1
#endif

namespace suite_qt {

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
            QMessageBox::critical(nullptr, kFaultTitle, kFaultText);
        }
    } catch (...) {
    }
    reporting = false;
}

#ifdef LK_VZEROUPPER
// compiled for AVX on its own, so the rest of the program keeps to the baseline instruction set
__attribute__((target("avx"))) void zeroUpperHalves() { _mm256_zeroupper(); }

bool hasUpperHalves() {
    static const bool avx = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx") != 0;
    }();
    return avx;
}
#endif

}  // namespace

void cleanVectorState() {
#ifdef LK_VZEROUPPER
    if (hasUpperHalves()) zeroUpperHalves();
#endif
}

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

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) { cleanVectorState(); }

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        const bool handled = QApplication::notify(receiver, event);
        cleanVectorState();
        return handled;
    } catch (...) {
        cleanVectorState();
        reportEscapedFault();
        return false;
    }
}

}  // namespace suite_qt

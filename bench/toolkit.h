// The one application object of the benchmarks that draw or open a window, on the offscreen
// platform unless another one is named.
#pragma once

#include <QApplication>

inline void benchApplication() {
    static int argc = 1;
    static char name[] = "letterkerf_bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
}

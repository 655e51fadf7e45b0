#include "suite_qt/toolkit.h"

#include <QApplication>
#include <QGuiApplication>
#include <stdexcept>

#include "suite_qt/guard.h"

namespace suite_qt {

namespace {

ToolkitOnDemand*& current() {
    static ToolkitOnDemand* held = nullptr;
    return held;
}

}  // namespace

ToolkitOnDemand::ToolkitOnDemand(int& argc, char** argv, Kind kind) : argc_(argc), argv_(argv), kind_(kind) {
    current() = this;
}

ToolkitOnDemand::~ToolkitOnDemand() {
    if (current() == this) current() = nullptr;
}

void ToolkitOnDemand::start() {
    if (app_) return;
    // drawn offscreen: no display is needed
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (kind_ == Widgets)
        app_ = std::make_unique<QApplication>(argc_, argv_);
    else
        app_ = std::make_unique<QGuiApplication>(argc_, argv_);
    cleanVectorState();
}

void needToolkit() {
    if (QCoreApplication::instance()) return;
    if (!current()) throw std::logic_error("a drawing without the toolkit");
    current()->start();
}

}  // namespace suite_qt

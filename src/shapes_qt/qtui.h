// The shapes window's port: the suite's Qt port, and the preview, the controls, the window's
// place and the dialogs of the shapes stage.
#pragma once

#include <QWidget>
#include <functional>

#include "shapes/ui.h"
#include "suite_qt/qt_ui.h"

namespace shapes_qt {

using suite_qt::startDetached;

class QtUi : public suite_qt::QtUi, public shapes::Ui {
public:
    explicit QtUi(QWidget* parent) : suite_qt::QtUi(parent) {}
    void redraw() override;
    void controlsChanged() override;
    bool windowPlace(int& topTwips, int& leftTwips) override;

    // each dialog's face, modal over the window; the widgets follow the controls afterwards
    using suite_qt::QtUi::runDialog;
    void runDialog(shapes::DimensionDialog& dialog) override;
    void runDialog(shapes::SpacingDialog& dialog) override;
    void runDialog(shapes::ApertureDialog& dialog) override;
    void runDialog(shapes::PresettingDialog& dialog) override;

    std::function<void()> onRedraw, onControlsChanged;
};

}  // namespace shapes_qt

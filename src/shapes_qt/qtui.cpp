#include "shapes_qt/qtui.h"

#include "shapes/session.h"
#include "shapes_qt/dimension_dialog_qt.h"
#include "shapes_qt/preset_dialogs_qt.h"
#include "shapes_qt/spacing_dialog_qt.h"

namespace shapes_qt {

void QtUi::redraw() {
    if (onRedraw) onRedraw();
}

void QtUi::controlsChanged() {
    if (onControlsChanged) onControlsChanged();
}

bool QtUi::windowPlace(int& topTwips, int& leftTwips) {
    const QRect frame = parent_->frameGeometry();
    topTwips = frame.top() * shapes::kTwipsPerPixel;
    leftTwips = frame.left() * shapes::kTwipsPerPixel;
    return true;
}

void QtUi::runDialog(shapes::DimensionDialog& dialog) {
    DimensionDialogWidget widget(dialog, parent_);
    widget.exec();
}

void QtUi::runDialog(shapes::SpacingDialog& dialog) {
    SpacingDialogWidget widget(dialog, parent_);
    widget.exec();
    controlsChanged();
}

void QtUi::runDialog(shapes::ApertureDialog& dialog) {
    runApertureDialog(dialog, parent_);
    controlsChanged();
}

void QtUi::runDialog(shapes::PresettingDialog& dialog) {
    runPresettingDialog(dialog, parent_);
    controlsChanged();
}

}  // namespace shapes_qt

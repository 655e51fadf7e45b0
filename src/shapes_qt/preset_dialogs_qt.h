// The window's faces of the small dialogs: the aperture width and the presetting, each shown
// modally over the main window and bound to its dialog object.
#pragma once

#include <QWidget>

namespace shapes {
class ApertureDialog;
class PresettingDialog;
}  // namespace shapes

namespace shapes_qt {

void runApertureDialog(shapes::ApertureDialog& dialog, QWidget* mainWindow);
void runPresettingDialog(shapes::PresettingDialog& dialog, QWidget* mainWindow);

}  // namespace shapes_qt

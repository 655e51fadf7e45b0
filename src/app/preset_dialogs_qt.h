// The window's faces of the small dialogs: the aperture width, the presetting and the Yes/No
// question, each shown modally over the main window and bound to its dialog object.
#pragma once

#include <QWidget>

namespace shell {
class ApertureDialog;
class PresettingDialog;
class YesNoDialog;
}  // namespace shell

namespace app {

void runApertureDialog(shell::ApertureDialog& dialog, QWidget* mainWindow);
void runPresettingDialog(shell::PresettingDialog& dialog, QWidget* mainWindow);
void runYesNoDialog(shell::YesNoDialog& dialog, QWidget* mainWindow);

}  // namespace app

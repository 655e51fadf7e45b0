// The window's faces of the aperture width and presetting dialogs, shown modally.
#pragma once

#include <QWidget>

namespace shell {
class Session;
}

namespace app {

void runApertureDialog(shell::Session& session, QWidget* mainWindow);
void runPresettingDialog(shell::Session& session, QWidget* mainWindow);

}  // namespace app

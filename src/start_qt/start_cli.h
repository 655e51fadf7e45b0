// letterkerf-start-cli: the start window without a window.
#pragma once

#include <QStringList>
#include <ostream>

namespace start_qt {

// Runs the command line `args` (without the program name); `defaultFolder` is the folder of
// the executable, relative paths are taken from the current folder. Returns the exit status.
int runStartCli(const QStringList& args, const QString& defaultFolder, std::ostream& out, std::ostream& err);

// The usage text of the window program itself (letterkerf-start --help).
extern const char* const kWindowUsage;

}  // namespace start_qt

// letterkerf-cli: the program without a window.
#pragma once

#include <QStringList>
#include <ostream>
#include <string>
#include <vector>

namespace shapes_qt {

// Runs the command line `args` (without the program name). `defaultFolder` is the folder of
// the executable. Returns the exit status.
int runCli(const std::vector<std::string>& args, const std::string& defaultFolder, std::ostream& out,
           std::ostream& err);
// the same for arguments given as text (tests)
int runCli(const QStringList& args, const QString& defaultFolder, std::ostream& out, std::ostream& err);

}  // namespace shapes_qt

// letterkerf-text-cli: the text stage without a window.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace text_qt {

// Runs the command line `args` (without the program name). `programFile` is the executable
// (its folder is the default program folder, its name picks the variant); relative paths are
// taken against `callerFolder`. Returns the exit status.
int runTextCli(const std::vector<std::string>& args, const std::string& programFile, const std::string& callerFolder,
               std::ostream& out, std::ostream& err);

}  // namespace text_qt

// Starting a sibling program: by its path and an argument list, never through a shell, without
// waiting for it. Paths are the system's bytes, so a folder whose name is not valid UTF-8 works.
#pragma once

#include <string>
#include <vector>

namespace wf {

// Starts `program` (a regular executable file) in its own folder, detached from this process.
// False when it is no executable file or cannot be started.
bool startDetached(const std::string& program, const std::vector<std::string>& args);

}  // namespace wf

// JSON views of a session for the command line: the summary report and the model dump.
#pragma once

#include <string>

#include "shell/session.h"

namespace shell {

std::string reportJson(const Session& s, const HeadlessUi& ui);
std::string dumpJson(const engine::Model& m);

}  // namespace shell

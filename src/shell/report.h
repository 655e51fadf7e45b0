// JSON views of a session for the command line: the summary report and the model dump.
#pragma once

#include <string>

#include "shell/session.h"

namespace shell {

std::string jsonNumber(double v);  // shortest text that reads back to the same double
std::string jsonString(const std::string& s);

std::string reportJson(const Session& s, const HeadlessUi& ui);
std::string dumpJson(const engine::Model& m);

}  // namespace shell

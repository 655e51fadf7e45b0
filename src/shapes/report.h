// JSON views of a session for the command line: the summary report and the model dump.
#pragma once

#include <string>

#include "shapes/session.h"

namespace shapes {

std::string reportJson(const Session& s, const HeadlessUi& ui);
std::string dumpJson(const engine::Model& m);

}  // namespace shapes

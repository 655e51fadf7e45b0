// A session on an empty program folder of its own, not yet started.
#pragma once

#include "shell/session.h"
#include "support/temp_folder.h"

namespace testsupport {

struct BareSession {
    TempFolder t;
    shell::HeadlessUi ui;
    shell::Session s{t.path(), "stvt", ui};
};

}  // namespace testsupport

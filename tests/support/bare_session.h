// A session on an empty program folder of its own, not yet started.
#pragma once

#include "shapes/session.h"
#include "support/temp_folder.h"

namespace testsupport {

struct BareSession {
    TempFolder t;
    shapes::HeadlessUi ui;
    shapes::Session s{t.path(), "stvt", ui};
};

}  // namespace testsupport

// The faults every program of the suite raises, in two kinds:
//  - BadInput: what came from outside cannot be taken: a file that is missing, unreadable,
//    write-protected or garbled, a line past its end, a font that is not there.
//  - ProgramFault: an operation of ours cannot finish: a table at its capacity, a number that
//    does not fit where it goes, arcs that cannot be fitted, a drawing too large to make.
// Each operation decides whether and how it reports one; what() is a text for the user or
// the log, never a key to compare against.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>

namespace fault {

struct BadInput : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct ProgramFault : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// ---- bad input

// A file that cannot be read or written (missing folder, unreadable or write-protected file,
// full disk, line past the end of the file).
struct FileFault : BadInput {
    using BadInput::BadInput;
};

// A font that cannot be found or read, or a text it cannot set.
struct TextFault : BadInput {
    using BadInput::BadInput;
};

// A hand-over to the cut stage that cannot be read. `file` names the work file, `text` says
// what is wrong with it; `status` is 3 for a file that is missing or unreadable, 2 for one
// whose content is truncated or not understood.
struct HandoverFault : BadInput {
    HandoverFault(std::string file_, std::string text_, int status_)
        : BadInput(file_ + ": " + text_), file(std::move(file_)), text(std::move(text_)), status(status_) {}
    std::string file, text;
    int status;
};

// ---- program faults

// A number that does not fit where it goes (16/32-bit overflow, non-finite value).
struct OverflowFault : ProgramFault {
    using ProgramFault::ProgramFault;
};

// A table of the model that would grow beyond its capacity.
struct CapacityFault : ProgramFault {
    using ProgramFault::ProgramFault;
};

// A cut drawing that cannot be made from its hand-over (too large, too many points).
struct DrawingFault : ProgramFault {
    using ProgramFault::ProgramFault;
};

}  // namespace fault

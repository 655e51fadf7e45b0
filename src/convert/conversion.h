// The hand-over files of "Start convert": workrl.dat (the letter contours as lines and arcs)
// and workm.dat (the connection bar), read by the later stage.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "convert/contour_writer.h"
#include "engine/model.h"

#include "workfile/faults.h"

namespace convert {

// The element list in its self-describing form ("10", "1", "3", "6" records of x, y, object).
std::string intermediateForm(const engine::Model& m);
// Replaces m.elements by the list read back from that form. Raises fault::CapacityFault when
// the list would grow beyond its capacity; the list is then left empty.
void readBack(engine::Model& m, const std::string& intermediate);
// The final workrl.dat from the read-back list: "a", records, "e" per contour, then "s".
// Raises fault::ProgramFault when a contour's arcs could not be fitted.
std::string contourFile(const engine::Model& m, const Settings& s, std::int32_t& currentObject);
// workm.dat: counts, then the arcs (radians) and lines of type 3 and above with their pairIndex.
std::string barFile(const engine::Model& m);

// Where the conversion writes: the contour file and the bar file.
struct Targets {
    std::filesystem::path contours, bar;
};

// Writes the contour file and, with the connection on, the bar file (else an existing bar
// file is removed). Leaves m.elements in the read-back form. Both texts are
// made before either file is touched, and the two are put in place as one set (the contour file
// first); any fault is raised (fault::FileFault, fault::OverflowFault, fault::CapacityFault,
// fault::ProgramFault). Given a set, the files are added to it instead, to be put in place with it.
void writeConversionFiles(engine::Model& m, bool connectionOn, const Targets& targets,
                          const Settings& s, std::int32_t& currentObject, wf::FileSet* set = nullptr);

}  // namespace convert

// The hand-over of the shapes stage, read into millimetres: the letters' contours
// (workrl.dat), the pieces of the connection bar (workm.dat), the bridges (hl.dat), the scale
// and the aperture width (c3.dat) and "Create as one object" (orgdim.dat). Nothing here
// writes a file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "engine/model.h"
#include "geom/bridge.h"
#include "geom/types.h"

#include "workfile/faults.h"

namespace cut {

using Pt = geom::Point;

// One boundary piece in traversal order: a straight line from a to b, or an arc around c of
// radius r from angle `start` turning by `sweep` (radians, > 0 counter-clockwise).
struct Edge {
    Pt a, b;
    bool arc = false;
    Pt c;
    double r = 0, start = 0, sweep = 0;
};

// A closed boundary: the end of each edge is (within reading tolerance) the start of the next,
// and the last edge ends where the first begins.
struct Loop {
    std::vector<Edge> edges;
};

struct Letter {
    int number = 0;  // 1-based, in the order of the hand-over
    std::vector<Loop> loops;
};

using geom::Bridge;

// A letter of the hand-over as it was typed: its place in the text (1-based, spaces counted)
// and its character (UTF-8).
struct TypedLetter {
    int number = 0;
    std::string character;
};

struct Handover {
    double scale = 0;     // mm per internal unit (c3.dat line 1)
    double aperture = 0;  // aperture width b, mm (c3.dat line 3, inches)
    bool oneObject = true;
    bool hasBar = false;  // workm.dat exists and holds at least one piece
    std::vector<Letter> letters;
    std::vector<Loop> bar;
    std::vector<Bridge> bridges;
    // per letter of the hand-over (Letter::number - 1) the letter as typed, from the letters
    // file the hand-over was made of (tground.dat); empty when that cannot be matched
    std::vector<TypedLetter> typed;
};

// Reads the five files from the work-file folder. Raises fault::HandoverFault.
Handover readHandover(const std::filesystem::path& workfiles);

// What the user reads when the hand-over cannot be used: what to do, then the file and what is
// wrong with it as the detail.
inline constexpr const char* kNoHandover = "No cut drawing yet: make one with \"Start convert\" in the shapes window.";
inline constexpr const char* kBadHandover =
    "The cut drawing cannot be read: make it again with \"Start convert\" in the shapes window.";
std::string handoverMessage(const fault::HandoverFault& e);

// The readers one by one, on a file's content; `scale` turns internal units into mm.
struct C3 {
    double scale = 0, aperture = 0;
};
C3 parseC3(std::string_view content);
std::vector<Letter> parseContours(std::string_view content, double scale);
std::vector<Loop> parseBar(std::string_view content, double scale);
std::vector<Bridge> parseBridges(std::string_view content, double scale);
bool parseOneObject(std::string_view content);
// The letters as typed of the letters file: those with contours, in order (the shapes stage
// hands over a letter for each of them, as the records "n" of workrl.dat). Empty when the
// content cannot be read.
std::vector<TypedLetter> parseTypedLetters(std::string_view tground);

// The largest number of bridges, and of bar arcs and of bar lines, a hand-over can hold.
inline constexpr std::size_t kMaxBridges = engine::kMaxBridges;
inline constexpr std::size_t kMaxBarElements = engine::kMaxBarElements;

}  // namespace cut

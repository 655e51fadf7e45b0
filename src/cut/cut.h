// The cut drawing: the hand-over turned into closed outlines a cutter follows, for a stencil
// (the letters are openings in one sheet, held by bridges) or for lettering (the letters and
// the bar are parts), with the kerf applied and the problems a sign maker must know about.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cut/handover.h"

#include "workfile/faults.h"

namespace cut {

enum class Kind { Stencil, Lettering };

// The narrowest web or bridge a stencil or part keeps without tearing, unless the user says
// otherwise (mm), and the most that may be asked for.
inline constexpr double kDefaultMinWidth = 1;
inline constexpr double kMostMinWidth = 50;

struct Options {
    Kind kind = Kind::Stencil;
    double kerf = 0;      // mm; every outline moves by half of it
    bool tabs = false;    // lettering: join each loose piece to its letter
    double border = -1;   // stencil: a sheet edge at this margin around the letters; < 0: none
    double sheetWidth = 0, sheetHeight = 0;  // mm: the largest sheet the machine takes; 0: any
    bool tile = false;    // stencil larger than the sheet: split it into sheets that fit
    double minWidth = kDefaultMinWidth;  // mm: webs and bridges narrower than this (or the kerf) are thin
};

// The overlap band between neighbouring sheets of a tiled stencil (mm), and the registration
// marks in it: holes of this diameter that line up when the sheets are laid on each other.
inline constexpr double kTileOverlap = 20;
inline constexpr double kMarkDiameter = 3;

// Lettering when the hand-over has a bar, else a stencil.
Kind defaultKind(const Handover& h);

// One piece of an outline: a straight line from a to b, or (bulge != 0) an arc from a to b
// whose included angle is 4·atan(bulge), counter-clockwise for bulge > 0, around c with
// radius r.
struct Seg {
    Pt a, b;
    double bulge = 0;
    Pt c;
    double r = 0;
};

// A closed cut outline. `opening`: material lies outside it (a hole cut into a part, or an
// opening of the stencil); otherwise it is the outside of a part.
struct Outline {
    std::vector<Seg> segs;
    std::vector<Pt> poly;  // the same outline as points, arcs as chords within 0.005 mm
    bool opening = false;
    bool sheetEdge = false;  // the edge of a stencil's sheet (a border was asked for)
    int piece = -1;        // index into Drawing::pieces
};

enum class ProblemKind { Stale, Island, LoosePiece, ThinMaterial, Merged, OffSheet };
// "stale", "island", "loose piece", "thin material", "letters run into each other",
// "larger than the sheet"
const char* problemName(ProblemKind k);
// its key in the report: "stale", "island", "loose piece", "thin material", "merged", "sheet"
const char* problemKey(ProblemKind k);

struct Problem {
    Problem(ProblemKind k, int l, Pt at, std::vector<std::vector<Pt>> outline = {})
        : kind(k), letter(l), place(at), area(std::move(outline)) {}
    ProblemKind kind;
    int letter = 0;            // 1-based letter number as typed (spaces count); 0 when no letter is near
    std::string character;     // that letter's character, when the hand-over names it
    Pt place;                  // mm, a point of the problem area
    std::vector<std::vector<Pt>> area;  // its outline(s), for showing it
    int otherLetter = 0;       // Merged: the letter it runs into
    std::string otherCharacter;
    int sheet = 0;             // of a tiled stencil: the sheet (1-based) it lies on; 0: the whole
    std::string detail;        // Stale, OffSheet: why, for the user
};


// A connected piece of the cut: a part of the lettering, or one opening of the stencil.
struct Piece {
    double area = 0;  // mm²
    Pt min, max;
    int letter = 0;   // the letter it belongs to (0: the bar, or several letters)
};

// One sheet of a tiled stencil: what is cut on it, in the drawing's own millimetres (the
// sheets lie on each other where they overlap).
struct Sheet {
    int number = 0;             // 1-based, row by row from the bottom left
    Pt min, max;                // its rectangle
    std::vector<Outline> cut;   // openings, registration marks and its edge
    std::vector<Pt> marks;      // centres of its registration marks
};

struct Drawing {
    Kind kind = Kind::Stencil;
    Options options;
    std::vector<Outline> cut;
    std::vector<Piece> pieces;
    std::vector<Problem> problems;
    std::vector<Pt> tabs;        // where a tab joins a loose piece to its letter
    std::vector<Pt> sheet;       // the sheet's edge (the border, or the extent shown)
    Pt min, max;                 // extent of the cut outlines, mm
    double area = 0;             // material of the parts, or total area of the openings, mm²
    double letterArea = 0;       // area of the letters as handed over, mm²
    int arcs = 0, lines = 0;     // pieces of the cut outlines
    std::vector<Sheet> sheets;   // a tiled stencil's sheets (none when not tiled)
    bool thinPending = false;    // made without the check for thin material (a window's first look)
};

// One sheet of a tiled drawing as a drawing of its own, for the writers and pictures: its
// outlines moved so that its rectangle starts at (0, 0), its problems with it.
Drawing sheetDrawing(const Drawing& d, std::size_t index);

Drawing makeDrawing(const Handover& h, const Options& o);

// Makes drawings of one hand-over one after another, keeping what a change of the settings
// leaves as it was: the letters and pieces across a change of kerf, sheet or tiling, the check
// for thin material across a change of kerf that keeps its width. The drawings are the same as
// makeDrawing's. Safe to use from several threads: a step two threads need is made once, by
// the first, while the other waits for it; different steps are made side by side.
class DrawingMaker {
public:
    explicit DrawingMaker(std::shared_ptr<const Handover> h);
    ~DrawingMaker();
    DrawingMaker(const DrawingMaker&) = delete;
    DrawingMaker& operator=(const DrawingMaker&) = delete;
    Drawing make(const Options& o);
    // The drawing at once: without the check for thin material when that check has not been
    // made at this width yet (thinPending then); make() gives the whole drawing after it.
    Drawing makeFirstLook(const Options& o);
    // Makes and keeps what a drawing with these settings needs besides the kerf, so that make()
    // finds it ready: a window prepares the settings the user is likely to pick next.
    void prepare(const Options& o);

    struct Kept;  // what is kept between drawings (maker.cpp)

private:
    std::shared_ptr<const Handover> h_;
    std::unique_ptr<Kept> kept_;
};

// The width below which material counts as thin in a drawing with these settings (mm).
double thinWidth(const Options& o);

// A drawing made from a stale hand-over: a problem of its own, listed first.
void markStale(Drawing& d, const std::string& reason);
// One problem in words: "island of letter 3 "B" at (10.5, 20.0) mm", "letters run into each
// other: letters 3 "B" and 4 "C" at (…) mm", "the drawing is out of date: …" (a letter without
// a known character goes by its number alone).
// Letters are numbered as typed, spaces counted: in "A B" the B is letter 3.
std::string problemText(const Problem& p);

// Point lists of the hand-over's letters, bar and bridge strips in mm, for reference layers
// and pictures.
std::vector<Pt> loopPoints(const Loop& l);
// A bridge's strip; `reach` lengthens it beyond both ends of its segment.
std::vector<Pt> bridgeStrip(const Bridge& b, double aperture, double reach = 0);

}  // namespace cut

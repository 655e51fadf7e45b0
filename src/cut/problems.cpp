// The problems of a cut drawing in words.
#include <cstdio>

#include "cut/cut.h"

namespace cut {

const char* problemName(ProblemKind k) {
    switch (k) {
        case ProblemKind::Stale: return "stale";
        case ProblemKind::Island: return "island";
        case ProblemKind::LoosePiece: return "loose piece";
        case ProblemKind::ThinMaterial: return "thin material";
        case ProblemKind::Merged: return "letters run into each other";
        case ProblemKind::OffSheet: return "larger than the sheet";
    }
    return "";
}

const char* problemKey(ProblemKind k) {
    return k == ProblemKind::Merged ? "merged" : k == ProblemKind::OffSheet ? "sheet" : problemName(k);
}

void markStale(Drawing& d, const std::string& reason) {
    Problem p(ProblemKind::Stale, 0, {});
    p.detail = reason;
    d.problems.insert(d.problems.begin(), std::move(p));
}

namespace {
// "letter 3 "B"", or "letter 3" when its character is not known
std::string named(int letter, const std::string& character) {
    return std::to_string(letter) + (character.empty() ? std::string() : " \"" + character + "\"");
}
}  // namespace

std::string problemText(const Problem& p) {
    if (p.kind == ProblemKind::Stale) return "the drawing is out of date: " + p.detail;
    if (p.kind == ProblemKind::OffSheet) return std::string(problemName(p.kind)) + ": " + p.detail;
    char place[64];
    std::snprintf(place, sizeof place, " at (%.1f, %.1f) mm", p.place.x, p.place.y);
    if (p.kind == ProblemKind::Merged)
        return std::string(problemName(p.kind)) + ": letters " + named(p.letter, p.character) + " and " +
               named(p.otherLetter, p.otherCharacter) + place;
    return std::string(problemName(p.kind)) + (p.letter ? " of letter " + named(p.letter, p.character) : std::string()) +
           (p.sheet ? " on sheet " + std::to_string(p.sheet) : std::string()) + place;
}

}  // namespace cut

// The bridges the user places by hand: picking a bridge, moving it along its stroke, deleting
// it, adding one across a stroke, and checking at once which islands are still held. The
// edits belong to the letters of one text in one font and follow the text as it is retyped.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "text/lettering.h"

namespace text {

// One bridge of a lettering: the letter's place in the text, the bridge's place in the letter.
struct BridgeRef {
    std::size_t letter = 0;
    std::size_t index = 0;
    bool operator==(const BridgeRef&) const = default;
};

// The middle of a bridge's strip, letter coordinates.
Pt stripMiddle(const Bridge& b, double stripWidth);

// The bridge whose strip (widened by `tolerance` all round) holds the point `p` (line
// coordinates: x along the line, as the preview draws it); of several, the one whose middle
// lies nearest. Nothing when no strip is that near.
std::optional<BridgeRef> bridgeAt(const Lettering& l, Pt p, double tolerance);

// The letter whose ink (non-zero fill) covers `p` (line coordinates), the first in the text.
std::optional<std::size_t> letterAt(const Lettering& l, Pt p);

// A bridge across the stroke of `contours` at `p` (the letter's coordinates): its strip's middle
// line runs through `p` along the shortest way across the stroke (square to it), and each end
// reaches past the stroke as far as the rules let a placed bridge reach. Nothing when `p`
// is not on the ink.
std::optional<Bridge> bridgeAcross(const std::vector<Contour>& contours, Pt p, const BridgeRules& rules);

// The bridges the user changed: for each letter touched, its character and the whole list of
// bridges it has instead of those placed for it (letter coordinates).
struct LetterEdit {
    std::size_t letter = 0;
    std::string character;
    std::vector<Bridge> bridges;
    bool operator==(const LetterEdit&) const = default;
};

class BridgeEdits {
public:
    const std::vector<LetterEdit>& letters() const { return letters_; }
    bool empty() const { return letters_.empty(); }
    void clear() { letters_.clear(); }
    // Takes edits as read back; those of the same letter twice or out of order are merged.
    void assign(std::vector<LetterEdit> edits);

    // Gives the edited letters of `l` their edited bridges and checks their islands anew. An
    // edit whose letter is no longer there or holds another character is skipped.
    void apply(Lettering& l) const;

    // The editing steps, on `l` as shown (its islands checked at once) and recorded here.
    // Moves the bridge so that its strip's middle lies at `to` (line coordinates): across the
    // stroke there, square to it, when `to` is on the letter's ink; else moved as it is, which
    // leaves what it held loose. False when `ref` names no bridge.
    bool move(Lettering& l, BridgeRef ref, Pt to);
    bool remove(Lettering& l, BridgeRef ref);
    // A new bridge across the stroke at `at` (line coordinates); nothing when `at` is on no
    // letter's ink or the shapes stage's table of bridges is full.
    std::optional<BridgeRef> add(Lettering& l, Pt at);

    // The text changed from `before` to `after` (UTF-8): the letters in the unchanged beginning
    // and end keep their edits (those of the end move with them); the edits of the letters in
    // between are dropped. Returns how many letters lost their edits.
    std::size_t followText(const std::string& before, const std::string& after);

private:
    LetterEdit& record(const Lettering& l, std::size_t letter);
    std::vector<LetterEdit> letters_;  // by letter, ascending
};

}  // namespace text

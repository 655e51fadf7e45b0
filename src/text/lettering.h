// A text set in a font as the letter file carries it: one letter per character, each with its
// contours, its advance (kerning included) and its stencil bridges.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "text/bridges.h"
#include "text/font.h"

namespace text {

// Capacities of the shapes stage's tables that a letter file must respect.
inline constexpr std::size_t kMaxLetters = 255;
// the longest text that can hold that many letters: four bytes each in UTF-8
inline constexpr std::size_t kMaxTextBytes = kMaxLetters * 4;
inline constexpr std::size_t kMaxPoints = 301001;
inline constexpr std::size_t kMaxBridges = 1601;

// The size the letters are set at: one em is this many millimetres.
inline constexpr double kEmMm = 100;
// How the shapes stage will draw the letters: the whole text scaled to the letter height h,
// each bridge a strip of the aperture width b (both mm). The bridges are made for that drawing.
struct CutSize {
    double heightMm = 101.6;     // 4 inches, the shapes stage's default
    double apertureMm = 2.032;   // 0.08 inches, its default
};
// A bridge reaches this far past both sides of its stroke, mm as cut.
inline constexpr double kBridgePastMm = 0.5;
// ... and this many aperture widths where the sheet beyond the stroke is free that far, so
// that the strip still spans the stroke once the shapes stage has bent the letter.
inline constexpr double kBridgeFarPastApertures = 4;
// A counter at least this large as cut (mm, the larger of its width and height) gets two
// bridges; from the smaller size on it gets two when the user asks for them, and one below it.
inline constexpr double kTwoBridgesMm = 25;
inline constexpr double kTwoBridgesChosenMm = 12;

// What the letters are set for: bridges or none, two bridges for mid-size counters, the drawing.
struct BridgeChoice {
    bool bridges = true;
    bool twoForMidSize = false;
    CutSize cut;
};
// Cubic curves become quadratics within 0.01 mm at 100 mm letter height; half of that at an em
// of 100 mm keeps capitals well inside it.
inline constexpr double kCubicToleranceEm = 0.005 / 100;

struct Character {
    std::string bytes;  // the character as it stands in the UTF-8 text
    char32_t code = 0;
};
// The characters of a UTF-8 text. fault::TextFault for invalid UTF-8 or a control character.
std::vector<Character> splitCharacters(std::string_view utf8);

struct Letter {
    Character character;
    std::uint32_t glyph = 0;
    double advance = 0;  // mm, kerning against the next letter included
    double kerning = 0;  // mm, the kerning's share of the advance
    std::vector<Contour> contours;
    std::vector<Bridge> bridges;
    int islands = 0;
    std::vector<Polygon> loose;  // islands no strip holds, letter coordinates
    double x = 0;                // where the letter's origin lies in the line, mm
};

struct Lettering {
    std::string text;
    std::vector<Letter> letters;
    bool bridges = true;       // bridges were asked for
    bool twoForMidSize = false;
    CutSize cut;               // the drawing the bridges are made for
    double emMm = kEmMm;       // the size the letters are set at
    double fileToCut = 1;      // mm as cut per mm of the file
    double stripWidth = 0;     // mm in the file's units: the aperture b after scaling
    double past = 0;           // mm in the file's units
    double farPast = 0;        // mm in the file's units
    std::size_t points() const;      // entries of the point list the file carries
    std::size_t bridgeCount() const;
    std::size_t looseCount() const;
};

class Typesetter {
public:
    explicit Typesetter(const FontRef& font, double emMm = kEmMm) : font_(font), emMm_(emMm) {}
    const Font& font() const { return font_; }
    // Sets `utf8`. fault::TextFault with a message for the user when the text is empty, too long, has a
    // character the font lacks or would overflow the shapes stage's tables.
    Lettering set(std::string_view utf8, const BridgeChoice& choice);
    Lettering set(std::string_view utf8, bool bridges) { return set(utf8, BridgeChoice{bridges, false, {}}); }

private:
    std::string fontName() const;  // family and style, as messages name the font
    void checkCharacters(const std::vector<Character>& chars) const;
    // Places the letters along the line; the text's lowest and highest point.
    std::pair<double, double> place(Lettering& out, const std::vector<Character>& chars,
                                    const std::vector<Placement>& placed, double scale);
    // The bridges (or the loose islands) of every letter.
    void addBridges(Lettering& out, const std::vector<Placement>& placed, double scale);

    struct Cached {
        BridgeRules rules;
        bool bridges;
        IslandResult islands;
    };
    Font font_;
    double emMm_;
    std::map<std::uint32_t, std::vector<Contour>> outlines_;
    std::map<std::uint32_t, Cached> islands_;
};

// The rules the bridges of `l` are placed by: its strip width and reach, two bridges from the
// counter size its choice gives.
BridgeRules bridgeRules(const Lettering& l);

// Islands the letters make together where they overlap: bridged where a strip of `rules` fits,
// otherwise added to the loose islands of the letter they lie in.
void holdNeighbours(Lettering& out, const BridgeRules& rules);
// The loose islands of letter `i` found anew with the bridges it has now, together with the
// letters it overlaps as holdNeighbours groups them.
void recheckHeld(Lettering& out, std::size_t i);

// tground.dat for `l`, every number through the work-file module.
std::string groundFile(const Lettering& l);

}  // namespace text

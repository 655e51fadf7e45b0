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
inline constexpr std::size_t kMaxPoints = 301001;
inline constexpr std::size_t kMaxBridges = 1601;

// The size the letters are set at: one em is this many millimetres.
inline constexpr double kEmMm = 100;
// The shapes stage scales the whole text to its default height and draws each strip with its
// default aperture width; the bridges are made for that drawing, and so is the reach of 0.5 mm.
inline constexpr double kShapesDefaultHeightMm = 101.6;
inline constexpr double kShapesDefaultApertureMm = 2.032;  // 0.08 inches
inline constexpr double kBridgePastMm = 0.5;
// Islands at least this share of an em wide or high get two bridges.
inline constexpr double kLargeIslandEm = 0.45;
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
    double emMm = kEmMm;       // the size the letters are set at
    double stripWidth = 0;     // mm in the file's units: the default aperture after scaling
    double past = 0;           // mm in the file's units
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
    Lettering set(std::string_view utf8, bool bridges);

private:
    void checkCharacters(const std::vector<Character>& chars) const;
    // Places the letters along the line; the text's lowest and highest point.
    std::pair<double, double> place(Lettering& out, const std::vector<Character>& chars,
                                    const std::vector<Placement>& placed, double scale);
    // The bridges (or the loose islands) of every letter.
    void addBridges(Lettering& out, const std::vector<Placement>& placed, double scale);

    struct Cached {
        double stripWidth;
        bool bridges;
        IslandResult islands;
    };
    Font font_;
    double emMm_;
    std::map<std::uint32_t, std::vector<Contour>> outlines_;
    std::map<std::uint32_t, Cached> islands_;
};

// tground.dat for `l`, every number through the work-file module.
std::string groundFile(const Lettering& l);

}  // namespace text

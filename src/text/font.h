// Fonts: the installed ones by family and style, or a font file; outlines and advances.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "text/outline.h"

#include "workfile/faults.h"

namespace text {

struct FontRef {
    std::string family, style;  // as the font names itself
    std::string file;
    int index = 0;              // face within the file
};

// Families of the installed outline fonts, sorted, each once.
std::vector<std::string> installedFamilies();
// Styles of one installed family, sorted; empty when the family is not installed.
std::vector<std::string> installedStyles(const std::string& family);
// The installed font of exactly this family (case does not matter) and style; an empty style
// takes the family's regular style. Nothing when there is no such font.
std::optional<FontRef> findInstalledFont(const std::string& family, const std::string& style);
// "Family", "Family:Style" or the path of a font file. fault::TextFault when neither is found.
FontRef resolveFont(const std::string& request);

// One letter placed by the shaper, in font units.
struct Placement {
    std::uint32_t glyph = 0;
    double advance = 0;  // including the kerning against the next letter
    double kerning = 0;  // the kerning's share of the advance
    double dx = 0, dy = 0;
};

class Font {
public:
    explicit Font(const FontRef& ref);  // fault::TextFault when the file is no outline font
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    const FontRef& ref() const { return ref_; }
    double unitsPerEm() const { return unitsPerEm_; }
    bool hasCharacter(char32_t code) const;
    // One placement per character, in text order, left to right, with the font's kerning.
    std::vector<Placement> shape(const std::vector<char32_t>& codes) const;
    // The glyph's contours scaled by `scale` (mm per font unit) and moved by `offset` (mm).
    // Quadratic pieces stay as the font has them; cubic pieces become quadratics within
    // `cubicTolerance` (mm). Nothing when the font lists the glyph but cannot load it.
    std::optional<std::vector<Contour>> outline(std::uint32_t glyph, double scale, Pt offset,
                                                double cubicTolerance) const;

private:
    struct Handles;
    std::unique_ptr<Handles> h_;
    FontRef ref_;
    double unitsPerEm_ = 0;
};

}  // namespace text

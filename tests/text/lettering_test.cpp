// The typesetter on real fonts: outlines as the font has them, kerning, stencil bridges that
// hold every island, and the texts it refuses.

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <fstream>
#include <map>

#include "text/lettering.h"
#include "text_support.h"

namespace texttest {
namespace {

// --- the font's own outline, read independently -----------------------------------------

using Polylines = std::vector<std::vector<std::pair<double, double>>>;  // mm

// Polylines of the outline of `code` as FreeType gives it, curves by 256 chords each.
Polylines fontOutline(const std::string& file, char32_t code, double emMm) {
    struct State {
        Polylines o;
        double s;
        int move(FT_Vector v) { return o.push_back({{v.x * s, v.y * s}}), 0; }
        // the Bezier curve (a line for one point) from the current point through the points given
        int to(std::vector<FT_Vector> c) {
            std::vector<std::pair<double, double>> p{o.back().back()};
            for (const FT_Vector& v : c) p.emplace_back(v.x * s, v.y * s);
            for (int i = 1, steps = c.size() > 1 ? 256 : 1; i <= steps; ++i) {
                auto q = p;
                for (std::size_t n = q.size() - 1; n > 0; --n)  // de Casteljau
                    for (std::size_t k = 0; k < n; ++k)
                        q[k] = {q[k].first + (q[k + 1].first - q[k].first) * i / steps,
                                q[k].second + (q[k + 1].second - q[k].second) * i / steps};
                o.back().push_back(q[0]);
            }
            return 0;
        }
    } st{{}, emMm / (1000.0 * 64)};
    FT_Library lib;
    FT_Face face;
    if (FT_Init_FreeType(&lib)) return {};
    if (FT_New_Face(lib, file.c_str(), 0, &face) == 0) {
        FT_Set_Char_Size(face, 0, 1000 * 64, 72, 72);  // 1000 px per em, 1/64 px precision
        if (FT_Load_Char(face, code, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) == 0) {
            FT_Outline_Funcs f{};
            f.move_to = [](const FT_Vector* to, void* u) { return static_cast<State*>(u)->move(*to); };
            f.line_to = [](const FT_Vector* to, void* u) { return static_cast<State*>(u)->to({*to}); };
            f.conic_to = [](const FT_Vector* c, const FT_Vector* to, void* u) { return static_cast<State*>(u)->to({*c, *to}); };
            f.cubic_to = [](const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* u) {
                return static_cast<State*>(u)->to({*c1, *c2, *to});
            };
            FT_Outline_Decompose(&face->glyph->outline, &f, &st);
        }
        FT_Done_Face(face);
    }
    FT_Done_FreeType(lib);
    return st.o;
}

// Where one set of outlines has ink and the other not (nonzero fill), shrunk by `mm`: empty when
// the two nowhere differ by a band wider than twice that.
ClipperLib::Paths differenceBeyond(const Polylines& a, const Polylines& b, double mm) {
    ClipperLib::Clipper c;
    for (const Polylines* p : {&a, &b})
        for (const auto& line : *p) {
            ClipperLib::Path path;
            for (const auto& [x, y] : line) path.push_back(detail::grid(x, y));
            c.AddPath(path, p == &a ? ClipperLib::ptSubject : ClipperLib::ptClip, true);
        }
    ClipperLib::Paths differ, beyond;
    c.Execute(ClipperLib::ctXor, differ, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    ClipperLib::ClipperOffset shrink;
    shrink.AddPaths(differ, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
    shrink.Execute(beyond, -mm * detail::kGrid);
    return beyond;
}

// At 100 mm letter height the letters in the file and the font's own outlines differ nowhere by
// more than 0.01 mm: TrueType quadratics are taken as they are, CFF
// cubics are replaced by quadratics close enough.
TEST(Outlines, MatchTheFontWithinAHundredthOfAMillimetre) {
    for (const char* font : {"DejaVu Sans", "Nimbus Sans", "Liberation Serif"}) {
        SCOPED_TRACE(font);
        const text::FontRef ref = text::resolveFont(font);
        const double emMm = 100.0 / 0.72;  // capitals about 100 mm high
        text::Typesetter setter(ref, emMm);
        const GroundFile g = written(setter.set("QS&@g8", false));
        std::size_t curves = 0;
        for (const auto& l : g.letters) {
            SCOPED_TRACE(l.text);
            const Polylines font = fontOutline(ref.file, static_cast<char32_t>(l.codePoint), emMm);
            Polylines file;
            for (const auto& c : l.contours) file.push_back(c.poly), curves += c.curved;
            ASSERT_EQ(file.size(), font.size());
            EXPECT_TRUE(differenceBeyond(file, font, 0.005).empty());
        }
        EXPECT_GT(curves, 6u);
    }
}

// Kerning shortens the advance of A before V, in a Type 1 face by its .afm ("KPX A V -71" at an
// em of 100 mm; the same file copied without it sets no kerning); one letter per character,
// multi-byte ones too; a blank is a letter without contours; the advance of a lone letter is
// the font's own.
TEST(Letters, KerningAndCharacters) {
    text::Typesetter setter(text::resolveFont("DejaVu Sans"));
    const auto av = setter.set("AV", true), ah = setter.set("AH", true);
    EXPECT_LT(av.letters[0].advance + 0.5, ah.letters[0].advance);
    EXPECT_LT(av.letters[0].kerning, 0);
    EXPECT_EQ(ah.letters[0].kerning, 0);
    const fs::path type1 = "/usr/share/fonts/type1/urw-base35/NimbusSans-Regular.t1";
    const TempFolder folder;
    const fs::path alone = folder.path() / type1.filename();
    fs::copy_file(type1, alone);  // fonts-urw-base35 (scripts/install-deps.sh)
    const auto pairAV = [](const fs::path& file) {
        return text::Typesetter(text::FontRef{"", "", file.string(), 0}).set("AV", false).letters.at(0);
    };
    const auto kerned = pairAV(type1), plain = pairAV(alone);
    EXPECT_NEAR(kerned.kerning, -7.1, 1e-6);
    EXPECT_DOUBLE_EQ(plain.kerning, 0);
    EXPECT_NEAR(kerned.advance, plain.advance + kerned.kerning, 1e-9);
    const GroundFile g = written(setter.set("Ä €x", true));
    ASSERT_EQ(g.letters.size(), 4u);
    EXPECT_EQ(g.text, "Ä €x");
    EXPECT_EQ(g.letters[0].text, "Ä");
    EXPECT_EQ(g.letters[2].text, "€");
    EXPECT_EQ(g.letters[2].codePoint, 0x20AC);
    EXPECT_TRUE(g.letters[1].contours.empty());
    EXPECT_GT(g.letters[1].advance, 10);
    EXPECT_NEAR(g.letters[0].advance, written(setter.set("Ä", true)).letters[0].advance, 1e-9);
}

// A copy of a TrueType font whose glyph for `code` the font still lists but no longer loads:
// its contour count made larger than its data can hold.
fs::path fontWithBrokenGlyph(const text::FontRef& ref, char32_t code, const fs::path& copy) {
    std::string font = readAll(ref.file);
    auto u16 = [&](std::size_t at) { return std::size_t(std::uint8_t(font[at])) << 8 | std::uint8_t(font[at + 1]); };
    auto u32 = [&](std::size_t at) { return u16(at) << 16 | u16(at + 2); };
    std::map<std::string, std::size_t> tables;
    for (std::size_t i = 0, n = u16(4); i < n; ++i) tables[font.substr(12 + 16 * i, 4)] = u32(12 + 16 * i + 8);
    const std::uint32_t glyph = text::Font(ref).shape({code}).front().glyph;
    const bool longOffsets = u16(tables.at("head") + 50) == 1;
    const std::size_t at = tables.at("glyf") + (longOffsets ? u32(tables.at("loca") + 4 * glyph)
                                                            : 2 * u16(tables.at("loca") + 2 * glyph));
    font[at] = 0x7f;  // numberOfContours
    font[at + 1] = 0x00;
    std::ofstream(copy, std::ios::binary) << font;
    return copy;
}

// The texts refused, each with why; a glyph the font lists but cannot load is refused with its
// character named, as a missing one is, instead of becoming a blank.
TEST(Letters, RefusedTextsSayWhy) {
    text::Typesetter setter(text::resolveFont("DejaVu Sans"));
    const TempFolder folder;
    const fs::path copy = fontWithBrokenGlyph(text::resolveFont("DejaVu Sans"), U'R', folder.path() / "broken.ttf");
    text::Typesetter broken(text::FontRef{"", "", copy.string(), 0});
    EXPECT_EQ(broken.set("BO", true).letters.size(), 2u);
    const std::pair<std::string, std::string> refused[] = {
        {"", "type"},
        {"   ", "no visible letter"},
        {"A\xE4\xB8\xAD", "\xE4\xB8\xAD"},  // a character DejaVu Sans lacks, named in the message
        {"A\xC3", "UTF-8"},
        {"A\xC0\x80", "UTF-8"},  // overlong
        {"A\nB", "control"},
        {std::string(256, 'x'), "255"},
        {std::string(40u << 20, 'x'), "41943040 letters; at most 255"},  // refused before it is split
        {"BOR", "cannot load its letter \"R\" (U+0052)"},  // in the broken copy
    };
    for (const auto& [t, why] : refused) {
        try {
            (t == "BOR" ? broken : setter).set(t, true);
            ADD_FAILURE() << "accepted: " << t;
        } catch (const fault::TextFault& e) {
            EXPECT_NE(std::string(e.what()).find(why), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(setter.set(std::string(255, 'x'), true).letters.size(), 255u);
    for (const char* font : {"No Such Family", "DejaVu Sans:Heavy Wobbly", "/no/such/font.ttf"})
        EXPECT_THROW(text::resolveFont(font), fault::TextFault) << font;
    EXPECT_THROW(text::Font(text::FontRef{"", "", "/etc/hostname", 0}), fault::TextFault);
}

// The stencil of the letters most likely to go wrong, in each font: every island held by the
// default strips, no strip crossing a second stroke or running along the letter. Counters of
// 25 mm and more as cut hang by two bridges, those under 12 mm by one; in between the user
// chooses. Without bridges the same check finds the islands, so it can fail.
TEST(Stencil, EveryIslandHeldAndTwoBridgesForLargeCountersAsCut) {
    int large = 0, mid = 0;
    for (const char* font : kFonts) {
        SCOPED_TRACE(font);
        text::Typesetter setter(text::resolveFont(font));
        for (const auto& [words, islands] : {std::pair{"ABDOPQR abdegopq 04689", 18}, {"STENCIL &@%", 4}}) {
            for (bool two : {false, true}) {
                SCOPED_TRACE(std::string(words) + (two ? ", two for mid sizes" : ""));
                const GroundFile g = written(setter.set(words, text::BridgeChoice{true, two, {}}));
                const StencilCheck s = checkStencil(g);
                EXPECT_GE(s.holesWithoutStrips, islands);
                EXPECT_EQ(s.looseIslands, 0);
                EXPECT_TRUE(s.badBridges.empty()) << s.badBridges.front();
                EXPECT_LT(s.endInInkMm, 0.01);
                EXPECT_EQ(g.loose, 0);
                for (const auto& l : g.letters) {
                    EXPECT_GE(l.bridges.size(), static_cast<std::size_t>(l.islands)) << l.text;
                    for (const auto& b : l.bridges)  // across a stroke, not along the letter
                        EXPECT_LT(std::hypot(b.x2 - b.x1, b.y2 - b.y1), 0.3 * g.emMm) << l.text;
                }
                for (const StencilCheck::Counter& c : s.counters) {
                    SCOPED_TRACE(c.letter + " " + std::to_string(c.sizeMm) + " mm");
                    const bool wantTwo = c.sizeMm >= text::kTwoBridgesMm || (two && c.sizeMm >= text::kTwoBridgesChosenMm);
                    EXPECT_TRUE(c.sizeMm < text::kTwoBridgesChosenMm || c.bridges == (wantTwo ? 2 : 1)) << c.bridges;
                    large += c.sizeMm >= text::kTwoBridgesMm;
                    mid += two && c.sizeMm >= text::kTwoBridgesChosenMm && c.sizeMm < text::kTwoBridgesMm;
                }
                const GroundFile plain = written(setter.set(words, false));
                EXPECT_EQ(checkStencil(plain).looseIslands, s.holesWithoutStrips);
                EXPECT_EQ(plain.loose, s.holesWithoutStrips);
                EXPECT_EQ(plain.stripWidth, 0);
            }
        }
    }
    EXPECT_GT(large, 20);
    EXPECT_GE(mid, 4);
}

// Two letters, "[" and "]", that overlap enclose a counter neither has alone: it gets a
// bridge where a strip fits, and without bridges it is reported as loose, in its letter.
TEST(Stencil, IslandsBetweenLettersAreHeldOrReported) {
    auto letter = [](std::vector<text::Pt> ring, double x) {
        text::Letter l;
        l.x = x;
        l.advance = 8;  // the file places each letter by the advances before it
        text::Contour c;
        for (std::size_t i = 0; i < ring.size(); ++i) c.push_back({false, ring[i], {}, ring[(i + 1) % ring.size()]});
        l.contours.push_back(c);
        return l;
    };
    for (bool bridges : {true, false}) {
        text::Lettering l;
        l.bridges = bridges;
        l.stripWidth = 2.032 * 30 / 101.6, l.past = 0.15, l.farPast = 2.4;  // the default drawing of a line 30 high
        l.letters.push_back(letter({{0, 0}, {10, 0}, {10, 3}, {3, 3}, {3, 27}, {10, 27}, {10, 30}, {0, 30}}, 0));
        l.letters.push_back(letter({{0, 0}, {10, 0}, {10, 30}, {0, 30}, {0, 27}, {7, 27}, {7, 3}, {0, 3}}, 8));
        text::holdNeighbours(l, text::bridgeRules(l));
        EXPECT_EQ(l.letters[0].islands + l.letters[1].islands, 1);
        EXPECT_EQ(l.looseCount(), bridges ? 0u : 1u);
        EXPECT_EQ(l.bridgeCount() >= 1, bridges);
        const GroundFile g = written(l);
        EXPECT_EQ(checkStencil(g).looseIslands, g.loose);
    }
}

}  // namespace
}  // namespace texttest

// The typesetter on real fonts: outlines as the font has them, kerning, stencil bridges that
// hold every island, and the texts it refuses.

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <map>

#include "text/lettering.h"
#include "text_support.h"

namespace texttest {
namespace {

GroundFile written(const text::Lettering& l) { return tooltest::parseGroundFile(text::groundFile(l)); }

// The stencil of "STENCIL 0486 &@" and of the letters most likely to go wrong, in each font:
// every island held by the default strips, no strip crossing a second stroke; the large
// counters hang by two bridges. Without bridges the same check finds the islands, so it can fail.
TEST(Stencil, EveryIslandHeldInEachFont) {
    for (const char* font : kFonts) {
        SCOPED_TRACE(font);
        text::Typesetter setter(text::resolveFont(font));
        for (const auto& [words, islands] : {std::pair{"STENCIL 0486 &@", 7}, {"ABR48egQ@&", 12}}) {
            SCOPED_TRACE(words);
            const GroundFile g = written(setter.set(words, true));
            const StencilCheck s = checkStencil(g);
            EXPECT_GE(s.holesWithoutStrips, islands);
            EXPECT_EQ(s.looseIslands, 0);
            EXPECT_TRUE(s.badBridges.empty()) << s.badBridges.front();
            EXPECT_EQ(g.loose, 0);
            for (const auto& l : g.letters) {
                EXPECT_GE(l.bridges.size(), static_cast<std::size_t>(l.islands)) << l.text;
                if (l.text == "O" || l.text == "0" || l.text == "Q") {
                    EXPECT_GE(l.bridges.size(), 2u) << l.text;
                }
                for (const auto& b : l.bridges)  // across a stroke, not along the letter
                    EXPECT_LT(std::hypot(b.x2 - b.x1, b.y2 - b.y1), 0.3 * g.emMm) << l.text;
            }
            const GroundFile plain = written(setter.set(words, false));
            EXPECT_EQ(checkStencil(plain).looseIslands, s.holesWithoutStrips);
            EXPECT_EQ(plain.loose, s.holesWithoutStrips);
            EXPECT_EQ(plain.stripWidth, 0);
        }
    }
}

// --- the font's own outline, read independently -----------------------------------------

struct FontOutline {
    std::vector<std::vector<std::pair<double, double>>> polys;  // dense polylines, mm
};

FontOutline fontOutline(const std::string& file, char32_t code, double emMm) {
    FT_Library lib;
    FT_Face face;
    FontOutline out;
    if (FT_Init_FreeType(&lib)) return out;
    if (FT_New_Face(lib, file.c_str(), 0, &face) == 0) {
        FT_Set_Char_Size(face, 0, 1000 * 64, 72, 72);  // 1000 px per em, 1/64 px precision
        if (FT_Load_Char(face, code, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) == 0) {
            struct State {
                FontOutline* o;
                double s;
                double x = 0, y = 0;
            } st{&out, emMm / (1000.0 * 64)};
            FT_Outline_Funcs f{};
            f.move_to = [](const FT_Vector* to, void* u) {
                auto* s = static_cast<State*>(u);
                s->o->polys.emplace_back();
                s->x = to->x * s->s, s->y = to->y * s->s;
                s->o->polys.back().emplace_back(s->x, s->y);
                return 0;
            };
            f.line_to = [](const FT_Vector* to, void* u) {
                auto* s = static_cast<State*>(u);
                s->x = to->x * s->s, s->y = to->y * s->s;
                s->o->polys.back().emplace_back(s->x, s->y);
                return 0;
            };
            f.conic_to = [](const FT_Vector* c, const FT_Vector* to, void* u) {
                auto* s = static_cast<State*>(u);
                const double x0 = s->x, y0 = s->y, cx = c->x * s->s, cy = c->y * s->s;
                s->x = to->x * s->s, s->y = to->y * s->s;
                for (int i = 1; i <= 256; ++i) {
                    const double t = i / 256.0, v = 1 - t;
                    s->o->polys.back().emplace_back(v * v * x0 + 2 * v * t * cx + t * t * s->x,
                                                    v * v * y0 + 2 * v * t * cy + t * t * s->y);
                }
                return 0;
            };
            f.cubic_to = [](const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* u) {
                auto* s = static_cast<State*>(u);
                const double x0 = s->x, y0 = s->y, ax = c1->x * s->s, ay = c1->y * s->s, bx = c2->x * s->s,
                             by = c2->y * s->s;
                s->x = to->x * s->s, s->y = to->y * s->s;
                for (int i = 1; i <= 256; ++i) {
                    const double t = i / 256.0, v = 1 - t;
                    s->o->polys.back().emplace_back(
                        v * v * v * x0 + 3 * v * v * t * ax + 3 * v * t * t * bx + t * t * t * s->x,
                        v * v * v * y0 + 3 * v * v * t * ay + 3 * v * t * t * by + t * t * t * s->y);
                }
                return 0;
            };
            FT_Outline_Decompose(&face->glyph->outline, &f, &st);
        }
        FT_Done_Face(face);
    }
    FT_Done_FreeType(lib);
    return out;
}

double distanceToPolys(const std::vector<std::vector<std::pair<double, double>>>& polys, double x, double y) {
    double best = 1e300;
    for (const auto& p : polys)
        for (std::size_t i = 0; i + 1 < p.size(); ++i) {
            const auto [x0, y0] = p[i];
            const double dx = p[i + 1].first - x0, dy = p[i + 1].second - y0, l2 = dx * dx + dy * dy;
            const double t = std::clamp(l2 > 0 ? ((x - x0) * dx + (y - y0) * dy) / l2 : 0, 0.0, 1.0);
            best = std::min(best, std::hypot(x - x0 - t * dx, y - y0 - t * dy));
        }
    return best;
}

// At 100 mm letter height the letters in the file and the font's own outlines lie within
// 0.01 mm of each other, both ways round: TrueType quadratics are taken as they are, CFF
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
            const FontOutline f = fontOutline(ref.file, static_cast<char32_t>(l.codePoint), emMm);
            std::vector<std::vector<std::pair<double, double>>> file;
            for (const auto& c : l.contours) file.push_back(c.poly), curves += c.curved;
            ASSERT_EQ(file.size(), f.polys.size());
            double worst = 0;
            for (const auto& c : file)
                for (const auto& [x, y] : c) worst = std::max(worst, distanceToPolys(f.polys, x, y));
            for (const auto& p : f.polys)
                for (std::size_t i = 0; i < p.size(); i += 7) worst = std::max(worst, distanceToPolys(file, p[i].first, p[i].second));
            EXPECT_LT(worst, 0.01);
        }
        EXPECT_GT(curves, 6u);
    }
}

// Kerning shortens the advance of A before V; one letter per character, multi-byte ones too;
// a blank is a letter without contours; the advance of a lone letter is the font's own.
TEST(Letters, KerningAndCharacters) {
    text::Typesetter setter(text::resolveFont("DejaVu Sans"));
    const auto av = setter.set("AV", true), ah = setter.set("AH", true);
    EXPECT_LT(av.letters[0].advance + 0.5, ah.letters[0].advance);
    EXPECT_LT(av.letters[0].kerning, 0);
    EXPECT_EQ(ah.letters[0].kerning, 0);
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

TEST(Letters, RefusedTextsSayWhy) {
    text::Typesetter setter(text::resolveFont("DejaVu Sans"));
    const std::map<std::string, std::string> refused{
        {"", "type"},
        {"   ", "no visible letter"},
        {"A\xE4\xB8\xAD", "\xE4\xB8\xAD"},  // a character DejaVu Sans lacks, named in the message
        {"A\xC3", "UTF-8"},
        {"A\xC0\x80", "UTF-8"},  // overlong
        {"A\nB", "control"},
        {std::string(256, 'x'), "255"},
    };
    for (const auto& [t, why] : refused) {
        try {
            setter.set(t, true);
            ADD_FAILURE() << "accepted: " << t;
        } catch (const fault::TextFault& e) {
            EXPECT_NE(std::string(e.what()).find(why), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(setter.set(std::string(255, 'x'), true).letters.size(), 255u);
    EXPECT_THROW(text::resolveFont("No Such Family"), fault::TextFault);
    EXPECT_THROW(text::resolveFont("DejaVu Sans:Heavy Wobbly"), fault::TextFault);
    EXPECT_THROW(text::resolveFont("/no/such/font.ttf"), fault::TextFault);
    EXPECT_THROW(text::Font(text::FontRef{"", "", "/etc/hostname", 0}), fault::TextFault);
}

}  // namespace
}  // namespace texttest

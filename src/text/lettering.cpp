#include "text/lettering.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>

#include "workfile/workfile_io.h"

namespace text {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// The file carries coordinates to a millionth of a millimetre: far below anything a cutter
// resolves, and it keeps the lines short.
double fileValue(double v) {
    const double r = std::round(v * 1e6) / 1e6;
    return r == 0 ? 0.0 : r;
}

std::string codeName(char32_t c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(c));
    return buf;
}

void translate(std::vector<Contour>& contours, Pt by) {
    for (Contour& c : contours)
        for (Piece& p : c) {
            p.a = p.a + by;
            p.c = p.c + by;
            p.b = p.b + by;
        }
}

}  // namespace

std::vector<Character> splitCharacters(std::string_view text) {
    std::vector<Character> out;
    for (std::size_t i = 0; i < text.size();) {
        const auto b0 = static_cast<unsigned char>(text[i]);
        const int len = b0 < 0x80 ? 1 : (b0 >> 5) == 6 ? 2 : (b0 >> 4) == 14 ? 3 : (b0 >> 3) == 30 ? 4 : 0;
        if (len == 0 || i + len > text.size()) throw fault::TextFault("The text is not valid UTF-8.");
        char32_t cp = len == 1 ? b0 : b0 & (0x7f >> len);
        for (int k = 1; k < len; ++k) {
            const auto b = static_cast<unsigned char>(text[i + k]);
            if ((b >> 6) != 2) throw fault::TextFault("The text is not valid UTF-8.");
            cp = (cp << 6) | (b & 0x3f);
        }
        // overlong forms, surrogates and values past the last code point are no characters
        static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kLeast[len] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
            throw fault::TextFault("The text is not valid UTF-8.");
        if (cp < 0x20 || (cp >= 0x7f && cp < 0xa0) || cp == 0x2028 || cp == 0x2029)
            throw fault::TextFault("The text may hold no control characters or line breaks.");
        out.push_back({std::string(text.substr(i, len)), cp});
        i += len;
    }
    return out;
}

std::size_t Lettering::points() const {
    std::size_t n = 0;
    for (const Letter& l : letters)
        for (const Contour& c : l.contours) {
            for (const Piece& p : c) n += p.quad ? 3 : 2;
            n += 2;
        }
    return n;
}

std::size_t Lettering::bridgeCount() const {
    std::size_t n = 0;
    for (const Letter& l : letters) n += l.bridges.size();
    return n;
}

std::size_t Lettering::looseCount() const {
    std::size_t n = 0;
    for (const Letter& l : letters) n += l.loose.size();
    return n;
}

std::string Typesetter::fontName() const { return font_.ref().family + " " + font_.ref().style; }

void Typesetter::checkCharacters(const std::vector<Character>& chars) const {
    if (chars.empty()) throw fault::TextFault("Please type a text.");
    if (chars.size() > kMaxLetters)
        throw fault::TextFault("The text has " + std::to_string(chars.size()) + " letters; at most 255 fit.");
    for (const Character& c : chars)
        if (c.code != ' ' && !font_.hasCharacter(c.code))
            throw fault::TextFault("The font " + fontName() + " has no letter \"" + c.bytes + "\" (" + codeName(c.code) + ").");
}

std::pair<double, double> Typesetter::place(Lettering& out, const std::vector<Character>& chars,
                                            const std::vector<Placement>& placed, double scale) {
    double ymin = kInfinity, ymax = -kInfinity, x = 0;
    out.letters.resize(chars.size());
    for (std::size_t i = 0; i < chars.size(); ++i) {
        Letter& l = out.letters[i];
        l.character = chars[i];
        l.glyph = placed[i].glyph;
        l.advance = placed[i].advance * scale;
        l.kerning = placed[i].kerning * scale;
        l.x = x;
        x += l.advance;
        auto cached = outlines_.find(l.glyph);
        if (cached == outlines_.end()) {
            std::optional<std::vector<Contour>> drawn = font_.outline(l.glyph, scale, {}, kCubicToleranceEm * emMm_);
            if (!drawn)
                throw fault::TextFault("The font " + fontName() + " cannot load its letter \"" + l.character.bytes +
                                       "\" (" + codeName(l.character.code) + ").");
            cached = outlines_.emplace(l.glyph, std::move(*drawn)).first;
        }
        l.contours = cached->second;
        translate(l.contours, Pt{placed[i].dx, placed[i].dy} * scale);
        for (const Contour& c : l.contours)
            for (const Piece& p : c) {
                // the shapes stage measures the text by every point it loads, control points too
                ymin = std::min({ymin, p.a.y, p.b.y, p.quad ? p.c.y : p.a.y});
                ymax = std::max({ymax, p.a.y, p.b.y, p.quad ? p.c.y : p.a.y});
            }
    }
    return {ymin, ymax};
}

BridgeRules bridgeRules(const Lettering& l) {
    const double twoFrom = (l.twoForMidSize ? kTwoBridgesChosenMm : kTwoBridgesMm) / l.fileToCut;
    return {l.stripWidth, l.past, l.farPast, twoFrom, l.stripWidth / 100};
}

void Typesetter::addBridges(Lettering& out, const std::vector<Placement>& placed, double scale) {
    const bool bridges = out.bridges;
    const BridgeRules rules = bridgeRules(out);
    for (std::size_t i = 0; i < out.letters.size(); ++i) {
        Letter& l = out.letters[i];
        if (l.contours.empty()) continue;
        auto cached = islands_.find(l.glyph);
        if (cached == islands_.end() || !(cached->second.rules == rules) || cached->second.bridges != bridges) {
            const std::vector<Contour>& plain = outlines_.at(l.glyph);
            IslandResult r = bridges ? placeBridges(plain, rules) : IslandResult{};
            if (!bridges) r.loose = looseIslands(plain, {}, rules.stripWidth, rules.flatness);
            if (!bridges) r.islands = static_cast<int>(r.loose.size());
            cached = islands_.insert_or_assign(l.glyph, Cached{rules, bridges, std::move(r)}).first;
        }
        const IslandResult& r = cached->second.islands;
        const Pt shift = Pt{placed[i].dx, placed[i].dy} * scale;
        l.islands = r.islands;
        if (bridges) {
            l.bridges = r.bridges;
            for (Bridge& b : l.bridges) {
                b.p1 = b.p1 + shift;
                b.p2 = b.p2 + shift;
            }
        }
        l.loose = r.loose;
        for (Polygon& p : l.loose)
            for (Pt& q : p) q = q + shift;
    }
}

Lettering Typesetter::set(std::string_view utf8, const BridgeChoice& choice) {
    Lettering out;
    out.text = std::string(utf8);
    out.bridges = choice.bridges;
    out.twoForMidSize = choice.twoForMidSize;
    out.cut = choice.cut;
    out.emMm = emMm_;
    // a text far too long is refused before it is split into characters
    if (utf8.size() > kMaxTextBytes) {
        const auto letters = std::count_if(utf8.begin(), utf8.end(), [](char c) { return (c & 0xC0) != 0x80; });
        throw fault::TextFault("The text has " + std::to_string(letters) + " letters; at most 255 fit.");
    }
    const std::vector<Character> chars = splitCharacters(utf8);
    checkCharacters(chars);
    std::vector<char32_t> codes;
    for (const Character& c : chars) codes.push_back(c.code);
    const std::vector<Placement> placed = font_.shape(codes);
    if (!(out.cut.heightMm > 0 && out.cut.apertureMm > 0)) out.cut = CutSize{};
    const double scale = emMm_ / font_.unitsPerEm();
    const auto [ymin, ymax] = place(out, chars, placed, scale);
    if (!(ymax > ymin)) throw fault::TextFault("The text has no visible letter.");

    // the strips as the shapes stage draws them once it has scaled the text to h
    out.fileToCut = out.cut.heightMm / (ymax - ymin);
    out.stripWidth = out.cut.apertureMm / out.fileToCut;
    out.past = kBridgePastMm / out.fileToCut;
    out.farPast = std::max(kBridgePastMm, kBridgeFarPastApertures * out.cut.apertureMm) / out.fileToCut;
    addBridges(out, placed, scale);
    holdNeighbours(out, bridgeRules(out));

    if (out.points() > kMaxPoints)
        throw fault::TextFault("The letters need " + std::to_string(out.points()) +
                        " points; the shapes stage holds 301001. Please use a shorter text or a simpler font.");
    if (out.bridgeCount() > kMaxBridges)
        throw fault::TextFault("The letters need " + std::to_string(out.bridgeCount()) +
                        " bridges; the shapes stage holds 1601. Please use a shorter text.");
    return out;
}

// Letter file layout. Besides what the shapes stage reads, the header and every letter group
// carry numbers that it skips; this program gives them a meaning:
//   header line 2   the size of one em, mm
//   header line 4   the strip width the bridges were made for, mm in the file's units (0: none)
//   header line 5   the number of islands no bridge holds
//   letter line 3   the letter's Unicode code point
//   letter line 4   the kerning against the next letter, mm (already part of the advance)
//   letter line 5   the glyph's number in the font
//   letter line 6   the number of islands of the letter
// A contour is written as pairs (start with code 1, end with code 0) for a line and triples
// (start with code 3, control point and end with code 0) for a quadratic, closed by its first
// point with code 6 and that point once more with code 0.
std::string groundFile(const Lettering& l) {
    wf::LineWriter out;
    auto point = [&](Pt p, int code) {
        out.number(fileValue(p.x)).number(fileValue(p.y)).number(code);
    };
    out.text(l.text);
    out.number(l.emMm);
    out.number(static_cast<double>(l.letters.size()));
    out.number(l.bridges ? fileValue(l.stripWidth) : 0);
    out.number(static_cast<double>(l.looseCount()));
    for (const Letter& k : l.letters) {
        out.text(k.character.bytes);
        out.number(fileValue(k.advance));
        out.number(static_cast<double>(k.character.code));
        out.number(fileValue(k.kerning));
        out.number(static_cast<double>(k.glyph));
        out.number(k.islands);
        std::size_t points = 0;
        for (const Contour& c : k.contours) {
            for (const Piece& p : c) points += p.quad ? 3 : 2;
            points += 2;
        }
        out.number(static_cast<double>(points));
        for (const Contour& c : k.contours) {
            for (const Piece& p : c) {
                if (p.quad) {
                    point(p.a, 3);
                    point(p.c, 0);
                } else {
                    point(p.a, 1);
                }
                point(p.b, 0);
            }
            point(c.front().a, 6);
            point(c.front().a, 0);
        }
        out.number(static_cast<double>(k.bridges.size()));
        for (const Bridge& b : k.bridges)
            out.number(b.kind).number(fileValue(b.p1.x)).number(fileValue(b.p1.y)).number(fileValue(b.p2.x)).number(
                fileValue(b.p2.y));
    }
    return out.content();
}

}  // namespace text

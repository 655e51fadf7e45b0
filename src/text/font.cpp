#include "text/font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_FONT_FORMATS_H
#include <fontconfig/fontconfig.h>
#include <hb-ot.h>
#include <hb.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>

namespace text {

namespace {

// Outlines are loaded unhinted at this many pixels per em: fine enough that FreeType's
// 26.6 coordinates (and the midpoints it puts between two off-curve points) lose nothing
// that matters, yet far from the 16-bit limit of the size.
constexpr FT_UInt kLoadPixelsPerEm = 16384;
constexpr int kMaxCubicPieces = 64;

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

struct FcList {
    FcFontSet* set = nullptr;
    explicit FcList(const char* family) {
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddBool(pattern, FC_OUTLINE, FcTrue);
        FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
        if (family) FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
        FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_STYLE, FC_FILE, FC_INDEX, FC_FONTFORMAT, nullptr);
        set = FcFontList(nullptr, pattern, objects);
        FcObjectSetDestroy(objects);
        FcPatternDestroy(pattern);
    }
    ~FcList() {
        if (set) FcFontSetDestroy(set);
    }
    FcList(const FcList&) = delete;
    FcList& operator=(const FcList&) = delete;
    int size() const { return set ? set->nfont : 0; }
    std::string string(int i, const char* object) const {
        FcChar8* s = nullptr;
        if (FcPatternGetString(set->fonts[i], object, 0, &s) != FcResultMatch || !s) return {};
        return reinterpret_cast<const char*>(s);
    }
    int integer(int i, const char* object) const {
        int v = 0;
        FcPatternGetInteger(set->fonts[i], object, 0, &v);
        return v;
    }
};

// Formats the shaper reads come first when one family is installed in several files.
int formatRank(const std::string& format) { return format == "TrueType" || format == "CFF" ? 0 : 1; }

int regularRank(const std::string& style) {
    static const char* const kRegular[] = {"regular", "book", "roman", "normal", "medium"};
    const std::string s = lower(style);
    for (int i = 0; i < 5; ++i)
        if (s == kRegular[i]) return i;
    return 5;
}

}  // namespace

std::vector<std::string> installedFamilies() {
    FcList list(nullptr);
    std::set<std::string> names;
    for (int i = 0; i < list.size(); ++i) {
        std::string family = list.string(i, FC_FAMILY);
        if (!family.empty()) names.insert(std::move(family));
    }
    return {names.begin(), names.end()};
}

std::vector<std::string> installedStyles(const std::string& family) {
    FcList list(family.c_str());
    std::set<std::string> styles;
    for (int i = 0; i < list.size(); ++i)
        if (lower(list.string(i, FC_FAMILY)) == lower(family)) styles.insert(list.string(i, FC_STYLE));
    return {styles.begin(), styles.end()};
}

std::optional<FontRef> findInstalledFont(const std::string& family, const std::string& style) {
    if (family.empty()) return std::nullopt;
    FcList list(family.c_str());
    std::optional<FontRef> best;
    std::pair<int, int> bestRank{1 << 30, 0};
    for (int i = 0; i < list.size(); ++i) {
        FontRef r{list.string(i, FC_FAMILY), list.string(i, FC_STYLE), list.string(i, FC_FILE),
                  list.integer(i, FC_INDEX)};
        if (lower(r.family) != lower(family) || r.file.empty()) continue;
        int styleRank = 0;
        if (style.empty()) styleRank = regularRank(r.style);
        else if (lower(r.style) != lower(style)) continue;
        const std::pair<int, int> rank{styleRank, formatRank(list.string(i, FC_FONTFORMAT))};
        if (!best || rank < bestRank || (rank == bestRank && r.file < best->file)) {
            best = r;
            bestRank = rank;
        }
    }
    return best;
}

FontRef resolveFont(const std::string& request) {
    std::error_code ec;
    if (request.find('/') != std::string::npos || std::filesystem::is_regular_file(request, ec)) {
        if (!std::filesystem::is_regular_file(request, ec)) throw fault::TextFault("The font file " + request + " does not exist.");
        return FontRef{{}, {}, request, 0};
    }
    std::string family = request, style;
    if (const auto colon = request.find(':'); colon != std::string::npos) {
        family = request.substr(0, colon);
        style = request.substr(colon + 1);
        if (style.rfind("style=", 0) == 0) style.erase(0, 6);
    }
    if (auto found = findInstalledFont(family, style)) return *found;
    const auto styles = installedStyles(family);
    if (styles.empty()) throw fault::TextFault("The font \"" + family + "\" is not installed.");
    std::string known;
    for (const auto& s : styles) known += (known.empty() ? "" : ", ") + s;
    throw fault::TextFault("The font \"" + family + "\" has no style \"" + style + "\" (it has " + known + ").");
}

// ---------------------------------------------------------------------------------------

namespace {

// A Type 1 font keeps its kerning in a metrics file beside it (the same name, ".afm"): attached,
// the face kerns by it. Other fonts carry their own.
void attachMetrics(FT_Face face, const std::string& file) {
    const char* format = FT_Get_Font_Format(face);
    if (!format || std::string_view(format) != "Type 1") return;
    const std::filesystem::path path(file);
    for (const char* extension : {".afm", ".AFM"}) {
        std::filesystem::path metrics = path;
        metrics.replace_extension(extension);
        std::error_code ec;
        if (std::filesystem::is_regular_file(metrics, ec) && FT_Attach_File(face, metrics.c_str()) == 0) return;
    }
}

}  // namespace

struct Font::Handles {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    hb_blob_t* blob = nullptr;
    hb_face_t* hbFace = nullptr;
    hb_font_t* hbFont = nullptr;
    bool shaper = false;  // HarfBuzz reads this file (TrueType and OpenType do, Type 1 does not)

    ~Handles() {
        if (hbFont) hb_font_destroy(hbFont);
        if (hbFace) hb_face_destroy(hbFace);
        if (blob) hb_blob_destroy(blob);
        if (face) FT_Done_Face(face);
        if (library) FT_Done_FreeType(library);
    }
};

Font::Font(const FontRef& ref) : h_(std::make_unique<Handles>()), ref_(ref) {
    if (FT_Init_FreeType(&h_->library)) throw fault::TextFault("The font library cannot start.");
    if (FT_New_Face(h_->library, ref.file.c_str(), ref.index, &h_->face))
        throw fault::TextFault("The font file " + ref.file + " cannot be read.");
    FT_Face f = h_->face;
    attachMetrics(f, ref.file);
    if (!FT_IS_SCALABLE(f) || f->units_per_EM == 0 || FT_Set_Pixel_Sizes(f, 0, kLoadPixelsPerEm))
        throw fault::TextFault("The font file " + ref.file + " holds no outline font.");
    unitsPerEm_ = f->units_per_EM;
    if (ref_.family.empty() && f->family_name) ref_.family = f->family_name;
    if (ref_.style.empty() && f->style_name) ref_.style = f->style_name;

    h_->blob = hb_blob_create_from_file(ref.file.c_str());
    h_->hbFace = hb_face_create(h_->blob, static_cast<unsigned>(ref.index));
    h_->hbFont = hb_font_create(h_->hbFace);
    h_->shaper = hb_face_get_glyph_count(h_->hbFace) > 0;
}

Font::~Font() = default;

bool Font::hasCharacter(char32_t code) const { return FT_Get_Char_Index(h_->face, code) != 0; }

std::vector<Placement> Font::shape(const std::vector<char32_t>& codes) const {
    const std::size_t n = codes.size();
    std::vector<Placement> out(n);
    if (n == 0) return out;
    if (h_->shaper) {
        hb_buffer_t* buffer = hb_buffer_create();
        std::vector<std::uint32_t> u(codes.begin(), codes.end());
        hb_buffer_add_utf32(buffer, u.data(), static_cast<int>(n), 0, static_cast<int>(n));
        hb_buffer_set_direction(buffer, HB_DIRECTION_LTR);
        hb_buffer_guess_segment_properties(buffer);
        hb_buffer_set_cluster_level(buffer, HB_BUFFER_CLUSTER_LEVEL_CHARACTERS);
        // one glyph per character: no ligatures, no composition, no contextual forms
        static const char* const kOff[] = {"-liga", "-clig", "-dlig", "-hlig", "-rlig", "-calt", "-ccmp", "-locl"};
        hb_feature_t features[8];
        for (int i = 0; i < 8; ++i) hb_feature_from_string(kOff[i], -1, &features[i]);
        hb_shape(h_->hbFont, buffer, features, 8);
        unsigned count = 0;
        const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
        const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buffer, &count);
        bool oneToOne = count == n;
        for (unsigned i = 0; oneToOne && i < count; ++i) oneToOne = info[i].cluster == i;
        if (oneToOne) {
            for (unsigned i = 0; i < count; ++i) {
                Placement& p = out[i];
                p.glyph = info[i].codepoint;
                p.advance = pos[i].x_advance;
                p.kerning = p.advance - hb_font_get_glyph_h_advance(h_->hbFont, p.glyph);
                p.dx = pos[i].x_offset;
                p.dy = pos[i].y_offset;
            }
            hb_buffer_destroy(buffer);
            return out;
        }
        hb_buffer_destroy(buffer);
    }
    // Fonts the shaper cannot read, or a text it would not set one glyph per character:
    // the font's own map, advances and kerning table.
    FT_Face f = h_->face;
    for (std::size_t i = 0; i < n; ++i) {
        out[i].glyph = FT_Get_Char_Index(f, codes[i]);
        if (!FT_Load_Glyph(f, out[i].glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP))
            out[i].advance = static_cast<double>(f->glyph->advance.x);
    }
    if (FT_HAS_KERNING(f))
        for (std::size_t i = 0; i + 1 < n; ++i) {
            FT_Vector k{0, 0};
            if (!FT_Get_Kerning(f, out[i].glyph, out[i + 1].glyph, FT_KERNING_UNSCALED, &k)) {
                out[i].kerning = static_cast<double>(k.x);
                out[i].advance += out[i].kerning;
            }
        }
    return out;
}

// ---------------------------------------------------------------------------------------

namespace {

struct Walk {
    double scale;  // mm per 26.6 unit
    Pt offset;
    double tolerance;
    std::vector<Contour>* contours;
    Pt current;

    Pt mm(const FT_Vector* v) const { return {v->x * scale + offset.x, v->y * scale + offset.y}; }
    void add(const Piece& p) {
        if (contours->empty()) contours->emplace_back();
        contours->back().push_back(p);
    }
};

int moveTo(const FT_Vector* to, void* user) {
    auto* w = static_cast<Walk*>(user);
    w->contours->emplace_back();
    w->current = w->mm(to);
    return 0;
}

int lineTo(const FT_Vector* to, void* user) {
    auto* w = static_cast<Walk*>(user);
    const Pt p = w->mm(to);
    if (!(p == w->current)) w->add({false, w->current, {}, p});
    w->current = p;
    return 0;
}

int conicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    auto* w = static_cast<Walk*>(user);
    const Pt c = w->mm(control), p = w->mm(to);
    if (!(p == w->current && c == w->current)) w->add({true, w->current, c, p});
    w->current = p;
    return 0;
}

// A cubic becomes n quadratics over equal parameter steps, each meeting its piece at both
// ends with the control point of the two end tangents' average. Such a quadratic strays at
// most sqrt(3)/36 * |p3 - 3 p2 + 3 p1 - p0| * h^3 from the piece (h its parameter length),
// so n is the smallest count that keeps this within the tolerance.
int cubicTo(const FT_Vector* c1v, const FT_Vector* c2v, const FT_Vector* to, void* user) {
    auto* w = static_cast<Walk*>(user);
    const Pt p0 = w->current, p1 = w->mm(c1v), p2 = w->mm(c2v), p3 = w->mm(to);
    const double third = length(p3 - p1 * 3 + p2 * 3 - p0) * 0.0481125224324688;  // sqrt(3)/36
    int n = 1;
    if (third > w->tolerance) n = std::min(kMaxCubicPieces, static_cast<int>(std::ceil(std::cbrt(third / w->tolerance))));
    auto at = [&](double t) {
        const double u = 1 - t;
        return p0 * (u * u * u) + p1 * (3 * u * u * t) + p2 * (3 * u * t * t) + p3 * (t * t * t);
    };
    auto slope = [&](double t) {  // derivative
        const double u = 1 - t;
        return (p1 - p0) * (3 * u * u) + (p2 - p1) * (6 * u * t) + (p3 - p2) * (3 * t * t);
    };
    Pt start = p0;
    for (int i = 1; i <= n; ++i) {
        const double t0 = double(i - 1) / n, t1 = double(i) / n, h = t1 - t0;
        const Pt end = i == n ? p3 : at(t1);
        const Pt c1 = start + slope(t0) * (h / 3), c2 = end - slope(t1) * (h / 3);
        const Pt q = ((c1 + c2) * 3 - start - end) * 0.25;
        if (!(end == start)) w->add({true, start, q, end});
        start = end;
    }
    w->current = p3;
    return 0;
}

}  // namespace

std::optional<std::vector<Contour>> Font::outline(std::uint32_t glyph, double scale, Pt offset,
                                                  double cubicTolerance) const {
    std::vector<Contour> contours;
    FT_Face f = h_->face;
    if (FT_Load_Glyph(f, glyph, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP | FT_LOAD_NO_AUTOHINT) ||
        f->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
        return std::nullopt;
    // font units -> 26.6 pixels: x_scale is that factor in 16.16
    const double unitsTo26_6 = static_cast<double>(f->size->metrics.x_scale) / 65536.0;
    Walk walk{scale / unitsTo26_6, offset, cubicTolerance, &contours, {}};
    FT_Outline_Funcs funcs{};
    funcs.move_to = moveTo;
    funcs.line_to = lineTo;
    funcs.conic_to = conicTo;
    funcs.cubic_to = cubicTo;
    if (FT_Outline_Decompose(&f->glyph->outline, &funcs, &walk)) return std::nullopt;
    std::erase_if(contours, [](const Contour& c) { return c.empty(); });
    return contours;
}

std::vector<Pt> flatten(const Contour& c, double tolerance) {
    std::vector<Pt> out;
    out.reserve(c.size() * 3);
    for (const Piece& p : c) {
        out.push_back(p.a);
        if (!p.quad) continue;
        // a quadratic's distance from its chords of n equal steps is at most |a - 2c + b| / (8 n^2)
        const double dev = length(p.a - p.c * 2 + p.b) / 8;
        const int n = dev <= tolerance ? 1 : std::min(64, static_cast<int>(std::ceil(std::sqrt(dev / tolerance))));
        for (int i = 1; i < n; ++i) {
            const double t = double(i) / n, u = 1 - t;
            out.push_back(p.a * (u * u) + p.c * (2 * u * t) + p.b * (t * t));
        }
    }
    return out;
}

}  // namespace text

// font2tground FONT.ttf "TEXT" OUT.dat [--em-mm N]
//
// Sets a text in an outline font and writes it as a ground-contour file (tground.dat), the
// way the earlier stage of the suite hands its letters over: one letter group per character,
// contours as line and quadratic records in millimetres, and one stencil bridge per counter.
//
// The output appears complete or not at all: it is written to a temporary file next to
// OUT.dat and renamed over it at the end.

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr double kDefaultEmMm = 100.0;
constexpr int kBridgeCode = 1;
// Segment codes as the reader draws them.
constexpr int kCodeNone = 0;
constexpr int kCodeLine = 1;
constexpr int kCodeQuad = 3;
constexpr int kCodeClose = 6;

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// ---------------------------------------------------------------------------------------
// Work-file number form: leading blank for values >= 0, "-" otherwise, no "0" before the
// point, at most 15 significant digits, no trailing zeros, exponent form at the extremes.
// Values are rounded to 6 decimals first so that font coordinates stay short.
std::string formatNumber(double value) {
    double v = std::round(value * 1e6) / 1e6;
    if (!std::isfinite(v)) throw Failure("a coordinate is not a finite number");
    if (v == 0.0) return " 0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15G", std::fabs(v));
    std::string digits = buf;
    if (digits.size() > 1 && digits[0] == '0' && digits[1] == '.') digits.erase(0, 1);
    return (v < 0 ? "-" : " ") + digits;
}

// ---------------------------------------------------------------------------------------
// Geometry of one glyph, in millimetres, y up.

struct Pt {
    double x, y;
};
inline bool operator==(Pt a, Pt b) { return a.x == b.x && a.y == b.y; }
inline Pt lerp(Pt a, Pt b, double t) { return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }
inline double cross(Pt a, Pt b) { return a.x * b.y - a.y * b.x; }

struct Segment {
    bool quad;
    Pt a, c, b;  // start, control (quadratics only), end
};

struct Contour {
    std::vector<Segment> segs;
    double area = 0;  // signed, counter-clockwise positive
    double xmin = 0, xmax = 0;
};

struct Bridge {
    double x1, y1, x2, y2;
};

struct Letter {
    std::string text;
    double advance = 0;
    std::vector<Contour> contours;
    std::vector<Bridge> bridges;
};

// Exact signed area: the shoelace term of each chord, plus for a quadratic the parabolic
// segment between the chord and the curve, two thirds of the control triangle.
double signedArea(const Contour& c) {
    double twice = 0;
    for (const Segment& s : c.segs) {
        twice += cross(s.a, s.b);
        if (s.quad) twice += 2.0 / 3.0 * cross({s.c.x - s.a.x, s.c.y - s.a.y}, {s.b.x - s.a.x, s.b.y - s.a.y});
    }
    return twice / 2;
}

// y values where the vertical line x = cx meets the contour.
void crossings(const Contour& c, double cx, std::vector<double>& ys) {
    for (const Segment& s : c.segs) {
        if (!s.quad) {
            if (s.a.x == s.b.x) continue;
            if (cx < std::min(s.a.x, s.b.x) || cx > std::max(s.a.x, s.b.x)) continue;
            ys.push_back(lerp(s.a, s.b, (cx - s.a.x) / (s.b.x - s.a.x)).y);
            continue;
        }
        // x(t) = a + 2t(c - a) + t^2(a - 2c + b)
        const double qa = s.a.x - 2 * s.c.x + s.b.x;
        const double qb = 2 * (s.c.x - s.a.x);
        const double qc = s.a.x - cx;
        double roots[2];
        int n = 0;
        if (std::fabs(qa) < 1e-12) {
            if (qb != 0) roots[n++] = -qc / qb;
        } else {
            const double disc = qb * qb - 4 * qa * qc;
            if (disc >= 0) {
                const double r = std::sqrt(disc);
                roots[n++] = (-qb - r) / (2 * qa);
                roots[n++] = (-qb + r) / (2 * qa);
            }
        }
        for (int i = 0; i < n; ++i) {
            const double t = roots[i];
            if (t < -1e-12 || t > 1 + 1e-12) continue;
            const double u = 1 - t;
            ys.push_back(u * u * s.a.y + 2 * u * t * s.c.y + t * t * s.b.y);
        }
    }
}

// One bridge per counter: a vertical segment from the counter's top at the middle of its
// width straight up to the far side of the stroke above it, that is to the first boundary
// of any other contour of the glyph. Counters are the contours wound against the largest
// one.
void placeBridges(Letter& letter) {
    const Contour* largest = nullptr;
    for (const Contour& c : letter.contours)
        if (!largest || std::fabs(c.area) > std::fabs(largest->area)) largest = &c;
    if (!largest || largest->area == 0) return;
    const bool outerPositive = largest->area > 0;

    std::vector<double> ys;
    for (const Contour& counter : letter.contours) {
        if (counter.area == 0 || (counter.area > 0) == outerPositive) continue;
        const double cx = std::round((counter.xmin + counter.xmax) / 2 * 1e6) / 1e6;
        ys.clear();
        crossings(counter, cx, ys);
        if (ys.empty()) continue;
        double y1 = ys[0];
        for (double y : ys) y1 = std::max(y1, y);

        double y2 = std::numeric_limits<double>::infinity();
        for (const Contour& other : letter.contours) {
            if (&other == &counter) continue;
            ys.clear();
            crossings(other, cx, ys);
            for (double y : ys)
                if (y > y1 && y < y2) y2 = y;
        }
        if (std::isfinite(y2)) letter.bridges.push_back({cx, y1, cx, y2});
    }
}

// ---------------------------------------------------------------------------------------
// Outline walk. The font library resolves the implied on-curve points between two
// off-curve points and contours that start off the curve; cubic pieces (from outline
// formats other than TrueType) are split into quadratics here.

struct Walk {
    double scale;  // millimetres per font unit
    std::vector<Contour>* contours;
    Pt current{0, 0};

    Pt toMm(const FT_Vector* v) const { return {v->x * scale, v->y * scale}; }
    void add(const Segment& s) {
        if (contours->empty()) contours->emplace_back();
        contours->back().segs.push_back(s);
    }
};

int onMove(const FT_Vector* to, void* user) {
    auto* w = static_cast<Walk*>(user);
    w->contours->emplace_back();
    w->current = w->toMm(to);
    return 0;
}

int onLine(const FT_Vector* to, void* user) {
    auto* w = static_cast<Walk*>(user);
    const Pt p = w->toMm(to);
    if (!(p == w->current)) w->add({false, w->current, {0, 0}, p});
    w->current = p;
    return 0;
}

int onConic(const FT_Vector* control, const FT_Vector* to, void* user) {
    auto* w = static_cast<Walk*>(user);
    const Pt c = w->toMm(control), p = w->toMm(to);
    if (!(p == w->current && c == w->current)) w->add({true, w->current, c, p});
    w->current = p;
    return 0;
}

int onCubic(const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to, void* user) {
    auto* w = static_cast<Walk*>(user);
    const Pt p0 = w->current, p1 = w->toMm(control1), p2 = w->toMm(control2), p3 = w->toMm(to);
    // Four pieces of equal parameter length, each replaced by the quadratic that meets
    // the piece's end points and end tangents halfway.
    constexpr int kPieces = 4;
    auto at = [&](double t) {
        const Pt a = lerp(p0, p1, t), b = lerp(p1, p2, t), c = lerp(p2, p3, t);
        return lerp(lerp(a, b, t), lerp(b, c, t), t);
    };
    auto slope = [&](double t) {  // derivative / 3
        const Pt a = lerp({p1.x - p0.x, p1.y - p0.y}, {p2.x - p1.x, p2.y - p1.y}, t);
        const Pt b = lerp({p2.x - p1.x, p2.y - p1.y}, {p3.x - p2.x, p3.y - p2.y}, t);
        return lerp(a, b, t);
    };
    Pt start = p0;
    for (int i = 1; i <= kPieces; ++i) {
        const double t0 = double(i - 1) / kPieces, t1 = double(i) / kPieces, h = t1 - t0;
        const Pt end = i == kPieces ? p3 : at(t1);
        const Pt d0 = slope(t0), d1 = slope(t1);
        // Cubic controls of the piece, then the midpoint approximation of the quadratic.
        const Pt c1{start.x + d0.x * h, start.y + d0.y * h};
        const Pt c2{end.x - d1.x * h, end.y - d1.y * h};
        const Pt q{(3 * (c1.x + c2.x) - start.x - end.x) / 4, (3 * (c1.y + c2.y) - start.y - end.y) / 4};
        if (!(end == start)) w->add({true, start, q, end});
        start = end;
    }
    w->current = p3;
    return 0;
}

// ---------------------------------------------------------------------------------------

// Splits UTF-8 into its characters, each kept as its own byte sequence.
std::vector<std::pair<std::string, char32_t>> characters(const std::string& text) {
    std::vector<std::pair<std::string, char32_t>> out;
    for (std::size_t i = 0; i < text.size();) {
        const auto b0 = static_cast<unsigned char>(text[i]);
        int len = b0 < 0x80 ? 1 : (b0 >> 5) == 6 ? 2 : (b0 >> 4) == 14 ? 3 : (b0 >> 3) == 30 ? 4 : 0;
        if (len == 0 || i + len > text.size()) throw Failure("the text is not valid UTF-8");
        char32_t cp = len == 1 ? b0 : b0 & (0x7f >> len);
        for (int k = 1; k < len; ++k) {
            const auto b = static_cast<unsigned char>(text[i + k]);
            if ((b >> 6) != 2) throw Failure("the text is not valid UTF-8");
            cp = (cp << 6) | (b & 0x3f);
        }
        if (cp < 0x20 || cp == 0x7f) throw Failure("the text contains a control character");
        out.emplace_back(text.substr(i, len), cp);
        i += len;
    }
    return out;
}

class Font {
public:
    explicit Font(const std::string& path) {
        if (FT_Init_FreeType(&lib_)) throw Failure("cannot start the font library");
        if (FT_New_Face(lib_, path.c_str(), 0, &face_)) {
            FT_Done_FreeType(lib_);
            throw Failure("cannot open font " + path);
        }
        if (!FT_IS_SCALABLE(face_) || face_->units_per_EM == 0) {
            FT_Done_Face(face_);
            FT_Done_FreeType(lib_);
            throw Failure("font " + path + " has no outlines");
        }
    }
    ~Font() {
        FT_Done_Face(face_);
        FT_Done_FreeType(lib_);
    }
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    Letter letter(const std::string& text, char32_t cp, double emMm) {
        const FT_UInt index = FT_Get_Char_Index(face_, cp);
        if (index == 0) throw Failure("the font has no glyph for \"" + text + "\"");
        if (FT_Load_Glyph(face_, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP))
            throw Failure("cannot load the glyph for \"" + text + "\"");
        const FT_GlyphSlot g = face_->glyph;
        if (g->format != FT_GLYPH_FORMAT_OUTLINE) throw Failure("the glyph for \"" + text + "\" is no outline");

        Letter l;
        l.text = text;
        const double scale = emMm / face_->units_per_EM;
        l.advance = g->advance.x * scale;
        Walk walk{scale, &l.contours};
        FT_Outline_Funcs funcs{};
        funcs.move_to = onMove;
        funcs.line_to = onLine;
        funcs.conic_to = onConic;
        funcs.cubic_to = onCubic;
        if (FT_Outline_Decompose(&g->outline, &funcs, &walk))
            throw Failure("cannot read the outline of \"" + text + "\"");

        std::erase_if(l.contours, [](const Contour& c) { return c.segs.empty(); });
        for (Contour& c : l.contours) {
            c.area = signedArea(c);
            c.xmin = c.xmax = c.segs.front().a.x;
            for (const Segment& s : c.segs)  // a quadratic stays within its control hull
                for (double x : {s.a.x, s.b.x, s.quad ? s.c.x : s.a.x}) {
                    c.xmin = std::min(c.xmin, x);
                    c.xmax = std::max(c.xmax, x);
                }
        }
        placeBridges(l);
        return l;
    }

private:
    FT_Library lib_ = nullptr;
    FT_Face face_ = nullptr;
};

// ---------------------------------------------------------------------------------------

class Lines {
public:
    void text(const std::string& s) { out_ += s + "\r\n"; }
    void number(double v) { text(formatNumber(v)); }
    void point(Pt p, int code) {
        number(p.x);
        number(p.y);
        number(code);
    }
    const std::string& str() const { return out_; }

private:
    std::string out_;
};

std::string groundFile(const std::string& text, const std::vector<Letter>& letters) {
    Lines out;
    out.text(text);
    out.number(0);
    out.number(static_cast<double>(letters.size()));
    out.number(0);
    out.number(0);
    for (const Letter& l : letters) {
        out.text(l.text);
        out.number(l.advance);
        for (int i = 0; i < 4; ++i) out.number(0);

        std::size_t points = 0;
        for (const Contour& c : l.contours) {
            for (const Segment& s : c.segs) points += s.quad ? 3 : 2;
            points += 2;
        }
        out.number(static_cast<double>(points));
        for (const Contour& c : l.contours) {
            for (const Segment& s : c.segs) {
                if (s.quad) {
                    out.point(s.a, kCodeQuad);
                    out.point(s.c, kCodeNone);
                } else {
                    out.point(s.a, kCodeLine);
                }
                out.point(s.b, kCodeNone);
            }
            const Pt first = c.segs.front().a;
            out.point(first, kCodeClose);
            out.point(first, kCodeNone);
        }

        out.number(static_cast<double>(l.bridges.size()));
        for (const Bridge& b : l.bridges) {
            out.number(kBridgeCode);
            out.number(b.x1);
            out.number(b.y1);
            out.number(b.x2);
            out.number(b.y2);
        }
    }
    return out.str();
}

// Writes next to the target and renames, so that a reader never sees half a file.
void replaceFile(const std::filesystem::path& target, const std::string& content) {
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    std::string tmpl = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = mkstemp(tmpl.data());
    if (fd < 0) throw Failure("cannot write into " + folder.string() + ": " + std::strerror(errno));
    bool ok = true;
    for (std::size_t done = 0; ok && done < content.size();) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) ok = false;
        else done += static_cast<std::size_t>(n);
    }
    // mkstemp makes the file private; give it the mode a plain create would have.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(fd, 0666 & ~mask) != 0) ok = false;
    if (::close(fd) != 0) ok = false;
    if (!ok || std::rename(tmpl.c_str(), target.c_str()) != 0) {
        const std::string why = std::strerror(errno);
        std::remove(tmpl.c_str());
        throw Failure("cannot write " + target.string() + ": " + why);
    }
}

struct Options {
    std::string font, text, out;
    double emMm = kDefaultEmMm;
};

std::optional<Options> parseArgs(int argc, char** argv) {
    Options o;
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--em-mm") {
            if (++i >= argc) return std::nullopt;
            char* end = nullptr;
            o.emMm = std::strtod(argv[i], &end);
            if (end == argv[i] || *end != '\0' || !(o.emMm > 0) || !std::isfinite(o.emMm)) return std::nullopt;
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 3) return std::nullopt;
    o.font = positional[0];
    o.text = positional[1];
    o.out = positional[2];
    return o;
}

}  // namespace

int main(int argc, char** argv) {
    const std::optional<Options> opt = parseArgs(argc, argv);
    if (!opt) {
        std::fprintf(stderr, "usage: font2tground FONT.ttf TEXT OUT.dat [--em-mm N]   (N > 0, default %g)\n",
                     kDefaultEmMm);
        return 2;
    }
    try {
        const auto chars = characters(opt->text);
        Font font(opt->font);
        std::vector<Letter> letters;
        for (const auto& [bytes, cp] : chars) letters.push_back(font.letter(bytes, cp, opt->emMm));
        replaceFile(opt->out, groundFile(opt->text, letters));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "font2tground: %s\n", e.what());
        return 1;
    }
    return 0;
}

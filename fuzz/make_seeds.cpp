// Writes the seed corpora of the fuzz targets: the sample and test letters, and work files
// made by the program's own writers, so that every seed has the form the readers expect.
//
//   make_seeds <seed folder> <tground.dat>... [-- <large tground.dat>...]
//
// A large letter file (near the letter table's capacity) seeds the loader only.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "convert/conversion.h"
#include "engine/contours.h"
#include "engine/shape.h"
#include "fuzz_support.h"
#include "preview/scale.h"
#include "shapes/session.h"
#include "workfile/workfile_io.h"
#include "shapes/workfiles.h"
#include "text/stage.h"

namespace fs = std::filesystem;

namespace {

fs::path seeds;
int written = 0;

void seed(const std::string& target, const std::string& name, const std::string& content) {
    fs::create_directories(seeds / target);
    std::ofstream(seeds / target / name, std::ios::binary) << content;
    ++written;
}

std::string work(const char* name) { return wf::readFile(fuzzsupport::workPath(name)); }

// the element list in the conversion's intermediate form for the letters bent into `shape`
std::string intermediate(const std::string& tground, int shape) {
    fuzzsupport::writeWork("tground.dat", tground);
    engine::Model m;
    m.shapeNumber = static_cast<std::int16_t>(shape);
    m.bigHeight = shape == 0 ? m.smallHeight : 1.5 * m.smallHeight;
    engine::readGroundContours(m, fuzzsupport::workPath("tground.dat"), false);
    preview::scaleToHeight(m);
    engine::buildShape(m, false);
    return convert::intermediateForm(m);
}

// ---- letter files built here, in the earlier stage's form, for the tables' edges

struct Letter {
    double advance = 12;
    int squares = 1;                   // closed squares of side 10, side by side
    std::size_t fillerPoints = 0;      // points at the origin that start no segment
    std::size_t bridges = 0;           // across the first square
};

// One square contour: line records, the closing entry, the entry after it.
void square(std::string& s, double x, const char* eol) {
    const double X = x + 10;
    const double pts[][3] = {{x, 0, 1}, {X, 0, 0}, {X, 0, 1}, {X, 10, 0}, {X, 10, 1}, {x, 10, 0}, {x, 0, 6}, {x, 0, 0}};
    for (const auto& p : pts) s += wf::formatNumber(p[0]) + eol + wf::formatNumber(p[1]) + eol + wf::formatNumber(p[2]) + eol;
}

// A filler point is three empty lines (0, 0, code 0) ended by a lone LF, so that a whole
// point table still fits in one input of about 1 MB.
std::string letterFile(const std::vector<Letter>& letters, const char* eol = "\r\n") {
    std::string s;
    std::string text;
    for (std::size_t k = 0; k < letters.size(); ++k) text += static_cast<char>('A' + k % 26);
    const auto line = [&](const std::string& l) { s += l + eol; };
    line(text);
    line(" 0");
    line(wf::formatNumber(static_cast<double>(letters.size())));
    line(" 0");
    line(" 0");
    for (std::size_t k = 0; k < letters.size(); ++k) {
        const Letter& l = letters[k];
        line(text.substr(k, 1));
        line(wf::formatNumber(l.advance));
        for (int i = 0; i < 4; ++i) line(" 0");
        line(wf::formatNumber(8.0 * l.squares + static_cast<double>(l.fillerPoints)));
        for (int q = 0; q < l.squares; ++q) square(s, 12.0 * q, eol);
        for (std::size_t i = 0; i < l.fillerPoints; ++i) s += "\n\n\n";
        line(wf::formatNumber(static_cast<double>(l.bridges)));
        for (std::size_t b = 0; b < l.bridges; ++b) {
            const double y = 1 + static_cast<double>(b % 9);
            line(" 1");
            line(" 0");
            line(wf::formatNumber(y));
            line(" 10");
            line(wf::formatNumber(y));
        }
    }
    return s;
}

std::vector<Letter> squares(std::size_t n) { return std::vector<Letter>(n); }

// The bar's larger table after "Contour connection" and "Cut" on n square letters in the
// given shape (heights as offered); 0 when the bar could not be built at all.
std::size_t cutBarElements(std::size_t n, int shape) {
    fuzzsupport::writeWork("tground.dat", letterFile(squares(n)));
    fuzzsupport::KeepWorkingFolder keep;
    shapes::HeadlessUi ui;
    shapes::Session s(fuzzsupport::programFolder(), shapes::kTokenFresh, ui);
    s.load();
    s.activate();
    if (shape) s.chooseShape(shape);
    s.controls().Check2.set(1);
    s.controls().Check4.set(1);
    for (const auto& m : ui.messages)
        if (m.title == wf::kErrorTitle) return 0;
    return std::max(s.model().barLines.size(), s.model().barArcs.size());
}

// the click script of the pipeline target ahead of a letter file
struct Click {
    std::uint8_t what, a = 0, b = 0, c = 0;
};
std::string script(const std::vector<Click>& clicks, bool answerNo = false) {
    std::string s(1, static_cast<char>(clicks.size() | (answerNo ? 8 : 0)));
    for (const Click& k : clicks) s += {static_cast<char>(k.what), static_cast<char>(k.a), static_cast<char>(k.b), static_cast<char>(k.c)};
    return s;
}

// clicks of the pipeline target (see fuzz_pipeline.cpp); the typed texts by their index there
enum : std::uint8_t { kFitIn = 0, kShape = 1, kKnot = 2, kConnection = 3, kApply = 4, kCut = 5, kSpacing = 6,
                      kAperture = 7, kZoom = 12 };
// records of the hand-over targets: integers and millimetres as 1/1024 mm, or raw doubles
template <typename T>
void put(std::string& s, T v) {
    s.append(reinterpret_cast<const char*>(&v), sizeof v);
}
std::string bridgeRecords(std::size_t n) {
    std::string s(1, '\0');
    for (std::size_t i = 0; i < n; ++i) {
        put<std::int16_t>(s, static_cast<std::int16_t>(i % 3));
        for (int v : {int(i) * 1024, 512, int(i) * 1024 + 300, 9 * 1024}) put<std::int32_t>(s, v);
    }
    return s;
}
std::string barRecords(std::size_t arcs, std::size_t lines) {
    std::string s(1, '\0');
    for (std::size_t i = 0; i < std::max(arcs, lines); ++i) {
        const auto pair = static_cast<std::int32_t>(i % 255 + 1);
        if (i < arcs) {
            s += static_cast<char>(1 | (3 + i % 3) << 1);
            put(s, pair);
            for (int v : {int(i) * 2048, 0, 5120, 0, 90}) put<std::int32_t>(s, v * 1024);
        }
        if (i < lines) {
            s += static_cast<char>((3 + i % 3) << 1);
            put(s, pair);
            for (int v : {int(i) * 2048, 0, int(i) * 2048 + 1500, 0}) put<std::int32_t>(s, v * 1024);
        }
    }
    return s;
}

// a shape click's first argument: shape + this keeps the heights the dialog offers
constexpr std::uint8_t kOfferedHeights = 140;  // bit 7 set, and a multiple of 20
enum : std::uint8_t { kTyped1 = 4, kTyped2 = 5, kTyped4 = 6, kTyped5 = 7, kTyped6 = 8, kTyped016 = 24, kTypedHalf = 3 };

// tground.dat behind the byte that picks shape, "Fit in" and H / h; the conversion's
// intermediate form
void seedLetters(const std::vector<std::string>& letters) {
    const unsigned char picks[] = {0, 3, 7, 13, 18, 21, 45, 66, 99};
    for (std::size_t l = 0; l < letters.size(); ++l)
        for (unsigned char p : picks)
            seed("tground", "letters" + std::to_string(l) + "-" + std::to_string(p),
                 std::string(1, static_cast<char>(p)) + letters[l]);

    // the conversion's intermediate form
    for (std::size_t l = 0; l < letters.size() && l < 3; ++l)
        for (int shape : {0, 5, 12})
            seed("readback", "letters" + std::to_string(l) + "-shape" + std::to_string(shape),
                 intermediate(letters[l], shape));
}

// stv2b.dat (+ form feed + orgdim.dat) as the program saves them
void seedSavedStates(const fs::path& folder) {
    for (int variant = 0; variant < 5; ++variant) {
        shapes::SavedState s;
        s.shapeNumber = static_cast<std::int16_t>(variant * 4);
        s.bigHeight = variant ? 152.4 : 101.6;
        s.check2 = variant == 1 || variant == 4;   // "Contour connection"
        s.check4 = variant == 4;                   // "Cut"
        s.check3 = variant == 2;                   // "Fit in"
        s.frame11Visible = variant == 3;           // knot slider
        s.hscroll1 = variant == 3 ? 250 : 0;
        s.text5 = variant == 1 ? "0.1" : "0";
        s.text6 = variant ? "0.2" : "0";
        s.signDistanceA[1] = variant * 0.05;
        s.signDistanceB[1] = variant * 1.27;
        shapes::writeStv2b(folder, s);
        shapes::writeOrgdim(folder, variant % 2 == 0);
        const std::string state = work("stv2b.dat");
        seed("resume", "state" + std::to_string(variant), state);
        seed("resume", "state" + std::to_string(variant) + "-orgdim", state + "\f" + work("orgdim.dat"));
    }
}

// the siblings' small files and the command line's tokens
void seedSmallFiles(const fs::path& folder) {
    shapes::Presets p;
    shapes::writeThDat(folder, p);
    seed("th", "written", work("th.dat"));
    p.minArcLength = 0.0508;
    p.maxArcRadius = 2000;
    shapes::writeThDat(folder, p);
    seed("th", "low", work("th.dat"));
    seed("th", "empty", "");

    shapes::writeTopDat(folder, 1200, 3000, shapes::TopDat{-1, 0, "kept 3", "kept 4"});
    seed("top", "written", work("top.dat"));
    seed("top", "empty", "");

    seed("wif", "sample", "0\r\n0\r\n");
    seed("wif", "set", "word\r\n1\r\n");
    seed("shap", "sample", "0\r\n1\r\n");
    seed("shap", "plain", "0\r\n0\r\n");

    for (const char* t : {"stvt", "stvt3", " s t v t 3 ", "STVT", ""}) seed("token", t[0] ? t : "none", t);
}

// a user's visits: the plain start, a whole visit through every group, the bar cut; the large
// letter files for the loader
void seedVisits(const std::vector<std::string>& letters, const std::vector<std::string>& large) {
    const std::vector<std::vector<Click>> visits = {
        {},
        {{kFitIn}, {kShape, 0, 0, kTyped5}, {kSpacing, 5, kTypedHalf}, {kConnection}, {kApply, kTyped016, kTypedHalf}, {kCut}, {kZoom, 4, 128, 128}},
        {{kShape, 5, kTyped6, kTyped4}, {kSpacing, 3}, {kAperture, 0, kTyped016}, {kConnection}, {kCut}},
        {{kShape, 13, kTyped6, kTyped4}, {kKnot, 2, 100}, {kSpacing, 1, 0, 40}, {kConnection}, {kApply, kTyped016, kTyped1}, {kCut}},
        {{kFitIn}, {kShape, 17, kTyped6, kTyped2}, {kKnot, 0, 0}, {kSpacing, 2, kTypedHalf}, {kConnection}},
    };
    for (std::size_t l = 0; l < letters.size(); ++l)
        for (std::size_t v = 0; v < visits.size(); ++v)
            seed("pipeline", "letters" + std::to_string(l) + "-visit" + std::to_string(v), script(visits[v]) + letters[l]);
    seed("pipeline", "letters1-visit1-no", script(visits[1], true) + letters[1 % letters.size()]);
    for (std::size_t l = 0; l < large.size(); ++l) seed("tground", "large" + std::to_string(l), std::string(1, '\5') + large[l]);
}

// the most letters whose cut bar still fits, and one more
void seedCutBarCapacity() {
    for (int shape : {0, 6}) {  // a straight bar, and one of arcs and lines
        std::size_t lo = 1, hi = engine::kMaxLetters;
        if (cutBarElements(hi, shape) != 0) {
            std::printf("shape %d: %zu letters cut into a bar of %zu elements at most\n", shape, hi, cutBarElements(hi, shape));
            continue;
        }
        while (hi - lo > 1) {
            const std::size_t mid = (lo + hi) / 2;
            (cutBarElements(mid, shape) != 0 ? lo : hi) = mid;
        }
        std::printf("shape %d: %zu letters make a cut bar of %zu elements\n", shape, lo, cutBarElements(lo, shape));
        const std::vector<Click> clicks = {{kShape, static_cast<std::uint8_t>(kOfferedHeights + shape)}, {kConnection}, {kCut}};
        for (std::size_t n : {lo, hi})
            seed("pipeline", "bar-shape" + std::to_string(shape) + "-" + std::to_string(n), script(clicks) + letterFile(squares(n)));
    }
}

// The tables' edges, each at its capacity and one beyond it; the point table and the large
// files only for the loader, since a whole visit re-reads them at every click.
void seedTableEdges() {
    const std::vector<Click> cut = {{kConnection}, {kCut}};
    for (std::size_t n : {engine::kMaxLetters, engine::kMaxLetters + 1}) {
        const std::string file = letterFile(squares(n));
        seed("pipeline", "letters" + std::to_string(n), script(cut) + file);
        seed("tground", "letters" + std::to_string(n), std::string(1, '\0') + file);
    }
    for (std::size_t points : {engine::kMaxElements, engine::kMaxElements + 1}) {
        std::vector<Letter> two(2);
        two[1].squares = 0;
        two[1].fillerPoints = points - 8;
        const std::string file = letterFile(two, "\n");
        seed("tground", "points" + std::to_string(points), std::string(1, '\0') + file);
    }
    for (std::size_t bridges : {engine::kMaxBridgeHeights, engine::kMaxBridgeHeights + 1}) {
        std::vector<Letter> two(2);
        two[0].bridges = bridges;
        const std::string file = letterFile(two);
        seed("pipeline", "bridges" + std::to_string(bridges), script({{kAperture, 0, kTyped016}}) + file);
        seed("tground", "bridges" + std::to_string(bridges), std::string(1, '\0') + file);
    }
    seedCutBarCapacity();
}

// hand-over tables: empty, small, at capacity; raw doubles on the edges of the number form
void seedHandOverTables() {
    seed("hl", "none", bridgeRecords(0));
    seed("hl", "three", bridgeRecords(3));
    seed("hl", "capacity", bridgeRecords(engine::kMaxBridges));
    seed("workm", "none", barRecords(0, 0));
    seed("workm", "small", barRecords(2, 4));
    seed("workm", "capacity", barRecords(engine::kMaxBarElements, engine::kMaxBarElements));
    const double edges[] = {1.7976931348623157e308, 4.9e-324, -0.0, 999999999999999.5, 0.1, 1e15, 1e-5, 123456789012345.6};
    std::string hl(1, '\1'), bar(1, '\1');
    put<std::int16_t>(hl, -1);
    bar += '\11';  // an arc of type 4
    put<std::int32_t>(bar, -1);
    for (double v : edges) put(hl, v), put(bar, v);
    seed("hl", "edges", hl);
    seed("workm", "edges", bar);
}

// the cut stage's readers: the first byte picks the file, as this program hands them over
void seedCutReaders(const fs::path& folder, const std::vector<std::string>& letters) {
    for (std::size_t l = 0; l < letters.size(); ++l) {
        fuzzsupport::writeWork("tground.dat", letters[l]);
        fuzzsupport::KeepWorkingFolder keep;
        shapes::HeadlessUi ui;
        shapes::Session s(folder, shapes::kTokenFresh, ui);
        s.load();
        s.activate();
        if (l == 1) s.chooseShape(5);
        s.controls().Check2.set(1);
        if (l != 0) s.controls().Check4.set(1);
        s.startConvert();  // the files are written before the later stage would start
        const char* files[] = {"c3.dat", "workrl.dat", "workm.dat", "hl.dat", "orgdim.dat"};
        for (char pick = 0; pick < 5; ++pick)
            seed("handover", std::string(files[static_cast<int>(pick)]) + "-letters" + std::to_string(l),
                 std::string(1, pick) + work(files[static_cast<int>(pick)]));
    }
}

// the text stage's files: stv1text.dat and stv1brdg.dat
void seedTextStageFiles() {
    // stv1text.dat as the text stage writes it: a text, the font's family, style and file, the
    // bridges flag; a font that is installed, one that is not, one given by its file only
    const char* const states[][5] = {
        {"Stencil \xC3\x84" "8", "DejaVu Serif", "Bold", "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf", "1"},
        {"OBAD 0486 &@", "Liberation Sans", "Regular", "", "1"},
        {"AV", "No Such Family", "Heavy", "/no/such/font.ttf", "0"},
        {"x", "", "", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", "1"},
    };
    for (std::size_t i = 0; i < std::size(states); ++i) {
        wf::LineWriter w;
        for (const char* line : states[i]) w.text(line);
        seed("stv1text", "state" + std::to_string(i), w.content());
    }

    // stv1brdg.dat as "Next" writes it beside a state of "OBAD 0486" in the default font: the O's
    // bridge moved along its stroke, the B's first deleted, one added on the A's crossbar
    const text::FontRef f = text::defaultFont();
    text::Lettering l = text::Typesetter(f).set("OBAD 0486", text::BridgeChoice{});
    text::BridgeEdits edits;
    const text::Pt o = text::stripMiddle(l.letters[0].bridges[0], l.stripWidth);
    edits.move(l, {0, 0}, {o.x + 2, o.y});
    edits.remove(l, {1, 0});
    const text::Pt a = text::stripMiddle(l.letters[2].bridges[0], l.stripWidth);
    edits.add(l, {a.x + l.letters[2].x + 1, a.y});
    seed("stv1brdg", "edits", text::bridgesFileText({"OBAD 0486", f.family, f.style, f.file, edits.letters()}));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_seeds <seed folder> <tground.dat>...\n");
        return 1;
    }
    seeds = argv[1];
    const fs::path folder = fuzzsupport::programFolder();

    std::vector<std::string> letters = {fuzzsupport::kTinyTground}, large;
    bool isLarge = false;
    for (int i = 2; i < argc; ++i) {
        if (std::string(argv[i]) == "--") {
            isLarge = true;
            continue;
        }
        (isLarge ? large : letters).push_back(wf::readFile(argv[i]));
    }

    seedLetters(letters);
    seedSavedStates(folder);
    seedSmallFiles(folder);
    seedVisits(letters, large);
    seedTableEdges();
    seedHandOverTables();
    seedCutReaders(folder, letters);
    seedTextStageFiles();

    std::printf("%d seeds in %s\n", written, seeds.c_str());
    return 0;
}

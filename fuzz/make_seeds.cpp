// Writes the seed corpora of the fuzz targets: the sample and test letters, and work files
// made by the program's own writers, so that every seed has the form the readers expect.
//
//   make_seeds <seed folder> <tground.dat>...
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
#include "shell/workfile_io.h"
#include "shell/workfiles.h"

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
    preview::masstaebe(m);
    engine::buildShape(m, false);
    return convert::intermediateForm(m);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_seeds <seed folder> <tground.dat>...\n");
        return 1;
    }
    seeds = argv[1];
    const fs::path folder = fuzzsupport::programFolder();

    std::vector<std::string> letters = {fuzzsupport::kTinyTground};
    for (int i = 2; i < argc; ++i) letters.push_back(wf::readFile(argv[i]));

    // tground.dat behind the byte that picks shape, "Fit in" and H / h
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

    // stv2b.dat (+ form feed + orgdim.dat) as the program saves them
    for (int variant = 0; variant < 5; ++variant) {
        shell::SavedState s;
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
        shell::writeStv2b(folder, s);
        shell::writeOrgdim(folder, variant % 2 == 0);
        const std::string state = work("stv2b.dat");
        seed("resume", "state" + std::to_string(variant), state);
        seed("resume", "state" + std::to_string(variant) + "-orgdim", state + "\f" + work("orgdim.dat"));
    }

    // the siblings' small files
    shell::Presets p;
    shell::writeThDat(folder, p);
    seed("th", "written", work("th.dat"));
    p.minArcLength = 0.0508;
    p.maxArcRadius = 2000;
    shell::writeThDat(folder, p);
    seed("th", "low", work("th.dat"));
    seed("th", "empty", "");

    shell::writeTopDat(folder, 1200, 3000, shell::TopDat{-1, 0, "kept 3", "kept 4"});
    seed("top", "written", work("top.dat"));
    seed("top", "empty", "");

    seed("wif", "sample", "0\r\n0\r\n");
    seed("wif", "set", "word\r\n1\r\n");
    seed("shap", "sample", "0\r\n1\r\n");
    seed("shap", "plain", "0\r\n0\r\n");

    for (const char* t : {"stvt", "stvt3", " s t v t 3 ", "STVT", ""}) seed("token", t[0] ? t : "none", t);

    std::printf("%d seeds in %s\n", written, seeds.c_str());
    return 0;
}

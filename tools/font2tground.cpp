// font2tground FONT TEXT OUT.dat [--em-mm N] [--no-bridges]
//
// Sets TEXT in FONT (a font file, "Family" or "Family:Style") with the text stage's own
// typesetter and writes it as a letter file (tground.dat) to OUT.dat: the letters for the
// bundled sample and for the tests, without a program folder around them. The file is
// replaced whole or not at all.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "workfile/workfile_io.h"
#include "text/lettering.h"

namespace {

struct Options {
    std::string font, text, out;
    double emMm = text::kEmMm;
    bool bridges = true;
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
            if (end == argv[i] || *end != '\0' || !(o.emMm > 0) || !std::isfinite(o.emMm) || o.emMm > 1e5)
                return std::nullopt;
        } else if (a == "--no-bridges") {
            o.bridges = false;
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
        std::fprintf(stderr, "usage: font2tground FONT TEXT OUT.dat [--em-mm N] [--no-bridges]   (0 < N <= 100000, default %g)\n",
                     text::kEmMm);
        return 2;
    }
    try {
        text::Typesetter setter(text::resolveFont(opt->font), opt->emMm);
        wf::replaceFile(opt->out, text::groundFile(setter.set(opt->text, opt->bridges)));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "font2tground: %s\n", e.what());
        return 1;
    }
    return 0;
}

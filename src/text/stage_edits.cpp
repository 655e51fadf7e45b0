// The file of the bridges the user placed by hand: written by "Next" with the state, read back
// when the stage reopens.
#include <cmath>

#include "text/stage.h"
#include "workfile/workfile_io.h"

namespace text {

namespace {

// No letter reaches this far from its origin (mm): the longest line of the widest letters does
// not come near it.
constexpr double kFarthest = 1e6;
constexpr std::size_t kLongestCharacter = 4;  // bytes of one character in UTF-8

double coordinate(wf::LineReader& in) {
    const double v = in.number();
    if (!(std::fabs(v) <= kFarthest)) throw fault::FileFault("coordinate out of range");
    return v;
}

std::size_t count(wf::LineReader& in, std::size_t least, std::size_t most) {
    const std::int32_t n = in.int32();
    if (n < static_cast<std::int32_t>(least) || n > static_cast<std::int32_t>(most))
        throw fault::FileFault("count out of range");
    return static_cast<std::size_t>(n);
}

}  // namespace

std::string bridgesFileText(const SavedEdits& e) {
    wf::LineWriter out;
    out.text(e.text).text(e.family).text(e.style).text(e.file);
    out.number(static_cast<double>(e.letters.size()));
    for (const LetterEdit& l : e.letters) {
        out.number(static_cast<double>(l.letter + 1)).text(l.character).number(static_cast<double>(l.bridges.size()));
        for (const Bridge& b : l.bridges) out.number(b.kind).number(b.p1.x).number(b.p1.y).number(b.p2.x).number(b.p2.y);
    }
    return out.content();
}

std::optional<SavedEdits> readBridgeEdits(const fs::path& folder) {
    try {
        const fs::path file = wf::workFile(folder, kBridgesFile);
        std::error_code ec;
        if (!fs::is_regular_file(file, ec) || fs::file_size(file, ec) > kMaxBridgesFileBytes || ec) return std::nullopt;
        wf::LineReader in(file);
        SavedEdits s;
        s.text = in.text();
        s.family = in.text();
        s.style = in.text();
        s.file = in.text();
        if (s.text.size() > kMaxTextBytes) return std::nullopt;
        for (const std::string* name : {&s.family, &s.style, &s.file})
            if (name->size() > kMaxFontNameBytes) return std::nullopt;
        const std::size_t letters = count(in, 0, kMaxLetters);
        std::size_t bridges = 0;
        for (std::size_t i = 0; i < letters; ++i) {
            LetterEdit e;
            e.letter = count(in, 1, kMaxLetters) - 1;
            e.character = in.text();
            if (e.character.empty() || e.character.size() > kLongestCharacter) return std::nullopt;
            const std::size_t n = count(in, 0, kMaxBridges - bridges);
            bridges += n;
            for (std::size_t k = 0; k < n; ++k) {
                Bridge b;
                b.kind = static_cast<int>(count(in, 1, 2));
                b.p1.x = coordinate(in);
                b.p1.y = coordinate(in);
                b.p2.x = coordinate(in);
                b.p2.y = coordinate(in);
                e.bridges.push_back(b);
            }
            s.letters.push_back(std::move(e));
        }
        return s;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

}  // namespace text

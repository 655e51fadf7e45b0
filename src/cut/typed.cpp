// The letters as typed: the hand-over numbers only the letters that have contours; the letters
// file they were made of names every letter of the text, spaces too.
#include <exception>

#include "cut/detail.h"
#include "workfile/workfile_io.h"

namespace cut {

std::vector<TypedLetter> parseTypedLetters(std::string_view tground) {
    std::vector<TypedLetter> out;
    try {
        wf::LineReader in = wf::LineReader::over(tground);
        in.text();    // the text
        in.number();  // the em size
        const int letters = in.int16();
        in.number(), in.number();
        for (int k = 1; k <= letters; ++k) {
            std::string character = wf::decodeText(in.text());
            for (int skip = 0; skip < 5; ++skip) in.number();  // advance, kerning, code point, ...
            const std::int32_t points = in.int32();
            if (points < 0) return {};
            for (std::int64_t line = 0; line < std::int64_t{3} * points; ++line) in.text();
            if (points > 0) out.push_back({k, std::move(character)});
            const std::int32_t bridges = in.int32();
            if (bridges < 0) return {};
            for (std::int64_t line = 0; line < std::int64_t{5} * bridges; ++line) in.text();
        }
    } catch (const std::exception&) {
        return {};
    }
    return out;
}

namespace detail {

// Problems and pieces name their letters by the hand-over's numbering while the drawing is
// made; the user reads them as typed.
void numberAsTyped(Drawing& d, const Handover& h) {
    const auto typed = [&](int& letter, std::string& character) {
        if (letter < 1 || static_cast<std::size_t>(letter) > h.letters.size()) return;
        const int handed = h.letters[static_cast<std::size_t>(letter) - 1].number;
        if (handed < 1 || static_cast<std::size_t>(handed) > h.typed.size()) return;
        const TypedLetter& t = h.typed[static_cast<std::size_t>(handed) - 1];
        letter = t.number;
        character = t.character;
    };
    std::string unused;
    for (Problem& p : d.problems) {
        typed(p.letter, p.character);
        if (p.kind == ProblemKind::Merged) typed(p.otherLetter, p.otherCharacter);
    }
    for (Piece& p : d.pieces) typed(p.letter, unused);
}

}  // namespace detail

}  // namespace cut

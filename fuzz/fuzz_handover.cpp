// The readers of the hand-over (c3.dat, workrl.dat, workm.dat, hl.dat, orgdim.dat) and the cut
// drawing made from whatever they accept. The first byte picks the file; the rest is its content.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "cut/cut.h"
#include "cut/handover.h"

namespace {
// drawings larger than this many pieces are left out: they only make the run slow
constexpr std::size_t kMostEdges = 2000;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::string_view content(reinterpret_cast<const char*>(data + 1), size - 1);
    try {
        switch (data[0] % 5) {
            case 0: cut::parseC3(content); break;
            case 1: {
                cut::Handover h;
                h.scale = 1;
                h.aperture = 2;
                h.letters = cut::parseContours(content, 0.5);
                std::size_t edges = 0;
                for (const auto& l : h.letters)
                    for (const auto& loop : l.loops) edges += loop.edges.size();
                if (edges > kMostEdges) return 0;
                h.bridges = {{1, {0, 0}, {0, 5}}};
                try {
                    cut::Options o;
                    o.kerf = 0.2;
                    cut::makeDrawing(h, o);
                    o.kind = cut::Kind::Lettering;
                    o.tabs = true;
                    cut::makeDrawing(h, o);
                } catch (const fault::DrawingFault&) {
                }
                break;
            }
            case 2: cut::parseBar(content, 0.5); break;
            case 3: cut::parseBridges(content, 0.5); break;
            default: cut::parseOneObject(content); break;
        }
    } catch (const fault::HandoverFault&) {
    }
    return 0;
}

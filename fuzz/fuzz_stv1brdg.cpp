// The bridges placed by hand on the way back: stv1brdg.dat is read beside a state of a text in
// the default font, applied to the letters, and its first bridge dragged about, as the window
// does. The input is stv1brdg.dat.
#include "fuzz_support.h"
#include "suite/port.h"
#include "text/stage.h"
#include "workfile/workfile_io.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string state = [] {
        const text::FontRef f = text::defaultFont();
        wf::LineWriter w;
        w.text("OBAD 0486").text(f.family).text(f.style).text(f.file).flag(true);
        return w.content();
    }();
    fuzzsupport::writeWork(text::kStateFile, state);
    fuzzsupport::writeWork(text::kBridgesFile, fuzzsupport::asText(data, size));
    if (const std::optional<text::SavedEdits> e = text::readBridgeEdits(fuzzsupport::programFolder())) {
        std::size_t bridges = 0;
        for (const text::LetterEdit& l : e->letters) {
            if (l.letter >= text::kMaxLetters) std::abort();  // a letter the text cannot have got through
            bridges += l.bridges.size();
        }
        if (bridges > text::kMaxBridges) std::abort();
    }
    suite::HeadlessUi ui;
    text::TextStage stage(fuzzsupport::programFolder(), text::Variant::Bridges, ui);
    stage.reopen();
    try {
        text::Lettering l = stage.lettering();
        for (const text::LetterEdit& e : stage.bridgeEdits().letters()) {
            if (e.bridges.empty()) continue;
            const text::BridgeRef ref{e.letter, 0};
            const text::Pt at = e.bridges[0].p2;
            stage.bridgeEdits().move(l, ref, at);
            stage.bridgeEdits().add(l, e.bridges[0].p1);
            stage.bridgeEdits().remove(l, ref);
            break;
        }
    } catch (const fault::TextFault&) {
    }
    return 0;
}

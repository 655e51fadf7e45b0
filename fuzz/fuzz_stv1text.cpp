// The text stage's way back: stv1text.dat is read, its font looked up and its text set, as the
// window and the command line do when they reopen the last "Next". The input is stv1text.dat.
#include "fuzz_support.h"
#include "suite/port.h"
#include "text/stage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzsupport::writeWork(text::kStateFile, fuzzsupport::asText(data, size));
    const std::optional<text::StageState> s = text::readState(fuzzsupport::programFolder());
    if (s && (s->text.size() > text::kMaxTextBytes || s->family.size() > text::kMaxFontNameBytes))
        std::abort();  // a line longer than the stage takes got through
    // A text or font the stage refuses is told as a text fault; anything else escaping is a finding.
    suite::HeadlessUi ui;
    text::TextStage stage(fuzzsupport::programFolder(), text::Variant::Bridges, ui);
    stage.reopen();
    try {
        stage.lettering();
    } catch (const fault::TextFault&) {
    }
    return 0;
}

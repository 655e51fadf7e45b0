// The resume path: a session started with "stvt3" restores stv2b.dat and orgdim.dat, then
// loads the sample letters and builds, connects and draws what the saved state says.
// The input is stv2b.dat, then optionally a form feed and orgdim.dat.
#include "fuzz_support.h"
#include "shapes/session.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzsupport::writeWork("tground.dat", fuzzsupport::sampleTground());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view in = fuzzsupport::asText(data, size);
    const std::size_t split = in.find('\f');
    fuzzsupport::writeWork("stv2b.dat", in.substr(0, split));
    if (split == std::string_view::npos)
        fuzzsupport::removeWork("orgdim.dat");
    else
        fuzzsupport::writeWork("orgdim.dat", in.substr(split + 1));

    fuzzsupport::KeepWorkingFolder keep;
    // The session absorbs and reports its own faults: whatever escapes is a finding.
    shapes::HeadlessUi ui;
    shapes::Session session(fuzzsupport::programFolder(), shapes::kTokenResume, ui);
    session.load();
    session.activate();
    session.paintEvent();
    return 0;
}

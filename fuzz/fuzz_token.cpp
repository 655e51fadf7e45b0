// The command line as the session receives it: any bytes, compared after removing blanks.
#include "fuzz_support.h"
#include "shapes/session.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzsupport::writeWork("tground.dat", fuzzsupport::sampleTground());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzsupport::removeWork("stv2b.dat");  // a resumed start finds no saved state
    fuzzsupport::KeepWorkingFolder keep;
    shapes::HeadlessUi ui;
    shapes::Session session(fuzzsupport::programFolder(), std::string(fuzzsupport::asText(data, size)), ui);
    session.load();
    session.activate();
    // only the two tokens of the suite keep the program running
    const std::string token = shapes::stripBlanks(std::string(fuzzsupport::asText(data, size)));
    const bool known = token == shapes::kTokenFresh || token == shapes::kTokenResume;
    if (known == session.terminated()) std::abort();
    return 0;
}

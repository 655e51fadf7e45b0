// The small work files of the siblings, one reader per build of this file (LK_FUZZ_READER).
#include "fuzz_support.h"
#include "workfile/workfile_io.h"
#include "shapes/workfiles.h"

namespace {
void readOne(const fuzzsupport::fs::path& folder) {
#if LK_FUZZ_READER == 1
    const shapes::Presets p = shapes::readThDat(folder);  // never raises, range-checked
    if (!(p.maxArcRadius >= engine::kMaxArcRadiusLow && p.maxArcRadius <= engine::kMaxArcRadiusHigh) ||
        !(p.minArcLength >= engine::kMinArcLengthLow && p.minArcLength <= engine::kMinArcLengthHigh))
        std::abort();
#elif LK_FUZZ_READER == 2
    shapes::readTopDat(folder);  // never raises
#elif LK_FUZZ_READER == 3
    try {
        shapes::rewriteWifDat(folder);
    } catch (const fault::FileFault&) {
    }
#elif LK_FUZZ_READER == 4
    try {
        shapes::readShapDatVariant(folder);
    } catch (const fault::FileFault&) {
    } catch (const fault::OverflowFault&) {
    }
#else
#error "LK_FUZZ_READER: 1 th.dat, 2 top.dat, 3 wif.dat, 4 shap.dat"
#endif
}

constexpr const char* kNames[] = {"", "th.dat", "top.dat", "wif.dat", "shap.dat"};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzsupport::writeWork(kNames[LK_FUZZ_READER], fuzzsupport::asText(data, size));
    readOne(fuzzsupport::programFolder());
    return 0;
}

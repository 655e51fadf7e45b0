// The conversion's read-back of its own element list, then workrl.dat written from it.
#include "convert/conversion.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    engine::Model model;
    try {
        convert::readBack(model, std::string(fuzzsupport::asText(data, size)));
    } catch (const fault::CapacityFault&) {
        return 0;
    } catch (const fault::FileFault&) {  // a record cut short
        return 0;
    } catch (const fault::OverflowFault&) {
        return 0;
    }
    convert::Settings settings;
    std::int32_t object = 0;
    try {
        convert::contourFile(model, settings, object);
    } catch (const fault::ProgramFault&) {
    } catch (const fault::OverflowFault&) {
    }
    return 0;
}

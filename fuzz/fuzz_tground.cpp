// tground.dat as the earlier stage leaves it: read into the letter tables, scaled to h and
// bent into a shape. The first byte picks the shape, "Fit in" and the ratio H / h; the rest
// is the file.
#include "engine/contours.h"
#include "engine/shape.h"
#include "fuzz_support.h"
#include "preview/scale.h"
#include "workfile/workfile_io.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::uint8_t pick = data[0];
    fuzzsupport::writeWork("tground.dat", fuzzsupport::asText(data + 1, size - 1));

    engine::Model model;
    model.shapeNumber = static_cast<std::int16_t>(pick % 20);
    const bool fitIn = (pick / 20) % 2 == 1;
    model.bigHeight = model.smallHeight * (1 + 0.5 * ((pick / 40) % 3));
    // The session bends whatever was read, also after a fault, as here.
    try {
        engine::readGroundContours(model, fuzzsupport::workPath("tground.dat"), fitIn);
        preview::scaleToHeight(model);
    } catch (const fault::FileFault&) {
    } catch (const fault::OverflowFault&) {
    } catch (const fault::CapacityFault&) {
    }
    try {
        engine::buildShape(model, fitIn);
        model.view = engine::viewAround(engine::contourExtents(model));
    } catch (const fault::OverflowFault&) {
    } catch (const fault::CapacityFault&) {
    }
    return 0;
}

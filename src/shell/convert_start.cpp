// "Start convert": check the size, save the state, scale the model to internal units, write
// every hand-over file and start the later stage, which takes over from here.
#include "convert/conversion.h"
#include "engine/contours.h"
#include "preview/scale.h"
#include "shell/session.h"
#include "shell/workfile_io.h"

namespace shell {

namespace {
// a step that failed after reporting its own message
struct ReportedFault : std::runtime_error {
    ReportedFault() : std::runtime_error("reported") {}
};
}  // namespace

void Session::clickBild2() {
    const double height = wf::parseNumberOrZero(controls.Texth.value());
    const double width = wf::parseNumberOrZero(controls.Textv.value());
    if (height > kMaxConvertInches || width > kMaxConvertInches) {
        ui_.message(" Please change the dimensions. Maximum height or width = 780. ", "Contour dimensions too large !",
                    Icon::Information);
        return;
    }
    if (controls.Check2 == 1 && barMissing) {
        // the later stage must never get a connection that lost its bar
        ui_.message("The connection bar is missing: change the connection or untick \"Contour connection\".",
                    "Start convert", Icon::Critical);
        return;
    }
    bool handedOver = false, stateSaved = false;
    try {
        enterAppFolder();
        if (!loadGroundContours() || !buildShape()) throw ReportedFault();
        writeThDat(appFolder_, presets);
        writeOrgdim(appFolder_, controls.Check5 == 1);
        writeSavedState();
        stateSaved = true;
        engine::contourBoundingBox(model, 1, controls.Check2 == 1);

        const double d = model.shapeNumber == 0 ? model.smallHeight : std::min(model.smallHeight, model.bigHeight);
        preview::endmass(model, 200 / d);
        outputScale = d / 200;
        writeC3Dat(appFolder_, outputScale, controls.Text4, model.smallHeight);

        picture.clear();
        picture.caption(50, 100, "Please wait .....", preview::kLightGrey, 12);
        picture.caption(150, 140, "Start convert ......", preview::kLightGrey, 12);
        ui_.redraw();
        ui_.processEvents();

        int top = topDat.top == -1 ? kDefaultWindowTwips : topDat.top;
        int left = topDat.top == -1 ? kDefaultWindowTwips : topDat.left;
        ui_.windowPlace(top, left);
        writeTopDat(appFolder_, top, left, topDat);

        convert::Settings s;
        s.outputScale = outputScale;
        s.maxArcRadius = presets.maxArcRadius;
        s.minArcRadius = presets.minArcRadius;
        s.minArcLength = presets.minArcLength;
        s.fitTolerance = presets.fitTolerance;
        try {
            convert::writeConversionFiles(model, controls.Check2 == 1, appFolder_, s, currentObject);
            writeHlDat(appFolder_, model);
        } catch (const std::exception&) {
            // the later stage must never start on a missing or partial hand-over
            reportFileError();
            throw ReportedFault();
        }
        mausaus();
        handedOver = ui_.startProgram(appFolder_ + "STV3.EXE", {kTokenFresh});
        if (!handedOver) ui_.message(kLaterStageMissing, "Ende", Icon::Critical);
    } catch (const ReportedFault&) {
    } catch (const wf::FileFault&) {
        // a work file that cannot be written is said as such, whichever it is
        reportFileError();
    } catch (const std::exception&) {
        ui_.message(kLaterStageMissing, "Ende", Icon::Critical);
    }
    if (!stateSaved) {
        // the program ends either way: keep the user's settings for the resume
        try {
            writeSavedState();
        } catch (const std::exception&) {
        }
    }
    mausaus();
    terminated = true;
    ui_.terminate();
}

}  // namespace shell

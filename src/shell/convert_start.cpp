// "Start convert": check the size, save the state, scale the model to internal units, write
// every hand-over file and start the later stage, which takes over from here.
#include "convert/conversion.h"
#include "preview/scale.h"
#include "shell/session.h"
#include "workfile/workfile_io.h"

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
    // Every file is written (and flushed) before any is put in place: first the state
    // (th.dat, orgdim.dat, stv2b.dat, top.dat), then the hand-over (workrl.dat, workm.dat,
    // hl.dat) and c3.dat, the scale, last of all. A c3.dat from this run means a whole set.
    wf::FileSet state, handOver;
    try {
        enterAppFolder();
        if (!loadGroundContours() || !buildShape()) throw ReportedFault();
        writeThDat(appFolder_, presets, &state);
        writeOrgdim(appFolder_, controls.Check5 == 1, &state);
        writeStv2b(appFolder_, currentState(), &state);

        const double d = model.shapeNumber == 0 ? model.smallHeight : std::min(model.smallHeight, model.bigHeight);
        preview::endmass(model, 200 / d);
        outputScale = d / 200;
        const std::string c3 = c3DatText(outputScale, controls.Text4, model.smallHeight);  // put in place last

        picture.clear();
        picture.caption(50, 100, "Please wait .....", preview::kLightGrey, 12);
        picture.caption(150, 140, "Start convert ......", preview::kLightGrey, 12);
        ui_.redraw();
        ui_.processEvents();

        int top = topDat.top == -1 ? kDefaultWindowTwips : topDat.top;
        int left = topDat.top == -1 ? kDefaultWindowTwips : topDat.left;
        ui_.windowPlace(top, left);
        writeTopDat(appFolder_, top, left, topDat, &state);

        const convert::Settings s{presets, outputScale};
        try {
            convert::writeConversionFiles(model, controls.Check2 == 1, conversionTargets(appFolder_), s, currentObject,
                                          &handOver);
            writeHlDat(appFolder_, model, &handOver);
            handOver.replace(workPath("c3.dat"), c3);
        } catch (const std::exception&) {
            // the later stage must never start on a missing or partial hand-over
            reportFileError();
            throw ReportedFault();
        }
        state.commit();
        stateSaved = true;
        handOver.commit();
        mausaus();
        handedOver = startSibling(appFolder_ + "STV3.EXE", {kTokenFresh});
        if (!handedOver) ui_.message(kLaterStageMissing, "Ende", Icon::Critical);
    } catch (const ReportedFault&) {
    } catch (const fault::FileFault&) {
        // a work file that cannot be written is said as such, whichever it is
        reportFileError();
    } catch (const std::exception&) {
        ui_.message(kLaterStageMissing, "Ende", Icon::Critical);
    }
    if (!stateSaved) {
        // the program ends either way: keep the user's settings for the resume (whatever of
        // the state was written already; the hand-over stays as it was)
        try {
            state.commit();
        } catch (const std::exception&) {
        }
        if (!state.committed() || state.size() < 3) {
            try {
                writeSavedState();
            } catch (const std::exception&) {
            }
        }
    }
    mausaus();
    terminated = true;
    ui_.terminate();
}

}  // namespace shell

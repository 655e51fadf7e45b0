// "Start convert": check the size, save the state, scale the model to internal units, write
// every hand-over file and start the later stage, which takes over from here.
#include "convert/conversion.h"
#include "engine/contours.h"
#include "preview/scale.h"
#include "shapes/session.h"
#include "workfile/workfile_io.h"

namespace shapes {

namespace {
// a step that failed after reporting its own message
struct ReportedFault : std::runtime_error {
    ReportedFault() : std::runtime_error("reported") {}
};

// The model to letter height 200 (internal units); returns mm per internal unit.
double scaleToInternalUnits(engine::Model& m) {
    const double d = m.shapeNumber == 0 ? m.smallHeight : std::min(m.smallHeight, m.bigHeight);
    preview::scaleModel(m, 200 / d);
    return d / 200;
}

// The program ends either way: keep the user's settings for the resume (whatever of the state
// was written already; the hand-over stays as it was).
void keepStateForResume(wf::FileSet& state, const std::string& appFolder, const SavedState& now) {
    try {
        state.commit();
    } catch (const std::exception&) {
    }
    if (!state.committed() || state.size() < 3) {
        try {
            writeStv2b(appFolder, now);
        } catch (const std::exception&) {
        }
    }
}
}  // namespace

void Session::startConvert() {
    if (!convertible()) return;
    wf::FileSet state, handOver;
    if (!convertAndHandOver(state, handOver)) keepStateForResume(state, appFolder(), currentState());
    zoom_.unhookWheel();
    handOver_.end();
}

bool Session::convertible() {
    const double height = wf::parseNumberOrZero(controls_.Texth.value());
    const double width = wf::parseNumberOrZero(controls_.Textv.value());
    if (height > kMaxConvertInches || width > kMaxConvertInches) {
        ui_.message(" Please change the dimensions. Maximum height or width = 780. ", "Contour dimensions too large !",
                    Icon::Information);
        return false;
    }
    if (controls_.Check2 == 1 && barMissing_) {
        // the later stage must never get a connection that lost its bar
        ui_.message("The connection bar is missing: change the connection or untick \"Contour connection\".",
                    "Start convert", Icon::Critical);
        return false;
    }
    return true;
}

// Every file is written (and flushed) before any is put in place: first the state (th.dat,
// orgdim.dat, stv2b.dat, stv2text.dat, top.dat), then the hand-over (workrl.dat, workm.dat, hl.dat) and
// c3.dat, the scale, last of all. A c3.dat from this run means a whole set.
bool Session::convertAndHandOver(wf::FileSet& state, wf::FileSet& handOver) {
    bool stateSaved = false;
    try {
        handOver_.enterAppFolder();
        if (!loadGroundContours() || !buildShape()) throw ReportedFault();
        writeThDat(appFolder(), presets_, &state);
        writeOrgdim(appFolder(), controls_.Check5 == 1, &state);
        const std::string stv2b = writeStv2b(appFolder(), currentState(), &state);
        writeStateLetters(appFolder(), model_.groundText, &state);

        const double outputScale = scaleToInternalUnits(model_);
        const std::string c3 = c3DatText(outputScale, controls_.Text4, model_.smallHeight);  // put in place last
        picture_.clear();
        picture_.caption(50, 100, "Please wait .....", preview::kLightGrey, 12);
        picture_.caption(150, 140, "Start convert ......", preview::kLightGrey, 12);
        ui_.redraw();
        ui_.processEvents();
        handOver_.keepWindowPlace(state);
        try {
            handOver_.writeConversion(model_, controls_.Check2 == 1, presets_, outputScale, c3, stv2b, handOver);
        } catch (const std::exception&) {
            // the later stage must never start on a missing or partial hand-over
            reportFileError();
            throw ReportedFault();
        }
        state.commit();
        stateSaved = true;
        handOver.commit();
        zoom_.unhookWheel();
        if (!handOver_.startSibling("STV3.EXE", {kTokenFresh})) ui_.fileError(kLaterStageMissing, "Ende");
    } catch (const ReportedFault&) {
    } catch (const fault::FileFault&) {
        // a work file that cannot be written is said as such, whichever it is
        reportFileError();
    } catch (const std::exception&) {
        ui_.fileError(kLaterStageMissing, "Ende");
    }
    return stateSaved;
}

}  // namespace shapes

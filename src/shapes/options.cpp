// The main window's options that act on the shape: "On", "Fit in", the knot slider, redraw
// and fit.
#include <cmath>

#include "engine/contours.h"
#include "engine/shape.h"
#include "geom/units.h"
#include "shapes/preset_dialogs.h"
#include "shapes/session.h"
#include "shapes/spacing_dialog.h"
#include "workfile/workfile_io.h"

namespace shapes {

namespace {
constexpr double kKnotRangeShare = 0.45;  // the full slider range moves the knot by 0.45 of the width

}  // namespace

void Session::wireHandlers() {
    controls_.Check1.onChange = [this] { onShowKnotsChanged(); };
    controls_.Check3.onChange = [this] { onFitInChanged(); };
    controls_.HScroll1.onChange = [this] { onKnotMoved(); };
    controls_.Check2.onChange = [this] { onConnectionChanged(); };
    controls_.Check4.onChange = [this] { onCutChanged(); };
    controls_.Check5.onChange = [this] { onOneObjectChanged(); };
    controls_.HScroll2.onChange = [this] { onBarMoved(); };
    controls_.Text4.onChange = [this] { onApertureWidthChanged(); };
}

void Session::onApertureWidthChanged() {
    if (flags_.loadingSettings) return;
    paint();
}

void Session::openApertureDialog() {
    if (model_.bridges.empty()) return ui_.message("No apertures !", "Exit", Icon::Information);
    userStep("width of apertures", [&] {
        ApertureDialog dialog(*this);
        ui_.runDialog(dialog);
    });
}

void Session::openSignDistanceDialog() {
    if (wf::characters(model_.groundText).size() == 1) return ui_.message("Only one char !", "Exit", Icon::Information);
    try {
        SpacingDialog dialog(*this);
        dialog.load();
        ui_.runDialog(dialog);
    } catch (const std::exception&) {
        // a fault while showing the dialog leaves the window as it is
    }
}

void Session::openPresetting() {
    userStep("presetting", [&] {
        PresettingDialog dialog(*this);
        ui_.runDialog(dialog);
        if (controls_.Check2 == 1) applyConnectionValues();
    });
}

void Session::onShowKnotsChanged() {
    if (flags_.loadingSettings) return;
    paint();
}

void Session::toggleKnotPoints() { userSet(controls_.Check1, controls_.Check1 == 1 ? 0 : 1); }
void Session::toggleFitIn() { userSet(controls_.Check3, controls_.Check3 == 1 ? 0 : 1); }
void Session::redrawPreview() { paint(); }

void Session::onFitInChanged() {
    if (flags_.loadingSettings) return;
    if (anySignDistance(model_)) {
        ui_.message("Delete existing sign distances -> /Sign distance d/ ! ", "Info", Icon::Information);
        clearSignDistances(model_);
    }
    const double widthBefore = wf::parseNumberOrZero(controls_.Textv.value());
    const engine::ViewWindow view = model_.view;
    rebuild(kRebuildLetters | kRebuildShape);
    if (wf::parseNumberOrZero(controls_.Textv.value()) != widthBefore && engine::shapeHasKnot(model_.shapeNumber)) {
        controls_.Frame11 = true;
        controls_.HScroll1.visible = true;
        controls_.HScroll1.set(0);
    }
    if (controls_.Check2 == 1) contourConnectionBuild();
    model_.view = view;
    paint();
    showDimensionsOrReport();
    ui_.controlsChanged();
}

void Session::onKnotMoved() {
    if (flags_.loadingSettings) return;
    if (controls_.Check1 != 1) controls_.Check1.set(1);
    model_.knotShift = controls_.HScroll1.value() * wf::parseNumberOrZero(controls_.Textv.value()) * kKnotRangeShare * geom::kMmPerInch * 0.001;
    rebuild(kRebuildLetters | kRebuildShape | kRebuildApertures | kRebuildConnection | kRebuildPaint);
    ui_.controlsChanged();
}

}  // namespace shapes

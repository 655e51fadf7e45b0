// The main window's options that act on the shape: "On", "Fit in", the knot slider, redraw,
// fit and zoom.
#include <cmath>

#include "engine/contours.h"
#include "engine/shape.h"
#include "geom/units.h"
#include "shell/session.h"
#include "workfile/workfile_io.h"

namespace shell {

namespace {
constexpr double kKnotRangeShare = 0.45;  // the full slider range moves the knot by 0.45 of the width
constexpr double kMaxZoomOutHalfWidth = 50000;
constexpr double kMinZoomInQuarterWidth = 2.5;

}  // namespace

bool Session::anySignDistance(const engine::Model& m) {
    for (std::size_t i = 1; i <= 255; ++i)
        if (m.signDistanceA[i] != 0 || m.signDistanceB[i] != 0) return true;
    return false;
}

void Session::clearSignDistances(engine::Model& m) {
    for (std::size_t i = 1; i <= 255; ++i) m.signDistanceA[i] = m.signDistanceB[i] = 0;
}

void Session::wireHandlers() {
    controls.Check1.onChange = [this] { onCheck1(); };
    controls.Check3.onChange = [this] { onCheck3(); };
    controls.HScroll1.onChange = [this] { onHScroll1(); };
    controls.Check2.onChange = [this] { onCheck2(); };
    controls.Check4.onChange = [this] { onCheck4(); };
    controls.Check5.onChange = [this] { onCheck5(); };
    controls.HScroll2.onChange = [this] { onHScroll2(); };
    controls.Text4.onChange = [this] { onText4(); };
}

void Session::onText4() {
    if (loadingSettings) return;
    paint();
}

void Session::openApertureDialog() {
    if (model.bridges.empty()) return ui_.message("No apertures !", "Exit", Icon::Information);
    ui_.runDialog(DialogId::ApertureWidth);
}

void Session::openSignDistanceDialog() {
    if (wf::characters(model.groundText).size() == 1) return ui_.message("Only one char !", "Exit", Icon::Information);
    try {
        ui_.runDialog(DialogId::SignDistances);
    } catch (const std::exception&) {
        // a fault while showing the dialog leaves the window as it is
    }
}

void Session::openPresetting() {
    ui_.runDialog(DialogId::Presetting);
    if (controls.Check2 == 1) applyConnectionValues();
}

void Session::onCheck1() {
    if (loadingSettings) return;
    paint();
}

void Session::clickFrame5() { controls.Check1.set(controls.Check1 == 1 ? 0 : 1); }
void Session::clickFrame1() { controls.Check3.set(controls.Check3 == 1 ? 0 : 1); }
void Session::clickPicture1() { paint(); }
void Session::clickPicture9() { fitAndRedraw(); }

void Session::onCheck3() {
    if (loadingSettings) return;
    if (anySignDistance(model)) {
        ui_.message("Delete existing sign distances -> /Sign distance d/ ! ", "Info", Icon::Information);
        clearSignDistances(model);
    }
    const double widthBefore = wf::parseNumberOrZero(controls.Textv.value());
    const engine::ViewWindow view = model.view;
    rebuild(kRebuildLetters | kRebuildShape);
    if (wf::parseNumberOrZero(controls.Textv.value()) != widthBefore && engine::shapeHasKnot(model.shapeNumber)) {
        controls.Frame11 = true;
        controls.HScroll1.visible = true;
        controls.HScroll1.set(0);
    }
    if (controls.Check2 == 1) contourConnectionBuild();
    model.view = view;
    paint();
    showDimensionsOrReport();
    ui_.controlsChanged();
}

void Session::onHScroll1() {
    if (loadingSettings) return;
    if (controls.Check1 != 1) controls.Check1.set(1);
    model.knotShift = controls.HScroll1.value() * wf::parseNumberOrZero(controls.Textv.value()) * kKnotRangeShare *
                      geom::kMmPerInch * 0.001;
    rebuild(kRebuildLetters | kRebuildShape | kRebuildApertures | kRebuildConnection | kRebuildPaint);
    ui_.controlsChanged();
}

void Session::zoomOut() {
    engine::ViewWindow& v = model.view;
    const double hw = (v.xmax - v.xmin) / 2, hh = (v.ymax - v.ymin) / 2;
    if (hw > kMaxZoomOutHalfWidth) return paint();
    v = engine::ViewWindow{v.xmin - hw, v.xmax + hw, v.ymin - hh, v.ymax + hh};
    paint();
}

void Session::zoomIn() {
    engine::ViewWindow& v = model.view;
    const double qw = (v.xmax - v.xmin) / 4, qh = (v.ymax - v.ymin) / 4;
    if (qw < kMinZoomInQuarterWidth) return paint();
    const double cx = (v.xmin + v.xmax) / 2, cy = (v.ymin + v.ymax) / 2;
    v = engine::ViewWindow{cx - qw, cx + qw, cy - qh, cy + qh};
    paint();
}

}  // namespace shell

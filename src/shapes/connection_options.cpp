// The main window's options of the connection bar: "Contour connection", "Cut",
// "Create as one object", the width and distance boxes, their slider, "= 0" and "Apply".
#include <cmath>

#include "engine/contours.h"
#include "geom/units.h"
#include "shapes/session.h"
#include "workfile/workfile_io.h"

namespace shapes {

namespace {
constexpr double kMinConnectionWidth = 0.008;  // inches
constexpr double kWidthShare = 0.3;            // of the contour height
}  // namespace

double Session::contourHeightInches() {
    const engine::Box b = engine::contourExtents(model_);
    return (b.ymax - b.ymin) / geom::kMmPerInch;
}

void Session::resetConnectionValues() {
    std::string width = wf::formatNumber(engine::roundTo(model_.smallHeight / geom::kMmPerInch * 0.04, 4));
    if (wf::parseNumber(width) < 0.004) width = "0.004";
    controls_.Text6.set(width);
    controls_.Text5.set(" 0");
    controls_.HScroll2.set(0);
}

void Session::onConnectionChanged() {
    if (flags_.loadingSettings) return;
    controls_.Label1.visible = false;
    const bool on = controls_.Check2 == 1;
    if (on) {
        controls_.Check4.visible = true;
        if (controls_.Check5 != 1) controls_.Check5.set(1);
        if (!flags_.applyingConnection) resetConnectionValues();
    } else {
        if (controls_.Check4 != 0) controls_.Check4.set(0);
        controls_.Check4.visible = false;
    }
    controls_.Picture4 = !on;
    controls_.Frame9 = controls_.Command2 = controls_.Command4 = on;
    controls_.Text5.visible = controls_.Text6.visible = controls_.HScroll2.visible = on;
    if (!flags_.applyingConnection) {
        contourConnectionBuild();
        paint();
        showDimensionsOrReport();
    }
    ui_.controlsChanged();
}

void Session::tickConnection() {
    if (controls_.Check2 != 1) userSet(controls_.Check2, 1);
}

void Session::onCutChanged() {
    if (flags_.applyingConnection) return;
    bool spaced = false;
    for (std::size_t i = 1; i <= 250; ++i) spaced |= model_.signDistanceB[i] != 0;
    if (spaced) {
        if (!cutNoticeShown_) {
            ui_.message(">Remove empty space< activated -> Option >Cut< not avaible !", "Info", Icon::Information);
            cutNoticeShown_ = true;
        } else {
            cutNoticeShown_ = false;
        }
        if (controls_.Check4 != 0) controls_.Check4.set(0);
        ui_.controlsChanged();
        return;
    }
    contourConnectionBuild();
    paint();
    showDimensionsOrReport();
    ui_.controlsChanged();
}

void Session::onOneObjectChanged() {
    if (flags_.loadingSettings) return;
    if (controls_.Check5 == 1 || controls_.Check2 != 1) return;
    if (confirmYesNo("Create as one object", "Deactivate option >Contour connection< ?")) {
        controls_.Check2.set(0);
    } else {
        controls_.Check5.set(1);
    }
    ui_.controlsChanged();
}

void Session::applyConnectionValues() {
    // after typing into the width or the distance: one step with the typing
    const bool typed = history_.typing("connection width") || history_.typing("distance to baseline");
    userStep("connection values", [this] { takeConnectionValues(); }, typed ? Fold::Finish : Fold::None);
}

void Session::takeConnectionValues() {
    const double hc = contourHeightInches();
    const double unit = hc * 0.01;
    const double widthLimit = kWidthShare * hc;
    const double w = wf::parseNumberOrZero(controls_.Text6.value());
    if (w < kMinConnectionWidth || w > widthLimit) {
        ui_.message("Please change. >Connection width<. Range 0.008 to " +
                        wf::formatNumber(engine::roundTo(widthLimit, 4)),
                    "Contour connection", Icon::Information);
        controls_.Text6.set(" 0.008");
    }
    const double lower = engine::roundTo(-21 * unit, 4), upper = engine::roundTo(121 * unit, 4);
    const double d = wf::parseNumberOrZero(controls_.Text5.value());
    if (d < lower || d > upper) {
        ui_.message("Please change. >Distance to baseline<. Range " + wf::formatNumber(lower) + " to " +
                        wf::formatNumber(upper),
                    "Contour connection", Icon::Information);
        controls_.Text5.set(" 0");
    }
    if (controls_.Check2 != 1) controls_.Check2.set(1);
    const double present = wf::parseNumberOrZero(controls_.Text5.value());
    double pos = unit != 0 && present != 0 ? std::nearbyint(d / unit) : 0;
    ScrollBar& s = controls_.HScroll2;
    pos = std::fmin(std::fmax(pos, s.min()), s.max());
    if (pos >= s.min() && pos < s.max()) {
        flags_.applyingConnection = true;
        s.set(static_cast<std::int32_t>(pos));
        flags_.applyingConnection = false;
    }
    contourConnectionBuild();
    paint();
    ui_.controlsChanged();
}

void Session::putBarOnBaseline() {
    userStep("distance = 0", [this] {
        controls_.Text5.set(" 0");
        flags_.loadingSettings = true;
        controls_.HScroll2.set(0);
        flags_.loadingSettings = false;
        applyConnectionValues();
    });
}

void Session::onBarMoved() {
    if (flags_.loadingSettings || flags_.applyingConnection) return;
    const double unit = contourHeightInches() * 0.01;
    controls_.Text5.set(wf::formatNumber(engine::roundTo(controls_.HScroll2.value() * unit, 4)));
    contourConnectionBuild();
    paint();
    ui_.controlsChanged();
}

}  // namespace shapes

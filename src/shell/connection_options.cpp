// The main window's options of the connection bar: "Contour connection", "Cut",
// "Create as one object", the width and distance boxes, their slider, "= 0" and "Apply".
#include <cmath>

#include "engine/contours.h"
#include "geom/units.h"
#include "shell/session.h"
#include "workfile/workfile_io.h"

namespace shell {

namespace {
constexpr double kMinConnectionWidth = 0.008;  // inches
constexpr double kWidthShare = 0.3;            // of the contour height
}  // namespace

double Session::contourHeightInches() {
    const engine::Box b = engine::contourExtents(model);
    return (b.ymax - b.ymin) / geom::kMmPerInch;
}

void Session::resetConnectionValues() {
    std::string width = wf::formatNumber(engine::roundTo(model.smallHeight / geom::kMmPerInch * 0.04, 4));
    if (wf::parseNumber(width) < 0.004) width = "0.004";
    controls.Text6.set(width);
    controls.Text5.set(" 0");
    controls.HScroll2.set(0);
}

void Session::onCheck2() {
    if (loadingSettings) return;
    controls.Label1.visible = false;
    const bool on = controls.Check2 == 1;
    if (on) {
        controls.Check4.visible = true;
        if (controls.Check5 != 1) controls.Check5.set(1);
        if (!applyingConnection) resetConnectionValues();
    } else {
        if (controls.Check4 != 0) controls.Check4.set(0);
        controls.Check4.visible = false;
    }
    controls.Picture4 = !on;
    controls.Frame9 = controls.Command2 = controls.Command4 = on;
    controls.Text5.visible = controls.Text6.visible = controls.HScroll2.visible = on;
    if (!applyingConnection) {
        contourConnectionBuild();
        paint();
        showDimensionsOrReport();
    }
    ui_.controlsChanged();
}

void Session::clickPicture4() {
    if (controls.Check2 != 1) controls.Check2.set(1);
}

void Session::onCheck4() {
    if (applyingConnection) return;
    bool spaced = false;
    for (std::size_t i = 1; i <= 250; ++i) spaced |= model.signDistanceB[i] != 0;
    if (spaced) {
        if (!cutNoticeShown) {
            ui_.message(">Remove empty space< activated -> Option >Cut< not avaible !", "Info", Icon::Information);
            cutNoticeShown = true;
        } else {
            cutNoticeShown = false;
        }
        if (controls.Check4 != 0) controls.Check4.set(0);
        ui_.controlsChanged();
        return;
    }
    contourConnectionBuild();
    paint();
    showDimensionsOrReport();
    ui_.controlsChanged();
}

void Session::onCheck5() {
    if (loadingSettings) return;
    if (controls.Check5 == 1 || controls.Check2 != 1) return;
    if (confirmYesNo("Create as one object", "Deactivate option >Contour connection< ?")) {
        controls.Check2.set(0);
    } else {
        controls.Check5.set(1);
    }
    ui_.controlsChanged();
}

void Session::applyConnectionValues() {
    const double hc = contourHeightInches();
    const double unit = hc * 0.01;
    const double widthLimit = kWidthShare * hc;
    const double w = wf::parseNumberOrZero(controls.Text6.value());
    if (w < kMinConnectionWidth || w > widthLimit) {
        ui_.message("Please change. >Connection width<. Range 0.008 to " +
                        wf::formatNumber(engine::roundTo(widthLimit, 4)),
                    "Contour connection", Icon::Information);
        controls.Text6.set(" 0.008");
    }
    const double lower = engine::roundTo(-21 * unit, 4), upper = engine::roundTo(121 * unit, 4);
    const double d = wf::parseNumberOrZero(controls.Text5.value());
    if (d < lower || d > upper) {
        ui_.message("Please change. >Distance to baseline<. Range " + wf::formatNumber(lower) + " to " +
                        wf::formatNumber(upper),
                    "Contour connection", Icon::Information);
        controls.Text5.set(" 0");
    }
    if (controls.Check2 != 1) controls.Check2.set(1);
    const double present = wf::parseNumberOrZero(controls.Text5.value());
    double pos = unit != 0 && present != 0 ? std::nearbyint(d / unit) : 0;
    ScrollBar& s = controls.HScroll2;
    pos = std::fmin(std::fmax(pos, s.min()), s.max());
    if (pos >= s.min() && pos < s.max()) {
        applyingConnection = true;
        s.set(static_cast<std::int32_t>(pos));
        applyingConnection = false;
    }
    contourConnectionBuild();
    paint();
    ui_.controlsChanged();
}

void Session::clickCommand2() {
    controls.Text5.set(" 0");
    loadingSettings = true;
    controls.HScroll2.set(0);
    loadingSettings = false;
    applyConnectionValues();
}

void Session::onHScroll2() {
    if (loadingSettings || applyingConnection) return;
    const double unit = contourHeightInches() * 0.01;
    controls.Text5.set(wf::formatNumber(engine::roundTo(controls.HScroll2.value() * unit, 4)));
    contourConnectionBuild();
    paint();
    ui_.controlsChanged();
}

}  // namespace shell

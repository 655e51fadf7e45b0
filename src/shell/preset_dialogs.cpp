#include "shell/preset_dialogs.h"

#include <cmath>

#include "engine/contours.h"
#include "geom/units.h"
#include "shell/session.h"
#include "workfile/workfile_io.h"

namespace shell {

namespace {
constexpr double kOption3 = 0.1016, kOption4 = 0.0508;  // mm: 0.004 and 0.002 inch
constexpr double kDefaultMaxRadius = 8890;              // mm, 350 inches
constexpr double kOptionMatch = 0.0001;
}  // namespace

ApertureDialog::ApertureDialog(Session& session)
    : session_(session),
      lo_(engine::roundTo(session.apertureWidthMin / geom::kMmPerInch, 4)),
      hi_(engine::roundTo(session.apertureWidthMax / geom::kMmPerInch, 4)) {
    text1 = session.controls.Text4.value();
    label2 = "b= " + wf::formatNumber(lo_) + " to" + wf::formatNumber(hi_);
}

bool ApertureDialog::accept() {
    const double v = wf::parseNumberOrZero(text1);
    if (v < lo_ || v > hi_) {
        session_.ui().message("Width of apertures b: " + wf::formatNumber(lo_) + " inches to " + wf::formatNumber(hi_) +
                                  " inches !",
                              "Abort", Icon::Critical);
        return false;
    }
    closed_ = true;
    session_.controls.Text4.set(wf::formatNumber(engine::roundTo(v, 4)));
    return true;
}

PresettingDialog::PresettingDialog(Session& session) : session_(session) {
    Presets& p = session.presets;
    p.minArcRadius = 0.1;
    if (p.minArcLength == 0) p.minArcLength = kOption3;
    if (std::fabs(p.minArcLength - kOption3) < kOptionMatch) {
        option = 3;
        p.minArcLength = kOption3;
    } else if (std::fabs(p.minArcLength - kOption4) < kOptionMatch) {
        option = 4;
        p.minArcLength = kOption4;
    }
    if (!(p.maxArcRadius >= kMaxArcRadiusLow && p.maxArcRadius <= kMaxArcRadiusHigh)) p.maxArcRadius = kDefaultMaxRadius;
    text1 = wf::formatNumber(engine::roundTo(p.maxArcRadius / geom::kMmPerInch, 5));
    p.fitTolerance = 0.05;
}

bool PresettingDialog::apply() {
    const double r = wf::parseNumberOrZero(text1);
    if (!(r >= kMinRadiusInches && r <= kMaxRadiusInches)) {
        session_.ui().message(">Maximum radius< outside of value range (79 to 390) ", "Please change..", Icon::Critical);
        text1 = "390";
        return false;
    }
    Presets& p = session_.presets;
    p.maxArcRadius = r * geom::kMmPerInch;
    p.minArcRadius = 0.1;
    p.fitTolerance = 0.05;
    if (option == 3) p.minArcLength = kOption3;
    if (option == 4) p.minArcLength = kOption4;
    closed_ = true;
    try {
        writeThDat(session_.appFolder(), p);
    } catch (const std::exception&) {
        session_.ui().message(kFileAccessError, wf::kErrorTitle, Icon::Critical);
    }
    return true;
}

}  // namespace shell

#include "shapes/preset_dialogs.h"

#include <cmath>

#include "engine/contours.h"
#include "engine/presets.h"
#include "geom/units.h"
#include "shapes/session.h"
#include "workfile/workfile_io.h"

namespace shapes {

namespace {
// the shortest line or arc of Option3 ("0.004 inches") and of Option4 ("0.002 inches")
using engine::kMinArcLengthHigh;
using engine::kMinArcLengthLow;
constexpr double kOptionMatch = 0.0001;
}  // namespace

ApertureDialog::ApertureDialog(Session& session)
    : session_(session),
      lo_(engine::roundTo(session.apertureLimits().min / geom::kMmPerInch, 4)),
      hi_(engine::roundTo(session.apertureLimits().max / geom::kMmPerInch, 4)) {
    text1 = session.controls().Text4.value();
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
    session_.controls().Text4.set(wf::formatNumber(engine::roundTo(v, 4)));
    return true;
}

PresettingDialog::PresettingDialog(Session& session) : session_(session) {
    Presets& p = session.presets();
    p.minArcRadius = engine::kFixedMinArcRadius;
    if (p.minArcLength == 0) p.minArcLength = kMinArcLengthHigh;
    if (std::fabs(p.minArcLength - kMinArcLengthHigh) < kOptionMatch) {
        option = 3;
        p.minArcLength = kMinArcLengthHigh;
    } else if (std::fabs(p.minArcLength - kMinArcLengthLow) < kOptionMatch) {
        option = 4;
        p.minArcLength = kMinArcLengthLow;
    }
    if (!(p.maxArcRadius >= engine::kMaxArcRadiusLow && p.maxArcRadius <= engine::kMaxArcRadiusHigh))
        p.maxArcRadius = engine::kDefaultMaxArcRadius;
    text1 = wf::formatNumber(engine::roundTo(p.maxArcRadius / geom::kMmPerInch, 5));
    p.fitTolerance = engine::kFixedFitTolerance;
}

bool PresettingDialog::apply() {
    const double r = wf::parseNumberOrZero(text1);
    if (!(r >= kMinRadiusInches && r <= kMaxRadiusInches)) {
        session_.ui().message(">Maximum radius< outside of value range (79 to 390) ", "Please change..", Icon::Critical);
        text1 = "390";
        return false;
    }
    Presets& p = session_.presets();
    p.maxArcRadius = r * geom::kMmPerInch;
    p.minArcRadius = engine::kFixedMinArcRadius;
    p.fitTolerance = engine::kFixedFitTolerance;
    if (option == 3) p.minArcLength = kMinArcLengthHigh;
    if (option == 4) p.minArcLength = kMinArcLengthLow;
    closed_ = true;
    try {
        writeThDat(session_.appFolder(), p);
    } catch (const std::exception&) {
        session_.ui().fileError(kFileAccessError, wf::kErrorTitle);
    }
    return true;
}

}  // namespace shapes

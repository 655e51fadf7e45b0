#include "shapes/dimension_dialog.h"

#include <stdexcept>

#include "engine/contours.h"
#include "geom/units.h"
#include "shapes/session.h"
#include "workfile/workfile_io.h"

namespace shapes {

namespace {

using geom::kMmPerInch;
constexpr double kMaxRatio = 6;
constexpr double kHMaxFactor = 0.8;  // H(max) over the height h plus half the width to come

const DialogForm kForms[kShapeCount] = {
    {"form12", DialogKind::Single, 0.32, false}, {"form13", DialogKind::Ratio, 0.32, false},
    {"form14", DialogKind::Ratio, 0.32, false},  {"form23", DialogKind::Ratio, 0.32, true},
    {"form17", DialogKind::HMax, 0.32, false},   {"form18", DialogKind::HMax, 0.32, false},
    {"form19", DialogKind::HMax, 0.32, false},   {"form20", DialogKind::HMax, 0.32, false},
    {"form15", DialogKind::Ratio, 0.32, true},   {"form21", DialogKind::HMax, 0.32, false},
    {"form25", DialogKind::HMax, 0.16, false},   {"form31", DialogKind::Ratio, 0.32, false},
    {"form30", DialogKind::Ratio, 0.32, false},  {"form33", DialogKind::HMax, 0.32, false},
    {"form34", DialogKind::HMax, 0.32, false},   {"form35", DialogKind::HMax, 0.32, false},
    {"form36", DialogKind::Ratio, 0.32, true},   {"form37", DialogKind::Ratio, 0.32, true},
    {"form38", DialogKind::Ratio, 0.32, true},   {"form39", DialogKind::Ratio, 0.32, true},
};

// a text that does not parse reads as 0
double typed(const std::string& text) { return wf::parseNumberOrZero(text); }

std::string shown(double mm) { return wf::formatNumber(engine::roundTo(mm / kMmPerInch, 4)); }

}  // namespace

const DialogForm& dialogForm(int shape) {
    if (shape < 0 || shape >= kShapeCount) throw std::out_of_range("no such shape");
    return kForms[shape];
}

DimensionDialog::DimensionDialog(Session& session, int shape)
    : session_(session), shape_(shape), form_(dialogForm(shape)) {}

void DimensionDialog::activate() {
    const engine::Model& m = session_.model();
    if (form_.kind == DialogKind::HMax) label4.clear();
    if (!twoHeights()) {
        if (m.smallHeight != 0) text1 = shown(m.smallHeight);
        return;
    }
    if (m.bigHeight != 0) text1 = shown(m.bigHeight);
    if (m.smallHeight != 0) text2 = shown(m.smallHeight);
}

bool DimensionDialog::refuse(const char* text, const char* title, bool critical) {
    session_.ui().message(text, title, critical ? Icon::Critical : Icon::Information);
    return false;
}

bool DimensionDialog::accept() {
    // the heights in force stay untouched until every check has passed
    const double oldSmall = session_.model().smallHeight / kMmPerInch;
    const double small = twoHeights() ? typed(text2) : typed(text1);
    const double big = twoHeights() ? typed(text1) : 0;

    const auto inRange = [&](double v) { return v >= form_.lowerBound && v <= kUpperBoundInches; };
    if (!inRange(small) || (twoHeights() && !inRange(big)))
        return refuse(shape_ == 10 ? "Height: 0.16 to 39. Please change !" : "Height: 0.32 to 39. Please change !",
                      "Error", true);
    if (twoHeights() && big <= small)
        return refuse("The height H must be greater than the height h. Please change !", "Info", true);

    if (form_.kind == DialogKind::Ratio && big / small > kMaxRatio)
        return refuse("Maximum ratio H/h =6. Please change H or h !", "Info", true);
    if (form_.kind == DialogKind::HMax) {
        const double scale = oldSmall == 0 ? 0 : small / oldSmall;
        const double a = engine::roundTo(typed(session_.controls().Textv) * scale * 0.5, 3);
        double hmax = engine::roundTo((small + a) * kHMaxFactor, 3);
        if (hmax < kUpperBoundInches) {
            label4 = "H(max)=" + wf::formatNumber(hmax);
        } else {
            hmax = kUpperBoundInches;
            label4 = "H(max)= 39";
        }
        if (big > hmax) return refuse("Please reduce the value H !", "Info", false);
    }

    session_.model().smallHeight = small * kMmPerInch;
    if (twoHeights()) session_.model().bigHeight = big * kMmPerInch;
    session_.model().shapeNumber = static_cast<std::int16_t>(shape_);
    session_.rebuild(kRebuildLetters | kRebuildShape);
    accepted_ = closed_ = true;
    return true;
}

}  // namespace shapes

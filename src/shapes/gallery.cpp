// The gallery of the twenty shapes: a click opens the shape's dimension dialog and then
// brings the rest of the state in line with what was chosen.
#include "engine/shape.h"
#include "shapes/dimension_dialog.h"
#include "shapes/session.h"
#include "shapes/shape_words.h"
#include "workfile/workfile_io.h"

namespace shapes {

namespace {
constexpr double kMinStartHeight = 8.128;   // 0.32 inches
constexpr double kMaxStartHeight = 990.6;   // 39 inches
constexpr double kDefaultBigHeight = 127.0;  // 5 inches
constexpr double kDefaultSmallHeight = 101.6;
}  // namespace

void Session::chooseShape(int shape) {
    (void)dialogForm(shape);  // 0..19 only
    userStep(std::string("shape ") + shapeWords(shape).name, [&] { pickShape(shape); });
}

void Session::pickShape(int shape) {
    const int prevShape = model_.shapeNumber;
    const double prevSmall = model_.smallHeight, prevBig = model_.bigHeight;

    if (shape != 0 && wf::characters(model_.groundText).size() < 2) {
        ui_.message("More character for this shape required. You need 2 signs.", "Exit", Icon::Critical);
        return;
    }
    double& h = model_.smallHeight;
    double& H = model_.bigHeight;
    const bool keep = (H > h && h >= kMinStartHeight && H <= kMaxStartHeight) ||
                      (shape == prevShape && h >= kMinStartHeight && H >= kMinStartHeight);
    if (!keep) {
        H = kDefaultBigHeight;
        h = kDefaultSmallHeight;
    }

    DimensionDialog dialog(*this, shape);
    ui_.runDialog(dialog);
    // A cancelled dialog changes nothing: the starting values it was offered are withdrawn,
    // so cancelling never costs the user the letter spacing.
    if (!dialog.accepted()) {
        h = prevSmall;
        H = prevBig;
    }

    const bool hadSignDistances = anySignDistance(model_);
    if (model_.shapeNumber == prevShape && h == prevSmall && H == prevBig) return fitAndRedraw();

    if (hadSignDistances) {
        ui_.message("Delete existing sign distances /Menu: Sign distance d/ !", "Info", Icon::Information);
        clearSignDistances(model_);
        rebuild(kRebuildLetters | kRebuildShape);
    }
    if (!model_.bridges.empty()) limitApertureWidth();
    if (controls_.Check2 == 1) {
        if (h != prevSmall || H != prevBig) resetConnectionValues();
        contourConnectionBuild();
    }
    const bool knot = engine::shapeHasKnot(model_.shapeNumber);
    controls_.Frame11 = knot;
    controls_.HScroll1.visible = knot;
    if (knot) controls_.HScroll1.set(0);
    fitAndRedraw();
    ui_.controlsChanged();
}

}  // namespace shapes

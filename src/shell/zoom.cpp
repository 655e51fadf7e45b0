// Zooming the preview with the mouse: a left click halves the view about the pointer, a right
// click widens it 2.2 times, and the wheel does the same over any picture of the main window.
#include "geom/geom.h"
#include "shell/session.h"

namespace shell {

namespace {
constexpr double kMinZoomInWidth = 1.0;   // mm: a narrower view is not zoomed in
constexpr double kMinZoomInHalf = 0.25;   // mm
constexpr double kMaxZoomOutHalf = 50000;  // mm
constexpr double kZoomPause = 0.1;         // s, after each step
}  // namespace

void Session::mouseMove(double x, double y) {
    mouseX = x;
    mouseY = y;
}

void Session::mouseDown(int button, double x, double y) {
    mouseMove(x, y);
    if (button == kLeftButton) makezoom1();
    if (button == kRightButton) makezoom2();
}

void Session::makezoom1() {
    engine::ViewWindow& v = model.view;
    double wx, wy;
    geom::ersatz1(mouseX, mouseY, wx, wy, v.xmin, v.xmax, v.ymin, v.ymax);
    if (v.xmax - v.xmin < kMinZoomInWidth) return;
    const double dx = 0.25 * (v.xmax - v.xmin), dy = 0.25 * (v.ymax - v.ymin);
    if (dx >= kMinZoomInHalf) v = engine::ViewWindow{wx - dx, wx + dx, wy - dy, wy + dy};
    paint();
    ui_.pause(kZoomPause);
}

void Session::makezoom2() {
    engine::ViewWindow& v = model.view;
    double wx, wy;
    geom::ersatz1(mouseX, mouseY, wx, wy, v.xmin, v.xmax, v.ymin, v.ymax);
    const double dx = 1.1 * (v.xmax - v.xmin), dy = 1.1 * (v.ymax - v.ymin);
    if (dx <= kMaxZoomOutHalf) v = engine::ViewWindow{wx - dx, wx + dx, wy - dy, wy + dy};
    paint();
    ui_.pause(kZoomPause);
}

void Session::mausanr() { wheelHookInstalled = true; }
void Session::mausaus() { wheelHookInstalled = false; }

bool Session::mausrad(int rotation, bool overVisiblePicture) {
    if (!wheelHookInstalled || !overVisiblePicture) return false;
    if (rotation < 1)
        makezoom2();
    else
        makezoom1();
    return true;
}

}  // namespace shell

#include "shapes/zoom.h"

#include "geom/geom.h"
#include "shapes/ui.h"

namespace shapes {

namespace {
constexpr double kMinZoomInWidth = 1.0;   // mm: a narrower view is not zoomed in about the pointer
constexpr double kMinZoomInHalf = 0.25;   // mm
constexpr double kMaxZoomOutHalf = 50000;  // mm
constexpr double kZoomPause = 0.1;         // s, after each step of the mouse or wheel
constexpr double kMaxZoomOutHalfWidth = 50000;  // mm, the zoom pictures
constexpr double kMinZoomInQuarterWidth = 2.5;  // mm, the zoom pictures
}  // namespace

ViewZoom::ViewZoom(engine::ViewWindow& view, Ui& ui, std::function<void()> redraw)
    : view_(view), ui_(ui), redraw_(std::move(redraw)) {}

void ViewZoom::zoomOut() {
    engine::ViewWindow& v = view_;
    const double hw = (v.xmax - v.xmin) / 2, hh = (v.ymax - v.ymin) / 2;
    if (hw <= kMaxZoomOutHalfWidth) v = engine::ViewWindow{v.xmin - hw, v.xmax + hw, v.ymin - hh, v.ymax + hh};
    redraw_();
}

void ViewZoom::zoomIn() {
    engine::ViewWindow& v = view_;
    const double qw = (v.xmax - v.xmin) / 4, qh = (v.ymax - v.ymin) / 4;
    if (qw >= kMinZoomInQuarterWidth) {
        const double cx = (v.xmin + v.xmax) / 2, cy = (v.ymin + v.ymax) / 2;
        v = engine::ViewWindow{cx - qw, cx + qw, cy - qh, cy + qh};
    }
    redraw_();
}

void ViewZoom::mouseMove(double x, double y) {
    mouseX_ = x;
    mouseY_ = y;
}

void ViewZoom::mouseDown(int button, double x, double y) {
    mouseMove(x, y);
    if (button == kLeftButton) zoomInAtPointer();
    if (button == kRightButton) zoomOutAtPointer();
}

void ViewZoom::zoomInAtPointer() {
    engine::ViewWindow& v = view_;
    const geom::Point w = geom::fromPicture({mouseX_, mouseY_}, v.xmin, v.xmax, v.ymin, v.ymax);
    const double wx = w.x, wy = w.y;
    if (v.xmax - v.xmin < kMinZoomInWidth) return;
    const double dx = 0.25 * (v.xmax - v.xmin), dy = 0.25 * (v.ymax - v.ymin);
    if (dx >= kMinZoomInHalf) v = engine::ViewWindow{wx - dx, wx + dx, wy - dy, wy + dy};
    redraw_();
    ui_.pause(kZoomPause);
}

void ViewZoom::zoomOutAtPointer() {
    engine::ViewWindow& v = view_;
    const geom::Point w = geom::fromPicture({mouseX_, mouseY_}, v.xmin, v.xmax, v.ymin, v.ymax);
    const double wx = w.x, wy = w.y;
    const double dx = 1.1 * (v.xmax - v.xmin), dy = 1.1 * (v.ymax - v.ymin);
    if (dx <= kMaxZoomOutHalf) v = engine::ViewWindow{wx - dx, wx + dx, wy - dy, wy + dy};
    redraw_();
    ui_.pause(kZoomPause);
}

void ViewZoom::panStart(double x, double y) {
    panning_ = true;
    panX_ = x;
    panY_ = y;
    mouseMove(x, y);
}

void ViewZoom::panTo(double x, double y) {
    mouseMove(x, y);
    if (!panning_ || (x == panX_ && y == panY_)) return;
    engine::ViewWindow& v = view_;
    const geom::Point from = geom::fromPicture({panX_, panY_}, v.xmin, v.xmax, v.ymin, v.ymax);
    const geom::Point to = geom::fromPicture({x, y}, v.xmin, v.xmax, v.ymin, v.ymax);
    const double dx = from.x - to.x, dy = from.y - to.y;
    v = engine::ViewWindow{v.xmin + dx, v.xmax + dx, v.ymin + dy, v.ymax + dy};
    panX_ = x;
    panY_ = y;
    redraw_();
}

void ViewZoom::hookWheel() { wheelHook_ = true; }
void ViewZoom::unhookWheel() { wheelHook_ = false; }

bool ViewZoom::onWheel(int rotation, bool overVisiblePicture) {
    if (!wheelHook_ || !overVisiblePicture) return false;
    if (rotation < 1)
        zoomOutAtPointer();
    else
        zoomInAtPointer();
    return true;
}

}  // namespace shapes

// The preview's view window and how the user moves it: the zoom pictures halve and double it
// about its centre; a left click halves it about the pointer, a right click widens it 2.2
// times, and the wheel does the same over any picture of the main window. The middle button
// (or Space with the left one) drags the view: a pan keeps the size and moves the letters with
// the pointer.
#pragma once

#include <functional>

#include "engine/model.h"

namespace shapes {

class Ui;

class ViewZoom {
public:
    static constexpr int kLeftButton = 1, kRightButton = 2;

    // `view`: the window the preview shows; `redraw`: draws the preview again
    ViewZoom(engine::ViewWindow& view, Ui& ui, std::function<void()> redraw);

    void zoomIn();   // Picture17
    void zoomOut();  // Picture11

    // (x, y) in picture coordinates of the preview
    void mouseMove(double x, double y);
    void mouseDown(int button, double x, double y);
    void zoomInAtPointer();   // the view halved about the pointer (a left click)
    void zoomOutAtPointer();  // the view widened 2.2 times about it (a right click)

    // a pan: started at (x, y); each move after it keeps the point under the pointer under it
    void panStart(double x, double y);
    void panTo(double x, double y);
    void panEnd() { panning_ = false; }
    bool panning() const { return panning_; }

    void hookWheel();    // the wheel reaches the preview from now on
    void unhookWheel();  // no longer
    bool wheelHooked() const { return wheelHook_; }
    // a wheel turn; it zooms when the hook is on and the pointer is over a visible picture of
    // the main window. True when it zoomed.
    bool onWheel(int rotation, bool overVisiblePicture);

private:
    engine::ViewWindow& view_;
    Ui& ui_;
    std::function<void()> redraw_;
    double mouseX_ = 0, mouseY_ = 0;
    bool wheelHook_ = false;
    bool panning_ = false;
    double panX_ = 0, panY_ = 0;  // where the pointer was at the last step of the pan
};

}  // namespace shapes

#include "shapes/zoom.h"

#include <gtest/gtest.h>

#include <array>

#include "shapes/ui.h"

using namespace shapes;

namespace {

// a view window on its own, with a port that counts the pauses and a count of the redraws
struct Zooming {
    struct PausingUi : HeadlessUi {
        int pauses = 0;
        void pause(double) override { ++pauses; }
    } ui;
    engine::ViewWindow v{0, 64, 0, 48};
    int redraws = 0;
    ViewZoom zoom{v, ui, [this] { ++redraws; }};
    std::array<double, 4> win() const { return {v.xmin, v.xmax, v.ymin, v.ymax}; }
};

}  // namespace

// The pictures halve and double about the centre; a window narrower than 10 mm is not zoomed
// in, one wider than 100000 mm not out; either way the preview is drawn again.
TEST(ViewZoom, PicturesHalveAndDoubleAboutTheCentreWithinTheLimits) {
    Zooming z;
    z.v = {0, 40, 10, 30};
    z.zoom.zoomIn();
    EXPECT_EQ(z.win(), (std::array<double, 4>{10, 30, 15, 25}));
    z.zoom.zoomOut();
    EXPECT_EQ(z.win(), (std::array<double, 4>{0, 40, 10, 30}));
    z.v = {0, 9.9, 0, 5};
    z.zoom.zoomIn();
    EXPECT_DOUBLE_EQ(z.v.xmax, 9.9);
    z.v = {0, 10, 0, 5};
    z.zoom.zoomIn();
    EXPECT_DOUBLE_EQ(z.v.xmax - z.v.xmin, 5);
    z.v = {0, 100001, 0, 5};
    z.zoom.zoomOut();
    EXPECT_DOUBLE_EQ(z.v.xmax, 100001);
    EXPECT_EQ(z.redraws, 5);
    EXPECT_EQ(z.ui.pauses, 0);
}

// A left click halves the window about the pointer, a right click widens it 2.2 times; each
// step redraws and pauses, but a window narrower than 1 mm is left without either.
TEST(ViewZoom, MouseZoomsAboutThePointer) {
    Zooming z;
    z.zoom.mouseMove(160, 120);  // a quarter in from the top left: model point (16, 36)
    z.zoom.mouseDown(ViewZoom::kLeftButton, 160, 120);
    EXPECT_EQ(z.win(), (std::array<double, 4>{0, 32, 24, 48}));
    z.zoom.mouseDown(ViewZoom::kRightButton, 320, 240);  // the centre (16, 36), 2.2 times as wide
    EXPECT_DOUBLE_EQ(z.v.xmax - z.v.xmin, 32 * 2.2);
    EXPECT_DOUBLE_EQ((z.v.xmin + z.v.xmax) / 2, 16);
    EXPECT_EQ(std::make_pair(z.redraws, z.ui.pauses), std::make_pair(2, 2));

    z.v = {0, 0.9, 0, 0.5};
    z.zoom.zoomInAtPointer();
    EXPECT_DOUBLE_EQ(z.v.xmax, 0.9);
    EXPECT_EQ(std::make_pair(z.redraws, z.ui.pauses), std::make_pair(2, 2));
    z.v = {0, 45455, 0, 100};  // 1.1 x width beyond 50000: kept, but drawn
    z.zoom.zoomOutAtPointer();
    EXPECT_DOUBLE_EQ(z.v.xmax, 45455);
    EXPECT_EQ(z.redraws, 3);
}

// The wheel: forward zooms in once, backward out once; nothing without the hook or a picture.
TEST(ViewZoom, WheelZoomsOnlyWhileHookedOverAPicture) {
    Zooming z;
    EXPECT_FALSE(z.zoom.onWheel(120, true));  // not hooked before the start-up hooks it
    z.zoom.hookWheel();
    EXPECT_FALSE(z.zoom.onWheel(120, false));
    EXPECT_TRUE(z.zoom.onWheel(120, true));
    EXPECT_DOUBLE_EQ(z.v.xmax - z.v.xmin, 32);
    EXPECT_TRUE(z.zoom.onWheel(-120, true));
    EXPECT_DOUBLE_EQ(z.v.xmax - z.v.xmin, 32 * 2.2);
    z.zoom.unhookWheel();
    z.zoom.unhookWheel();
    EXPECT_FALSE(z.zoom.wheelHooked());
    EXPECT_FALSE(z.zoom.onWheel(120, true));
    EXPECT_DOUBLE_EQ(z.v.xmax - z.v.xmin, 32 * 2.2);
}

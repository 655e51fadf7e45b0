// The preview's zoom and pan, the millimetres beside the inches, and the Info menu's documents.
#include <gtest/gtest.h>

#include <array>

#include "shapes/inches_shown.h"
#include "shapes/started.h"
#include "shapes/zoom.h"

using namespace shapes;
using namespace testsupport;

// The pictures halve and double about the centre; the mouse halves about the pointer (left)
// or widens 2.2 times (right) and pauses; each within its limits, drawn again either way; the
// wheel zooms the same ways, forward in and backward out.
TEST(ViewZoom, PicturesMouseAndWheelWithinTheLimits) {
    struct PausingUi : HeadlessUi {
        int pauses = 0;
        void pause(double) override { ++pauses; }
    } ui;
    engine::ViewWindow v{0, 40, 10, 30};
    int redraws = 0;
    ViewZoom zoom{v, ui, [&] { ++redraws; }};
    const auto win = [&] { return std::array<double, 4>{v.xmin, v.xmax, v.ymin, v.ymax}; };
    const auto width = [&] { return v.xmax - v.xmin; };
    zoom.zoomIn();
    EXPECT_EQ(win(), (std::array<double, 4>{10, 30, 15, 25}));
    zoom.zoomOut();
    EXPECT_EQ(win(), (std::array<double, 4>{0, 40, 10, 30}));
    const struct {
        engine::ViewWindow from;
        void (ViewZoom::*step)();
        double width;
    } limits[] = {{{0, 9.9, 0, 5}, &ViewZoom::zoomIn, 9.9},         {{0, 10, 0, 5}, &ViewZoom::zoomIn, 5},
                  {{0, 100001, 0, 5}, &ViewZoom::zoomOut, 100001},  {{0, 0.9, 0, 0.5}, &ViewZoom::zoomInAtPointer, 0.9},
                  {{0, 45455, 0, 100}, &ViewZoom::zoomOutAtPointer, 45455}};
    for (const auto& l : limits) {
        v = l.from;
        (zoom.*l.step)();
        EXPECT_DOUBLE_EQ(width(), l.width) << l.from.xmax;
    }
    EXPECT_EQ(std::make_pair(redraws, ui.pauses), std::make_pair(6, 1));  // a window under 1 mm: neither

    v = {0, 64, 0, 48};
    zoom.mouseMove(160, 120);  // a quarter in from the top left: model point (16, 36)
    zoom.mouseDown(ViewZoom::kLeftButton, 160, 120);
    EXPECT_EQ(win(), (std::array<double, 4>{0, 32, 24, 48}));
    zoom.mouseDown(ViewZoom::kRightButton, 320, 240);  // the centre (16, 36), 2.2 times as wide
    EXPECT_DOUBLE_EQ(width(), 32 * 2.2);
    EXPECT_DOUBLE_EQ((v.xmin + v.xmax) / 2, 16);
    EXPECT_EQ(std::make_pair(redraws, ui.pauses), std::make_pair(8, 3));

    const double w = width();  // the wheel: only while hooked and over a picture
    EXPECT_FALSE(zoom.onWheel(120, true));  // not hooked before the start-up hooks it
    zoom.hookWheel();
    EXPECT_FALSE(zoom.onWheel(120, false));
    EXPECT_TRUE(zoom.onWheel(120, true));  // forward: in once
    EXPECT_DOUBLE_EQ(width(), w / 2);
    EXPECT_TRUE(zoom.onWheel(-120, true));  // backward: out once
    EXPECT_DOUBLE_EQ(width(), w / 2 * 2.2);
    zoom.unhookWheel();
    EXPECT_FALSE(zoom.onWheel(120, true));
    EXPECT_DOUBLE_EQ(width(), w / 2 * 2.2);
}

// A pan keeps the view's size, moves the letters with the pointer and is no step of undo.
TEST(ViewZoom, PanMovesTheViewWithThePointer) {
    Started p;
    const engine::ViewWindow v = p.m().view;
    const double w = v.xmax - v.xmin, h = v.ymax - v.ymin;
    p.s->zoom().panTo(100, 100);  // no pan started: nothing moves
    p.s->zoom().panStart(320, 240);
    p.s->zoom().panTo(384, 288);  // a tenth of the picture right and down
    p.s->zoom().panEnd();
    const engine::ViewWindow& now = p.m().view;
    EXPECT_NEAR(now.xmin, v.xmin - w / 10, 1e-9);
    EXPECT_NEAR(now.xmax, v.xmax - w / 10, 1e-9);
    EXPECT_NEAR(now.ymin, v.ymin + h / 10, 1e-9);
    EXPECT_NEAR(now.ymax, v.ymax + h / 10, 1e-9);
    EXPECT_FALSE(p.s->history().canUndo());
}

TEST(InchesShown, EachBoxSaysInAndItsMillimetres) {
    const struct {
        const char *typed, *shown;
    } cases[] = {
        {"5", "in = 127 mm"},    {" .08", "in = 2.03 mm"},   {"0.32", "in = 8.13 mm"}, {"39", "in = 990.6 mm"},
        {"0.004", "in = 0.102 mm"}, {"-0.25", "in = -6.35 mm"}, {"0", "in = 0 mm"},       {"", "in"},
        {"5.", "in = 127 mm"},   {"5 in", "in"},             {"abc", "in"},            {"1e400", "in"},
    };
    for (const auto& c : cases) EXPECT_EQ(inchesBeside(c.typed), c.shown) << '"' << c.typed << '"';
    EXPECT_EQ(rangeInMillimetres(0.32, 39), "in = 8.13 to 990.6 mm");
}

// Help documents are looked for beside the programs, not among the work files (what is said
// when one does not open is the suite's own).
TEST(Menus, HelpDocumentsBesideThePrograms) {
    Started b;
    std::ofstream(b.t.path() / "main.pdf") << "%PDF";
    std::ofstream(b.t.work("menu1.pdf")) << "%PDF";
    b.s->openHelp("main.pdf");
    b.s->openHelp("menu1.pdf");
    EXPECT_EQ(b.ui().documents, std::vector<std::string>{b.s->appFolder() + "main.pdf"});
    ASSERT_EQ(b.ui().messages.size(), 1u);
    EXPECT_EQ(b.ui().messages[0].text, suite::helpNotOpenedText(b.s->appFolder() + "menu1.pdf", "menu1.pdf"));
    EXPECT_EQ(b.ui().messages[0].icon, Icon::None);
}

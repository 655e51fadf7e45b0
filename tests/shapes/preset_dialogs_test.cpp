#include <gtest/gtest.h>

#include "shapes/preset_dialogs.h"
#include "shapes/session.h"
#include "workfile/workfile_io.h"
#include "support/bare_session.h"

using namespace shapes;
using namespace testsupport;

using Bare = BareSession;

TEST(ApertureDialog, AcceptsTheRoundedLimitsAndRefusesBeyond) {
    Bare b;  // the limits as a resumed start brings them
    writeStv2b(b.t.path(), SavedState{.apertureWidthMin = 0.1016, .apertureWidthMax = 4.0005});  // 0.15750 inch
    b.s.restoreSavedState();
    ApertureDialog d(b.s);
    EXPECT_EQ(d.label2, "b=  .004 to .1575");
    EXPECT_EQ(d.text1, "0.08");
    for (const char* edge : {" .004", "0.1575", "0.12345"}) {
        ApertureDialog e(b.s);
        e.text1 = edge;
        EXPECT_TRUE(e.accept()) << edge;
        EXPECT_TRUE(e.closed());
    }
    EXPECT_EQ(b.s.controls().Text4.value(), " .1235");  // taken rounded to 4 decimals
    EXPECT_TRUE(b.ui.messages.empty());
    for (const char* out : {"0.0039", "0.1576", "b"}) {
        ApertureDialog e(b.s);
        e.text1 = out;
        EXPECT_FALSE(e.accept()) << out;
        EXPECT_FALSE(e.closed());
    }
    ASSERT_EQ(b.ui.messages.size(), 3u);
    EXPECT_EQ(b.ui.messages[0].text, "Width of apertures b:  .004 inches to  .1575 inches !");
    EXPECT_EQ(b.ui.messages[0].title, "Abort");
    EXPECT_EQ(b.s.controls().Text4.value(), " .1235");
}

TEST(PresettingDialog, RadiusRangeOptionsAndTheStoredPresets) {
    Bare b;
    b.s.presets().minArcLength = 0.05;  // neither option
    b.s.presets().maxArcRadius = 1999;  // out of range: the default 350 inches
    PresettingDialog d(b.s);
    EXPECT_EQ(d.option, 0);
    EXPECT_EQ(d.text1, " 350");
    d.text1 = "390.0001";
    EXPECT_FALSE(d.apply());
    EXPECT_EQ(d.text1, "390");
    EXPECT_EQ(b.ui.messages.back().text, ">Maximum radius< outside of value range (79 to 390) ");
    EXPECT_EQ(b.ui.messages.back().title, "Please change..");
    EXPECT_TRUE(d.apply());  // 390 itself
    EXPECT_DOUBLE_EQ(b.s.presets().maxArcRadius, 390 * 25.4);
    EXPECT_EQ(b.s.presets().minArcLength, 0.05);  // kept: no option chosen
    const auto th = wf::splitLines(b.t.read("th.dat"));
    EXPECT_FALSE(th.empty());

    b.s.presets().minArcLength = 0.05085;  // within 0.0001 of 0.002 inch
    PresettingDialog e(b.s);
    EXPECT_EQ(e.option, 4);
    EXPECT_EQ(e.text1, " 390");
    e.option = 3;
    e.text1 = "79";
    EXPECT_TRUE(e.apply());
    EXPECT_DOUBLE_EQ(b.s.presets().minArcLength, 0.1016);
    EXPECT_DOUBLE_EQ(b.s.presets().maxArcRadius, 79 * 25.4);
}

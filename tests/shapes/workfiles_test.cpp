#include <gtest/gtest.h>

#include <tuple>

#include "workfile/workfile_io.h"
#include "shapes/workfiles.h"
#include "support/temp_folder.h"

using namespace shapes;
using namespace testsupport;

// The work files shared with the sibling programs, as each of them reads them.

// The bytes of hl.dat, c3.dat and orgdim.dat as the later stage reads them; shap.dat's variant.
TEST(HandOverFiles, BridgeTableSummaryAndOneObjectFlag) {
    TempFolder t;
    engine::Model m;
    writeHlDat(t.path(), m);
    EXPECT_EQ(t.read("hl.dat"), " 0\r\n");
    m.bridges.push(engine::Bridge{1, 0.5, -2, 10, 25.4, 1, 20});
    m.bridges.push(engine::Bridge{2, 1e-7, 0, -1000, 101.6, 2, 20});
    writeHlDat(t.path(), m);
    EXPECT_EQ(t.read("hl.dat"), crlf({" 2", " 1", " .5", "-2", " 10", " 25.4", " 2", " 1E-07", " 0", "-1000", " 101.6"}));
    writeC3Dat(t.path(), 101.6 / 200, " .08", 101.6);
    EXPECT_EQ(t.read("c3.dat"), crlf({" .508", "1", " .08", " 0", " 101.6", " 101.6"}));
    writeOrgdim(t.path(), true);
    EXPECT_EQ(t.read("orgdim.dat"), "1\r\n");
    EXPECT_TRUE(readOrgdim(t.path()));
    writeOrgdim(t.path(), false);
    EXPECT_FALSE(readOrgdim(t.path()));

    t.write("shap.dat", crlf({"0", "2.5"}));
    EXPECT_EQ(readShapDatVariant(t.path()), 2);
    t.write("shap.dat", "1\r\n");  // too short, then missing
    EXPECT_THROW(readShapDatVariant(t.path()), fault::FileFault);
    std::filesystem::remove(t.work("shap.dat"));
    EXPECT_THROW(readShapDatVariant(t.path()), fault::FileFault);
}

// Without workfiles/ the writers fail and leave nothing behind; the readers keep their defaults.
TEST(HandOverFiles, WritersFailWithoutTheFolderAndLeaveNoTrace) {
    TempFolder t(false);
    EXPECT_THROW(writeHlDat(t.path(), engine::Model{}), fault::FileFault);
    EXPECT_THROW(writeC3Dat(t.path(), 1, "x", 1), fault::FileFault);
    EXPECT_THROW(writeStv2b(t.path(), SavedState{}), fault::FileFault);
    EXPECT_THROW(writeThDat(t.path(), Presets{}), fault::FileFault);
    EXPECT_EQ(readTopDat(t.path()).top, -1);
    EXPECT_EQ(readThDat(t.path()).maxArcRadius, 8890);
    probeWorkfileDcc(t.path());  // silent, and makes no folder
    EXPECT_TRUE(std::filesystem::is_empty(t.path()));
}

// workfile.dcc is made empty when it is missing, and left as it is when it is there.
TEST(HandOverFiles, WorkfileDccIsOnlyProbed) {
    TempFolder t;
    probeWorkfileDcc(t.path());
    EXPECT_TRUE(t.exists("workfile.dcc"));
    EXPECT_EQ(t.read("workfile.dcc"), "");
    t.write("workfile.dcc", "kept\r\n");
    probeWorkfileDcc(t.path());
    EXPECT_EQ(t.read("workfile.dcc"), "kept\r\n");
}

// th.dat: values outside their ranges fall back to the defaults; line 1 is kept on rewriting.
TEST(WorkFiles, ThDatRangesAndRewrite) {
    struct Case {
        const char *minLen, *maxRad;
        double expMin, expMax;
    } cases[] = {{" .0508", " 10000", 0.0508, 10000}, {" .05", " 1999", 0.1016, 8890},
                 {" .1016", " 2000", 0.1016, 2000},   {" .1017", " 10000.5", 0.1016, 8890},
                 {" .07", " 5000", 0.07, 5000},       {"x", "", 0.1016, 8890}};
    TempFolder t;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.minLen) + "|" + c.maxRad);
        t.write("th.dat", crlf({"first line", c.minLen, c.maxRad, " 7", " 9"}));
        const Presets p = readThDat(t.path());
        EXPECT_EQ(p.minArcLength, c.expMin);
        EXPECT_EQ(p.maxArcRadius, c.expMax);
        EXPECT_EQ(p.minArcRadius, 0.1);
        EXPECT_EQ(p.fitTolerance, 0.05);
    }
    writeThDat(t.path(), readThDat(t.path()));
    EXPECT_EQ(t.read("th.dat"), crlf({"first line", " .1016", " 8890", " .1", " .05"}));
    t.write("th.dat", "abc\r\n");  // long enough, but line 3 is missing: all defaults
    EXPECT_EQ(readThDat(t.path()).maxArcRadius, 8890);
    writeThDat(t.path(), Presets{.minArcLength = 0.07, .maxArcRadius = 5000});
    EXPECT_EQ(t.read("th.dat"), crlf({"abc", " .07", " 5000", " .1", " .05"}));
    t.write("th.dat", "");
    writeThDat(t.path(), Presets{});
    EXPECT_EQ(t.read("th.dat"), crlf({"", " .1016", " 8890", " .1", " .05"}));
}


// stv2b.dat read back where it is written: every field as written, and a file cut short gives
// the lines it still holds and no more.
TEST(SavedStateFile, ReadsWhatWasWrittenAndStopsWhereTheFileEnds) {
    TempFolder t;
    SavedState s;
    s.shapeNumber = 17;
    s.smallHeight = 50.8;
    s.bigHeight = 152.4;
    s.apertureWidthMin = 0.02;
    s.apertureWidthMax = 0.3;
    s.signDistanceA[0] = 1.25;
    s.signDistanceB[255] = -3.5;
    s.check1 = false;
    s.check2 = s.check4 = s.check3 = true;
    s.text4 = " .1";
    s.text5 = "2";
    s.text6 = "-1.5";
    s.hscroll2 = -40;
    s.frame11Visible = true;
    s.hscroll1 = 333;
    writeStv2b(t.path(), s);
    const Stv2bRead whole = readStv2b(t.path());
    ASSERT_TRUE(whole.present);
    EXPECT_EQ(whole.fields, kStv2bLines);
    const SavedState& r = whole.state;
    EXPECT_EQ(r.shapeNumber, 17);
    EXPECT_EQ(r.bigHeight, 152.4);
    EXPECT_EQ(r.apertureWidthMax, 0.3);
    EXPECT_EQ(r.signDistanceA[0], 1.25);
    EXPECT_EQ(r.signDistanceB[255], -3.5);
    EXPECT_EQ(std::tuple(r.check1, r.check2, r.check4, r.check3), std::tuple(false, true, true, true));
    EXPECT_EQ(std::tuple(r.text4, r.text5, r.text6), std::tuple(std::string(" .1"), std::string("2"), std::string("-1.5")));
    EXPECT_EQ(std::tuple(r.hscroll2, r.frame11Visible, r.hscroll1), std::tuple(-40, true, 333));

    const std::vector<std::string> lines = wf::splitLines(t.read("stv2b.dat"));
    for (const int kept : {1, 6, kStv2bCheck1 + 2, kStv2bLines - 1}) {
        std::string cut;
        for (int i = 0; i < kept; ++i) cut += lines[static_cast<std::size_t>(i)] + "\r\n";
        t.write("stv2b.dat", cut);
        const Stv2bRead part = readStv2b(t.path());
        EXPECT_TRUE(part.present) << kept;
        EXPECT_EQ(part.fields, kept) << kept;
        EXPECT_EQ(part.state.signDistanceA[0], kept > kStv2bSignDistances ? 1.25 : 0.0) << kept;
        EXPECT_EQ(part.state.hscroll1, SavedState{}.hscroll1) << kept;
    }
    t.write("stv2b.dat", "1\r");  // shorter than a saved state: none
    EXPECT_FALSE(readStv2b(t.path()).present);
}

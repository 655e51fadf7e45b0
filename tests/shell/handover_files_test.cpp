#include <gtest/gtest.h>

#include "workfile/workfile_io.h"
#include "shell/workfiles.h"
#include "support/temp_folder.h"

using namespace shell;
using namespace testsupport;

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
    EXPECT_TRUE(std::filesystem::is_empty(t.path()));
    EXPECT_EQ(readTopDat(t.path()).top, -1);
    EXPECT_EQ(readThDat(t.path()).maxArcRadius, 8890);
    EXPECT_NO_THROW(probeWorkfileDcc(t.path()));
}

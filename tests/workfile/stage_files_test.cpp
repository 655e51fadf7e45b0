// The small files the stages hand each other besides the letters, as each stage reads them.
#include <gtest/gtest.h>

#include "support/temp_folder.h"
#include "workfile/stage_files.h"
#include "workfile/workfile_io.h"

using testsupport::crlf;
using testsupport::TempFolder;

// shap.dat names the letters' variant on line 2 (the way back picks the text stage by it);
// wif.dat's line 2 turns to "0" once the shapes stage has taken the letters up, line 1 kept.
// The text stage draws its strips as the shapes stage will: h from line 2 of stv2b.dat, the
// aperture typed into line 522, a width outside what h allows replaced by that height's own.
TEST(StageFiles, ShapDatWifDatAndTheShapesDrawing) {
    TempFolder t;
    EXPECT_EQ(wf::shapDatText(12, false), crlf({" 12", "0"}));
    t.write("shap.dat", wf::shapDatText(3, true));
    EXPECT_EQ(wf::readShapDatVariant(t.path()), 1);
    t.write("shap.dat", crlf({"0", "2.5"}));
    EXPECT_EQ(wf::readShapDatVariant(t.path()), 2);
    t.write("shap.dat", "1\r\n");  // too short, then missing
    EXPECT_THROW(wf::readShapDatVariant(t.path()), fault::FileFault);
    std::filesystem::remove(t.work("shap.dat"));
    EXPECT_THROW(wf::readShapDatVariant(t.path()), fault::FileFault);

    EXPECT_THROW(wf::rewriteWifDat(t.path()), fault::FileFault);
    EXPECT_EQ(wf::wifDatText(), crlf({"1", "1"}));
    t.write("wif.dat", crlf({"7", "1", "more"}));
    wf::rewriteWifDat(t.path());
    EXPECT_EQ(t.read("wif.dat"), crlf({"7", "0"}));
    t.write("wif.dat", "1\r\n");
    EXPECT_THROW(wf::rewriteWifDat(t.path()), fault::FileFault);
    EXPECT_EQ(t.read("wif.dat"), "1\r\n");

    // the shapes drawing: as saved, partly saved, not saved
    const auto read = [&](const std::string& content) {
        t.write("stv2b.dat", content);
        return wf::readShapesDrawing(t.path());
    };
    wf::ShapesDrawing d = wf::readShapesDrawing(t.path());
    EXPECT_TRUE(!d.saved && d.heightMm == 101.6 && d.apertureText == "0.08");
    std::string state = crlf({"x", " 50.8"});
    for (int line = 3; line < 522; ++line) state += "0\r\n";
    d = read(state + "0.1\r\n");
    EXPECT_TRUE(d.saved && d.heightMm == 50.8 && d.apertureText == "0.1");
    d = read(state);  // ends before line 522: h kept
    EXPECT_TRUE(d.saved && d.heightMm == 50.8 && d.apertureText == "0.08");
    d = read(crlf({"x", " 0"}));
    EXPECT_TRUE(!d.saved && d.heightMm == 101.6);

    const struct {
        double h, typed, used;
    } widths[] = {{101.6, 2.032, 2.032}, {101.6, 20, 1.524}, {101.6, 0.1, 1.524}, {200, 20, 1.524},
                  {30, 0.2, 1.016},      {20, 0.2, 1.016},   {19.9, 0.2, 0.2},    {10, 5, 0.1016},
                  {3, 1, 0.1016},        {0.5, 1, 0.05}};
    for (const auto& w : widths) EXPECT_DOUBLE_EQ(wf::apertureInUse(w.h, w.typed), w.used) << w.h << " " << w.typed;
}

// The cut stage knows a stale hand-over by the stamp the shapes stage writes with it.
TEST(StageFiles, TheHandOverStampTellsWhatChanged) {
    // what changed; the file written anew after the stamp ("" : none) and with what; why it is stale ("" : current)
    const struct {
        const char *change, *file, *content, *reason;
    } cases[] = {
        {"nothing", "", "", ""},
        {"the shapes state rewritten with the same bytes", "stv2b.dat", "state\r\n", ""},
        {"another text", "tground.dat", "other letters\r\n", "The lettering was changed"},
        {"other shapes", "stv2b.dat", "other state\r\n", "The shapes were changed"},
        {"an older c3.dat", "c3.dat", " .5\r\n", "not handed over whole"},
        {"no stamp", "c3stamp.dat", "", "earlier version"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.change);
        TempFolder t;
        t.write("tground.dat", "letters\r\n");
        t.write("stv2b.dat", "state\r\n");
        t.write("c3.dat", " .508\r\n");
        t.write(wf::kHandoverStamp, wf::handoverStampText(t.path(), "state\r\n", " .508\r\n"));
        if (std::string(c.file) == wf::kHandoverStamp)
            std::filesystem::remove(t.work(c.file));
        else if (*c.file)
            t.write(c.file, c.content);
        const wf::HandoverAge age = wf::handoverAge(t.path());
        EXPECT_EQ(age.stale, *c.reason != 0);
        EXPECT_NE(age.reason.find(c.reason), std::string::npos) << age.reason;
    }
    EXPECT_EQ(wf::fingerprint(""), "cbf29ce484222325");  // FNV-1a, 64 bits
    EXPECT_EQ(wf::fingerprint("a"), "af63dc4c8601ec8c");
}

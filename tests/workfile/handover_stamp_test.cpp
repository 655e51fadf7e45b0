// The cut stage knows a stale hand-over by the stamp the shapes stage writes with it.
#include <gtest/gtest.h>

#include "support/temp_folder.h"
#include "workfile/stage_files.h"

using testsupport::TempFolder;

TEST(HandoverStamp, TellsWhatChangedSinceTheHandOver) {
    struct Case {
        const char* change;
        const char* file;     // written anew after the stamp ("" : none)
        const char* content;
        const char* reason;   // "" : current
    };
    const Case cases[] = {
        {"nothing", "", "", ""},
        {"the shapes state rewritten with the same bytes", "stv2b.dat", "state\r\n", ""},
        {"another text", "tground.dat", "other letters\r\n", "The lettering was changed"},
        {"other shapes", "stv2b.dat", "other state\r\n", "The shapes were changed"},
        {"an older c3.dat", "c3.dat", " .5\r\n", "not handed over whole"},
        {"no stamp", "c3stamp.dat", "", "earlier version"},
    };
    for (const Case& c : cases) {
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
}

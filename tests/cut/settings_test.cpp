#include "cut/settings.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

using testsupport::TempFolder;
using testsupport::crlf;

// The settings come back as they were kept; a damaged file gives what it holds up to the damage,
// values out of range their defaults.
TEST(CutSettings, ComeBackAsKeptAndDamagedOnesFallBackToDefaults) {
    TempFolder t;
    cut::Settings s;
    s.kind = cut::Kind::Lettering;
    s.kerf = 0.15;
    s.border = 12.5;
    s.tabs = s.referenceLayers = s.tile = true;
    s.sheetWidth = 600;
    s.sheetHeight = 400;
    s.lastFolder = "/home/u/Dokumente/Schilder ä";
    cut::writeSettings(t.path() / "workfiles", s);
    EXPECT_EQ(cut::readSettings(t.path() / "workfiles"), s);

    struct Case {
        std::string content;
        double kerf, border;
        bool tabs;
    };
    const Case cases[] = {
        {crlf({"1", "stencil", " .2", " 5"}), 0.2, 5, false},                 // cut short
        {crlf({"1", "stencil", " 1E+300", "-7", "1"}), 0, -1, true},          // out of range
        {crlf({"2", "stencil", " .2", " 5", "1"}), 0, -1, false},             // a form not known
    };
    for (const Case& c : cases) {
        t.write(cut::kSettingsFile, c.content);
        const cut::Settings r = cut::readSettings(t.path() / "workfiles");
        EXPECT_DOUBLE_EQ(r.kerf, c.kerf);
        EXPECT_DOUBLE_EQ(r.border, c.border);
        EXPECT_EQ(r.tabs, c.tabs);
    }
}

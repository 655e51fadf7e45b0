// The cut settings as kept in the work folder, and the window's undo of them.
#include "cut/settings.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

using testsupport::TempFolder;
using testsupport::crlf;

// The settings come back as they were kept; a damaged file gives what it holds up to the damage,
// values out of range their defaults; a file of an earlier version, without the chosen width,
// or one with it out of range gives the default width.
TEST(CutSettings, ComeBackAsKeptAndDamagedOnesFallBackToDefaults) {
    TempFolder t;
    const cut::Settings s{.kind = cut::Kind::Lettering, .kerf = 0.15, .border = 12.5, .tabs = true, .referenceLayers = true,
                          .sheetWidth = 600, .sheetHeight = 400, .tile = true, .lastFolder = "/home/u/Dokumente/Schilder ä",
                          .minWidth = 0.4};
    cut::writeSettings(t.path() / "workfiles", s);
    EXPECT_EQ(cut::readSettings(t.path() / "workfiles"), s);

    struct Case {
        const char* what;
        std::string content;
        double kerf, border;
        bool tabs;
        const char* lastFolder;
    };
    const std::string earlier = crlf({"1", "stencil", " .2", "-1", "0", "0", "0", "0", "0", "/home/u"});
    const Case cases[] = {
        {"cut short", crlf({"1", "stencil", " .2", " 5"}), 0.2, 5, false, ""},
        {"out of range", crlf({"1", "stencil", " 1E+300", "-7", "1"}), 0, -1, true, ""},
        {"a form not known", crlf({"2", "stencil", " .2", " 5", "1"}), 0, -1, false, ""},
        {"no chosen width", earlier, 0.2, -1, false, "/home/u"},
        {"chosen width out of range", earlier + "75\r\n", 0.2, -1, false, "/home/u"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        t.write(cut::kSettingsFile, c.content);
        const cut::Settings r = cut::readSettings(t.path() / "workfiles");
        EXPECT_DOUBLE_EQ(r.kerf, c.kerf);
        EXPECT_DOUBLE_EQ(r.border, c.border);
        EXPECT_EQ(r.tabs, c.tabs);
        EXPECT_EQ(r.lastFolder, c.lastFolder);
        EXPECT_DOUBLE_EQ(r.minWidth, cut::kDefaultMinWidth);
    }
}

// Each change is a step back and forth; a new change drops the steps to redo; the folder saved
// to is no setting of it and stays as it is now.
TEST(CutSettingsHistory, UndoesAndRedoesTheSettingsButNotTheFolder) {
    cut::SettingsHistory h;
    cut::Settings a, b = a, c = a;
    b.kerf = 0.2;
    c.kerf = 0.2;
    c.tabs = true;
    h.record(a, b);
    h.record(b, c);
    cut::Settings folderOnly = c;
    folderOnly.lastFolder = "/tmp";
    h.record(c, folderOnly);  // no step
    cut::Settings back = h.undo(folderOnly);
    EXPECT_EQ(back.lastFolder, "/tmp");
    back.lastFolder.clear();
    EXPECT_EQ(back, b);
    EXPECT_EQ(h.undo(b), a);
    EXPECT_FALSE(h.canUndo());
    EXPECT_EQ(h.redo(a), b);
    h.record(b, a);
    EXPECT_FALSE(h.canRedo());
    for (int i = 0; i < 120; ++i) h.record(a, b);
    int steps = 0;
    while (h.canUndo()) h.undo(a), ++steps;
    EXPECT_EQ(steps, 100);
}

// The cut window's undo of its settings.
#include <gtest/gtest.h>

#include "cut/settings.h"

using cut::Settings;

// Each change is a step back and forth; a new change drops the steps to redo; the folder saved
// to is no setting of it and stays as it is now.
TEST(CutSettingsHistory, UndoesAndRedoesTheSettingsButNotTheFolder) {
    cut::SettingsHistory h;
    Settings a, b = a, c = a;
    b.kerf = 0.2;
    c.kerf = 0.2;
    c.tabs = true;
    h.record(a, b);
    h.record(b, c);
    Settings folderOnly = c;
    folderOnly.lastFolder = "/tmp";
    h.record(c, folderOnly);  // no step
    Settings back = h.undo(folderOnly);
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

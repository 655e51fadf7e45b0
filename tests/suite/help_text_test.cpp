// What a window says when its help document does not open.
#include <gtest/gtest.h>

#include <fstream>

#include "suite/port.h"
#include "support/temp_folder.h"

// Missing: "not found", as always. There but no program opens PDF files: said so, with the
// document's full path, so that the user can open it another way.
TEST(HelpText, AMissingDocumentIsNotFoundOneWithoutAViewerIsNamedInFull) {
    testsupport::TempFolder t;
    const std::string doc = (t.path() / "menu2.pdf").string();
    EXPECT_EQ(suite::helpNotOpenedText(doc, "menu2.pdf"), "menu2.pdf not found ? PDF-Reader installed ?");
    std::ofstream(doc) << "%PDF";
    EXPECT_EQ(suite::helpNotOpenedText(doc, "menu2.pdf"),
              "No program to show PDF files is installed, so menu2.pdf could not be opened. Install a PDF viewer, "
              "or open the document yourself: " + doc);
}

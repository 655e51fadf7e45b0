// The suite's own files: no output replaces one, whatever name leads to it, and no two outputs
// of one run are the same file; a help document that does not open is named.
#include "suite/programs.h"

#include <gtest/gtest.h>

#include <fstream>

#include "suite/port.h"
#include "support/run_program.h"
#include "support/temp_folder.h"
#include "workfile/work_lock.h"

namespace fs = std::filesystem;

TEST(SuiteFiles, NoOutputReplacesAFileOfTheSuiteByAnyName) {
    testsupport::TempFolder t;
    t.write("c3.dat", "the scale\r\n");
    t.write(wf::kLockFileName, "");
    std::ofstream(t.path() / suite::kCutProgram) << "a program";
    std::ofstream(t.path() / "menu1.pdf") << "a help document";
    fs::create_directories(t.path() / "out");
    fs::create_symlink(t.work("c3.dat"), t.path() / "out" / "link-to-c3.dxf");
    fs::create_hard_link(t.path() / suite::kCutProgram, t.path() / "out" / "hard-link.png");
    fs::create_symlink(t.path() / "workfiles", t.path() / "out" / "work");
    // each target with what it is ("" : allowed)
    const std::pair<fs::path, const char*> cases[] = {
        {t.work("c3.dat"), "a work file"},
        {t.path() / "out" / "link-to-c3.dxf", "a work file"},
        {t.path() / "out" / "work" / "new.dat", "a work file"},  // not there yet, through a linked folder
        {t.path() / "out" / ".." / "workfiles" / "." / "c3.dat", "a work file"},
        {t.work(wf::kLockFileName), "the lock of the work folder"},
        {t.path() / "out" / "hard-link.png", "a program of the suite"},
        {t.path() / "menu1.pdf", "a help document of the suite"},
        {t.work("stencil.dxf"), ""},
        {t.path() / "out" / "drawing.svg", ""},
    };
    for (const auto& [target, what] : cases) {
        SCOPED_TRACE(target.string());
        wf::Outputs outputs = suite::outputsFor(t.path());
        std::string refusal;
        try {
            outputs.write(target, "an output");
        } catch (const fault::FileFault& e) {
            refusal = e.what();
        }
        EXPECT_TRUE(*what ? refusal.find(target.string() + " is " + what) != std::string::npos : refusal.empty())
            << refusal;
    }
    EXPECT_EQ(t.read("c3.dat"), "the scale\r\n");
    EXPECT_EQ(testsupport::readAll(t.path() / suite::kCutProgram), "a program");

    // two outputs of one run that are one file: by the same name, by another path, by a hard link
    fs::create_hard_link(t.path() / "out" / "drawing.svg", t.path() / "out" / "same.dxf");
    const std::pair<fs::path, fs::path> twice[] = {
        {t.path() / "out" / "new.png", t.path() / "out" / "new.png"},
        {t.path() / "out" / "new.png", t.path() / "out" / "." / "new.png"},
        {t.path() / "out" / "drawing.svg", t.path() / "out" / "same.dxf"},
    };
    for (const auto& [first, second] : twice) {
        wf::Outputs outputs = suite::outputsFor(t.path());
        outputs.claim(first);
        EXPECT_THROW(outputs.claim(second), fault::FileFault) << second;
    }
}

// What a window says when its help document does not open. Missing: "not found", as always.
// There but no program opens PDF files: said so, with the document's full path, so that the
// user can open it another way.
TEST(HelpText, AMissingDocumentIsNotFoundOneWithoutAViewerIsNamedInFull) {
    testsupport::TempFolder t;
    const std::string doc = (t.path() / "menu2.pdf").string();
    EXPECT_EQ(suite::helpNotOpenedText(doc, "menu2.pdf"), "menu2.pdf not found ? PDF-Reader installed ?");
    std::ofstream(doc) << "%PDF";
    EXPECT_EQ(suite::helpNotOpenedText(doc, "menu2.pdf"),
              "No program to show PDF files is installed, so menu2.pdf could not be opened. Install a PDF viewer, "
              "or open the document yourself: " + doc);
}

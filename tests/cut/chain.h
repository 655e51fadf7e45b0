// Real letters handed over to the cut stage: typed by the text stage's command line (or taken
// from a letters file) and converted by the shapes stage's, in a program folder of their own.
#pragma once

#include <gtest/gtest.h>

#include "cut/handover.h"
#include "support/run_program.h"
#include "support/temp_folder.h"

struct Chain {
    testsupport::TempFolder t;
    Chain(const std::string& text, const std::string& font, const std::vector<std::string>& shape = {}) {
        type(text, font);
        convert(shape);
    }
    Chain(const std::filesystem::path& letters, const std::vector<std::string>& shape = {}) {
        std::filesystem::copy_file(letters, t.work("tground.dat"));
        convert(shape);
    }
    // the text stage hands its letters over to the shapes stage: a stand-in here
    void type(const std::string& text, const std::string& font) const {
        t.addProgram("letterkerf");
        const auto typed = testsupport::runProgram(LK_TEXT_CLI, {"--folder", t.path().string(), "--text", text, "--font", font}, t.path());
        EXPECT_EQ(typed.status, 0) << typed.err;
    }
    // the shapes stage starts the cut stage once it has converted: a stand-in too
    void convert(std::vector<std::string> shape) const {
        t.addProgram("STV3.EXE");
        shape.insert(shape.begin(), {"--folder", t.path().string()});
        shape.push_back("--convert");
        const auto converted = testsupport::runProgram(LK_SHAPES_CLI, shape, t.path());
        EXPECT_EQ(converted.status, 0) << converted.err;
    }
    cut::Handover handover() const { return cut::readHandover(t.path() / "workfiles"); }
};

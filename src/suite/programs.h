// What the programs of the suite know of each other: the names they start each other by in
// the program folder, the tokens they pass, where the program folder is, and the one message
// every unexpected fault ends in.
#pragma once

#include <filesystem>
#include <string>

#include "workfile/outputs.h"

namespace suite {

// the start tokens: a fresh start, and the shapes stage's resume
inline constexpr const char* kTokenFresh = "stvt";
inline constexpr const char* kTokenResume = "stvt3";

// the programs' names in the program folder
inline constexpr const char* kStartProgram = "zodu.exe";
inline constexpr const char* kTextProgram = "STV1.EXE";        // letters with stencil bridges
inline constexpr const char* kTextProgramPlain = "STV1b.EXE";  // letters without bridges
inline constexpr const char* kShapesProgram = "letterkerf";
inline constexpr const char* kCutProgram = "STV3.EXE";

// the text stage a lettering goes back to: line 2 of shap.dat is 1 for letters without bridges
inline const char* textProgram(bool plainLetters) { return plainLetters ? kTextProgramPlain : kTextProgram; }

// Every program file of the suite in the program folder: the names the programs start each
// other by and the programs' own names.
inline constexpr const char* kProgramFiles[] = {
    kStartProgram, kTextProgram, kTextProgramPlain, kShapesProgram, kCutProgram,
    "letterkerf-cli", "letterkerf-start", "letterkerf-start-cli", "letterkerf-text", "letterkerf-text-cli",
    "letterkerf-cut"};
// The help documents in the program folder.
inline constexpr const char* kHelpDocuments[] = {"main.pdf", "menu0.pdf", "menu1.pdf", "menu2.pdf", "cut.pdf"};

// The files of the suite in a program folder that no output may replace: its work files and
// lock, its programs (and the running program, wherever it lies) and its help documents.
wf::SuiteFiles suiteFiles(const std::filesystem::path& programFolder);
// The outputs of one run of a program on that folder.
inline wf::Outputs outputsFor(const std::filesystem::path& programFolder) { return wf::Outputs(suiteFiles(programFolder)); }

// An unexpected fault inside any action ends that action with this message, and the program
// goes on.
inline constexpr const char* kFaultText = "File access error !";
inline constexpr const char* kFaultTitle = "Error";

// The folder of the running program, absolute, with a trailing separator.
std::string programFolder();
// The folder of a program file, absolute, with a trailing separator.
std::string folderOfProgram(const std::filesystem::path& programFile);

}  // namespace suite

// The small files the stages hand each other besides the letters: shap.dat and wif.dat, each
// reader beside its writer. Every path is <program folder>/workfiles/<name>.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace wf {

std::filesystem::path workFile(const std::filesystem::path& programFolder, const char* name);

// ---- shap.dat: line 1 the number of letters; line 2 "1" for letters without bridges (the
// STV1b variant, joined by the bar later), else "0". The way back picks the text stage by it.
std::string shapDatText(std::size_t letters, bool plainLetters);
// line 2 as a number; raises the work-file faults
std::int16_t readShapDatVariant(const std::filesystem::path& programFolder);

// ---- wif.dat: line 1 "1" (letters handed over by the text stage, carried through); line 2
// "1" while the letters are not yet taken up, "0" once the shapes stage has closed.
std::string wifDatText();
// line 1 kept, line 2 becomes "0". Raises fault::FileFault when the file is missing or has
// fewer than two lines.
void rewriteWifDat(const std::filesystem::path& programFolder);

}  // namespace wf

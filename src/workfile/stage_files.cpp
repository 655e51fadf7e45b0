#include "workfile/stage_files.h"

#include "workfile/workfile_io.h"

namespace wf {

namespace fs = std::filesystem;

fs::path workFile(const fs::path& programFolder, const char* name) { return programFolder / "workfiles" / name; }

std::string shapDatText(std::size_t letters, bool plainLetters) {
    LineWriter w;
    w.number(static_cast<double>(letters)).text(plainLetters ? "1" : "0");
    return w.content();
}

std::int16_t readShapDatVariant(const fs::path& programFolder) {
    LineReader in(workFile(programFolder, "shap.dat"));
    in.text();
    return in.int16();
}

std::string wifDatText() {
    LineWriter w;
    w.text("1").text("1");
    return w.content();
}

void rewriteWifDat(const fs::path& programFolder) {
    const auto file = workFile(programFolder, "wif.dat");
    LineReader in(file);
    const std::string first = in.text();
    in.text();
    LineWriter w;
    w.text(first).text("0");
    w.commit(file);
}

}  // namespace wf

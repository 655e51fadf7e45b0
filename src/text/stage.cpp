#include "text/stage.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>

#include "suite/programs.h"
#include "workfile/stage_files.h"
#include "workfile/workfile_io.h"

namespace text {

using wf::workFile;

namespace {

const char* const kRefusedTitle = "Text";
const char* const kErrorTitle = "Error";

// A file the user may not write is never replaced behind their back: one without any write
// permission counts as protected even for a user the system would let write it.
bool writeProtected(const fs::path& file) {
    std::error_code ec;
    const fs::file_status st = fs::status(file, ec);
    if (ec || !fs::exists(st)) return false;
    constexpr auto kWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    return ::access(file.c_str(), W_OK) != 0 || (st.permissions() & kWrite) == fs::perms::none;
}

void replaceWritable(const fs::path& file, const std::string& content) {
    if (writeProtected(file))
        throw fault::FileFault("The file " + file.string() + " is write-protected.");
    try {
        wf::replaceFile(file, content);
    } catch (const fault::FileFault&) {
        throw fault::FileFault("The file " + file.string() + " cannot be written.");
    }
}

}  // namespace

Variant variantOfProgram(const fs::path& programFile) {
    std::string name = programFile.filename().string();
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name == "stv1b.exe" ? Variant::NoBridges : Variant::Bridges;
}

const char* programName(Variant v) { return suite::textProgram(v == Variant::NoBridges); }

std::optional<StageState> readState(const fs::path& folder) {
    try {
        const fs::path file = workFile(folder, kStateFile);
        std::error_code ec;
        if (!fs::is_regular_file(file, ec)) return std::nullopt;
        wf::LineReader in(file);
        StageState s;
        s.text = in.text();
        s.family = in.text();
        s.style = in.text();
        s.file = in.text();
        s.bridges = in.flag();
        return s;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

FontRef defaultFont() {
    for (const auto& [family, style] : {std::pair{"DejaVu Sans", "Bold"}, {"DejaVu Sans", ""}, {"Liberation Sans", "Bold"}})
        if (auto f = findInstalledFont(family, style)) return *f;
    for (const std::string& family : installedFamilies())
        if (auto f = findInstalledFont(family, "")) return *f;
    return {};
}

TextStage::TextStage(fs::path folder, Variant variant, suite::Ui& port)
    : folder_(std::move(folder)), variant_(variant), port_(port), lock_(folder_ / "workfiles") {
    try {
        setFont(defaultFont());
    } catch (const fault::TextFault&) {
        // no usable font at all: "Next" says so
    }
}

bool TextStage::claimWorkFolder() {
    const wf::FolderClaim claim = wf::claimOf(lock_.acquire());
    if (claim.text) port_.message(claim.text, claim.title, claim.critical ? Icon::Critical : Icon::Information);
    return claim.proceed;
}

void TextStage::setFont(const FontRef& f) {
    auto t = std::make_unique<Typesetter>(f);
    font_ = t->font().ref();
    typesetter_ = std::move(t);
}

bool TextStage::reopen() {
    const std::optional<StageState> s = readState(folder_);
    if (!s) return false;
    text_ = s->text;
    std::optional<FontRef> f = findInstalledFont(s->family, s->style);
    std::error_code ec;
    if (!f && !s->file.empty() && fs::is_regular_file(s->file, ec)) f = FontRef{s->family, s->style, s->file, 0};
    try {
        if (f) {
            setFont(*f);
            return true;
        }
    } catch (const fault::TextFault&) {
    }
    port_.message("The font " + s->family + " " + s->style + " is no longer installed; " + font_.family + " " +
                      font_.style + " takes its place.",
                  "Font", Icon::Information);
    return true;
}

Lettering TextStage::lettering() {
    if (!typesetter_) throw fault::TextFault("No outline font is installed.");
    return typesetter_->set(text_, bridges());
}

void TextStage::writeFiles(const Lettering& l) {
    replaceWritable(workFile(folder_, "tground.dat"), groundFile(l));
    replaceWritable(workFile(folder_, "shap.dat"), wf::shapDatText(l.letters.size(), variant_ == Variant::NoBridges));
    replaceWritable(workFile(folder_, "wif.dat"), wf::wifDatText());
    wf::LineWriter state;
    state.text(text_).text(font_.family).text(font_.style).text(font_.file).flag(bridges());
    replaceWritable(workFile(folder_, kStateFile), state.content());
}

NextOutcome TextStage::next() {
    Lettering l;
    try {
        l = lettering();
    } catch (const fault::TextFault& e) {
        port_.message(e.what(), kRefusedTitle, Icon::Critical);
        return NextOutcome::Refused;
    }
    std::error_code ec;
    if (!fs::is_directory(folder_ / "workfiles", ec)) {
        port_.message("The program folder " + folder_.string() + " has no folder workfiles.", kErrorTitle,
                      Icon::Critical);
        return NextOutcome::FileError;
    }
    try {
        writeFiles(l);
    } catch (const std::exception& e) {
        port_.message(e.what(), kErrorTitle, Icon::Critical);
        return NextOutcome::FileError;
    }
    const fs::path shapes = folder_ / suite::kShapesProgram;
    // the shapes stage takes the folder over; it is taken back when the start fails
    const wf::HandOver h = lock_.handOver([&] { return port_.startProgram(shapes.string(), {suite::kTokenFresh}); });
    if (h != wf::HandOver::Started) {
        port_.message("The shapes stage " + shapes.string() + " cannot be started.", kErrorTitle, Icon::Critical);
        if (h == wf::HandOver::Lost) {
            port_.message(wf::lostText(lock_.state()), kErrorTitle, Icon::Critical);
            return NextOutcome::Ended;
        }
        return NextOutcome::FileError;
    }
    return NextOutcome::Started;
}

}  // namespace text

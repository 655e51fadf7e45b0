#include "text/stage.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>

#include "geom/units.h"
#include "suite/programs.h"
#include "workfile/stage_files.h"
#include "workfile/workfile_io.h"

namespace text {

using wf::workFile;

namespace {

using geom::kMmPerInch;
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

// Each file of the set goes to a temporary file first; none replaces its target before all
// of them are written.
void addWritable(wf::FileSet& set, const fs::path& file, const std::string& content) {
    if (writeProtected(file))
        throw fault::FileFault("The file " + file.string() + " is write-protected.");
    try {
        set.replace(file, content);
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
        // a file larger than any state this stage writes is not read at all
        if (!fs::is_regular_file(file, ec) || fs::file_size(file, ec) > kMaxStateBytes || ec) return std::nullopt;
        wf::LineReader in(file);
        StageState s;
        s.text = in.text();
        s.family = in.text();
        s.style = in.text();
        s.file = in.text();
        s.bridges = in.flag();
        if (!in.atEnd()) s.twoForMidSize = in.flag();
        if (s.text.size() > kMaxTextBytes) return std::nullopt;
        for (const std::string* name : {&s.family, &s.style, &s.file})
            if (name->size() > kMaxFontNameBytes) return std::nullopt;
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

std::size_t TextStage::setText(std::string t) {
    const std::size_t dropped = edits_.followText(text_, t);
    text_ = std::move(t);
    return dropped;
}

std::size_t TextStage::setFont(const FontRef& f) {
    auto t = std::make_unique<Typesetter>(f);
    const FontRef& now = t->font().ref();
    std::size_t dropped = 0;
    if (now.family != font_.family || now.style != font_.style || now.file != font_.file || now.index != font_.index) {
        dropped = edits_.letters().size();
        edits_.clear();
    }
    font_ = now;
    typesetter_ = std::move(t);
    return dropped;
}

void TextStage::reopenEdits() {
    const std::optional<SavedEdits> e = readBridgeEdits(folder_);
    if (e && e->text == text_ && e->family == font_.family && e->style == font_.style && e->file == font_.file)
        edits_.assign(e->letters);
}

CutSize TextStage::cutSize() const {
    const double h = drawing_.heightMm;
    return {h, wf::apertureInUse(h, wf::parseNumberOrZero(drawing_.apertureText) * kMmPerInch)};
}

bool TextStage::reopen() {
    drawing_ = wf::readShapesDrawing(folder_);
    const std::optional<StageState> s = readState(folder_);
    if (!s) return false;
    text_ = s->text;
    edits_.clear();
    twoForMidSize_ = s->twoForMidSize;
    std::optional<FontRef> f = findInstalledFont(s->family, s->style);
    std::error_code ec;
    if (!f && !s->file.empty() && fs::is_regular_file(s->file, ec)) f = FontRef{s->family, s->style, s->file, 0};
    try {
        if (f) {
            setFont(*f);
            reopenEdits();
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
    Lettering l = typesetter_->set(text_, BridgeChoice{bridges(), twoForMidSize_, cutSize()});
    edits_.apply(l);
    if (l.bridgeCount() > kMaxBridges)
        throw fault::TextFault("The letters have " + std::to_string(l.bridgeCount()) +
                               " bridges; the shapes stage holds 1601. Please delete some.");
    return l;
}

// One set, put in place in this order: the state, the bridges placed by hand (letters with
// bridges only), the letters, shap.dat, and wif.dat last, which
// marks letters handed over and not yet taken up.
void TextStage::writeFiles(const Lettering& l) {
    wf::LineWriter state;
    state.text(text_).text(font_.family).text(font_.style).text(font_.file).flag(bridges()).flag(twoForMidSize_);
    wf::FileSet set;
    addWritable(set, workFile(folder_, kStateFile), state.content());
    if (bridges())
        addWritable(set, workFile(folder_, kBridgesFile),
                    bridgesFileText({text_, font_.family, font_.style, font_.file, edits_.letters()}));
    addWritable(set, workFile(folder_, "tground.dat"), groundFile(l));
    addWritable(set, workFile(folder_, "shap.dat"), wf::shapDatText(l.letters.size(), variant_ == Variant::NoBridges));
    addWritable(set, workFile(folder_, "wif.dat"), wf::wifDatText());
    try {
        set.commit();
    } catch (const fault::FileFault&) {
        throw fault::FileFault("The files of the letters cannot be put in place in " + (folder_ / "workfiles").string() +
                               ".");
    }
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

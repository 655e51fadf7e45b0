#include "cut/settings.h"

#include <cmath>

#include "workfile/workfile_io.h"

namespace cut {

namespace fs = std::filesystem;

namespace {

constexpr double kMostKerf = 100, kMostBorder = 10000, kMostSheet = 20000;  // mm
constexpr std::size_t kLongestName = 60;  // characters of the text in a proposed name

double within(double v, double lo, double hi, double otherwise) { return std::isfinite(v) && v >= lo && v <= hi ? v : otherwise; }

}  // namespace

Settings readSettings(const fs::path& workFolder) {
    Settings s;
    try {
        wf::LineReader in(workFolder / kSettingsFile);
        if (in.text() != "1") return s;
        const std::string kind = in.text();
        if (kind == "stencil") s.kind = Kind::Stencil;
        if (kind == "lettering") s.kind = Kind::Lettering;
        s.kerf = within(in.number(), 0, kMostKerf, 0);
        s.border = within(in.number(), -1, kMostBorder, -1);
        if (s.border < 0) s.border = -1;
        s.tabs = in.flag();
        s.referenceLayers = in.flag();
        s.sheetWidth = within(in.number(), 0, kMostSheet, 0);
        s.sheetHeight = within(in.number(), 0, kMostSheet, 0);
        s.tile = in.flag();
        s.lastFolder = in.text();
        if (!in.atEnd()) s.minWidth = within(in.number(), 0, kMostMinWidth, kDefaultMinWidth);
    } catch (const std::exception&) {
        // what was read before the fault stands; the rest keeps its default
    }
    return s;
}

void writeSettings(const fs::path& workFolder, const Settings& s) {
    wf::LineWriter w;
    w.text("1").text(s.kind ? (*s.kind == Kind::Stencil ? "stencil" : "lettering") : "");
    w.number(s.kerf).number(s.border < 0 ? -1 : s.border).flag(s.tabs).flag(s.referenceLayers);
    w.number(s.sheetWidth).number(s.sheetHeight).flag(s.tile).text(s.lastFolder).number(s.minWidth);
    w.commit(workFolder / kSettingsFile);
}

std::string proposedName(const fs::path& workFolder, Kind kind, const char* extension) {
    std::string text;
    try {
        wf::LineReader in(workFolder / "tground.dat");
        text = wf::decodeText(in.text());
    } catch (const std::exception&) {
    }
    std::string name;
    std::size_t count = 0;
    for (const std::string& c : wf::characters(text)) {
        if (count++ == kLongestName) break;
        const bool bad = c.size() == 1 && (static_cast<unsigned char>(c[0]) < 0x20 || std::string_view("/\\:*?\"<>|").find(c[0]) != std::string_view::npos);
        name += bad ? "_" : c;
    }
    while (!name.empty() && (name.back() == ' ' || name.back() == '.')) name.pop_back();
    while (!name.empty() && (name.front() == ' ' || name.front() == '.')) name.erase(0, 1);
    const std::string kindName = kind == Kind::Stencil ? "stencil" : "lettering";
    return (name.empty() ? kindName : name + " " + kindName) + extension;
}

namespace {
Settings withFolder(Settings s, const std::string& folder) {
    s.lastFolder = folder;
    return s;
}
}  // namespace

void SettingsHistory::record(const Settings& before, const Settings& now) {
    if (withFolder(before, now.lastFolder) == now) return;
    redo_.clear();
    undo_.push_back(before);
    while (undo_.size() > kSteps) undo_.pop_front();
}

Settings SettingsHistory::undo(const Settings& now) {
    const Settings s = withFolder(undo_.back(), now.lastFolder);
    undo_.pop_back();
    redo_.push_back(now);
    return s;
}

Settings SettingsHistory::redo(const Settings& now) {
    const Settings s = withFolder(redo_.back(), now.lastFolder);
    redo_.pop_back();
    undo_.push_back(now);
    return s;
}

}  // namespace cut

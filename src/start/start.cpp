#include "start/start.h"

#include "suite/programs.h"
#include "workfile/stage_files.h"
#include "workfile/workfile_io.h"

namespace start {

namespace {

// the smallest saved state the shapes stage restores from
constexpr std::uintmax_t kSavedStateBytes = 3;

bool isFile(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}

bool isProgram(const fs::path& p) {
    std::error_code ec;
    const auto st = fs::status(p, ec);
    if (ec || !fs::is_regular_file(st)) return false;
    return (st.permissions() & (fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec)) !=
           fs::perms::none;
}

// which program of the suite an action starts, in words for the messages
const char* role(Action a) {
    switch (a) {
        case Action::NewLettering: return "The text stage";
        case Action::Continue: return "The shapes stage";
        case Action::CutDrawing: return "The cut stage";
        default: return "The program";
    }
}

}  // namespace

const char* caption(Action a) {
    switch (a) {
        case Action::NewLettering: return "New lettering";
        case Action::Continue: return "Continue";
        case Action::CutDrawing: return "Cut drawing";
        case Action::Help: return "Help";
        case Action::Exit: return "Exit";
    }
    return "";
}

const char* key(Action a) {
    switch (a) {
        case Action::NewLettering: return "new";
        case Action::Continue: return "continue";
        case Action::CutDrawing: return "cut";
        case Action::Help: return "help";
        case Action::Exit: return "exit";
    }
    return "";
}

const char* textStageProgram(Kind k) { return suite::textProgram(k == Kind::Parts); }

FolderState inspect(const fs::path& folder) {
    FolderState s;
    const fs::path work = folder / "workfiles";
    std::error_code ec;
    const std::uintmax_t saved = fs::file_size(work / "stv2b.dat", ec);
    s.savedState = !ec && saved >= kSavedStateBytes;
    s.handOver = isFile(work / "workrl.dat") && isFile(work / "c3.dat");
    if (s.handOver) s.handOverStale = wf::handoverAge(folder).reason;
    // a missing or short shap.dat means the usual stencil letters
    if (isFile(work / "shap.dat")) {
        try {
            s.lastKind = wf::readShapDatVariant(folder) == 1 ? Kind::Parts : Kind::Stencil;
        } catch (const std::exception&) {
        }
    }
    return s;
}

namespace {
fs::path absoluteFolder(const fs::path& folder) {
    std::error_code ec;
    fs::path abs = fs::absolute(folder, ec);
    return (ec ? folder : abs).lexically_normal();
}
}  // namespace

StartWindow::StartWindow(fs::path folder, suite::Ui& ui)
    : folder_(absoluteFolder(folder)), ui_(ui), lock_(folder_ / "workfiles") {
    const wf::FolderClaim claim = wf::claimOf(lock_.acquire());
    if (claim.text) ui_.message(claim.text, claim.title, claim.critical ? suite::Icon::Critical : suite::Icon::Information);
    if (!claim.proceed) {
        terminated_ = true;
        ui_.terminate();
        return;
    }
    refresh();
}

void StartWindow::refresh() {
    if (terminated_) return;
    state_ = inspect(folder_);
    if (!kindChosen_) kind_ = state_.lastKind;
}

void StartWindow::setKind(Kind k) {
    kind_ = k;
    kindChosen_ = true;
}

bool StartWindow::enabled(Action a) const {
    switch (a) {
        case Action::Continue: return state_.savedState;
        case Action::CutDrawing: return state_.handOver;
        default: return true;
    }
}

Launch StartWindow::launch(Action a) const {
    switch (a) {
        case Action::NewLettering: return {(folder_ / textStageProgram(kind_)).string(), {suite::kTokenFresh}};
        case Action::Continue: return {(folder_ / suite::kShapesProgram).string(), {suite::kTokenResume}};
        case Action::CutDrawing: return {(folder_ / suite::kCutProgram).string(), {suite::kTokenFresh}};
        default: return {};
    }
}

fs::path StartWindow::helpDocument() const { return folder_ / kHelpDocument; }

Outcome StartWindow::run(Action a) {
    if (terminated_) return Outcome::Ended;
    // the work may have changed since the window was drawn (another program ran meanwhile)
    refresh();
    if (!enabled(a)) return Outcome::Disabled;
    switch (a) {
        case Action::Help:
            if (ui_.openDocument(helpDocument().string())) return Outcome::Opened;
            ui_.message(suite::helpNotOpenedText(helpDocument().string(), kHelpDocument), "Info", suite::Icon::None);
            return isFile(helpDocument()) ? Outcome::Failed : Outcome::Missing;
        case Action::Exit:
            terminated_ = true;
            ui_.terminate();
            return Outcome::Ended;
        default:
            return start(a);
    }
}

Outcome StartWindow::start(Action a) {
    const Launch l = launch(a);
    const std::string name = fs::path(l.program).filename().string();
    if (isFile(l.program) && !isProgram(l.program)) {
        ui_.message(std::string(role(a)) + " " + name + " could not be started: it may not be run.", kTitle,
                    suite::Icon::Critical);
        return Outcome::Failed;
    }
    if (!isProgram(l.program)) {
        ui_.message(std::string(role(a)) + " " + name + " is missing from the program folder " +
                        folder_.string() + " .",
                    kTitle, suite::Icon::Critical);
        return Outcome::Missing;
    }
    // the program started takes the folder over; it is taken back when the start fails
    const wf::HandOver h = lock_.handOver([&] { return ui_.startProgram(l.program, l.arguments); });
    if (h != wf::HandOver::Started) {
        ui_.message(std::string(role(a)) + " " + name + " could not be started.", kTitle, suite::Icon::Critical);
        if (h == wf::HandOver::Lost) {
            ui_.message(wf::lostText(lock_.state()), wf::kErrorTitle, suite::Icon::Critical);
            terminated_ = true;
            ui_.terminate();
        }
        return Outcome::Failed;
    }
    terminated_ = true;
    ui_.terminate();
    return Outcome::Started;
}

std::string reportJson(const StartWindow& w, const suite::HeadlessUi& ui) {
    using wf::jsonString;
    const auto flag = [](bool b) { return b ? "true" : "false"; };
    const auto list = [&](const std::vector<std::string>& items) {
        std::string s = "[";
        for (std::size_t i = 0; i < items.size(); ++i) s += (i ? ", " : "") + jsonString(items[i]);
        return s + "]";
    };
    const FolderState& st = w.state();
    std::string o = "{\n";
    o += "  \"folder\": " + jsonString(w.folder().string()) + ",\n";
    o += std::string("  \"savedState\": ") + flag(st.savedState) + ",\n";
    o += std::string("  \"handOver\": ") + flag(st.handOver) + ",\n";
    o += std::string("  \"handOverStale\": ") + flag(!st.handOverStale.empty()) + ",\n";
    o += std::string("  \"kind\": ") + (w.kind() == Kind::Parts ? "\"parts\"" : "\"stencil\"") + ",\n";
    o += "  \"actions\": {\n";
    for (std::size_t i = 0; i < std::size(kActions); ++i) {
        const Action a = kActions[i];
        const Launch l = w.launch(a);
        o += std::string("    \"") + key(a) + "\": { \"caption\": " + jsonString(caption(a)) +
             ", \"enabled\": " + flag(w.enabled(a));
        if (!l.program.empty())
            o += ", \"program\": " + jsonString(l.program) + ", \"arguments\": " + list(l.arguments) +
                 ", \"present\": " + flag(isProgram(l.program));
        if (a == Action::Help)
            o += ", \"document\": " + jsonString(w.helpDocument().string()) +
                 ", \"present\": " + flag(isFile(w.helpDocument()));
        o += std::string(" }") + (i + 1 < std::size(kActions) ? "," : "") + "\n";
    }
    o += "  },\n  \"messages\": [";
    for (std::size_t i = 0; i < ui.messages.size(); ++i) {
        const suite::Message& m = ui.messages[i];
        o += std::string(i ? ",\n    " : "\n    ") + "{ \"icon\": " + jsonString(suite::iconName(m.icon)) +
             ", \"title\": " + jsonString(m.title) + ", \"text\": " + jsonString(m.text) + " }";
    }
    o += ui.messages.empty() ? "],\n" : "\n  ],\n";
    o += "  \"started\": [";
    for (std::size_t i = 0; i < ui.started.size(); ++i)
        o += std::string(i ? ", " : "") + "{ \"program\": " + jsonString(ui.started[i].program) +
             ", \"arguments\": " + list(ui.started[i].arguments) + " }";
    o += "],\n  \"documents\": " + list(ui.documents) + ",\n";
    o += std::string("  \"terminated\": ") + flag(w.terminated()) + "\n}\n";
    return o;
}

}  // namespace start

#include "start_qt/start_cli.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <memory>
#include <optional>
#include <variant>

#include "suite_qt/qt_ui.h"
#include "suite_qt/toolkit.h"
#include "start_qt/start_window.h"
#include "start/start.h"
#include "suite/programs.h"

namespace start_qt {

const char* const kWindowUsage =
    "usage: letterkerf-start [--help]\n"
    "The start window of LETTERKERF, in the program folder as zodu.exe: \"New lettering\" (the text\n"
    "stage), \"Continue\" (the shapes of the saved lettering), \"Cut drawing\" (the drawing handed over\n"
    "for cutting), \"Help\" (main.pdf) and \"Exit\". It works on the folder it lies in; without a window\n"
    "the same runs as letterkerf-start-cli.\n";

namespace {

enum Exit { kDone = 0, kBadArguments = 1, kRefused = 2, kFileError = 3 };

struct Option {
    const char* name;
    const char* value;  // nullptr: a flag
    const char* help;
};

// the one table: parsing and the usage text
const Option kOptions[] = {
    {"--folder", "DIR", "the program folder (default: the folder of this program)"},
    {"--new", nullptr, "\"New lettering\": start the text stage with \"stvt\""},
    {"--stencil", nullptr, "  ... stencil letters with bridges (STV1.EXE)"},
    {"--parts", nullptr, "  ... letters without bridges (STV1b.EXE); default: as workfiles/shap.dat says"},
    {"--continue", nullptr, "\"Continue\": start the shapes stage with \"stvt3\" (needs a saved state)"},
    {"--cut-drawing", nullptr, "\"Cut drawing\": start STV3.EXE with \"stvt\" (needs a hand-over)"},
    {"--open-help", nullptr, "\"Help\": open main.pdf"},
    {"--exit", nullptr, "\"Exit\""},
    {"--chain", nullptr, "really start the program an action names (default: checked and recorded)"},
    {"--png", "FILE", "the window as it looks now, as a PNG"},
    {"--report", nullptr, "a JSON summary on standard output: the folder's state, every action, what ran"},
    {"--help", nullptr, "this text (also -h)"},
};

std::string usage() {
    std::string s =
        "usage: letterkerf-start-cli [--folder DIR] [--new [--stencil | --parts] | --continue | --cut-drawing |\n"
        "                            --open-help | --exit] [--chain] [--png FILE] [--report]\n"
        "The start window of LETTERKERF without a window. Exit status: 0 done, 1 bad arguments,\n"
        "2 the action is not available now, 3 a program or document is missing or could not be started.\n"
        "Messages go to standard error as ICON|TITLE|TEXT.\n\n";
    for (const Option& o : kOptions) {
        std::string left = std::string("  ") + o.name + (o.value ? std::string(" ") + o.value : "");
        left.resize(std::max<std::size_t>(left.size() + 1, 22), ' ');
        s += left + o.help + "\n";
    }
    return s;
}

std::optional<start::Action> actionOf(const QString& option) {
    if (option == "--new") return start::Action::NewLettering;
    if (option == "--continue") return start::Action::Continue;
    if (option == "--cut-drawing") return start::Action::CutDrawing;
    if (option == "--open-help") return start::Action::Help;
    if (option == "--exit") return start::Action::Exit;
    return std::nullopt;
}

}  // namespace

namespace {

struct StartArgs {
    QString folder, pngFile;
    std::optional<start::Action> action;
    std::optional<start::Kind> kind;
    bool chain = false, report = false;
};

// Reads the arguments; a status when they are refused or only help was asked for.
std::variant<StartArgs, int> parseArgs(const QStringList& args, const QString& defaultFolder, std::ostream& out,
                                       std::ostream& err) {
    StartArgs r;
    r.folder = defaultFolder;
    for (int i = 0; i < args.size(); ++i) {
        const QString a = args[i];
        const Option* opt = nullptr;
        for (const Option& o : kOptions)
            if (a == o.name) opt = &o;
        if (a == "-h" || a == "--help") {
            out << usage();
            return kDone;
        }
        if (!opt) {
            err << a.toStdString() << ": unknown option (--help lists them)\n";
            return kBadArguments;
        }
        QString value;
        if (opt->value) {
            if (i + 1 >= args.size()) {
                err << a.toStdString() << ": needs " << opt->value << "\n";
                return kBadArguments;
            }
            value = args[++i];
        }
        if (a == "--folder") {
            r.folder = QDir::current().absoluteFilePath(value);
        } else if (a == "--png") {
            r.pngFile = QDir::current().absoluteFilePath(value);
        } else if (a == "--stencil" || a == "--parts") {
            const start::Kind k = a == "--parts" ? start::Kind::Parts : start::Kind::Stencil;
            if (r.kind && *r.kind != k) {
                err << "--stencil and --parts: one or the other\n";
                return kBadArguments;
            }
            r.kind = k;
        } else if (a == "--chain") {
            r.chain = true;
        } else if (a == "--report") {
            r.report = true;
        } else if (const auto act = actionOf(a)) {
            if (r.action && *r.action != *act) {
                err << a.toStdString() << ": one action at a time, as one click ends the window\n";
                return kBadArguments;
            }
            r.action = act;
        }
    }
    if (r.kind && r.action != start::Action::NewLettering) {
        err << "--stencil and --parts go with --new\n";
        return kBadArguments;
    }
    if (!QFileInfo(r.folder).isDir()) {
        err << r.folder.toStdString() << ": no such folder\n";
        return kBadArguments;
    }
    return r;
}

// The status of one click on the window's logic.
int runAction(start::StartWindow& logic, start::Action action, std::ostream& err) {
    switch (logic.run(action)) {
        case start::Outcome::Disabled:
            err << "\"" << start::caption(action) << "\" is not available: "
                << (action == start::Action::Continue ? "no saved state (workfiles/stv2b.dat)"
                                                      : "no hand-over (workfiles/workrl.dat and c3.dat)")
                << "\n";
            return kRefused;
        case start::Outcome::Missing:
        case start::Outcome::Failed: return kFileError;
        default: return kDone;
    }
}

}  // namespace

namespace {

// The window as a PNG, written whole and never over a file of the suite.
bool writePicture(QWidget& window, const StartArgs& a, std::ostream& err) {
    const std::string file = QFile::encodeName(a.pngFile).toStdString();
    try {
        wf::Outputs outputs = suite::outputsFor(QFile::encodeName(QDir(a.folder).absolutePath()).toStdString());
        outputs.claim(file);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!window.grab().save(&buffer, "PNG")) throw fault::FileFault(file + ": the picture could not be made");
        outputs.write(file, std::string_view(png.constData(), static_cast<std::size_t>(png.size())));
        return true;
    } catch (const std::exception& e) {
        err << e.what() << "\n";
        return false;
    }
}

}  // namespace

int runStartCli(const QStringList& args, const QString& defaultFolder, std::ostream& out, std::ostream& err) {
    const std::variant<StartArgs, int> parsed = parseArgs(args, defaultFolder, out, err);
    if (const int* status = std::get_if<int>(&parsed)) return *status;
    const StartArgs& a = std::get<StartArgs>(parsed);

    suite::HeadlessUi ui;
    ui.echo = &err;
    if (a.chain) ui.realStart = &suite_qt::startDetached;
    // the window itself only for its picture: the toolkit starts for nothing else
    const std::string folder = QFile::encodeName(QDir(a.folder).absolutePath()).toStdString();
    std::unique_ptr<StartWidget> window;
    std::unique_ptr<start::StartWindow> bare;
    if (!a.pngFile.isEmpty()) {
        suite_qt::needToolkit();
        window = std::make_unique<StartWidget>(folder, &ui);
    } else {
        bare = std::make_unique<start::StartWindow>(folder, ui);
    }
    start::StartWindow& logic = window ? window->logic() : *bare;
    if (logic.terminated()) {  // another program works in the folder: said why, nothing touched
        if (a.report) out << start::reportJson(logic, ui);
        return kFileError;
    }
    if (a.kind) logic.setKind(*a.kind);
    if (window) window->refresh();
    else logic.refresh();

    int status = kDone;
    if (window && !writePicture(*window, a, err)) status = kFileError;
    if (a.action && status == kDone) status = runAction(logic, *a.action, err);
    if (a.report) out << start::reportJson(logic, ui);
    return status;
}

}  // namespace start_qt

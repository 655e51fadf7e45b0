#include "app/cli.h"

#include <QDir>
#include <QFileInfo>
#include <set>

#include "app/qtui.h"
#include "shell/report.h"
#include "shell/session.h"
#include "shell/workfile_io.h"

namespace app {

namespace {

enum Exit { kDone = 0, kBadArguments = 1, kRefused = 2, kFileError = 3 };

// Options of capabilities the program does not have yet.
const std::set<QString> kNotYet = {
    "--fit-in", "--no-fit-in", "--shape", "--H", "--h", "--knot", "--reset-distances",
    "--distance", "--all-distances", "--remove-empty-space", "--aperture", "--connection",
    "--no-connection", "--connection-width", "--baseline-distance", "--connection-slider",
    "--cut", "--no-cut", "--one-object", "--no-one-object", "--min-length", "--max-radius",
    "--png", "--svg", "--convert"};
const std::set<QString> kWithValue = {"--folder", "--token", "--dump"};
const std::set<QString> kFlags = {"--resume", "--report", "--close", "--chain", "--answer-no"};

class CliUi : public shell::HeadlessUi {
public:
    explicit CliUi(std::ostream& err) : err_(err) {}
    void message(const std::string& text, const std::string& title, shell::Icon icon) override {
        HeadlessUi::message(text, title, icon);
        err_ << shell::iconName(icon) << '|' << title << '|' << text << '\n';
    }

private:
    std::ostream& err_;
};

}  // namespace

int runCli(const QStringList& args, const QString& defaultFolder, std::ostream& out, std::ostream& err) {
    QString folder = defaultFolder, token = shell::kTokenFresh, dumpFile;
    bool haveToken = false, resume = false;
    std::set<QString> flags;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (kNotYet.count(a)) {
            err << a.toStdString() << ": not available yet\n";
            return kBadArguments;
        }
        if (kWithValue.count(a)) {
            if (i + 1 >= args.size()) {
                err << a.toStdString() << ": a value is missing\n";
                return kBadArguments;
            }
            const QString v = args[++i];
            if (a == "--folder") folder = v;
            else if (a == "--token") token = v, haveToken = true;
            else dumpFile = v;
        } else if (kFlags.count(a)) {
            flags.insert(a);
            if (a == "--resume") resume = true;
        } else {
            err << a.toStdString() << ": unknown option\n"
                << "usage: letterkerf-cli [--folder DIR] [--resume | --token TEXT] [--dump FILE] "
                   "[--close] [--chain] [--answer-no] [--report]\n";
            return kBadArguments;
        }
    }
    if (resume && haveToken) {
        err << "--resume and --token exclude each other\n";
        return kBadArguments;
    }
    if (resume) token = shell::kTokenResume;
    if (!QFileInfo(folder).isDir()) {
        err << folder.toStdString() << ": no such folder\n";
        return kBadArguments;
    }

    CliUi ui(err);
    ui.answerYes = !flags.count("--answer-no");
    if (flags.count("--chain")) ui.realStart = &startDetached;

    shell::Session session(QDir(folder).absolutePath().toStdString(), token.toStdString(), ui);
    session.load();
    session.activate();
    session.paintEvent();

    int status = kDone;
    if (!session.terminated) {
        if (!dumpFile.isEmpty()) {
            try {
                wf::replaceFile(dumpFile.toStdString(), shell::dumpJson(session.model));
            } catch (const std::exception&) {
                err << dumpFile.toStdString() << ": cannot write\n";
                status = kFileError;
            }
        }
        if (flags.count("--close")) session.closeWindow();
    }
    for (const auto& m : ui.messages)
        if (m.text == shell::kFileAccessError) status = kFileError;
    if (flags.count("--report")) out << shell::reportJson(session, ui);
    return status;
}

}  // namespace app

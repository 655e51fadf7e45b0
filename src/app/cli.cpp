#include "app/cli.h"

#include <QDir>
#include <QFileInfo>
#include <optional>
#include <set>

#include "app/qtui.h"
#include "app/render.h"
#include "preview/svg.h"
#include "shell/dimension_dialog.h"
#include "shell/report.h"
#include "shell/session.h"
#include "shell/workfile_io.h"

namespace app {

namespace {

enum Exit { kDone = 0, kBadArguments = 1, kRefused = 2, kFileError = 3 };

// Options of capabilities the program does not have yet.
const std::set<QString> kNotYet = {
    "--reset-distances",
    "--distance", "--all-distances", "--remove-empty-space", "--aperture", "--connection",
    "--no-connection", "--connection-width", "--baseline-distance", "--connection-slider",
    "--cut", "--no-cut", "--one-object", "--no-one-object", "--min-length", "--max-radius",
    "--convert"};
const std::set<QString> kWithValue = {"--folder", "--token", "--dump", "--png", "--svg", "--knot",
                                      "--shape", "--H", "--h"};
const std::set<QString> kFlags = {"--resume", "--report", "--close", "--chain", "--answer-no", "--fit-in",
                                  "--no-fit-in"};

bool writeOutput(const QString& file, const std::string& content, std::ostream& err) {
    try {
        wf::replaceFile(file.toStdString(), content);
        return true;
    } catch (const std::exception&) {
        err << file.toStdString() << ": cannot write\n";
        return false;
    }
}

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
    QString folder = defaultFolder, token = shell::kTokenFresh, dumpFile, pngFile, svgFile;
    std::optional<int> knot, shape;
    std::optional<std::string> typedBig, typedSmall;
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
            if (a == "--folder") {
                folder = v;
            } else if (a == "--token") {
                token = v;
                haveToken = true;
            } else if (a == "--dump") {
                dumpFile = v;
            } else if (a == "--shape") {
                bool ok = false;
                shape = v.toInt(&ok);
                if (!ok || *shape < 0 || *shape >= shell::kShapeCount) {
                    err << "--shape: a shape number 0 to 19: " << v.toStdString() << "\n";
                    return kBadArguments;
                }
            } else if (a == "--H") {
                typedBig = v.toStdString();
            } else if (a == "--h") {
                typedSmall = v.toStdString();
            } else if (a == "--png") {
                pngFile = v;
            } else if (a == "--svg") {
                svgFile = v;
            } else {
                bool ok = false;
                knot = v.toInt(&ok);
                if (!ok) {
                    err << "--knot: not a whole number: " << v.toStdString() << "\n";
                    return kBadArguments;
                }
            }
        } else if (kFlags.count(a)) {
            flags.insert(a);
            if (a == "--resume") resume = true;
        } else {
            err << a.toStdString() << ": unknown option\n"
                << "usage: letterkerf-cli [--folder DIR] [--resume | --token TEXT] [--fit-in | --no-fit-in] "
                   "[--shape N [--H IN] [--h IN]] [--knot POS] [--dump FILE] [--png FILE] [--svg FILE] "
                   "[--close] [--chain] [--answer-no] [--report]\n";
            return kBadArguments;
        }
    }
    if (resume && haveToken) {
        err << "--resume and --token exclude each other\n";
        return kBadArguments;
    }
    if (flags.count("--fit-in") && flags.count("--no-fit-in")) {
        err << "--fit-in and --no-fit-in exclude each other\n";
        return kBadArguments;
    }
    if (resume) token = shell::kTokenResume;
    if ((typedBig || typedSmall) && !shape) {
        err << "--H and --h belong to --shape\n";
        return kBadArguments;
    }
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
        // the user's actions, always in this order
        auto& fit = session.controls.Check3;
        if (flags.count("--fit-in") && fit.value() != 1) fit.set(1);
        if (flags.count("--no-fit-in") && fit.value() == 1) fit.set(0);
        if (shape) {
            // shape 0 has one height, typed into its one text box
            if (*shape == 0) {
                ui.typedText1 = typedSmall ? typedSmall : typedBig;
            } else {
                ui.typedText1 = typedBig;
                ui.typedText2 = typedSmall;
            }
            session.galleryClick(*shape);
            if (ui.dialogRefused) status = kRefused;
        }
        if (knot && status == kDone) {
            try {
                session.controls.HScroll1.set(*knot);
            } catch (const std::exception&) {
                err << "--knot: the slider runs from " << session.controls.HScroll1.min() << " to "
                    << session.controls.HScroll1.max() << "\n";
                return kBadArguments;
            }
        }
        // what the user sees now
        if (!dumpFile.isEmpty() && !writeOutput(dumpFile, shell::dumpJson(session.model), err)) status = kFileError;
        if (!pngFile.isEmpty() && !pictureImage(session.picture).save(pngFile, "PNG")) {
            err << pngFile.toStdString() << ": cannot write\n";
            status = kFileError;
        }
        if (!svgFile.isEmpty()) {
            double b = 0;
            try {
                b = wf::parseNumber(session.controls.Text4.value()) * 25.4;
            } catch (const std::exception&) {
            }
            if (!writeOutput(svgFile, preview::svgDocument(session.model, session.controls.Check2 == 1, b), err))
                status = kFileError;
        }
        if (flags.count("--close")) session.closeWindow();
    }
    for (const auto& m : ui.messages)
        if (m.text == shell::kFileAccessError) status = kFileError;
    if (flags.count("--report")) out << shell::reportJson(session, ui);
    return status;
}

}  // namespace app

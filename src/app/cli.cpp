#include "app/cli.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <cmath>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>

#include "app/guard.h"
#include "app/qtui.h"
#include "app/render.h"
#include "preview/svg.h"
#include "shell/dimension_dialog.h"
#include "shell/preset_dialogs.h"
#include "shell/report.h"
#include "shell/session.h"
#include "shell/spacing_dialog.h"
#include "shell/workfile_io.h"

namespace app {

namespace {

enum Exit { kDone = 0, kBadArguments = 1, kRefused = 2, kFileError = 3 };

const std::set<QString> kWithValue = {"--folder", "--token", "--dump", "--png", "--svg", "--knot", "--shape",
                                      "--H", "--h", "--connection-width", "--baseline-distance",
                                      "--connection-slider", "--aperture", "--min-length", "--max-radius",
                                      "--distance", "--all-distances"};
const std::set<QString> kFlags = {"--resume", "--report", "--close", "--chain", "--answer-no", "--fit-in",
                                  "--no-fit-in", "--connection", "--no-connection", "--cut", "--no-cut",
                                  "--one-object", "--no-one-object", "--convert",
                                  "--reset-distances", "--remove-empty-space"};
// a check box clicked into the state its option names
const char* const kStates[][2] = {{"--fit-in", "--no-fit-in"},
                                  {"--connection", "--no-connection"},
                                  {"--cut", "--no-cut"},
                                  {"--one-object", "--no-one-object"}};

// moves a slider as the user does; false (and a note) when the position is off its range
bool moveSlider(shell::ScrollBar& slider, int position, const char* option, std::ostream& err) {
    try {
        slider.set(position);
        return true;
    } catch (const std::exception&) {
        err << option << ": the slider runs from " << slider.min() << " to " << slider.max() << "\n";
        return false;
    }
}

void clickInto(shell::Control<int>& box, const std::set<QString>& flags, const char* on, const char* off) {
    if (flags.count(on) && box.value() != 1) box.set(1);
    if (flags.count(off) && box.value() == 1) box.set(0);
}

bool wholeNumber(const QString& option, const QString& v, std::optional<int>& into, std::ostream& err) {
    bool ok = false;
    into = v.toInt(&ok);
    if (!ok) err << option.toStdString() << ": not a whole number: " << v.toStdString() << "\n";
    return ok;
}

// An output file, replaced whole. A symbolic link the user named is followed: its target is
// replaced (in the target's folder), the link stays.
bool writeOutput(const std::string& file, const std::string& content, std::ostream& err) {
    try {
        std::error_code ec;
        const std::filesystem::path path = file;
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, ec))) {
            wf::replaceFile(path, content);
            return true;
        }
        const std::filesystem::path target = std::filesystem::weakly_canonical(path, ec);
        if (ec) throw wf::FileFault("cannot resolve " + path.string());
        wf::replaceFile(target, content);
        return true;
    } catch (const std::exception&) {
        err << file << ": cannot write\n";
        return false;
    }
}

// the folder the command was started in, for paths given relative to it (as the system's bytes)
std::string fromCaller(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path abs = path.empty() ? std::filesystem::path() : std::filesystem::absolute(path, ec);
    return ec ? path : abs.string();
}

class CliUi : public shell::HeadlessUi {
public:
    explicit CliUi(std::ostream& err) : err_(err) {}

    // what the user types into the dialogs the handlers open
    shell::Session* session = nullptr;
    std::optional<std::string> aperture, maxRadius;
    int minLengthOption = 0;  // 3: 0.004 inches, 4: 0.002 inches
    bool refused = false;
    // the sign-distance dialog's steps, in the order they are run
    bool resetDistances = false, removeEmptySpace = false;
    std::vector<std::pair<int, std::int32_t>> distances;  // row (1-based), scroll position
    std::optional<std::string> allDistances;
    bool badDistance = false;

    void runDialog(shell::DialogId id) override {
        HeadlessUi::runDialog(id);
        if (!session) return;
        if (id == shell::DialogId::SignDistances) spacing();
        if (id == shell::DialogId::ApertureWidth && aperture) {
            shell::ApertureDialog d(*session);
            d.text1 = *aperture;
            refused = refused || !d.accept();
        }
        if (id == shell::DialogId::Presetting) {
            shell::PresettingDialog d(*session);
            if (minLengthOption) d.option = minLengthOption;
            if (maxRadius) d.text1 = *maxRadius;
            refused = refused || !d.apply();
        }
    }

    void message(const std::string& text, const std::string& title, shell::Icon icon) override {
        HeadlessUi::message(text, title, icon);
        err_ << shell::iconName(icon) << '|' << title << '|' << text << '\n';
    }

private:
    void spacing() {
        shell::SpacingDialog d(*session);
        d.load();
        d.activate();
        if (resetDistances) d.reset();
        for (const auto& [row, position] : distances) {
            if (row < 1 || row > static_cast<int>(d.rows.size())) {
                err_ << "--distance: row " << row << " of " << d.rows.size() << "\n";
                badDistance = true;
                return d.close();
            }
            if (position < d.HScroll2.min() || position > d.HScroll2.max()) {
                err_ << "--distance: the scroll bar runs from " << d.HScroll2.min() * shell::kInchesPerScrollStep
                     << " to " << d.HScroll2.max() * shell::kInchesPerScrollStep << " inches\n";
                badDistance = true;
                return d.close();
            }
            d.clickList(row - 1);
            d.scroll(position);
        }
        if (allDistances) {
            d.Text2.set(*allDistances);
            d.distanceForAll();
        }
        if (removeEmptySpace) d.removeEmptySpace();
        d.close();
    }

    std::ostream& err_;
};

// "PAIR=IN": the row and the scroll bar position IN / 0.005, rounded
bool distanceOption(const QString& v, std::vector<std::pair<int, std::int32_t>>& into, std::ostream& err) {
    const auto parts = v.split('=');
    bool rowOk = false, inOk = false;
    const int row = parts.size() == 2 ? parts[0].toInt(&rowOk) : 0;
    const double in = parts.size() == 2 ? parts[1].toDouble(&inOk) : 0;
    if (rowOk && inOk && std::abs(in) < 1e6) {
        into.emplace_back(row, wf::toInt32(in * shell::kScrollStepsPerInch));
        return true;
    }
    err << "--distance: PAIR=IN, as 2=0.05: " << v.toStdString() << "\n";
    return false;
}

}  // namespace

int runCli(const QStringList& args, const QString& defaultFolder, std::ostream& out, std::ostream& err) {
    std::vector<std::string> raw;
    for (const QString& a : args) raw.push_back(a.toStdString());
    return runCli(raw, defaultFolder.toStdString(), out, err);
}

int runCli(const std::vector<std::string>& raw, const std::string& defaultFolder, std::ostream& out, std::ostream& err) {
    // paths keep the system's bytes; the rest is read as text
    QStringList args;
    for (const std::string& a : raw) args << QString::fromStdString(a);
    QString token = shell::kTokenFresh;
    std::string folder = defaultFolder, dumpFile, pngFile, svgFile;
    std::optional<int> knot, shape, connectionSlider;
    std::optional<std::string> typedBig, typedSmall, connectionWidth, baselineDistance, aperture, maxRadius,
        allDistances;
    std::vector<std::pair<int, std::int32_t>> distances;
    int minLengthOption = 0;
    bool haveToken = false, resume = false;
    std::set<QString> flags;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (kWithValue.count(a)) {
            if (i + 1 >= args.size()) {
                err << a.toStdString() << ": a value is missing\n";
                return kBadArguments;
            }
            const QString v = args[++i];
            if (a == "--folder") {
                folder = raw[std::size_t(i)];
            } else if (a == "--token") {
                token = v;
                haveToken = true;
            } else if (a == "--dump") {
                dumpFile = raw[std::size_t(i)];
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
                pngFile = raw[std::size_t(i)];
            } else if (a == "--svg") {
                svgFile = raw[std::size_t(i)];
            } else if (a == "--connection-width") {
                connectionWidth = v.toStdString();
            } else if (a == "--baseline-distance") {
                baselineDistance = v.toStdString();
            } else if (a == "--aperture") {
                aperture = v.toStdString();
            } else if (a == "--all-distances") {
                allDistances = v.toStdString();
            } else if (a == "--distance") {
                if (!distanceOption(v, distances, err)) return kBadArguments;
            } else if (a == "--max-radius") {
                maxRadius = v.toStdString();
            } else if (a == "--min-length") {
                if (v != "0.004" && v != "0.002") {
                    err << "--min-length: 0.004 or 0.002\n";
                    return kBadArguments;
                }
                minLengthOption = v == "0.004" ? 3 : 4;
            } else if (!wholeNumber(a, v, a == "--knot" ? knot : connectionSlider, err)) {
                return kBadArguments;
            }
        } else if (kFlags.count(a)) {
            flags.insert(a);
            if (a == "--resume") resume = true;
        } else {
            // --help prints the usage on standard output and ends well; anything else unknown is refused
            const bool help = a == "--help" || a == "-h";
            if (!help) err << a.toStdString() << ": unknown option\n";
            (help ? out : err)
                << "usage: letterkerf-cli [--folder DIR] [--resume | --token TEXT] [--fit-in | --no-fit-in] "
                   "[--shape N [--H IN] [--h IN]] [--knot POS] [--reset-distances] [--distance PAIR=IN]... "
                   "[--all-distances IN] [--remove-empty-space] [--connection | --no-connection] "
                   "[--connection-width IN] [--baseline-distance IN] [--connection-slider N] [--cut | --no-cut] "
                   "[--one-object | --no-one-object] [--aperture IN] [--min-length 0.004|0.002] [--max-radius IN] [--dump FILE] [--png FILE] [--svg FILE] [--convert] "
                   "[--close] [--chain] [--answer-no] [--report]\n";
            return help ? kDone : kBadArguments;
        }
    }
    if (resume && haveToken) {
        err << "--resume and --token exclude each other\n";
        return kBadArguments;
    }
    for (const auto& pair : kStates)
        if (flags.count(pair[0]) && flags.count(pair[1])) {
            err << pair[0] << " and " << pair[1] << " exclude each other\n";
            return kBadArguments;
        }
    if (resume) token = shell::kTokenResume;
    if ((typedBig || typedSmall) && !shape) {
        err << "--H and --h belong to --shape\n";
        return kBadArguments;
    }
    // paths are taken relative to the folder the command was started in, before the start-up
    // enters the program folder
    folder = fromCaller(folder);
    dumpFile = fromCaller(dumpFile);
    pngFile = fromCaller(pngFile);
    svgFile = fromCaller(svgFile);
    std::error_code folderError;
    if (!std::filesystem::is_directory(folder, folderError)) {
        err << folder << ": no such folder\n";
        return kBadArguments;
    }
    for (const auto& [option, file] : {std::pair{"--dump", &dumpFile}, std::pair{"--png", &pngFile},
                                       std::pair{"--svg", &svgFile}})
        if (!file->empty() && shell::inWorkFolder(folder, *file)) {
            err << option << ": " << *file << " is in the work folder; the work files are not outputs\n";
            return kBadArguments;
        }

    CliUi ui(err);
    ui.answerYes = !flags.count("--answer-no");
    ui.aperture = aperture;
    ui.maxRadius = maxRadius;
    ui.minLengthOption = minLengthOption;
    ui.resetDistances = flags.count("--reset-distances") > 0;
    ui.removeEmptySpace = flags.count("--remove-empty-space") > 0;
    ui.distances = distances;
    ui.allDistances = allDistances;
    if (flags.count("--chain")) ui.realStart = &startDetached;

    shell::Session session(std::filesystem::path(folder).lexically_normal(), token.toStdString(), ui);
    ui.session = &session;
    // each action and output is one event, as a click is in the window
    const auto act = [&session](const std::function<void()>& f) { return session.handleEvent(f); };
    if (!session.claimWorkFolder()) {  // said why; not a file touched
        if (flags.count("--report")) out << shell::reportJson(session, ui);
        return kFileError;
    }
    act([&] { session.load(); });
    act([&] { session.activate(); });
    act([&] { session.paintEvent(); });

    int status = kDone;
    if (!session.terminated) {
        // the user's actions, always in this order
        shell::Controls& c = session.controls;
        act([&] { clickInto(c.Check3, flags, "--fit-in", "--no-fit-in"); });
        if (shape) {
            // shape 0 has one height, typed into its one text box
            if (*shape == 0) {
                ui.typedText1 = typedSmall ? typedSmall : typedBig;
            } else {
                ui.typedText1 = typedBig;
                ui.typedText2 = typedSmall;
            }
            act([&] { session.galleryClick(*shape); });
            if (ui.dialogRefused) status = kRefused;
        }
        if (knot && status == kDone && !moveSlider(c.HScroll1, *knot, "--knot", err)) return kBadArguments;
        const bool spacing = ui.resetDistances || ui.removeEmptySpace || !distances.empty() || allDistances;
        if (spacing && status == kDone) {
            const std::size_t before = ui.dialogsShown.size();
            act([&] { session.openSignDistanceDialog(); });  // "Only one char !" for a single letter
            if (ui.badDistance) return kBadArguments;
            if (ui.dialogsShown.size() == before) status = kRefused;
        }
        if (aperture && status == kDone) {
            const std::size_t before = ui.dialogsShown.size();
            act([&] { session.openApertureDialog(); });  // "No apertures !" when there is no bridge
            if (ui.refused || ui.dialogsShown.size() == before) status = kRefused;
        }
        if (status == kDone) {
            act([&] { clickInto(c.Check2, flags, "--connection", "--no-connection"); });
            // the connection's boxes, its slider and "Cut" are there only while it is ticked
            const bool wantsCut = flags.count("--cut") || flags.count("--no-cut");
            const bool typed = connectionWidth || baselineDistance;
            if ((typed || connectionSlider || wantsCut) && c.Check2 != 1) {
                err << (typed ? "--connection-width, --baseline-distance" : wantsCut ? "--cut" : "--connection-slider")
                    << ": only while \"Contour connection\" is ticked (--connection)\n";
                return kBadArguments;
            }
            if (typed) {
                if (connectionWidth) c.Text6.set(*connectionWidth);
                if (baselineDistance) c.Text5.set(*baselineDistance);
                act([&] { session.applyConnectionValues(); });
            }
            if (connectionSlider && !moveSlider(c.HScroll2, *connectionSlider, "--connection-slider", err))
                return kBadArguments;
            act([&] { clickInto(c.Check4, flags, "--cut", "--no-cut"); });
            act([&] { clickInto(c.Check5, flags, "--one-object", "--no-one-object"); });
        }
        if ((minLengthOption || maxRadius) && status == kDone) {
            act([&] { session.openPresetting(); });
            if (ui.refused) status = kRefused;
        }
        // what the user sees now
        if (!dumpFile.empty())
            act([&] {
                if (!writeOutput(dumpFile, shell::dumpJson(session.model), err)) status = kFileError;
            });
        if (!pngFile.empty())
            act([&] {
                QByteArray png;
                QBuffer buffer(&png);
                buffer.open(QIODevice::WriteOnly);
                const bool saved = pictureImage(session.picture).save(&buffer, "PNG");
                cleanVectorState();  // the drawing's wide instructions must not slow the conversion after it
                if (!saved) {
                    err << pngFile << ": cannot write\n";
                    status = kFileError;
                } else if (!writeOutput(pngFile, png.toStdString(), err)) {
                    status = kFileError;
                }
            });
        if (!svgFile.empty())
            act([&] {
                const double b = wf::parseNumberOrZero(session.controls.Text4.value()) * 25.4;
                if (!writeOutput(svgFile, preview::svgDocument(session.model, session.controls.Check2 == 1, b), err))
                    status = kFileError;
            });
        // after a refusal nothing writes a work file or starts a program
        if (status == kRefused) ui.realStart = nullptr;
        if (flags.count("--convert") && !session.terminated && status != kRefused) {
            act([&] { session.clickBild2(); });
            // Start convert that stays in the window refused to hand over (too large, no bar)
            if (!session.terminated && status == kDone) status = kRefused;
        }
        if (flags.count("--close") && status != kRefused) act([&] { session.closeWindow(); });
    }
    for (const auto& m : ui.messages)
        if (m.text == shell::kFileAccessError || m.text == shell::kLaterStageMissing) status = kFileError;
    if (flags.count("--report")) out << shell::reportJson(session, ui);
    return status;
}

}  // namespace app

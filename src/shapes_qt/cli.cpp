#include "shapes_qt/cli.h"

#include <QBuffer>
#include <cmath>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>

#include "suite_qt/guard.h"
#include "suite_qt/toolkit.h"
#include "shapes_qt/qtui.h"
#include "preview_qt/render.h"
#include "geom/units.h"
#include "preview/svg.h"
#include "shapes/dimension_dialog.h"
#include "shapes/preset_dialogs.h"
#include "shapes/report.h"
#include "shapes/session.h"
#include "shapes/spacing_dialog.h"
#include "suite/programs.h"
#include "workfile/workfile_io.h"

namespace shapes_qt {

namespace {

enum Exit { kDone = 0, kBadArguments = 1, kRefused = 2, kFileError = 3 };

// What the command line asks for.
struct Request {
    std::string folder, dumpFile, pngFile, svgFile;  // as the system's bytes
    QString token = shapes::kTokenFresh;
    std::optional<int> knot, shape, connectionSlider, undo, redo;
    std::optional<std::string> typedBig, typedSmall, connectionWidth, baselineDistance, aperture, maxRadius,
        allDistances;
    std::vector<std::pair<int, std::int32_t>> distances;  // row (1-based), scroll position
    int minLengthOption = 0;                              // 3: 0.004 inches, 4: 0.002 inches
    std::set<std::string> given;                          // the options given, by name
    bool has(const char* option) const { return given.count(option) > 0; }
    bool spacing() const {
        return has("--reset-distances") || has("--remove-empty-space") || !distances.empty() || allDistances;
    }
};

// an option's value as text, and as the system's bytes (for paths)
struct Value {
    QString text;
    const std::string& raw;
};
// takes an option's value into the request; false (said on `err`) when it is refused
using Take = std::function<bool(Request&, const Value&, std::ostream& err)>;

Take text(std::optional<std::string> Request::*field) {
    return [field](Request& r, const Value& v, std::ostream&) {
        r.*field = v.text.toStdString();
        return true;
    };
}

Take path(std::string Request::*field) {
    return [field](Request& r, const Value& v, std::ostream&) {
        r.*field = v.raw;
        return true;
    };
}

Take wholeNumber(std::optional<int> Request::*field, const char* option) {
    return [field, option](Request& r, const Value& v, std::ostream& err) {
        bool ok = false;
        r.*field = v.text.toInt(&ok);
        if (!ok) err << option << ": not a whole number: " << v.text.toStdString() << "\n";
        return ok;
    };
}

bool shapeNumber(Request& r, const Value& v, std::ostream& err) {
    bool ok = false;
    r.shape = v.text.toInt(&ok);
    if (ok && *r.shape >= 0 && *r.shape < shapes::kShapeCount) return true;
    err << "--shape: a shape number 0 to 19: " << v.text.toStdString() << "\n";
    return false;
}

// "PAIR=IN": the row and the scroll bar position IN / 0.005, rounded
bool distance(Request& r, const Value& v, std::ostream& err) {
    const auto parts = v.text.split('=');
    bool rowOk = false, inOk = false;
    const int row = parts.size() == 2 ? parts[0].toInt(&rowOk) : 0;
    const double in = parts.size() == 2 ? parts[1].toDouble(&inOk) : 0;
    if (rowOk && inOk && std::abs(in) < 1e6) {
        r.distances.emplace_back(row, wf::toInt32(in * shapes::kScrollStepsPerInch));
        return true;
    }
    err << "--distance: PAIR=IN, as 2=0.05: " << v.text.toStdString() << "\n";
    return false;
}

bool minLength(Request& r, const Value& v, std::ostream& err) {
    if (v.text != "0.004" && v.text != "0.002") {
        err << "--min-length: 0.004 or 0.002\n";
        return false;
    }
    r.minLengthOption = v.text == "0.004" ? 3 : 4;
    return true;
}

struct Option {
    const char* name;
    const char* value;  // what the value is called in the usage; nullptr for an option without one
    const char* help;
    Take take;          // for an option with a value
    bool repeatable = false;
};

// Every option of the command line, in the order the usage lists them.
const std::vector<Option>& options() {
    static const std::vector<Option> table = {
        {"--folder", "DIR", "the program folder (default: the folder of this program)", path(&Request::folder)},
        {"--resume", nullptr, "start as with \"stvt3\": the saved state restored", {}},
        {"--token", "TEXT", "start with TEXT as the suite's command line", [](Request& r, const Value& v, std::ostream&) {
             r.token = v.text;
             return true;
         }},
        {"--fit-in", nullptr, "tick \"Fit in\"", {}},
        {"--no-fit-in", nullptr, "untick \"Fit in\"", {}},
        {"--shape", "N", "choose shape N (0..19) in the gallery", shapeNumber},
        {"--H", "IN", "with --shape: the height H typed into its dialog", text(&Request::typedBig)},
        {"--h", "IN", "with --shape: the height h typed into its dialog", text(&Request::typedSmall)},
        {"--knot", "POS", "move the knot slider to POS", wholeNumber(&Request::knot, "--knot")},
        {"--reset-distances", nullptr, "sign distances: \"Reset\"", {}},
        {"--distance", "PAIR=IN", "sign distances: the distance of pair PAIR (from 1), inches", distance, true},
        {"--all-distances", "IN", "sign distances: one distance for all letters, inches", text(&Request::allDistances)},
        {"--remove-empty-space", nullptr, "sign distances: \"Remove empty space\"", {}},
        {"--connection", nullptr, "tick \"Contour connection\"", {}},
        {"--no-connection", nullptr, "untick \"Contour connection\"", {}},
        {"--connection-width", "IN", "the connection's width, then \"Apply\"", text(&Request::connectionWidth)},
        {"--baseline-distance", "IN", "the distance to the baseline, then \"Apply\"", text(&Request::baselineDistance)},
        {"--connection-slider", "N", "move the connection's slider to N",
         wholeNumber(&Request::connectionSlider, "--connection-slider")},
        {"--cut", nullptr, "tick \"Cut\"", {}},
        {"--no-cut", nullptr, "untick \"Cut\"", {}},
        {"--one-object", nullptr, "tick \"Create as one object\"", {}},
        {"--no-one-object", nullptr, "untick \"Create as one object\"", {}},
        {"--aperture", "IN", "the width of the apertures b, inches", text(&Request::aperture)},
        {"--min-length", "0.004|0.002", "presetting: the shortest line or arc, inches", minLength},
        {"--max-radius", "IN", "presetting: the largest radius, inches", text(&Request::maxRadius)},
        {"--undo", "N", "after the actions: undo N steps (as Ctrl+Z N times)", wholeNumber(&Request::undo, "--undo")},
        {"--redo", "N", "after the undoing: redo N steps (as Ctrl+Y N times)", wholeNumber(&Request::redo, "--redo")},
        {"--dump", "FILE", "the model as JSON", path(&Request::dumpFile)},
        {"--png", "FILE", "the preview as drawn now", path(&Request::pngFile)},
        {"--svg", "FILE", "the letters, bridges, outline and bar in millimetres", path(&Request::svgFile)},
        {"--convert", nullptr, "\"Start convert\": the hand-over files", {}},
        {"--close", nullptr, "last of all, close the window", {}},
        {"--chain", nullptr, "really start the programs the handlers ask for", {}},
        {"--answer-no", nullptr, "answer every Yes/No question No", {}},
        {"--report", nullptr, "a JSON summary on standard output", {}},
        {"--help", nullptr, "this text (also -h)", {}},
    };
    return table;
}

// options that exclude each other, shown as alternatives in the usage
const char* const kExclusive[][2] = {{"--resume", "--token"},
                                     {"--fit-in", "--no-fit-in"},
                                     {"--connection", "--no-connection"},
                                     {"--cut", "--no-cut"},
                                     {"--one-object", "--no-one-object"}};

const Option* optionNamed(const QString& name) {
    const QString wanted = name == "-h" ? QString("--help") : name;
    for (const Option& o : options())
        if (wanted == o.name) return &o;
    return nullptr;
}

std::string spelled(const Option& o) { return o.value ? std::string(o.name) + " " + o.value : o.name; }

const char* alternativeOf(const char* name) {
    for (const auto& pair : kExclusive)
        if (std::string(pair[0]) == name) return pair[1];
    return nullptr;
}

void usage(std::ostream& to) {
    std::string line = "usage: letterkerf-cli";
    std::set<std::string> shown;
    for (const Option& o : options()) {
        if (shown.count(o.name)) continue;
        const Option* other = alternativeOf(o.name) ? optionNamed(alternativeOf(o.name)) : nullptr;
        line += " [" + spelled(o) + (other ? " | " + spelled(*other) : "") + "]" + (o.repeatable ? "..." : "");
        if (other) shown.insert(other->name);
    }
    to << line << "\n";
    for (const Option& o : options()) {
        const std::string name = spelled(o);
        to << "  " << name << std::string(name.size() < 28 ? 28 - name.size() : 1, ' ') << o.help << "\n";
    }
}

// Reads the arguments into `r`. An exit status when the run ends here: the usage asked for, or
// arguments refused.
std::optional<int> parse(const std::vector<std::string>& raw, Request& r, std::ostream& out, std::ostream& err) {
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const QString a = QString::fromStdString(raw[i]);
        const Option* o = optionNamed(a);
        if (!o) {
            err << a.toStdString() << ": unknown option\n";
            usage(err);
            return kBadArguments;
        }
        if (std::string(o->name) == "--help") {
            usage(out);
            return kDone;
        }
        r.given.insert(o->name);
        if (!o->value) continue;
        if (i + 1 >= raw.size()) {
            err << a.toStdString() << ": a value is missing\n";
            return kBadArguments;
        }
        ++i;
        if (!o->take(r, Value{QString::fromStdString(raw[i]), raw[i]}, err)) return kBadArguments;
    }
    for (const auto& pair : kExclusive)
        if (r.has(pair[0]) && r.has(pair[1])) {
            err << pair[0] << " and " << pair[1] << " exclude each other\n";
            return kBadArguments;
        }
    if (r.has("--resume")) r.token = shapes::kTokenResume;
    if ((r.typedBig || r.typedSmall) && !r.shape) {
        err << "--H and --h belong to --shape\n";
        return kBadArguments;
    }
    return std::nullopt;
}

// the folder the command was started in, for paths given relative to it (as the system's bytes)
std::string fromCaller(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path abs = path.empty() ? std::filesystem::path() : std::filesystem::absolute(path, ec);
    return ec ? path : abs.string();
}

// Paths are taken relative to the folder the command was started in, before the start-up enters
// the program folder; the program folder must exist and no output may be a work file.
std::optional<int> placePaths(Request& r, std::ostream& err) {
    for (std::string* p : {&r.folder, &r.dumpFile, &r.pngFile, &r.svgFile}) *p = fromCaller(*p);
    std::error_code folderError;
    if (!std::filesystem::is_directory(r.folder, folderError)) {
        err << r.folder << ": no such folder\n";
        return kBadArguments;
    }
    // no output in the work folder, none a file of the suite, nor two of them one file
    wf::Outputs outputs = suite::outputsFor(r.folder);
    for (const auto& [option, file] : {std::pair{"--dump", &r.dumpFile}, std::pair{"--png", &r.pngFile},
                                       std::pair{"--svg", &r.svgFile}}) {
        if (!file->empty() && shapes::inWorkFolder(r.folder, *file)) {
            err << option << ": " << *file << " is in the work folder; the work files are not outputs\n";
            return kBadArguments;
        }
        try {
            if (!file->empty()) outputs.claim(*file);
        } catch (const fault::FileFault& e) {
            err << option << ": " << e.what() << "\n";
            return kBadArguments;
        }
    }
    return std::nullopt;
}

// An output file, replaced whole, never over a file of the suite. A symbolic link the user
// named is followed: its target is replaced (in the target's folder), the link stays.
bool writeOutput(const std::string& folder, const std::string& file, const std::string& content, std::ostream& err) {
    try {
        suite::outputsFor(folder).write(file, content);
        return true;
    } catch (const std::exception& e) {
        err << e.what() << "\n";
        return false;
    }
}

std::optional<std::string> pngOf(const preview::DisplayList& picture) {
    suite_qt::needToolkit();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    const bool saved = preview_qt::pictureImage(picture).save(&buffer, "PNG");
    suite_qt::cleanVectorState();  // the drawing's wide instructions must not slow the conversion after it
    if (!saved) return std::nullopt;
    return png.toStdString();
}

// The headless port, with what the user types into the dialogs the handlers open. Every
// message box is a line on standard error.
class CliUi : public shapes::HeadlessUi {
public:
    CliUi(std::ostream& err, const Request& r) : err_(err), r_(r) {
        answerYes = !r.has("--answer-no");
        if (r.has("--chain")) realStart = &startDetached;
    }
    using HeadlessUi::runDialog;

    bool refused = false;      // a dialog refused what was typed
    bool badDistance = false;  // --distance named a row or a position the dialog does not have

    void message(const std::string& text, const std::string& title, shapes::Icon icon) override {
        HeadlessUi::message(text, title, icon);
        err_ << shapes::iconName(icon) << '|' << title << '|' << text << '\n';
    }

    void runDialog(shapes::ApertureDialog& d) override {
        dialogsShown.push_back(shapes::DialogId::ApertureWidth);
        if (r_.aperture) d.text1 = *r_.aperture;
        if (r_.aperture && d.accept()) return;
        refused = refused || r_.aperture;
        d.cancel();
    }

    void runDialog(shapes::PresettingDialog& d) override {
        dialogsShown.push_back(shapes::DialogId::Presetting);
        if (r_.minLengthOption) d.option = r_.minLengthOption;
        if (r_.maxRadius) d.text1 = *r_.maxRadius;
        if (d.apply()) return;
        refused = true;
        d.exit();
    }

    // the steps of the sign-distance dialog, in the order they are run
    void runDialog(shapes::SpacingDialog& d) override {
        dialogsShown.push_back(shapes::DialogId::SignDistances);
        d.activate();
        if (r_.has("--reset-distances")) d.reset();
        for (const auto& [row, position] : r_.distances) {
            if (!distanceFits(d, row, position)) {
                badDistance = true;
                return d.close();
            }
            d.selectPair(row - 1);
            d.scroll(position);
        }
        if (r_.allDistances) {
            d.Text2.set(*r_.allDistances);
            d.distanceForAll();
        }
        if (r_.has("--remove-empty-space")) d.removeEmptySpace();
        d.close();
    }

private:
    bool distanceFits(const shapes::SpacingDialog& d, int row, std::int32_t position) {
        if (row < 1 || row > static_cast<int>(d.rows.size())) {
            err_ << "--distance: row " << row << " of " << d.rows.size() << "\n";
            return false;
        }
        if (position < d.HScroll2.min() || position > d.HScroll2.max()) {
            err_ << "--distance: the scroll bar runs from " << d.HScroll2.min() * shapes::kInchesPerScrollStep << " to "
                 << d.HScroll2.max() * shapes::kInchesPerScrollStep << " inches\n";
            return false;
        }
        return true;
    }

    std::ostream& err_;
    const Request& r_;
};

// One run of the actions and outputs on a started session, each as one event, as a click is in
// the window; each step tells how the run stands after it.
class Run {
public:
    Run(shapes::Session& s, CliUi& ui, const Request& r, std::ostream& err) : s_(s), ui_(ui), r_(r), err_(err) {}

    // the user's actions, always in this order
    Exit actions() {
        act([&] { clickInto(s_.controls().Check3, "--fit-in", "--no-fit-in"); });
        Exit e = shape();
        if (e == kDone && r_.knot && !moveSlider(s_.controls().HScroll1, *r_.knot, "--knot")) return kBadArguments;
        if (e == kDone && r_.spacing()) e = dialog([&] { s_.openSignDistanceDialog(); });
        if (ui_.badDistance) return kBadArguments;
        if (e == kDone && r_.aperture) e = dialog([&] { s_.openApertureDialog(); });
        if (e == kDone) e = connection();
        if (e == kDone && (r_.minLengthOption || r_.maxRadius)) e = dialog([&] { s_.openPresetting(); });
        for (int i = 0; e == kDone && i < r_.undo.value_or(0); ++i) act([&] { s_.undo(); });
        for (int i = 0; e == kDone && i < r_.redo.value_or(0); ++i) act([&] { s_.redo(); });
        return e;
    }

    // what the user sees now; false when an output could not be written
    bool outputs() {
        bool written = true;
        const auto output = [&](const std::string& file, const std::function<std::optional<std::string>()>& content) {
            if (file.empty()) return;
            act([&] {
                const std::optional<std::string> bytes = content();
                if (!bytes) {
                    err_ << file << ": cannot write\n";
                    written = false;
                } else if (!writeOutput(r_.folder, file, *bytes, err_)) {
                    written = false;
                }
            });
        };
        output(r_.dumpFile, [&] { return shapes::dumpJson(s_.model()); });
        output(r_.pngFile, [&] { return pngOf(s_.picture()); });
        output(r_.svgFile, [&] {
            const double b = wf::parseNumberOrZero(s_.controls().Text4.value()) * geom::kMmPerInch;
            return preview::svgDocument(s_.model(), s_.controls().Check2 == 1, b);
        });
        return written;
    }

    // "Start convert", then closing; a "Start convert" that stays in the window (too large, no
    // bar) refused to hand over, and then nothing closes
    Exit handOn(Exit status) {
        if (r_.has("--convert") && !s_.terminated()) {
            act([&] { s_.startConvert(); });
            if (!s_.terminated() && status == kDone) status = kRefused;
        }
        if (r_.has("--close") && status != kRefused) act([&] { s_.closeWindow(); });
        return status;
    }

private:
    void act(const std::function<void()>& f) { s_.handleEvent(f); }

    // a check box clicked into the state its option names
    void clickInto(shapes::Control<int>& box, const char* on, const char* off) {
        if (r_.has(on) && box.value() != 1) s_.userSet(box, 1);
        if (r_.has(off) && box.value() == 1) s_.userSet(box, 0);
    }

    // moves a slider as the user does; false (and a note) when the position is off its range
    bool moveSlider(shapes::ScrollBar& slider, int position, const char* option) {
        try {
            s_.userSet(slider, position);
            return true;
        } catch (const std::exception&) {
            err_ << option << ": the slider runs from " << slider.min() << " to " << slider.max() << "\n";
            return false;
        }
    }

    // a handler that opens a dialog: refused when the dialog did not come up or refused the input
    Exit dialog(const std::function<void()>& open) {
        const std::size_t before = ui_.dialogsShown.size();
        act(open);
        return ui_.refused || ui_.dialogsShown.size() == before ? kRefused : kDone;
    }

    Exit shape() {
        if (!r_.shape) return kDone;
        // shape 0 has one height, typed into its one text box
        if (*r_.shape == 0) {
            ui_.typedText1 = r_.typedSmall ? r_.typedSmall : r_.typedBig;
        } else {
            ui_.typedText1 = r_.typedBig;
            ui_.typedText2 = r_.typedSmall;
        }
        act([&] { s_.chooseShape(*r_.shape); });
        return ui_.dialogRefused ? kRefused : kDone;
    }

    // the connection's boxes, its slider and "Cut" are there only while it is ticked
    Exit connection() {
        shapes::Controls& c = s_.controls();
        act([&] { clickInto(c.Check2, "--connection", "--no-connection"); });
        const bool wantsCut = r_.has("--cut") || r_.has("--no-cut");
        const bool typed = r_.connectionWidth || r_.baselineDistance;
        if ((typed || r_.connectionSlider || wantsCut) && c.Check2 != 1) {
            err_ << (typed ? "--connection-width, --baseline-distance" : wantsCut ? "--cut" : "--connection-slider")
                 << ": only while \"Contour connection\" is ticked (--connection)\n";
            return kBadArguments;
        }
        if (typed) {
            if (r_.connectionWidth) s_.userSet(c.Text6, *r_.connectionWidth);
            if (r_.baselineDistance) s_.userSet(c.Text5, *r_.baselineDistance);
            act([&] { s_.applyConnectionValues(); });
        }
        if (r_.connectionSlider && !moveSlider(c.HScroll2, *r_.connectionSlider, "--connection-slider"))
            return kBadArguments;
        act([&] { clickInto(c.Check4, "--cut", "--no-cut"); });
        act([&] { clickInto(c.Check5, "--one-object", "--no-one-object"); });
        return kDone;
    }

    shapes::Session& s_;
    CliUi& ui_;
    const Request& r_;
    std::ostream& err_;
};

}  // namespace

int runCli(const QStringList& args, const QString& defaultFolder, std::ostream& out, std::ostream& err) {
    std::vector<std::string> raw;
    for (const QString& a : args) raw.push_back(a.toStdString());
    return runCli(raw, defaultFolder.toStdString(), out, err);
}

int runCli(const std::vector<std::string>& raw, const std::string& defaultFolder, std::ostream& out, std::ostream& err) {
    Request r;
    r.folder = defaultFolder;
    if (const auto status = parse(raw, r, out, err)) return *status;
    if (const auto status = placePaths(r, err)) return *status;

    CliUi ui(err, r);
    shapes::Session session(std::filesystem::path(r.folder).lexically_normal(), r.token.toStdString(), ui);
    session.keepPicture(!r.pngFile.empty());
    const auto report = [&] {
        if (r.has("--report")) out << shapes::reportJson(session, ui);
    };
    if (!session.claimWorkFolder()) {  // said why; not a file touched
        report();
        return kFileError;
    }
    session.handleEvent([&] { session.load(); });
    session.handleEvent([&] { session.activate(); });
    session.handleEvent([&] { session.paintEvent(); });

    Exit status = kDone;
    if (!session.terminated()) {
        Run run(session, ui, r, err);
        const Exit acted = run.actions();
        if (acted == kBadArguments) return kBadArguments;
        status = run.outputs() ? acted : kFileError;
        // after a refusal nothing writes a work file or starts a program
        if (acted == kRefused)
            ui.realStart = nullptr;
        else
            status = run.handOn(status);
    }
    if (ui.fileErrors > 0) status = kFileError;
    report();
    return status;
}

}  // namespace shapes_qt

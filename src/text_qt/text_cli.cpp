#include "text_qt/text_cli.h"

#include <unistd.h>

#include <charconv>
#include <filesystem>
#include <functional>
#include <optional>

#include "suite_qt/qt_ui.h"
#include "workfile/workfile_io.h"
#include "text/stage.h"

namespace text_qt {

namespace {

namespace fs = std::filesystem;

enum Exit { kDone = 0, kBadArguments = 1, kRefused = 2, kFileError = 3 };

struct Option {
    const char* name;
    const char* value;  // nullptr: a flag
    const char* help;
};
// The usage text and the parser both come from this table.
constexpr Option kOptions[] = {
    {"--folder", "DIR", "the program folder (holds workfiles/ and letterkerf); default: this program's folder"},
    {"--text", "TEXT", "the text, UTF-8, up to 255 letters; default: the text of the last run in the folder"},
    {"--font", "FONT", "\"Family\", \"Family:Style\" or a font file; default: the last run's font, else DejaVu Sans Bold"},
    {"--no-bridges", nullptr, "letters without bridges, as STV1b.EXE sets them"},
    {"--two-bridges", nullptr, "two bridges also for counters of 12 to 25 mm as cut (from 25 mm always)"},
    {"--start", nullptr, "really start the shapes stage (letterkerf stvt); otherwise the start is only reported"},
    {"--report", nullptr, "a JSON summary on standard output"},
    {"--help", nullptr, "this text"},
};

std::string usage() {
    std::string s =
        "usage: letterkerf-text-cli [OPTIONS]\n"
        "Sets the text in the font, places the stencil bridges, writes workfiles/tground.dat, shap.dat,\n"
        "wif.dat and stv1text.dat and starts the shapes stage, as \"Next\" in the window does.\n\n";
    for (const Option& o : kOptions) {
        std::string left = std::string("  ") + o.name + (o.value ? std::string(" ") + o.value : "");
        left.resize(std::max<std::size_t>(left.size() + 2, 20), ' ');
        s += left + o.help + "\n";
    }
    s += "\nExit status: 0 done, 1 bad arguments, 2 the text or font was refused, 3 a file error.\n"
         "Messages go to standard error as ICON|TITLE|TEXT.\n";
    return s;
}

std::string json(std::string_view s) { return wf::jsonString(s); }

std::string json(double v) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}


std::string report(const text::TextStage& stage, const std::optional<text::Lettering>& l, const suite::HeadlessUi& port) {
    std::string o = "{\n";
    o += "  \"program\": " + json(text::programName(stage.variant())) + ",\n";
    o += "  \"text\": " + json(stage.text()) + ",\n";
    o += "  \"font\": {\"family\": " + json(stage.font().family) + ", \"style\": " + json(stage.font().style) +
         ", \"file\": " + json(stage.font().file) + "},\n";
    o += "  \"bridges\": " + std::string(stage.bridges() ? "true" : "false") + ",\n";
    if (l) {
        o += "  \"letterCount\": " + std::to_string(l->letters.size()) + ",\n";
        o += "  \"points\": " + std::to_string(l->points()) + ",\n";
        o += "  \"bridgeCount\": " + std::to_string(l->bridgeCount()) + ",\n";
        o += "  \"looseIslands\": " + std::to_string(l->looseCount()) + ",\n";
        o += "  \"stripWidth\": " + json(l->stripWidth) + ",\n";
        o += "  \"letterHeightMm\": " + json(l->cut.heightMm) + ", \"apertureMm\": " + json(l->cut.apertureMm) +
             ", \"twoBridgesFromMm\": " + json(l->twoForMidSize ? text::kTwoBridgesChosenMm : text::kTwoBridgesMm) + ",\n";
        o += "  \"letters\": [";
        for (std::size_t i = 0; i < l->letters.size(); ++i) {
            const text::Letter& k = l->letters[i];
            o += std::string(i ? ",\n" : "\n") + "    {\"text\": " + json(k.character.bytes) +
                 ", \"advance\": " + json(k.advance) + ", \"kerning\": " + json(k.kerning) +
                 ", \"contours\": " + std::to_string(k.contours.size()) +
                 ", \"islands\": " + std::to_string(k.islands) + ", \"bridges\": " + std::to_string(k.bridges.size()) +
                 ", \"loose\": " + std::to_string(k.loose.size()) + "}";
        }
        o += "\n  ],\n";
    }
    o += "  \"messages\": [";
    for (std::size_t i = 0; i < port.messages.size(); ++i) {
        const auto& m = port.messages[i];
        o += std::string(i ? ", " : "") + "{\"icon\": " + json(suite::iconName(m.icon)) + ", \"title\": " + json(m.title) +
             ", \"text\": " + json(m.text) + "}";
    }
    o += "],\n  \"started\": [";
    for (std::size_t i = 0; i < port.started.size(); ++i) {
        o += std::string(i ? ", " : "") + "{\"program\": " + json(port.started[i].program) + ", \"arguments\": [";
        for (std::size_t k = 0; k < port.started[i].arguments.size(); ++k)
            o += std::string(k ? ", " : "") + json(port.started[i].arguments[k]);
        o += "]}";
    }
    return o + "]\n}\n";
}

fs::path againstCaller(const std::string& p, const std::string& callerFolder) {
    const fs::path path(p);
    return path.is_absolute() ? path : fs::path(callerFolder) / path;
}

}  // namespace

int runTextCli(const std::vector<std::string>& args, const std::string& programFile, const std::string& callerFolder,
               std::ostream& out, std::ostream& err) {
    std::optional<std::string> folder, typed, fontSpec;
    bool noBridges = false, twoBridges = false, start = false, wantReport = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const Option* opt = nullptr;
        for (const Option& o : kOptions)
            if (a == o.name || (a == "-h" && std::string(o.name) == "--help")) opt = &o;
        if (!opt) {
            err << a << ": unknown option\n" << usage();
            return kBadArguments;
        }
        if (opt->value) {
            if (i + 1 >= args.size()) {
                err << a << ": a value is missing\n";
                return kBadArguments;
            }
            const std::string& v = args[++i];
            if (a == "--folder") folder = v;
            else if (a == "--text") typed = v;
            else fontSpec = v;
        } else if (a == "--help" || a == "-h") {
            out << usage();
            return kDone;
        } else if (a == "--no-bridges") {
            noBridges = true;
        } else if (a == "--two-bridges") {
            twoBridges = true;
        } else if (a == "--start") {
            start = true;
        } else {
            wantReport = true;
        }
    }
    std::error_code ec;
    const fs::path programFolder =
        folder ? againstCaller(*folder, callerFolder) : fs::absolute(programFile, ec).parent_path();
    if (!fs::is_directory(programFolder, ec)) {
        err << programFolder.string() << ": no such folder\n";
        return kBadArguments;
    }
    const text::Variant variant = noBridges ? text::Variant::NoBridges : text::variantOfProgram(programFile);

    suite::HeadlessUi port;
    port.echo = &err;
    if (start) port.realStart = &suite_qt::startDetached;
    text::TextStage stage(fs::absolute(programFolder, ec).lexically_normal(), variant, port);
    if (!stage.claimWorkFolder()) {  // another program works there: said why, nothing touched
        if (wantReport) out << report(stage, std::nullopt, port);
        return kFileError;
    }
    stage.reopen();
    if (typed) stage.setText(*typed);
    if (twoBridges) stage.setTwoForMidSize(true);
    int status = kDone;
    if (fontSpec) {
        try {
            std::string request = *fontSpec;
            if (request.find('/') != std::string::npos || fs::is_regular_file(againstCaller(request, callerFolder), ec))
                request = againstCaller(request, callerFolder).string();
            stage.setFont(text::resolveFont(request));
        } catch (const fault::TextFault& e) {
            port.message(e.what(), "Font", text::Icon::Critical);
            status = kRefused;
        }
    }
    std::optional<text::Lettering> lettering;
    if (status == kDone) {
        try {
            lettering = stage.lettering();
        } catch (const fault::TextFault&) {
            // next() tells the user
        }
        const text::NextOutcome r = stage.next();
        status = r == text::NextOutcome::Started ? kDone : r == text::NextOutcome::Refused ? kRefused : kFileError;
    }
    if (wantReport) out << report(stage, lettering, port);
    return status;
}

}  // namespace text_qt

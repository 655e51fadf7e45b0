#include "cut_qt/cut_cli.h"

#include <QBuffer>
#include <QImage>

#include <charconv>
#include <cmath>
#include <functional>

#include "cut_qt/picture.h"
#include "suite/port.h"
#include "suite/programs.h"
#include "workfile/stage_files.h"
#include "workfile/work_lock.h"
#include "workfile/workfile_io.h"
#include "cut/writers.h"

namespace cut_qt {

namespace fs = std::filesystem;

namespace {

struct Option {
    const char* name;
    const char* value;  // nullptr: a switch
    const char* help;
    std::function<std::string(Request&, const std::string&, const fs::path&)> apply;
};

std::string number(const std::string& text, double lo, double hi, double& out) {
    double v = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, v);
    if (ec != std::errc() || ptr != end || !std::isfinite(v) || v < lo || v > hi) return "not a number from " + std::to_string(static_cast<int>(lo)) + " to " + std::to_string(static_cast<int>(hi));
    out = v;
    return {};
}

fs::path against(const fs::path& base, const std::string& p) {
    const fs::path path(p);
    return (path.is_absolute() ? path : base / path).lexically_normal();
}

const std::vector<Option>& options() {
    static const std::vector<Option> table = {
        {"--folder", "DIR", "the program folder holding workfiles/ (default: the folder of this program)",
         [](Request& r, const std::string& v, const fs::path& c) { r.folder = against(c, v); return std::string(); }},
        {"--kind", "stencil|lettering", "the kind of drawing (default: lettering when workm.dat holds a bar, else stencil)",
         [](Request& r, const std::string& v, const fs::path&) {
             if (v == "stencil") r.kind = cut::Kind::Stencil;
             else if (v == "lettering") r.kind = cut::Kind::Lettering;
             else return std::string("--kind takes stencil or lettering");
             return std::string();
         }},
        {"--kerf", "MM", "width of the cut in mm (default 0); every outline moves by half of it",
         [](Request& r, const std::string& v, const fs::path&) {
             const std::string e = number(v, 0, 100, r.kerf);
             return e.empty() ? e : "--kerf: " + e;
         }},
        {"--min-width", "MM",
         "the thinnest web or bridge to keep, in mm (default 1); thinner material, or material thinner than the "
         "kerf, is a problem",
         [](Request& r, const std::string& v, const fs::path&) {
             const std::string e = number(v, 0, cut::kMostMinWidth, r.minWidth);
             return e.empty() ? e : "--min-width: " + e;
         }},
        {"--tabs", nullptr, "lettering: join every loose piece to its letter with a tab as wide as the apertures",
         [](Request& r, const std::string&, const fs::path&) { r.tabs = true; return std::string(); }},
        {"--border", "MM", "stencil: cut the sheet's edge at this margin around the letters",
         [](Request& r, const std::string& v, const fs::path&) {
             const std::string e = number(v, 0, 10000, r.border);
             return e.empty() ? e : "--border: " + e;
         }},
        {"--sheet", "WxH", "the largest sheet the machine takes, in mm (e.g. 600x400); a larger drawing is a problem",
         [](Request& r, const std::string& v, const fs::path&) {
             const auto x = v.find_first_of("xX");
             if (x == std::string::npos) return std::string("--sheet takes WIDTHxHEIGHT in mm, e.g. 600x400");
             std::string e = number(v.substr(0, x), 1, 20000, r.sheetWidth);
             if (e.empty()) e = number(v.substr(x + 1), 1, 20000, r.sheetHeight);
             return e.empty() ? e : "--sheet: " + e;
         }},
        {"--tile", nullptr,
         "stencil larger than the sheet: split it into numbered sheets that fit, overlapping by 20 mm with "
         "registration holes; each file is written once per sheet, as NAME-1.dxf, NAME-2.dxf, ...",
         [](Request& r, const std::string&, const fs::path&) { r.tile = true; return std::string(); }},
        {"--dxf", "FILE", "write the drawing as DXF (default, when no file is named: workfiles/<kind>.dxf)",
         [](Request& r, const std::string& v, const fs::path& c) { r.dxf = against(c, v); return std::string(); }},
        {"--svg", "FILE", "write the drawing as SVG",
         [](Request& r, const std::string& v, const fs::path& c) { r.svg = against(c, v); return std::string(); }},
        {"--png", "FILE", "write a picture of the drawing as PNG",
         [](Request& r, const std::string& v, const fs::path& c) { r.png = against(c, v); return std::string(); }},
        {"--reference-layers", nullptr,
         "also write the letters, bridge strips and bar as handed over, for reference: in the DXF on layers that are "
         "off and not plotted, in the SVG in a hidden group",
         [](Request& r, const std::string&, const fs::path&) { r.referenceLayers = true; return std::string(); }},
        {"--report", nullptr, "print a JSON summary on standard output: pieces, problems, areas, extents in mm",
         [](Request& r, const std::string&, const fs::path&) { r.report = true; return std::string(); }},
        {"--window", nullptr, "open the window with these settings instead of working without one",
         [](Request& r, const std::string&, const fs::path&) { r.window = true; return std::string(); }},
        {"--help", nullptr, "print this text",
         [](Request& r, const std::string&, const fs::path&) { r.help = true; return std::string(); }},
    };
    return table;
}

// The report with the files written.
std::string reportWithOutputs(const cut::Drawing& d, const cut::Handover& h, const std::vector<std::string>& written) {
    std::string extra = ",\n  \"written\": [";
    for (std::size_t i = 0; i < written.size(); ++i) extra += (i ? ", " : "") + wf::jsonString(written[i]);
    extra += "]";
    std::string json = cut::reportJson(d, h);
    json.insert(json.rfind('}'), extra + " ");
    return json;
}


}  // namespace

std::string usage() {
    std::string s =
        "Usage: letterkerf-cut [OPTIONS]\n"
        "Reads the hand-over of the shapes stage (workfiles/c3.dat, workrl.dat, workm.dat, hl.dat,\n"
        "orgdim.dat), makes the cut drawing and writes it. Without options (or with the token\n"
        "stvt) the window opens.\n\n";
    for (const Option& o : options()) {
        std::string left = std::string("  ") + o.name + (o.value ? std::string(" ") + o.value : "");
        if (left.size() < 28) left.resize(28, ' ');
        else left += "  ";
        s += left + o.help + "\n";
    }
    s += "\nMessages go to standard error as ICON|TITLE|TEXT. Exit status: 0 done (also when the\n"
         "drawing has problems; they are listed), 1 bad arguments, 2 refused input, 3 file error.\n";
    return s;
}

bool wantsWindow(const std::vector<std::string>& args) {
    return args.empty() || (args.size() == 1 && args[0].rfind("-", 0) != 0);
}

std::string parseArguments(const std::vector<std::string>& args, const fs::path& callerDir,
                           const fs::path& programFolder, Request& r) {
    r.folder = programFolder;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i], value;
        bool inlineValue = false;
        if (const auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos)
            value = name.substr(eq + 1), name = name.substr(0, eq), inlineValue = true;
        if (name == "-h") name = "--help";
        const Option* opt = nullptr;
        for (const Option& o : options())
            if (name == o.name) opt = &o;
        if (!opt) {
            if (i == 0 && name == "stvt") continue;  // the token the shapes stage passes
            return "unknown option " + args[i];
        }
        if (opt->value && !inlineValue) {
            if (i + 1 >= args.size()) return std::string(opt->name) + " needs " + opt->value;
            value = args[++i];
        } else if (!opt->value && inlineValue) {
            return std::string(opt->name) + " takes no value";
        }
        if (std::string e = opt->apply(r, value, callerDir); !e.empty()) return e;
    }
    return {};
}

cut::Options optionsOf(const Request& r, const cut::Handover& h) {
    cut::Options o;
    o.kind = r.kind.value_or(cut::defaultKind(h));
    o.kerf = r.kerf;
    o.minWidth = r.minWidth;
    o.tabs = r.tabs;
    o.border = r.border;
    o.sheetWidth = r.sheetWidth;
    o.sheetHeight = r.sheetHeight;
    o.tile = r.tile;
    return o;
}

fs::path defaultDxf(const fs::path& folder, cut::Kind kind) {
    return folder / "workfiles" / (kind == cut::Kind::Stencil ? "stencil.dxf" : "lettering.dxf");
}

std::string problemSummary(const cut::Drawing& d) {
    if (d.problems.empty()) return {};
    std::string s = d.problems.size() == 1 ? "The drawing has 1 problem:" : "The drawing has " + std::to_string(d.problems.size()) + " problems:";
    std::size_t shown = 0;
    for (const auto& p : d.problems) {
        if (shown++ == 5) {
            s += " ...";
            break;
        }
        s += std::string(shown > 1 ? ";" : "") + " " + cut::problemText(p);
    }
    return s + ".";
}

namespace {

// The PNG of the drawing, made in memory.
std::string pngBytes(const cut::Drawing& d) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!drawingImage(d, QSize(1280, 960)).save(&buffer, "PNG") || png.isEmpty())
        throw fault::FileFault("the picture could not be made");
    return png.toStdString();
}

// The files asked for, in the order they are written.
std::vector<std::pair<fs::path, Output>> outputsOf(const Request& r) {
    std::vector<std::pair<fs::path, Output>> out;
    if (!r.dxf.empty()) out.emplace_back(r.dxf, Output::Dxf);
    if (!r.svg.empty()) out.emplace_back(r.svg, Output::Svg);
    if (!r.png.empty()) out.emplace_back(r.png, Output::Png);
    return out;
}

}  // namespace

std::string outputBytes(Output kind, const cut::Drawing& d, const cut::Handover& h, bool referenceLayers) {
    switch (kind) {
        case Output::Dxf: return cut::dxfText(d, h, referenceLayers);
        case Output::Svg: return cut::svgText(d, h, referenceLayers);
        case Output::Png: return pngBytes(d);
    }
    return {};
}

std::vector<std::pair<fs::path, std::function<std::string()>>> filesOf(const fs::path& file, Output kind, const cut::Drawing& d,
                                                                      const cut::Handover& h, bool referenceLayers) {
    std::vector<std::pair<fs::path, std::function<std::string()>>> out;
    if (d.sheets.empty()) {
        out.emplace_back(file, [&d, &h, kind, referenceLayers] { return outputBytes(kind, d, h, referenceLayers); });
        return out;
    }
    // a tiled stencil: one file per sheet; the reference outlines belong to the whole drawing
    for (std::size_t k = 0; k < d.sheets.size(); ++k) {
        const fs::path one = file.parent_path() /
                             (file.stem().string() + "-" + std::to_string(d.sheets[k].number) + file.extension().string());
        out.emplace_back(one, [&d, &h, kind, k] { return outputBytes(kind, cut::sheetDrawing(d, k), h, false); });
    }
    return out;
}

int runHeadless(const Request& r, std::ostream& out, std::ostream& err) {
    suite::HeadlessUi ui;
    ui.echo = &err;
    // every output is checked before anything is read or written
    wf::Outputs outputs = suite::outputsFor(r.folder);
    auto targets = outputsOf(r);
    try {
        for (const auto& [file, kind] : targets) outputs.claim(file);
    } catch (const fault::FileFault& e) {
        ui.message(e.what(), "Command line", suite::Icon::Critical);
        return 1;
    }
    // held until the drawing is written; a second program on the folder ends here, touching nothing
    wf::WorkFolderLock lock(r.folder / "workfiles");
    const wf::FolderClaim claim = wf::claimOf(lock.acquire());
    if (claim.text) ui.message(claim.text, claim.title, claim.critical ? suite::Icon::Critical : suite::Icon::Information);
    if (!claim.proceed) return 3;
    cut::Handover h;
    try {
        h = cut::readHandover(r.folder / "workfiles");
    } catch (const fault::HandoverFault& e) {
        ui.message(cut::handoverMessage(e), "Hand-over", suite::Icon::Critical);
        return e.status;
    }
    const cut::Options o = optionsOf(r, h);
    cut::Drawing d;
    try {
        d = cut::makeDrawing(h, o);
    } catch (const fault::DrawingFault& e) {
        ui.message(e.what(), "Cut drawing", suite::Icon::Critical);
        return 2;
    }
    if (const wf::HandoverAge age = wf::handoverAge(r.folder); age.stale) cut::markStale(d, age.reason);
    std::vector<std::string> written;
    int status = 0;
    if (targets.empty()) targets.emplace_back(defaultDxf(r.folder, o.kind), Output::Dxf);
    for (const auto& [given, kind] : targets)
        for (const auto& [file, bytes] : filesOf(given, kind, d, h, r.referenceLayers)) {
            try {
                outputs.write(file, bytes());
                written.push_back(file.string());
            } catch (const std::exception& e) {
                ui.message(e.what(), "Cut drawing", suite::Icon::Critical);
                status = 3;
            }
        }
    const std::string summary = problemSummary(d);
    if (!summary.empty()) ui.message(summary, "Cut drawing", suite::Icon::Information);
    if (r.report) out << reportWithOutputs(d, h, written);
    return status;
}

int runCli(const std::vector<std::string>& args, const fs::path& callerDir, const fs::path& programFolder,
           std::ostream& out, std::ostream& err) {
    Request r;
    if (const std::string e = parseArguments(args, callerDir, programFolder, r); !e.empty()) {
        err << "critical|Command line|" << e << '\n';
        return 1;
    }
    if (r.help) {
        out << usage();
        return 0;
    }
    return runHeadless(r, out, err);
}

}  // namespace cut_qt

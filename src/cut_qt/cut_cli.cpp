#include "cut_qt/cut_cli.h"

#include <QImage>

#include <charconv>
#include <cmath>
#include <functional>

#include "cut_qt/picture.h"
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
        {"--tabs", nullptr, "lettering: join every loose piece to its letter with a tab as wide as the apertures",
         [](Request& r, const std::string&, const fs::path&) { r.tabs = true; return std::string(); }},
        {"--border", "MM", "stencil: cut the sheet's edge at this margin around the letters",
         [](Request& r, const std::string& v, const fs::path&) {
             const std::string e = number(v, 0, 10000, r.border);
             return e.empty() ? e : "--border: " + e;
         }},
        {"--dxf", "FILE", "write the drawing as DXF (default, when no file is named: workfiles/<kind>.dxf)",
         [](Request& r, const std::string& v, const fs::path& c) { r.dxf = against(c, v); return std::string(); }},
        {"--svg", "FILE", "write the drawing as SVG",
         [](Request& r, const std::string& v, const fs::path& c) { r.svg = against(c, v); return std::string(); }},
        {"--png", "FILE", "write a picture of the drawing as PNG",
         [](Request& r, const std::string& v, const fs::path& c) { r.png = against(c, v); return std::string(); }},
        {"--report", nullptr, "print a JSON summary on standard output: pieces, problems, areas, extents in mm",
         [](Request& r, const std::string&, const fs::path&) { r.report = true; return std::string(); }},
        {"--window", nullptr, "open the window with these settings instead of working without one",
         [](Request& r, const std::string&, const fs::path&) { r.window = true; return std::string(); }},
        {"--help", nullptr, "print this text",
         [](Request& r, const std::string&, const fs::path&) { r.help = true; return std::string(); }},
    };
    return table;
}

// The hand-over files, which no output may replace.
const char* const kHandover[] = {"c3.dat", "workrl.dat", "workm.dat", "hl.dat", "orgdim.dat"};

bool namesWorkFile(const fs::path& out, const fs::path& folder) {
    const fs::path dir = (folder / "workfiles").lexically_normal();
    if (out.parent_path().lexically_normal() != dir) return false;
    if (out.extension() == ".dat") return true;
    for (const char* n : kHandover)
        if (out.filename() == n) return true;
    return false;
}

void message(std::ostream& err, const char* icon, const std::string& title, const std::string& text) {
    err << icon << '|' << title << '|' << text << '\n';
}


std::string mm(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    return buf;
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
    for (const fs::path* out : {&r.dxf, &r.svg, &r.png})
        if (!out->empty() && namesWorkFile(*out, r.folder)) return out->string() + " is a work file; choose another name";
    return {};
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
        s += std::string(shown > 1 ? ";" : "") + " " + cut::problemName(p.kind) + " of letter " + std::to_string(p.letter) +
             " at (" + mm(p.place.x) + ", " + mm(p.place.y) + ") mm";
    }
    return s + ".";
}

int runHeadless(const Request& r, std::ostream& out, std::ostream& err) {
    // held until the drawing is written; a second program on the folder ends here, touching nothing
    wf::WorkFolderLock lock(r.folder / "workfiles");
    const wf::FolderClaim claim = wf::claimOf(lock.acquire());
    if (claim.text) message(err, claim.critical ? "critical" : "information", claim.title, claim.text);
    if (!claim.proceed) return 3;
    cut::Handover h;
    try {
        h = cut::readHandover(r.folder / "workfiles");
    } catch (const fault::HandoverFault& e) {
        message(err, "critical", "Hand-over", e.what());
        return e.status;
    }
    cut::Options o;
    o.kind = r.kind.value_or(cut::defaultKind(h));
    o.kerf = r.kerf;
    o.tabs = r.tabs;
    o.border = r.border;
    cut::Drawing d;
    try {
        d = cut::makeDrawing(h, o);
    } catch (const fault::DrawingFault& e) {
        message(err, "critical", "Cut drawing", e.what());
        return 2;
    }
    std::vector<std::string> written;
    int status = 0;
    auto save = [&](const fs::path& file, const std::function<std::string()>& make) {
        try {
            cut::saveFile(file, make());
            written.push_back(file.string());
        } catch (const std::exception& e) {
            message(err, "critical", "Cut drawing", e.what());
            status = 3;
        }
    };
    const fs::path dxf = r.dxf.empty() && r.svg.empty() && r.png.empty() ? defaultDxf(r.folder, o.kind) : r.dxf;
    if (!dxf.empty()) save(dxf, [&] { return cut::dxfText(d, h); });
    if (!r.svg.empty()) save(r.svg, [&] { return cut::svgText(d); });
    if (!r.png.empty()) {
        try {
            const QImage img = drawingImage(d, QSize(1280, 960));
            const fs::path tmp = r.png.parent_path() / ("." + r.png.filename().string() + ".part.png");
            std::error_code ec;
            if (fs::exists(r.png, ec) && !fs::is_regular_file(r.png, ec)) throw fault::FileFault(r.png.string() + " is not a file");
            if (!img.save(QString::fromStdString(tmp.string()), "PNG")) throw fault::FileFault(r.png.string() + " cannot be written");
            const std::string bytes = [&] {
                std::string b;
                try {
                    b = wf::readFile(tmp);
                } catch (const fault::FileFault&) {
                }
                fs::remove(tmp, ec);
                return b;
            }();
            if (bytes.empty()) throw fault::FileFault(r.png.string() + " cannot be written");
            cut::saveFile(r.png, bytes);
            written.push_back(r.png.string());
        } catch (const std::exception& e) {
            message(err, "critical", "Cut drawing", e.what());
            status = 3;
        }
    }
    const std::string summary = problemSummary(d);
    if (!summary.empty()) message(err, "information", "Cut drawing", summary);
    if (r.report) {
        std::string extra = ",\n  \"written\": [";
        for (std::size_t i = 0; i < written.size(); ++i) extra += (i ? ", " : "") + wf::jsonString(written[i]);
        extra += "]";
        std::string json = cut::reportJson(d, h);
        const auto close = json.rfind('}');
        json.insert(close, extra + " ");
        out << json;
    }
    return status;
}

int runCli(const std::vector<std::string>& args, const fs::path& callerDir, const fs::path& programFolder,
           std::ostream& out, std::ostream& err) {
    Request r;
    if (const std::string e = parseArguments(args, callerDir, programFolder, r); !e.empty()) {
        message(err, "critical", "Command line", e);
        return 1;
    }
    if (r.help) {
        out << usage();
        return 0;
    }
    return runHeadless(r, out, err);
}

}  // namespace cut_qt

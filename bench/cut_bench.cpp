// The whole cut drawing of the cut stage: reading the hand-over, booleans, checks, DXF and SVG,
// for 125 letters joined by the bar with "Cut" and 250 single letters (more than the bar holds),
// as lettering and as a stencil; and a stencil of 250 letters with a
// border and a kerf written as all three files (DXF, SVG, PNG), whole and tiled.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <map>

#include "cut/cut.h"
#include "cut/handover.h"
#include "cut/writers.h"
#include "cut_qt/cut_cli.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// A program folder with the letters converted by the shapes stage's command line, made once:
// joined by the bar with "Cut", or (`single`) as they are.
fs::path handover(const char* letters, bool single = false) {
    static std::map<std::string, fs::path> made;
    const std::string key = std::string(letters) + (single ? "-single" : "");
    if (auto it = made.find(key); it != made.end()) return it->second;
    const fs::path dir = fs::path(LK_TEST_DATA) / ("cut-" + key);
    fs::remove_all(dir);
    fs::create_directories(dir / "workfiles");
    fs::copy_file(fs::path(LK_TEST_DATA) / (std::string(letters) + ".dat"), dir / "workfiles" / "tground.dat");
    const std::string cli = (fs::path(LK_PROGRAM_DIR) / "letterkerf-cli").string(), folder = dir.string();
    const char* joined[] = {cli.c_str(), "--folder", folder.c_str(), "--connection", "--cut", "--convert", nullptr};
    const char* plain[] = {cli.c_str(), "--folder", folder.c_str(), "--no-connection", "--convert", nullptr};
    const char** argv = single ? plain : joined;
    pid_t pid;
    if (posix_spawn(&pid, cli.c_str(), nullptr, nullptr, const_cast<char**>(argv), environ) == 0) {
        int status;
        waitpid(pid, &status, 0);
    }
    return made[key] = dir;
}

void cutDrawing(benchmark::State& state, const char* letters, cut::Kind kind, bool joined) {
    const fs::path dir = handover(letters, !joined);
    std::size_t bytes = 0;
    try {
        cut::readHandover(dir / "workfiles");
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return;
    }
    for (auto _ : state) {
        const cut::Handover h = cut::readHandover(dir / "workfiles");
        cut::Options o;
        o.kind = kind;
        const cut::Drawing d = cut::makeDrawing(h, o);
        const std::string dxf = cut::dxfText(d, h), svg = cut::svgText(d, h);
        bytes = dxf.size() + svg.size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

// A stencil with a 10 mm border and a kerf of 0.2 mm, made and written as DXF, SVG and PNG
// (each sheet's three when tiled onto 600 x 400 mm).
void stencilFiles(benchmark::State& state, const char* letters, bool tiled) {
    const fs::path dir = handover(letters, true);
    try {
        cut::readHandover(dir / "workfiles");
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return;
    }
    std::size_t bytes = 0, sheets = 0;
    for (auto _ : state) {
        const cut::Handover h = cut::readHandover(dir / "workfiles");
        cut::Options o;
        o.kind = cut::Kind::Stencil;
        o.border = 10;
        o.kerf = 0.2;
        if (tiled) o.sheetWidth = 600, o.sheetHeight = 400, o.tile = true;
        const cut::Drawing d = cut::makeDrawing(h, o);
        bytes = 0;
        for (const cut_qt::Output kind : {cut_qt::Output::Dxf, cut_qt::Output::Svg, cut_qt::Output::Png})
            for (const auto& [file, make] : cut_qt::filesOf("out", kind, d, h, false)) bytes += make().size();
        sheets = d.sheets.size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
    state.counters["sheets"] = static_cast<double>(sheets);
}

}  // namespace

BENCHMARK_CAPTURE(stencilFiles, stencil250AllFiles, "long", false)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK_CAPTURE(stencilFiles, stencil250AllFilesTiled, "long", true)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
// 250 letters cut need a bar of more than its 641 elements: they are cut as single letters
BENCHMARK_CAPTURE(cutDrawing, lettering125, "half", cut::Kind::Lettering, true)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK_CAPTURE(cutDrawing, lettering250, "long", cut::Kind::Lettering, false)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK_CAPTURE(cutDrawing, stencil125, "half", cut::Kind::Stencil, false)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK_CAPTURE(cutDrawing, stencil250, "long", cut::Kind::Stencil, false)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

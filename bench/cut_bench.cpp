// The whole cut drawing of the cut stage: reading the hand-over, booleans, checks, DXF and SVG,
// for 125 and 250 letters joined by the bar with "Cut".
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <map>

#include "cut/cut.h"
#include "cut/handover.h"
#include "cut/writers.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// A program folder with the letters converted by the shapes stage's command line, made once.
fs::path handover(const char* letters) {
    static std::map<std::string, fs::path> made;
    if (auto it = made.find(letters); it != made.end()) return it->second;
    const fs::path dir = fs::path(LK_TEST_DATA) / (std::string("cut-") + letters);
    fs::remove_all(dir);
    fs::create_directories(dir / "workfiles");
    fs::copy_file(fs::path(LK_TEST_DATA) / (std::string(letters) + ".dat"), dir / "workfiles" / "tground.dat");
    const std::string cli = (fs::path(LK_PROGRAM_DIR) / "letterkerf-cli").string(), folder = dir.string();
    const char* argv[] = {cli.c_str(), "--folder", folder.c_str(), "--connection", "--cut", "--convert", nullptr};
    pid_t pid;
    if (posix_spawn(&pid, cli.c_str(), nullptr, nullptr, const_cast<char**>(argv), environ) == 0) {
        int status;
        waitpid(pid, &status, 0);
    }
    return made[letters] = dir;
}

void cutDrawing(benchmark::State& state, const char* letters, cut::Kind kind) {
    const fs::path dir = handover(letters);
    std::size_t bytes = 0;
    // 250 letters cut need a bar of more than its 641 elements: no hand-over is written for them
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

}  // namespace

BENCHMARK_CAPTURE(cutDrawing, lettering125, "half", cut::Kind::Lettering)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(cutDrawing, lettering250, "long", cut::Kind::Lettering)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(cutDrawing, stencil125, "half", cut::Kind::Stencil)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(cutDrawing, stencil250, "long", cut::Kind::Stencil)->Unit(benchmark::kMillisecond);

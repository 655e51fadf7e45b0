// "Remove empty space": every letter scanned into its kon file, read back and closed up, then
// the letters built again; the whole handler as the button runs it.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include <unistd.h>

#include "shapes/session.h"
#include "shapes/spacing_dialog.h"

namespace {

namespace fs = std::filesystem;

const fs::path kSpacingSample = fs::path(LK_PROGRAM_DIR) / "workfiles" / "tground.dat";
const fs::path kSpacingHalf = fs::path(LK_TEST_DATA) / "half.dat";  // 125 letters
const fs::path kSpacingLong = fs::path(LK_TEST_DATA) / "long.dat";  // 250 letters

void removeEmptySpace(benchmark::State& state, const fs::path& letters) {
    const fs::path folder = fs::temp_directory_path() / ("lk_spacing_bench_" + std::to_string(::getpid()));
    fs::create_directories(folder / "workfiles");
    fs::copy_file(letters, folder / "workfiles" / "tground.dat", fs::copy_options::overwrite_existing);
    {
        shapes::HeadlessUi ui;
        shapes::Session session(folder, "stvt", ui);
        session.load();
        session.activate();
        shapes::SpacingDialog dialog(session);
        dialog.load();
        dialog.activate();
        for (auto _ : state) {
            shapes::clearSignDistances(session.model());  // as Reset does
            dialog.removeEmptySpace();
            benchmark::DoNotOptimize(session.model().signDistanceB[1]);
        }
        state.counters["letters"] = session.model().letterCount;
        state.counters["messages"] = static_cast<double>(ui.messages.size());
    }
    std::error_code ec;
    fs::remove_all(folder, ec);
}

}  // namespace

BENCHMARK_CAPTURE(removeEmptySpace, sample, kSpacingSample)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(removeEmptySpace, letters125, kSpacingHalf)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(removeEmptySpace, letters250, kSpacingLong)->Unit(benchmark::kMillisecond);

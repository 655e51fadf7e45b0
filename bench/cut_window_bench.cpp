// The cut stage's window on 250 letters (the hand-over of the shapes stage's command line,
// without the bar): opening it, the hand-over read, the drawing made and the view drawn at
// its size in the window; and a change of a setting (kind, kerf, tabs) with the redraw it
// brings: the first one after opening, and back and forth. On the offscreen platform.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QThread>
#include <filesystem>
#include <optional>

#include "toolkit.h"
#include "cut_qt/cut_window.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// A program folder with the 250 letters converted by the shapes stage's command line, made once.
fs::path handover250() {
    static const fs::path dir = [] {
        const fs::path d = fs::path(LK_TEST_DATA) / "cutwindow-long";
        fs::remove_all(d);
        fs::create_directories(d / "workfiles");
        fs::copy_file(fs::path(LK_TEST_DATA) / "long.dat", d / "workfiles" / "tground.dat");
        const std::string cli = (fs::path(LK_PROGRAM_DIR) / "letterkerf-cli").string(), folder = d.string();
        const char* argv[] = {cli.c_str(), "--folder", folder.c_str(), "--convert", nullptr};
        pid_t pid;
        if (posix_spawn(&pid, cli.c_str(), nullptr, nullptr, const_cast<char**>(argv), environ) == 0) {
            int status;
            waitpid(pid, &status, 0);
        }
        return d;
    }();
    // every window opens on the defaults, whatever the last one kept
    fs::remove(dir / "workfiles" / "cutstate.dat");
    return dir;
}

// Until the window shows a drawing made with `kerf` and `kind` (a large hand-over is drawn on a
// worker thread; its outlines may come before its thin material): false after a minute without
// one. (Stencils are made without tabs.)
bool drawingShown(cut_qt::CutWindow& w, double kerf, cut::Kind kind, bool tabs = false, bool whole = false) {
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        const cut::Drawing* d = w.drawing();
        if (d && d->options.kerf == kerf && d->kind == kind && d->options.tabs == tabs && (!whole || !d->thinPending)) return true;
        if (waited.elapsed() > 60000) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (!w.drawing()) QThread::usleep(200);
    }
}

// the view as the window shows it: painted at its size
void drawView(cut_qt::CutWindow& w, QImage& into) {
    into.fill(Qt::white);
    w.view()->render(&into);
}

void BM_CutWindowOpens(benchmark::State& state) {
    benchApplication();
    cut_qt::Request r;
    r.folder = handover250();
    QImage view;
    double wholeMs = 0;
    for (auto _ : state) {
        QElapsedTimer opened;
        opened.start();
        cut_qt::CutWindow w(r);
        if (!drawingShown(w, 0, cut::Kind::Stencil)) {
            state.SkipWithError("no drawing of the 250 letters");
            break;
        }
        w.show();
        if (view.size() != w.view()->size()) view = QImage(w.view()->size(), QImage::Format_ARGB32_Premultiplied);
        drawView(w, view);
        state.PauseTiming();
        if (!drawingShown(w, 0, cut::Kind::Stencil, false, true)) state.SkipWithError("no whole drawing");
        wholeMs += static_cast<double>(opened.elapsed());
        state.ResumeTiming();
    }
    state.counters["viewWidth"] = view.width();
    state.counters["wholeMs"] = benchmark::Counter(wholeMs, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_CutWindowOpens)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

enum Setting { kKind, kKerf, kTabs, kWideKerf };  // kWideKerf: wider than the thinnest material

void BM_CutWindowSettingChange(benchmark::State& state) {
    benchApplication();
    cut_qt::Request r;
    r.folder = handover250();
    cut_qt::CutWindow w(r);
    w.show();
    if (state.range(0) == kTabs) w.setKind(cut::Kind::Lettering);  // tabs belong to the parts
    cut::Kind kind = state.range(0) == kTabs ? cut::Kind::Lettering : cut::Kind::Stencil;
    double kerf = 0;
    if (!drawingShown(w, kerf, kind, false, true)) {
        state.SkipWithError("no drawing of the 250 letters");
        return;
    }
    QImage view(w.view()->size(), QImage::Format_ARGB32_Premultiplied);
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        switch (state.range(0)) {
            case kKind: w.setKind(kind = flip ? cut::Kind::Lettering : cut::Kind::Stencil); break;
            case kKerf: w.setKerf(kerf = flip ? 0.2 : 0.1); break;
            default: w.setTabs(flip); break;
        }
        if (!drawingShown(w, kerf, kind, state.range(0) == kTabs && flip)) {
            state.SkipWithError("no drawing after the change");
            break;
        }
        drawView(w, view);
    }
}
// The first change of a setting in a window just opened, to a drawing not made before (a kerf
// wider than the thinnest material tests the material again at its width): at once
// (`rested` 0), or once the window has prepared its drawings ahead (`rested` 1), as when the
// user looks at the drawing for a moment before changing it. The window is opened and closed
// outside the time taken.
void BM_CutWindowFirstChange(benchmark::State& state) {
    benchApplication();
    cut_qt::Request r;
    r.folder = handover250();
    const auto setting = static_cast<Setting>(state.range(0));
    std::optional<cut_qt::CutWindow> w;
    QImage view;
    double wholeMs = 0;  // until the drawing with its thin material is shown
    for (auto _ : state) {
        state.PauseTiming();
        w.reset();
        fs::remove(r.folder / "workfiles" / "cutstate.dat");
        w.emplace(r);
        w->show();
        const cut::Kind kind = setting == kTabs ? cut::Kind::Lettering : cut::Kind::Stencil;
        if (setting == kTabs) w->setKind(kind);
        if (!drawingShown(*w, 0, kind, false, true) || (state.range(1) && !w->waitForDrawingsAhead(60000))) {
            state.SkipWithError("no drawing of the 250 letters");
            break;
        }
        if (view.size() != w->view()->size()) view = QImage(w->view()->size(), QImage::Format_ARGB32_Premultiplied);
        state.ResumeTiming();
        QElapsedTimer changed;
        changed.start();
        bool shown = false;
        switch (setting) {
            case kKind: w->setKind(cut::Kind::Lettering), shown = drawingShown(*w, 0, cut::Kind::Lettering); break;
            case kKerf: w->setKerf(0.2), shown = drawingShown(*w, 0.2, kind); break;
            case kWideKerf: w->setKerf(1.2), shown = drawingShown(*w, 1.2, kind); break;
            default: w->setTabs(true), shown = drawingShown(*w, 0, kind, true); break;
        }
        if (!shown) {
            state.SkipWithError("no drawing after the change");
            break;
        }
        drawView(*w, view);
        state.PauseTiming();
        const cut::Drawing& d = *w->drawing();
        if (!drawingShown(*w, d.options.kerf, d.kind, d.options.tabs, true)) state.SkipWithError("no whole drawing");
        wholeMs += static_cast<double>(changed.elapsed());
        state.ResumeTiming();
    }
    state.counters["wholeMs"] = benchmark::Counter(wholeMs, benchmark::Counter::kAvgIterations);
}  // the last window closes after the time is taken
BENCHMARK(BM_CutWindowFirstChange)->ArgNames({"kind_kerf_tabs_widekerf", "rested"})->ArgsProduct({{kKind, kKerf, kTabs, kWideKerf}, {0, 1}})->Iterations(3)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

BENCHMARK(BM_CutWindowSettingChange)->ArgName("kind_kerf_tabs")->Arg(kKind)->Arg(kKerf)->Arg(kTabs)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace

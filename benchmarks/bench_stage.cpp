// The full stage drawn by the headless renderer at 640 x 960 pixels: the background, 30 persons
// (holders bobbing their yields, coffins, the others idling with their frame animations), six of
// them walking into the dungeon and back again and again, the king asleep, the panels and the boss
// balloon. Reported per frame: "Time" (wall, ms), "CPU" (ms) and the counter "wall_ms_per_frame".
//
//   BM_StageFrame        the clock moves 1/60 s (timers, animation completions, walks) + one frame
//   BM_StageFrameChanges the same, drawn as the window draws: the picture kept, only what
//                        changed drawn again ("pixels_redrawn": the changed pixels a frame)
//   BM_StageRenderOnly   one frame of the same scene at a standing instant
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/render/HeadlessRenderer.h"
#include "tools/stagescene/StageScene.h"

namespace {

// $RE_RESOURCE_DIR, else the build's resources next to the benchmarks folder.
std::string resourceDir() {
    if (const char* dir = std::getenv("RE_RESOURCE_DIR")) return dir;
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    const auto beside = exe.parent_path().parent_path() / "resources";
    if (!ec && std::filesystem::is_directory(beside)) return beside.string();
    return ResourceBundle::defaultRootDirectory();
}

constexpr int kFirstWalker = 21;
constexpr int kLastWalker = 26;

struct BenchScene {
    stagescene::Scene scene;

    BenchScene() {
        static const bool prepared = [] {
            stagescene::prepareWorld(resourceDir());
            return true;
        }();
        (void)prepared;
        scene.build();
        // Nobody stands still: the empty-handed idle instead of waiting with the still picture.
        for (const auto& p : scene.stage->persons())
            if (p->currentYieldType() == PersonView::kYieldNothing) p->showResultNoneWithDelay(0);
    }

    // Keeps persons 21..26 walking off and coming back.
    void keepWalking() {
        for (int id = kFirstWalker; id <= kLastWalker; ++id) {
            auto p = scene.stage->personWithId(id);
            if (!p || p->isMovingForGo() || p->isMovingForBack()) continue;
            if (p->isHidden()) {
                scene.stage->comebackOnePerson(*p, false, StageView::kEntrance, 0, false, true);
            } else {
                scene.stage->moveOnePerson(*p, StageView::kEntrance, 0.1 * (id - kFirstWalker));
            }
        }
    }
};

void BM_StageFrame(benchmark::State& state) {
    BenchScene bench;
    HeadlessRenderer renderer(stagescene::kScreen.size, 2.0);
    RunLoop& loop = RunLoop::main();
    double wallMs = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        bench.keepWalking();
        loop.advanceBy(1.0 / 60.0);
        renderer.render(*bench.scene.window);
        benchmark::DoNotOptimize(renderer.drawCallsLastFrame());
        wallMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["wall_ms_per_frame"] = benchmark::Counter(wallMs, benchmark::Counter::kAvgIterations);
    state.counters["draw_calls"] = renderer.drawCallsLastFrame();
    state.counters["pixels"] = renderer.pixelWidth() * renderer.pixelHeight();
}
BENCHMARK(BM_StageFrame)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_StageFrameChanges(benchmark::State& state) {
    BenchScene bench;
    HeadlessRenderer renderer(stagescene::kScreen.size, 2.0);
    RunLoop& loop = RunLoop::main();
    double wallMs = 0;
    long pixels = 0;
    renderer.renderChanges(*bench.scene.window);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        bench.keepWalking();
        loop.advanceBy(1.0 / 60.0);
        pixels += renderer.renderChanges(*bench.scene.window);
        wallMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["wall_ms_per_frame"] = benchmark::Counter(wallMs, benchmark::Counter::kAvgIterations);
    state.counters["pixels_redrawn"] = benchmark::Counter(static_cast<double>(pixels), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_StageFrameChanges)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_StageRenderOnly(benchmark::State& state) {
    BenchScene bench;
    HeadlessRenderer renderer(stagescene::kScreen.size, 2.0);
    double wallMs = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        renderer.render(*bench.scene.window);
        benchmark::DoNotOptimize(renderer.drawCallsLastFrame());
        wallMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["wall_ms_per_frame"] = benchmark::Counter(wallMs, benchmark::Counter::kAvgIterations);
    state.counters["draw_calls"] = renderer.drawCallsLastFrame();
}
BENCHMARK(BM_StageRenderOnly)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

BENCHMARK_MAIN();

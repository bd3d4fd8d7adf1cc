// Cost of the saved-state store's save point: synchronize() of a realistic store (every key a
// player far into the game has) in a temp folder, fsyncs included, so the figure depends on the
// disk. Also the pieces: serialising alone and loading the file.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>

#include "platform/foundation/PropertyList.h"
#include "platform/store/SavedStateStore.h"
#include "tests/store/RealisticState.h"

namespace {

std::string makeTempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "re-bench-store-XXXXXX").string();
    char* made = ::mkdtemp(pattern.data());
    return made ? made : "";
}

void BM_SynchronizeRealisticStore(benchmark::State& state) {
    std::string dir = makeTempDir();
    {
        SavedStateStore store(dir + "/savedstate.plist");
        storetest::fillRealisticState(store);
        int64_t gold = 0;
        for (auto _ : state) {
            store.setInteger(++gold, "gold");  // a change, or synchronize would have nothing to do
            if (!store.synchronize()) state.SkipWithError("synchronize failed");
        }
        state.counters["fileBytes"] = static_cast<double>(std::filesystem::file_size(dir + "/savedstate.plist"));
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_SynchronizeRealisticStore)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_SerialiseRealisticStore(benchmark::State& state) {
    std::string dir = makeTempDir();
    SavedStateStore store(dir + "/savedstate.plist");
    storetest::fillRealisticState(store);
    Value all = store.dictionaryRepresentation();
    for (auto _ : state) benchmark::DoNotOptimize(PropertyList::writeBinary(all));
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_SerialiseRealisticStore)->Unit(benchmark::kMicrosecond);

void BM_LoadRealisticStore(benchmark::State& state) {
    std::string dir = makeTempDir();
    {
        SavedStateStore store(dir + "/savedstate.plist");
        storetest::fillRealisticState(store);
        store.synchronize();
    }
    for (auto _ : state) {
        SavedStateStore loaded(dir + "/savedstate.plist");
        benchmark::DoNotOptimize(loaded.integerForKey("gold"));
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_LoadRealisticStore)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

// Loading and saving keys.ini with 10, 1,000 and 10,000 keys. The load reads the file once,
// so its cost per byte stays the same as the file grows.

#include "bench/key_tables.h"
#include "keys/keys_ini.h"

#include <benchmark/benchmark.h>

using namespace omnitap;

namespace {

void BM_LoadKeysIni(benchmark::State& state) {
    const std::string text = formatKeysIni(launchKeyTable(static_cast<int>(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(parseKeysIni(text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_LoadKeysIni)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

void BM_SaveKeysIni(benchmark::State& state) {
    const KeyTable table = launchKeyTable(static_cast<int>(state.range(0)));
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string text = formatKeysIni(table);
        bytes = text.size();
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_SaveKeysIni)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

} // namespace

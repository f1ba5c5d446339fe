// The hook's decision for one key event, with 1, 100 and 10,000 learned keys. It must cost
// the same whatever the table's size and must not allocate: the hook callback runs for every
// keystroke of the desktop.

#include "bench/alloc_counter.h"
#include "hook/hook_channel.h"

#include <benchmark/benchmark.h>

using namespace omnitap;

namespace {

// `count` keys spread over the codes, a quarter of them on code 255 with their own scan
// codes, some with a modifier.
KeyTable tableOf(int count) {
    KeyTable table;
    for (int i = 0; i < count; ++i) {
        KeyDef key;
        key.code = static_cast<std::int16_t>(i % 4 == 3 ? 255 : 1 + i % 250);
        key.code2 = static_cast<std::int16_t>(i);
        key.mapm = static_cast<std::int16_t>(i % 3 == 0 ? 33 : 60);
        key.webs = i % 3 == 0 ? std::to_string(16 + i % 3) : "calc.exe";
        table.append(key);
    }
    return table;
}

KeyEvent eventOf(std::uint32_t vk, std::uint32_t scan) {
    KeyEvent e;
    e.vkCode = vk;
    e.scanCode = scan;
    return e;
}

bool nothingHeld(std::uint8_t) {
    return false;
}

void BM_Classify(benchmark::State& state) {
    KeyIndex index(tableOf(static_cast<int>(state.range(0))));
    const KeyEvent events[] = {eventOf(1, 0), eventOf(200, 0), eventOf(255, 3), eventOf(255, 60000),
                               eventOf(251, 0)};
    std::size_t i = 0;
    AllocationCounter allocations;
    for (auto _ : state) {
        KeyEvent e = events[i++ % 5];
        benchmark::DoNotOptimize(classify(index, e, false, nothingHeld));
    }
    state.counters["allocs/event"] = benchmark::Counter(static_cast<double>(allocations.count()),
                                                        benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_Classify)->Arg(1)->Arg(100)->Arg(10000);

// The whole hook-thread path: snapshot, classification, queueing for the UI thread.
struct NoWake : Wake {
    void wake() override {}
};

void BM_HookChannel(benchmark::State& state) {
    NoWake wake;
    HookChannel channel(wake);
    channel.publish(tableOf(static_cast<int>(state.range(0))));
    std::size_t n = 0;
    AllocationCounter allocations;
    for (auto _ : state) {
        benchmark::DoNotOptimize(channel.onKeyEvent(eventOf(1 + n % 250, 0), nothingHeld));
        if (++n % 4096 == 0) {
            state.PauseTiming();
            channel.drain([](const KeyEvent&) {});
            state.ResumeTiming();
        }
    }
    state.counters["allocs/event"] = benchmark::Counter(static_cast<double>(allocations.count()),
                                                        benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_HookChannel)->Arg(1)->Arg(100)->Arg(10000);

} // namespace

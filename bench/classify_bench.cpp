// The hook thread's whole path for one key event (the index snapshot, the key's state, the
// classification, the hand-off to the UI thread) with 1, 100 and 10,000 learned keys, and
// with 10,000 of which half are combinations (nothing held, or the left Ctrl). It must cost
// about the same whatever the table's size, and must neither allocate nor free: the hook
// callback runs for every keystroke of the desktop.

#include "bench/alloc_counter.h"
#include "bench/key_tables.h"
#include "hook/hook_channel.h"

#include <benchmark/benchmark.h>

using namespace omnitap;

namespace {

bool nothingHeld(std::uint8_t) {
    return false;
}
bool leftCtrlHeld(std::uint8_t vk) {
    return vk == 0xA2;
}

struct NoWake : HookOutput {
    bool wake() override { return true; }
    void sendOn(std::span<const ports::KeyStroke>) override {}
    void sendOwn(std::span<const ports::KeyStroke>) override {}
};

// Presses and releases, in turn, of: 0, code 1, which every table has learned (each event is
// swallowed and queued); 1, code 251, which none has (each is passed on); 2, codes 1 to 250
// (with one learned key nearly all pass, with 10,000 all are queued: the cost follows the
// share of the program's keys, not the table's size).
void BM_HookPath(benchmark::State& state) {
    NoWake wake;
    HookChannel channel(wake);
    const int keys = static_cast<int>(state.range(0));
    const auto combos = state.range(2);
    channel.publish(combos ? comboKeyTable(keys) : hookKeyTable(keys));
    const auto isDown = combos == 2 ? leftCtrlHeld : nothingHeld;
    channel.refreshModifiers(isDown); // as the hook is installed
    const auto stream = state.range(1);
    std::uint32_t n = 0;
    AllocationCounter memory;
    for (auto _ : state) {
        KeyEvent e;
        e.vkCode = stream == 0 ? 1 : stream == 1 ? 251 : 1 + (n / 2) % 250;
        e.flags = n % 2 ? kKeyUpFlag : 0;
        e.time = n;
        benchmark::DoNotOptimize(channel.onKeyEvent(e, isDown));
        if (++n % 4096 == 0) { // the UI thread's part, not measured
            state.PauseTiming();
            memory.pause();
            channel.drain([](const KeyEvent&) {}, [](std::span<const ports::KeyStroke>) {});
            memory.resume();
            state.ResumeTiming();
        }
    }
    state.counters["allocs+frees/event"] =
        benchmark::Counter(static_cast<double>(memory.count()), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_HookPath)
    ->ArgsProduct({{1, 100, 10000}, {0, 1, 2}, {0}})
    ->ArgsProduct({{10000}, {0, 1, 2}, {1, 2}})
    ->ArgNames({"keys", "stream", "combos"});

// A press's look-up alone, given the modifiers held (as the hook thread will keep them), of
// code 1: the one key of a table of one, or a key of some forty entries in a table of 10,000,
// half of them combinations or none.
void BM_PressLookUp(benchmark::State& state) {
    const int keys = static_cast<int>(state.range(0));
    const KeyIndex index(
        KeyIndex::entriesOf(state.range(1) ? comboKeyTable(keys) : hookKeyTable(keys)));
    const ModifierState held(static_cast<std::uint8_t>(state.range(2)));
    AllocationCounter memory;
    for (auto _ : state) {
        KeyEvent e;
        e.vkCode = 1;
        const KeyIndex::Slot* slot = index.find(e.vkCode, 0);
        benchmark::DoNotOptimize(slot && index.open(*slot, e, nothingHeld, held));
        benchmark::DoNotOptimize(e);
    }
    state.counters["allocs+frees/event"] =
        benchmark::Counter(static_cast<double>(memory.count()), benchmark::Counter::kAvgIterations);
}
constexpr int kLeftCtrl = ModifierState::bit(ModifierKind::Ctrl, false);
BENCHMARK(BM_PressLookUp)
    ->ArgsProduct({{1, 10000}, {0}, {0, kLeftCtrl}})
    ->ArgsProduct({{10000}, {1}, {0, kLeftCtrl}})
    ->ArgNames({"keys", "combos", "held"});

} // namespace

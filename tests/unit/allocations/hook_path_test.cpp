// The hook thread's path neither allocates nor frees: it runs for every keystroke, and the heap
// may wait on a busy thread's lock. Built alone, new and delete counted (bench/alloc_counter.cpp).

#include "bench/alloc_counter.h"
#include "bench/key_tables.h"
#include "hook/hook_channel.h"
#include "tests/fakes/fakes.h"

#include <gtest/gtest.h>

using namespace omnitap;

TEST(HookPath, NeitherAllocatesNorFreesWhateverTheEvent) {
    fakes::FakeHookOutput out;
    HookChannel channel(out);
    KeyTable table = comboKeyTable(10'000);
    table.append(KeyDef{115, 0, "type", 51, ""});
    channel.publish(table);
    std::size_t operations = 0;
    std::uint32_t time = 0, step = 0; // the first round in no time: the held keys fill the queue
    auto tap = [&](std::uint32_t vk, std::uint32_t scan, std::uintptr_t marker = 0) {
        AllocationCounter counter;
        for (std::uint32_t flags : {0u, kKeyUpFlag})
            channel.onKeyEvent({vk, scan, flags, time, marker}, [](std::uint8_t) { return true; });
        channel.idle(time += step); // the loop: held keys overdue, a wake-up refused
        operations += counter.count();
    };
    for (std::uint32_t round = 0; round < 3; step = ++round * 600) {
        channel.setFinderWaiting(true);
        out.refusals = 2;
        // Learned, by scan code, the type key, then keys held after it until the queue is full
        // (one sent on and come back), and a key the program typed.
        for (std::uint32_t vk : {1u, 255u, 115u})
            tap(vk, 3);
        for (std::uint32_t n = 0; n < 5000; ++n)
            tap(n % 2 ? 251 : 1 + n % 250, n, n % 1000 == 1 ? ports::kHeldKeyMarker : 0);
        tap(67, 0, ports::kOwnInputMarker);
        channel.drain([](const KeyEvent&) {}, [](std::span<const ports::KeyStroke>) {});
    }
    EXPECT_GT(channel.droppedEvents(), 0u);
    EXPECT_EQ(operations, 0u);
}

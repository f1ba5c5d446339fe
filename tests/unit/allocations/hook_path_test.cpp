// The hook thread's path neither allocates nor frees, whatever the event: it runs for every
// keystroke of the desktop, and the heap may wait for a lock that a busy thread holds. A
// program of its own, with operator new and delete counted (bench/alloc_counter.cpp).

#include "bench/alloc_counter.h"
#include "bench/key_tables.h"
#include "hook/hook_channel.h"

#include <gtest/gtest.h>

using namespace omnitap;

namespace {

struct Output : HookOutput {
    int refusals = 0;
    bool wake() override { return refusals-- <= 0; }
    void sendOn(std::span<const ports::KeyStroke>) override {}
};

} // namespace

TEST(HookPath, NeitherAllocatesNorFreesWhateverTheEvent) {
    Output out;
    HookChannel channel(out);
    KeyTable table = hookKeyTable(10'000);
    table.append(KeyDef{115, 0, "type", 51, ""});
    channel.publish(table);
    std::size_t operations = 0;
    auto onHookThread = [&](auto&& step) {
        AllocationCounter counter;
        step();
        operations += counter.count();
    };
    std::uint32_t time = 0;
    auto tap = [&](std::uint32_t vk, std::uint32_t scan = 0, std::uintptr_t marker = 0) {
        for (std::uint32_t flags : {0u, kKeyUpFlag}) {
            onHookThread([&] {
                channel.onKeyEvent({vk, scan, flags, ++time, marker},
                                   [](std::uint8_t key) { return key == 17; });
            });
        }
    };
    for (int round = 0; round < 3; ++round) {
        channel.setFinderWaiting(true);
        tap(1);      // learned (and the Key Finder's)
        tap(251);    // unlearned
        tap(255, 3); // learned by its scan code
        tap(115);    // a type action: the keys after it are held, and the hold ends at once
        for (std::uint32_t n = 0; n < 300; ++n)
            tap(67, n);
        tap(67, 0, ports::kHeldKeyMarker);
        tap(67, 0, ports::kOwnInputMarker);
        onHookThread([&] { channel.idle(time += 2000); }); // held too long
        out.refusals = 2;
        tap(1);
        onHookThread([&] { channel.idle(time); }); // the refused wake-up again
        for (std::uint32_t n = 0; n < 9000; ++n)   // the queue fills up
            tap(1 + n % 250);
        channel.drain([](const KeyEvent&) {}, [](std::span<const ports::KeyStroke>) {});
    }
    EXPECT_GT(channel.droppedEvents(), 0u);
    EXPECT_EQ(operations, 0u);
}

// The hand-off between the hook thread and the UI thread, and how the hook thread notices a
// hook the system dropped. Also built alone with ThreadSanitizer (the tsan preset).

#include "hook/hook_channel.h"
#include "hook/hook_watch.h"

#include <gtest/gtest.h>

#include <semaphore>
#include <thread>
#include <tuple>
#include <utility>

using namespace omnitap;
using namespace std::chrono_literals;

namespace {

auto nothingHeld = [](std::uint8_t) { return false; };
auto nothingSent = [](std::span<const ports::KeyStroke>) { FAIL() << "no key was held"; };

// Wakes a UI thread that sleeps until it is told; the first wake-up cannot be posted (as when
// the UI thread's message queue is full), so the next event has to post one again.
struct SignalWake : Wake {
    std::counting_semaphore<> woken{0};
    bool refused = false;
    bool wake() override {
        if (!std::exchange(refused, true)) return false;
        woken.release();
        return true;
    }
};

} // namespace

TEST(HookChannel, AMillionEventsArriveOnceAndInOrderAndTheLastIsNeverLeftWaiting) {
    SignalWake wake;
    HookChannel channel(wake);
    KeyTable tables[2];
    for (KeyTable& table : tables)
        table.append(KeyDef{65, 0, "k", 31, ""});
    tables[1].append(KeyDef{66, 0, "other", 31, ""});
    channel.publish(tables[0]);
    constexpr std::uint32_t kEvents = 1'000'000;
    std::atomic<std::uint32_t> handled{0};
    std::atomic<bool> gaveUp{false};
    std::thread hook([&] {
        for (std::uint32_t n = 0; n < kEvents && !gaveUp; ++n) {
            // In bursts, each after the UI thread has caught up: every burst has a last event.
            while (n % 3 == 0 && handled.load() != n && !gaveUp)
                std::this_thread::yield();
            KeyEvent e{65, 0, n % 2 ? kKeyUpFlag : 0, n}; // press, release, ..., numbered
            ASSERT_TRUE(channel.onKeyEvent(e, nothingHeld));
        }
    });
    // The UI thread drains only when woken, and republishes the table as it goes, so that the
    // hook reads indexes that the UI thread replaces and frees.
    std::uint32_t next = 0, drains = 0;
    while (next < kEvents && wake.woken.try_acquire_for(20s)) {
        channel.drain(
            [&](const KeyEvent& e) {
                ASSERT_EQ(e.time, next++);
                handled.store(next);
            },
            nothingSent);
        channel.publish(tables[++drains % 2]);
    }
    gaveUp = true;
    hook.join();
    EXPECT_EQ(next, kEvents);
}

TEST(HookChannel, ANewIndexOnlyForAChangeTheHookCanSee) {
    SignalWake wake;
    HookChannel channel(wake);
    KeyTable table;
    table.append(KeyDef{112, 59, "Notes", 60, "notepad.exe"});
    EXPECT_TRUE(channel.publish(table));
    const std::tuple<const char*, void (*)(KeyDef&), bool> cases[] = {
        {"a launch target", [](KeyDef& k) { k.webs = "calc.exe"; }, false},
        {"the scan code of a key that is not 255", [](KeyDef& k) { k.code2 = 1; }, false},
        {"a player action with a modifier", [](KeyDef& k) { k.mapm = 33, k.webs = "17"; }, true},
        {"its modifier", [](KeyDef& k) { k.webs = "16"; }, true},
        {"another player action, the same modifier", [](KeyDef& k) { k.mapm = 31; }, false},
        {"copy track, which holds the keys after it", [](KeyDef& k) { k.mapm = 50; }, true},
        {"the key's code", [](KeyDef& k) { k.code = 113; }, true},
    };
    for (auto [change, edit, seen] : cases) {
        edit(table[1]);
        EXPECT_EQ(channel.publish(table), seen) << change;
    }
}

TEST(IndexSnapshots, AReplacedIndexIsFreedByTheUiThreadOnceTheHookReadsAnother) {
    IndexSnapshots snapshots;
    snapshots.read(); // an event
    snapshots.publish(std::make_unique<const KeyIndex>());
    snapshots.publish(std::make_unique<const KeyIndex>());
    EXPECT_EQ(snapshots.retired(), 1u); // the one read; the one between was never read
    snapshots.read();                   // the next event
    snapshots.reclaim();
    EXPECT_EQ(snapshots.retired(), 0u);
}

TEST(HookWatch, TwoRawKeysWhileTheHookSawNothingForASecondMeanItIsGone) {
    HookWatch watch;
    watch.hookSaw(5000);
    EXPECT_FALSE(watch.rawKey(5001)); // the hook saw the key first
    EXPECT_FALSE(watch.rawKey(6001)); // after a quiet second: its hook call may come after it
    watch.hookSaw(6002);              // and it did
    EXPECT_FALSE(watch.rawKey(7100));
    EXPECT_TRUE(watch.rawKey(7101));  // the hook saw nothing since: a fresh hook
    EXPECT_FALSE(watch.rawKey(7102)); // which is given its second
    watch.hookSaw(9000);
    EXPECT_FALSE(watch.rawKey(8000)); // handled late: the hook has seen keys since
    EXPECT_FALSE(watch.rawKey(8001));
    watch.hookSaw(0xFFFFFF00u);
    EXPECT_FALSE(watch.rawKey(0x100)); // across the tick count's wrap

    // Resume from sleep, unlock and reconnection; not suspend, lock, or a private message.
    const std::tuple<std::uint32_t, std::uintptr_t, bool> notifications[] = {
        {0x218, 0x12, true}, {0x218, 0x7, true}, {0x218, 0x4, false}, {0x2B1, 0x8, true},
        {0x2B1, 0x3, true},  {0x2B1, 0x1, true}, {0x2B1, 0x7, false}, {0x8002, 0x8, false}};
    for (auto [message, wParam, fresh] : notifications)
        EXPECT_EQ(needsFreshHook(message, wParam), fresh) << message << " " << wParam;
}

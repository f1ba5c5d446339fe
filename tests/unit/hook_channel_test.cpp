// The hand-off between the hook thread and the UI thread.

#include "hook/hook_channel.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>
#include <vector>

using namespace omnitap;
using namespace std::chrono_literals;

namespace {

KeyTable tableWithKey(std::int16_t code) {
    KeyTable table;
    table.append(KeyDef{code, 0, "k", 31, ""});
    return table;
}

KeyEvent numbered(std::uint32_t vk, std::uint32_t n) {
    KeyEvent e;
    e.vkCode = vk;
    e.time = n; // the event's number, to check the order
    e.flags = n % 2 ? kKeyUpFlag : 0;
    return e;
}

auto nothingHeld = [](std::uint8_t) { return false; };

struct CountingWake : Wake {
    std::atomic<int> wakes{0};
    void wake() override { ++wakes; }
};

} // namespace

TEST(HookChannel, TheHooksAnswerDoesNotWaitForTheUiThread) {
    CountingWake wake;
    HookChannel channel(wake);
    channel.publish(tableWithKey(65));
    // The UI thread is busy (it drains nothing) while the hook sees a burst of events.
    auto hook = std::async(std::launch::async, [&] {
        int swallowed = 0;
        for (std::uint32_t n = 0; n < 5000; ++n)
            swallowed += channel.onKeyEvent(numbered(65, n), nothingHeld);
        return swallowed;
    });
    ASSERT_EQ(hook.wait_for(30s), std::future_status::ready) << "the hook waited for the UI thread";
    EXPECT_EQ(hook.get(), 5000);
    EXPECT_EQ(wake.wakes, 1); // one wake-up while the UI thread has not drained yet

    std::uint32_t next = 0;
    channel.drain([&](const KeyEvent& e) { EXPECT_EQ(e.time, next++); });
    EXPECT_EQ(next, 5000u);
    EXPECT_EQ(channel.droppedEvents(), 0u);
}

TEST(HookChannel, EventsArriveOnceAndInOrderWhileBothThreadsRun) {
    CountingWake wake;
    HookChannel channel(wake);
    channel.publish(tableWithKey(66));
    constexpr std::uint32_t kEvents = 200000;
    std::thread hook([&] {
        for (std::uint32_t n = 0; n < kEvents; ++n) {
            // Unlearned keys are interleaved: they pass and are never queued.
            EXPECT_FALSE(channel.onKeyEvent(numbered(67, n), nothingHeld));
            EXPECT_TRUE(channel.onKeyEvent(numbered(66, n), nothingHeld));
        }
    });
    std::vector<std::uint32_t> seen;
    seen.reserve(kEvents);
    auto deadline = std::chrono::steady_clock::now() + 60s;
    while (seen.size() + channel.droppedEvents() < kEvents &&
           std::chrono::steady_clock::now() < deadline)
        channel.drain([&](const KeyEvent& e) { seen.push_back(e.time); });
    hook.join();
    channel.drain([&](const KeyEvent& e) { seen.push_back(e.time); });
    EXPECT_EQ(seen.size() + channel.droppedEvents(), kEvents);
    for (std::size_t i = 1; i < seen.size(); ++i)
        ASSERT_LT(seen[i - 1], seen[i]);
    EXPECT_GE(wake.wakes.load(), 1);
}

TEST(HookChannel, AFullQueueDropsAndCountsInsteadOfBlocking) {
    CountingWake wake;
    HookChannel channel(wake);
    channel.publish(tableWithKey(65));
    const std::uint32_t total = HookChannel::kQueueCapacity + 10;
    for (std::uint32_t n = 0; n < total; ++n)
        EXPECT_TRUE(channel.onKeyEvent(numbered(65, n), nothingHeld));
    EXPECT_EQ(channel.droppedEvents(), 10u);
    std::uint32_t count = 0;
    channel.drain([&](const KeyEvent& e) { EXPECT_EQ(e.time, count++); });
    EXPECT_EQ(count, HookChannel::kQueueCapacity);
}

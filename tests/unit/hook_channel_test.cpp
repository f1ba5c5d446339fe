// The hand-off between the hook thread and the UI thread, and how the hook thread notices a
// hook the system dropped. Also built alone with ThreadSanitizer (the tsan preset).

#include "hook/hook_channel.h"
#include "hook/hook_watch.h"
#include "tests/fakes/fakes.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <mutex>
#include <semaphore>
#include <thread>
#include <tuple>

using namespace omnitap;
using fakes::key;
using fakes::nothingHeld;
using namespace std::chrono_literals;

namespace {
using std::this_thread::yield;

// The system around the channel: wakes a sleeping UI thread, refusing a post now and then (a
// full message queue); the keys sent on come back through the hook later, among the user's, unless
// another tool swallows them (remapped to 0) or injects others for them, before the hook or after.
struct Desktop : HookOutput {
    std::counting_semaphore<> woken{0};
    int refuseEvery = 7, posts = 0; // hook thread
    std::mutex mutex;
    std::deque<ports::KeyStroke> returning, injected;
    std::map<std::uint32_t, std::uint32_t> remap;
    bool afterUs = false;
    std::size_t sent = 0;

    bool wake() override {
        if (++posts % refuseEvery == 0) return false;
        woken.release();
        return true;
    }
    void sendOn(std::span<const ports::KeyStroke> keys) override {
        std::lock_guard lock(mutex);
        returning.insert(returning.end(), keys.begin(), keys.end());
        sent += keys.size();
    }
    void sendOwn(std::span<const ports::KeyStroke>) override {}
    // The next key sent on, as it comes back through the hook at `time`.
    std::optional<KeyEvent> comeBack(std::uint32_t time) {
        std::lock_guard lock(mutex);
        while (injected.empty() && !returning.empty()) {
            const ports::KeyStroke key = returning.front();
            returning.pop_front();
            const auto to = remap.find(key.vk);
            if (to != remap.end() && to->second) // the tool's key in its place
                injected.push_back({static_cast<std::uint8_t>(to->second), key.scanCode, key.up});
            if (to == remap.end() || afterUs)
                return KeyEvent{key.vk, key.scanCode, key.up ? kKeyUpFlag : 0, time,
                                ports::kHeldKeyMarker};
        }
        if (injected.empty()) return std::nullopt;
        const ports::KeyStroke key = injected.front(); // the tool's, without the marker
        injected.pop_front();
        return KeyEvent{key.vk, key.scanCode, (key.up ? kKeyUpFlag : 0) | kInjectedFlag, time};
    }
};

// Key 65 plays the next track, 66 copies the track (the keys after it are held).
KeyTable table(bool withAnother = false) {
    KeyTable t = fakes::table({key("next", 65, 0, 33), key("copy", 66, 0, 50)});
    if (withAnother) t.append(key("other", 68, 0, 31));
    return t;
}

// The n-th event of tapping unlearned key 67, whose scan code counts the taps.
KeyEvent tap(std::uint32_t n, std::uint32_t time) {
    return KeyEvent{67, n / 2, n % 2 ? kKeyUpFlag : 0, time};
}
void expectTheTapsInOrder(const auto& keys, std::uint32_t n) {
    ASSERT_EQ(keys.size(), n);
    for (std::uint32_t i = 0; i < n; ++i)
        ASSERT_EQ(keys[i], (ports::KeyStroke{67, static_cast<std::uint16_t>(i / 2), i % 2 == 1}))
            << i;
}

struct Channel : ::testing::Test {
    Desktop desktop;
    HookChannel channel{desktop};
    Channel() { channel.publish(table()); }
};

} // namespace

// The copy key, two taps of key 67, the next-track key; the UI thread stalls till the queue fills.
TEST_F(Channel, AMillionEventsWithHeldKeysAndAFullQueueArriveOnceAndInOrder) {
    const KeyTable tables[2] = {table(), table(true)};
    std::atomic<std::uint32_t> handledUpTo{0}, handledPresses{0};
    std::atomic<bool> stall{false}, done{false};
    // Drains only when woken, republishing the table each time: the hook reads indexes it frees.
    std::thread ui([&] {
        for (std::uint32_t last = 0, drains = 0; !done;) {
            if (!desktop.woken.try_acquire_for(60s)) done = true; // and the test fails
            auto handle = [&](const KeyEvent& e) {
                EXPECT_TRUE(e.time > last || e.time == 0) << e.time;
                handledUpTo = last = e.time;
                handledPresses += e.handling == Handling::Press;
            };
            channel.drain(handle, [&](auto keys) { desktop.sendOn(keys); });
            channel.publish(tables[++drains % 2]);
            while (stall)
                std::this_thread::yield();
        }
    });
    std::vector<ports::KeyStroke> seen; // what the focused program gets, in order
    std::uint32_t time = 0, typed = 0, presses = 0, lastRelease = 0;
    std::uint64_t dropped = 0;
    auto comeBack = [&](bool all) { // as the hook thread's loop does too
        channel.idle(time);
        while (std::optional<KeyEvent> e = desktop.comeBack(time)) {
            EXPECT_FALSE(channel.onKeyEvent(*e, nothingHeld));
            seen.push_back(strokeOf(*e));
            if (!all) break;
        }
    };
    for (std::uint32_t n = 0; n < 1'000'000 && !done; ++n, ++time) {
        if (n % 200'000 == 100'000) stall = true;
        if (channel.droppedEvents() > dropped) stall = false, dropped = channel.droppedEvents();
        // In bursts, each once the UI thread handled the last queued release of key 65.
        for (; n % 64 == 0 && handledUpTo < lastRelease && !stall && !done; yield())
            comeBack(true);
        const std::uint32_t kind = n % 8;
        KeyEvent e{kind < 2 ? 66u : kind < 6 ? 67u : 65u, 0, kind % 2 ? kKeyUpFlag : 0, time};
        if (e.vkCode == 67) e.scanCode = (typed++ / 2) & 0xFFFF;
        presses += e.vkCode != 67 && !e.released();
        if (!channel.onKeyEvent(e, nothingHeld)) seen.push_back(strokeOf(e));
        if (kind == 7 && channel.droppedEvents() == dropped) lastRelease = time;
        if (n % 3 == 0) comeBack(false);
    }
    stall = false;
    EXPECT_GT(channel.droppedEvents(), 0u);
    // Every learned press acted once or reached the program; every typed key reached it once, in
    // order: once the UI thread caught up, the hook sent on what it held, and all of it came back.
    std::uint32_t passed = 0, next = 0;
    auto arrived = [&] {
        passed = next = 0;
        for (const ports::KeyStroke& key : seen) {
            passed += key.vk != 67 && !key.up;
            if (key.vk == 67 && (key.scanCode != ((next / 2) & 0xFFFF) || key.up != next++ % 2))
                return false;
        }
        return next == typed && handledPresses + passed == presses;
    };
    for (auto end = std::chrono::steady_clock::now() + 60s;
         !arrived() && std::chrono::steady_clock::now() < end; time += 100)
        comeBack(true);
    done = true;
    desktop.woken.release();
    ui.join();
    EXPECT_TRUE(arrived()) << next << " of " << typed;
}

// Another tool swallows the keys sent on, swaps 67 and 68, or turns 67 into 69, before the hook
// or after. Typed every 10 ms behind a 300 ms copy (and a pause), back one every 15 ms: about a
// second after the copy no key is held, none was sent on more than twice.
TEST(HeldKeys, KeysAnotherToolSwallowsOrRemapsNeitherBounceNorProlongTheHold) {
    using Remap = std::map<std::uint32_t, std::uint32_t>;
    for (auto [remap, afterUs] : {std::pair{Remap{{67, 0}}, false},
                                  {Remap{{67, 68}, {68, 67}}, false},
                                  {Remap{{67, 69}}, false},
                                  {Remap{{67, 69}}, true}}) {
        Desktop desktop;
        desktop.remap = remap, desktop.afterUs = afterUs;
        HookChannel channel{desktop};
        channel.publish(table());
        std::uint32_t typed = 0, heldLate = 0, loopAt = 0;
        EXPECT_TRUE(channel.onKeyEvent(KeyEvent{66, 0, 0, 0}, nothingHeld));
        // A character another program types as text is never held: it keeps its character.
        EXPECT_FALSE(channel.onKeyEvent(KeyEvent{kPacketKey, 0xE9, kInjectedFlag, 1}, nothingHeld));
        for (std::uint32_t t = 1; t < 20'000; ++t) {
            if (t % 10 == 0 && (t < 300 || t > 500))
                heldLate += channel.onKeyEvent(tap(typed++, t), nothingHeld) && t > 1400;
            if (t >= 300) // the copy is done
                channel.drain([](const KeyEvent&) {}, [&](auto keys) { desktop.sendOn(keys); });
            if (std::optional<KeyEvent> back = t % 15 ? std::nullopt : desktop.comeBack(t))
                channel.onKeyEvent(*back, nothingHeld);
            if (channel.takeLoopRequest() || t >= loopAt) // as the hook thread's loop
                loopAt = t + channel.idle(t).value_or(20'000);
        }
        EXPECT_EQ(heldLate, 0u);
        EXPECT_LE(desktop.sent, 2 * 130u); // typed up to 1400 ms, and what the tool made of it
    }
}

TEST_F(Channel, ANewIndexOnlyForAChangeTheHookCanSee) {
    KeyTable table = fakes::table({key("Notes", 112, 59, 60, "notepad.exe")});
    EXPECT_TRUE(channel.publish(table));
    const std::tuple<const char*, void (*)(KeyDef&), bool> cases[] = {
        {"a launch target", [](KeyDef& k) { k.webs = "calc.exe"; }, false},
        {"the scan code of a key that is not 255", [](KeyDef& k) { k.code2 = 1; }, false},
        {"copy track, which holds the keys after it", [](KeyDef& k) { k.mapm = 50; }, true},
        {"a player action with a modifier", [](KeyDef& k) { k.mapm = 33, k.webs = "17"; }, true},
        {"another player action, the same modifier", [](KeyDef& k) { k.mapm = 31; }, false},
        {"the key's code", [](KeyDef& k) { k.code = 113; }, true},
    };
    for (auto [change, edit, seen] : cases) {
        edit(table[1]);
        EXPECT_EQ(channel.publish(table), seen) << change;
    }
}

TEST(HookWatch, RawInputOnlyAfterAQuietSecondAndTwoRawKeysUnseenByTheHookMeanItIsGone) {
    using V = HookWatch::Verdict;
    HookWatch watch;
    watch.hookSaw(5000);
    EXPECT_EQ(watch.quiet(5400).wait, 600u); // typing: nobody listens to raw input
    EXPECT_TRUE(watch.quiet(6000).listen);   // a quiet second: asked for once
    EXPECT_FALSE(watch.quiet(6001).listen || watch.quiet(6001).wait);
    watch.listening();
    EXPECT_EQ(watch.rawKey(6001), V::Wait); // its hook call may come after it
    watch.hookSaw(6002);                    // and it did
    EXPECT_EQ(watch.rawKey(6003), V::HookAlive);
    EXPECT_EQ(watch.quiet(6502).wait, 500u); // off again, until the hook is quiet again
    EXPECT_TRUE(watch.quiet(7002).listen);
    watch.listening();
    EXPECT_EQ(watch.rawKey(7100), V::Wait);
    EXPECT_EQ(watch.rawKey(7101), V::HookGone); // the hook saw nothing since: a fresh hook
    EXPECT_EQ(watch.rawKey(7200), V::Wait);     // listening on, for the fresh hook
    watch.hookSaw(7201);
    EXPECT_EQ(watch.rawKey(7202), V::HookAlive);
    watch.hookSaw(0xFFFFFF00u);
    EXPECT_EQ(watch.quiet(0x100).wait, 488u);     // across the tick count's wrap
    EXPECT_TRUE(watch.quiet(0x8FFFFFFFu).listen); // quiet for more than 24 days
    // Probed after sleep or unlock: renewed only by a probe unseen for 100 ms, once.
    for (bool seen : {true, false}) {
        watch.probeSent(9000);
        EXPECT_EQ(watch.probe(9040).wait, 60u);
        EXPECT_FALSE(watch.tookProbe(ports::kHeldKeyMarker));
        EXPECT_EQ(watch.tookProbe(seen ? ports::kHookProbeMarker : 0), seen);
        EXPECT_EQ(watch.probe(9100).renew, !seen);
        EXPECT_FALSE(watch.probe(9200).renew || watch.probe(9200).wait);
    }

    // Resume from sleep, unlock and reconnection check the hook; they, suspend and every
    // change of the session end a volume repeat; a private message does neither.
    const std::tuple<std::uint32_t, std::uintptr_t, bool, bool> notifications[] = {
        {0x218, 0x12, true, true},  {0x218, 0x7, true, true},  {0x218, 0x4, false, true},
        {0x218, 0xA, false, false}, {0x2B1, 0x8, true, true},  {0x2B1, 0x3, true, true},
        {0x2B1, 0x1, true, true},   {0x2B1, 0x7, false, true}, {0x8002, 0x8, false, false}};
    for (auto [message, wParam, fresh, ends] : notifications) {
        EXPECT_EQ(needsHookCheck(message, wParam), fresh) << message << " " << wParam;
        EXPECT_EQ(mayLoseReleases(message, wParam), ends) << message << " " << wParam;
    }
}

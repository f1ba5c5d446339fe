// Player keys through the real program: learned keys in keys.ini, injected key presses, and
// what reaches player-sim (its log), the clipboard and the focused window.

#include "tests/e2e/support/omnitap_keys.h"
#include "tests/e2e/support/player_sim_process.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace e2e;

namespace {

constexpr WORD kStopKey = VK_F13, kStopScan = 0x64;
constexpr WORD kPlayPauseKey = VK_F14, kPlayPauseScan = 0x65;
constexpr WORD kCopyKey = VK_F15, kCopyScan = 0x66;
constexpr WORD kTypeKey = VK_F16, kTypeScan = 0x67;

} // namespace

TEST(PlayerKeys, LearnedKeysDriveThePlayerCopyAndTypeItsTrack) {
    TempFolder folder;
    folder.write(
        L"keys.ini",
        keysIni({learnedKey(kStopKey, kStopScan, 31), learnedKey(kPlayPauseKey, kPlayPauseScan, 30),
                 learnedKey(kCopyKey, kCopyScan, 52), learnedKey(kTypeKey, kTypeScan, 51)}));
    PlayerSim sim(folder, {L"--status", L"1", L"--caption", L"3. Artist - Song (Live) {x} - Winamp",
                           L"--rate", L"48", L"--bitrate", L"320", L"--channels", L"1",
                           L"--position", L"1500", L"--length", L"61"});
    Omnitap app(folder);
    KeyLogWindow log;
    ASSERT_TRUE(waitUntilHooked(log));

    tapKey(kPlayPauseKey, kPlayPauseScan); // playing: pause
    sim.waitForCommands(1);
    tapKey(kPlayPauseKey, kPlayPauseScan); // paused: play
    sim.waitForCommands(2);
    tapKey(kStopKey, kStopScan);
    EXPECT_EQ(sim.waitForCommands(3), (Lines{"command 40046", "command 40045", "command 40047"}));

    tapKey(kCopyKey, kCopyScan);
    const std::wstring copied = L"\"Artist - Song (Live) {x}\" [48KHz/320kbps/mono] [0:02 / 1:01]";
    EXPECT_TRUE(waitFor([&] { return clipboardText() == copied; }))
        << narrow(clipboardText().value_or(L"(none)"));

    log.text.clear();
    tapKey(kTypeKey, kTypeScan);
    log.pump(500);
    EXPECT_EQ(log.text, L"\"Artist - Song (Live) {x}\"");
    EXPECT_EQ(std::count(log.log.begin(), log.log.end(), "down 127"), 0); // F16 was swallowed
}

TEST(PlayerKeys, TransportKeysPostTheirCommandsAndAPlayerStartedLaterIsFound) {
    TempFolder folder;
    const WORD prev = VK_F17, next = VK_F18, shuffle = VK_F19, jump = VK_F20;
    folder.write(L"keys.ini", keysIni({learnedKey(prev, 0x68, 32), learnedKey(next, 0x69, 33),
                                       learnedKey(shuffle, 0x6A, 35), learnedKey(jump, 0x6B, 40)}));
    Omnitap app(folder);
    KeyLogWindow log;
    ASSERT_TRUE(waitUntilHooked(log));

    // No player yet: nothing happens and nothing fails.
    tapKey(next, 0x69);
    tapKey(jump, 0x6B);
    log.pump(300);
    EXPECT_TRUE(app.running());
    EXPECT_TRUE(log.log.empty());

    PlayerSim sim(folder, {L"--caption", L"1. A - B - Winamp"});
    log.focus();
    tapKey(prev, 0x68);
    tapKey(next, 0x69);
    tapKey(shuffle, 0x6A);
    EXPECT_EQ(sim.waitForCommands(3), (Lines{"command 40044", "command 40048", "command 40023"}));
    EXPECT_NE(GetForegroundWindow(), sim.window()); // only Jump to Song brings it forward
    tapKey(jump, 0x6B);
    EXPECT_EQ(sim.waitForCommands(4).back(), "command 40194");
    EXPECT_TRUE(waitFor([&] { return GetForegroundWindow() == sim.window(); }));
}

TEST(PlayerKeys, KeysKeepFlowingWhileTheProgramWaitsForAHungPlayer) {
    TempFolder folder;
    folder.write(L"keys.ini", keysIni({learnedKey(kCopyKey, kCopyScan, 50)}));
    PlayerSim sim(folder, {L"--caption", L"1. A - B - Winamp", L"--hang-ms", L"4000"});
    Omnitap app(folder);
    KeyLogWindow log;
    ASSERT_TRUE(waitUntilHooked(log));
    HWND control = controlWindow(app);
    ASSERT_NE(control, nullptr);
    auto caption = [&] {
        wchar_t text[64] = L"";
        GetWindowTextW(control, text, 64); // read without asking the busy thread
        return std::wstring(text);
    };

    // Each press makes the program's UI thread wait for the hung player, up to its time-out.
    for (int i = 0; i < 4; ++i)
        tapKey(kCopyKey, kCopyScan);
    auto start = std::chrono::steady_clock::now();
    tapKey('B', 48);
    ASSERT_TRUE(waitFor([&] {
        log.pump(5);
        return std::count(log.log.begin(), log.log.end(), "down 66") == 1;
    }));
    // Keys typed after a copy wait for it, but never much longer than a second.
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms);

    // A learned key is swallowed at once too, but handled only when the UI thread is free:
    // the control window's caption shows its flags (extended key, released, injected) late.
    INPUT probe[2] = {};
    for (INPUT& input : probe) {
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = kProbeKey;
        input.ki.wScan = kProbeScan;
        input.ki.dwFlags = KEYEVENTF_EXTENDEDKEY;
    }
    probe[1].ki.dwFlags |= KEYEVENTF_KEYUP;
    SendInput(2, probe, sizeof(INPUT));
    log.pump(50);
    EXPECT_EQ(std::count(log.log.begin(), log.log.end(), "down 135"), 0);
    EXPECT_NE(caption(), L"145") << "the UI thread was not busy: the test proves nothing";

    // Once the time-outs have passed, the program handles its keys again.
    EXPECT_TRUE(waitFor([&] { return caption() == L"145"; }, 10s)) << narrow(caption());
    EXPECT_TRUE(app.running());
}

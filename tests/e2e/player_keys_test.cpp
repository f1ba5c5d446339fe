// Player keys through the real program: learned keys in keys.ini, injected key presses, and
// what reaches player-sim (its log), the clipboard, Explorer and the focused window.

#include "ports/input_marker.h"
#include "tests/e2e/support/omnitap_keys.h"
#include "tests/e2e/support/player_sim_process.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

constexpr WORD kStopKey = VK_F13, kStopScan = 0x64;
constexpr WORD kPlayPauseKey = VK_F14, kPlayPauseScan = 0x65;
constexpr WORD kCopyKey = VK_F15, kCopyScan = 0x66;
constexpr WORD kTypeKey = VK_F16, kTypeScan = 0x67;
constexpr WORD kShowKey = VK_F17, kShowScan = 0x68;

std::string keys() {
    return keysIni({learnedKey(kStopKey, kStopScan, 31),
                    learnedKey(kPlayPauseKey, kPlayPauseScan, 30),
                    learnedKey(kCopyKey, kCopyScan, 52), learnedKey(kTypeKey, kTypeScan, 51),
                    learnedKey(kShowKey, kShowScan, 42)});
}

// Keystrokes seen by a hook of the test's own, by whether they carry the program's marker.
int marked = 0, unmarked = 0;
LRESULT CALLBACK countKeystrokes(int code, WPARAM wParam, LPARAM lParam) {
    auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    if (code == HC_ACTION)
        ++(event->dwExtraInfo == omnitap::ports::kOwnInputMarker ? marked : unmarked);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::wstring copyTrack() {
    std::optional<std::wstring> before = clipboardText();
    tapKey(kCopyKey, kCopyScan);
    waitFor([&] { return clipboardText() != before; }, 15s);
    return clipboardText().value_or(L"(none)");
}

} // namespace

TEST(PlayerKeys, LearnedKeysDriveThePlayerAndCopyOrTypeItsTrackWhateverTheUserHolds) {
    TempFolder folder;
    folder.write(L"keys.ini", keys());
    PlayerSim sim(folder, {L"--status", L"1", L"--caption", L"R.E.M. - Song (Live) {x} - Winamp",
                           L"--rate", L"48", L"--bitrate", L"320", L"--channels", L"6",
                           L"--position", L"1500", L"--length", L"-1"});
    Omnitap app(folder);
    KeyLogWindow log;
    ASSERT_TRUE(waitUntilHooked(log));

    tapKey(kPlayPauseKey, kPlayPauseScan); // playing: pause
    sim.waitForCommands(1);
    tapKey(kPlayPauseKey, kPlayPauseScan); // paused: play
    sim.waitForCommands(2);
    tapKey(kStopKey, kStopScan);
    EXPECT_EQ(sim.waitForCommands(3), (Lines{"command 40046", "command 40045", "command 40047"}));
    EXPECT_EQ(copyTrack(), L"\"R.E.M. - Song (Live) {x}\" [48KHz/320kbps/6ch] [0:02]");

    // Typed while the user still holds Alt from the key: text, not Alt shortcuts, and Alt is
    // down again afterwards without the window's menu having opened.
    sendKey(VK_LMENU, 0x38, false);
    log.pump(100);
    log.log.clear();
    HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, countKeystrokes, GetModuleHandleW(nullptr), 0);
    tapKey(kTypeKey, kTypeScan);
    log.pump(700);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(log.text, L"\"R.E.M. - Song (Live) {x}\"");
    EXPECT_LT(GetAsyncKeyState(VK_MENU), 0);
    EXPECT_EQ(log.log.back(), "up 232");
    // Every keystroke of the program's is marked: 26 characters, Alt up and down, the mask key
    // twice; only the test's own tap is not.
    EXPECT_EQ(marked, 26 * 2 + 2 + 4);
    EXPECT_EQ(unmarked, 2);
    sendKey(VK_LMENU, 0x38, true);
    log.pump(200);
    EXPECT_EQ(log.text.size(), 26u); // nothing more typed, no menu key
    EXPECT_EQ(std::count(log.log.begin(), log.log.end(), "down 127"), 0); // F16 was swallowed
}

TEST(PlayerKeys, WithoutThePlayerTransportKeysAreTheSystemsMediaKeysOncePerPress) {
    TempFolder folder;
    // The media key Next Track itself taught for Next Track: the program's own key must pass.
    folder.write(L"keys.ini",
                 keysIni({learnedKey(VK_MEDIA_NEXT_TRACK, 0x19, 33), learnedKey(VK_F18, 0x69, 32),
                          learnedKey(VK_F19, 0x6A, 35), learnedKey(VK_F20, 0x6B, 40),
                          learnedKey(kStopKey, kStopScan, 31),
                          learnedKey(kPlayPauseKey, kPlayPauseScan, 30)}));
    Omnitap app(folder);
    KeyLogWindow log;
    ASSERT_TRUE(waitUntilHooked(log));
    auto pressAll = [&] {
        for (auto [vk, scan] : {std::pair<WORD, WORD>{VK_MEDIA_NEXT_TRACK, 0x19},
                                {VK_F18, 0x69},
                                {VK_F19, 0x6A},
                                {kStopKey, kStopScan},
                                {kPlayPauseKey, kPlayPauseScan}})
            tapKey(vk, scan);
        log.pump(600);
    };
    pressAll();
    EXPECT_EQ(log.log, (Lines{"down 176", "up 176", "down 177", "up 177", "down 178", "up 178",
                              "down 179", "up 179"})); // shuffle has no media key

    PlayerSim sim(folder, {L"--caption", L"1. A - B - Winamp"});
    log.focus();
    log.log.clear();
    pressAll();
    EXPECT_EQ(sim.waitForCommands(5), (Lines{"command 40048", "command 40044", "command 40023",
                                             "command 40047", "command 40045"}));
    EXPECT_TRUE(log.log.empty());
    EXPECT_NE(GetForegroundWindow(), sim.window()); // only Jump to Song brings it forward
    tapKey(VK_F20, 0x6B);
    EXPECT_EQ(sim.waitForCommands(6).back(), "command 40194");
    EXPECT_TRUE(waitFor([&] { return GetForegroundWindow() == sim.window(); }));
}

TEST(PlayerKeys, ASlowPlayerIsWaitedForAndASilentOneIsNeverGuessedAt) {
    TempFolder folder;
    folder.write(L"keys.ini", keys());
    Omnitap app(folder);
    KeyLogWindow log;
    ASSERT_TRUE(waitUntilHooked(log));
    {
        PlayerSim slow(folder,
                       {L"--delay", L"700", L"--status", L"1", L"--caption", L"1. A - B - Winamp"});
        tapKey(kPlayPauseKey, kPlayPauseScan);
        EXPECT_EQ(copyTrack(), L"\"A - B\" [44KHz/128kbps/stereo] [0:00 / 0:00]");
        EXPECT_EQ(slow.logOf("command"), Lines{"command 40046"});
    }
    PlayerSim silent(folder,
                     {L"--delay", L"3000", L"--status", L"1", L"--caption", L"1. A - B - Winamp"});
    tapKey(kPlayPauseKey, kPlayPauseScan);
    tapKey(kPlayPauseKey, kPlayPauseScan);
    // Other keys flow at once while the program waits for the player: the hook never waits.
    auto start = std::chrono::steady_clock::now();
    tapKey('B', 48);
    EXPECT_TRUE(waitFor([&] { return log.pump(5), !log.log.empty(); }));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1000ms);
    EXPECT_EQ(silent.logOf("query"), Lines{"query 104 0"}) << "the program was not waiting";
    EXPECT_EQ(copyTrack(), L"\"A - B\"");
    EXPECT_EQ(silent.logOf("command"), Lines{});
}

TEST(PlayerKeys, ShowCurrentFileOpensTheFilesFolderAndNeverStartsThePlaylistEntry) {
    TempFolder folder;
    folder.write(L"keys.ini", keys());
    const std::wstring name = L"a b, 100% ^ & \u00dcn\u00efc\u00f6d\u00e9"; // in the ANSI code page
    ASSERT_TRUE(CreateDirectoryW(folder.file(name).c_str(), nullptr));
    folder.write(name + L"\\song.mp3", "");
    const std::wstring probe = folder.file(L"launch-probe.exe"); // records when started
    ASSERT_TRUE(CopyFileW((binFolder() + L"\\launch-probe.exe").c_str(), probe.c_str(), FALSE));
    Omnitap app(folder);
    KeyLogWindow log;
    ASSERT_TRUE(waitUntilHooked(log));
    {
        PlayerSim sim(folder, {L"--path", L"C:\\a\" \"" + probe});
        tapKey(kShowKey, kShowScan);
        tapKey(kStopKey, kStopScan); // handled after the show key: then the show key is done
        sim.waitForCommands(1);
        log.pump(2000); // time for Explorer to start the entry, if it was started itself
        EXPECT_FALSE(folder.exists(L"launched.txt")) << folder.read(L"launched.txt");
    }
    PlayerSim sim(folder, {L"--path", folder.file(name + L"\\song.mp3")});
    tapKey(kShowKey, kShowScan);
    HWND explorer = nullptr;
    EXPECT_TRUE(
        waitFor([&] { return (explorer = FindWindowW(L"ExplorerWClass", name.c_str())); }, 10s));
    PostMessageW(explorer, WM_CLOSE, 0, 0);
}

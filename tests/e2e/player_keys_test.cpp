// Player keys through the real program, started once for them all: learned keys in keys.ini,
// injected key presses, and what reaches player-sim (its log), the clipboard, Explorer and the
// focused window. Each test starts the players it needs; the program finds them afresh.

#include "ports/input_marker.h"
#include "tests/e2e/support/e2e.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace e2e;

namespace {

constexpr WORD kStop = VK_F13, kStopScan = 0x64;
constexpr WORD kPlayPause = VK_F14, kPlayPauseScan = 0x65;
constexpr WORD kCopyExtra = VK_F15, kCopyExtraScan = 0x66;
constexpr WORD kType = VK_F16, kTypeScan = 0x67;
constexpr WORD kShow = VK_F17, kShowScan = 0x68;
constexpr WORD kCopy = VK_F21, kCopyScan = 0x6C;

// Keystrokes seen by a hook of the test's own, by whether they carry the program's marker.
int marked = 0, unmarked = 0;
LRESULT CALLBACK countKeystrokes(int code, WPARAM wParam, LPARAM lParam) {
    auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    if (code == HC_ACTION)
        ++(event->dwExtraInfo == omnitap::ports::kOwnInputMarker ? marked : unmarked);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class PlayerKeys : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        folder = std::make_unique<TempFolder>();
        // The media key Next Track itself taught for Next Track: the program's own key must pass.
        folder->write(
            L"keys.ini",
            keysIni({learnedKey(kStop, kStopScan, 31), learnedKey(kPlayPause, kPlayPauseScan, 30),
                     learnedKey(kCopyExtra, kCopyExtraScan, 52), learnedKey(kType, kTypeScan, 51),
                     learnedKey(kShow, kShowScan, 42), learnedKey(kCopy, kCopyScan, 50),
                     learnedKey(VK_MEDIA_NEXT_TRACK, 0x19, 33), learnedKey(VK_F18, 0x69, 32),
                     learnedKey(VK_F19, 0x6A, 35), learnedKey(VK_F20, 0x6B, 40)}));
        app = std::make_unique<Omnitap>(*folder);
    }
    static void TearDownTestSuite() {
        app.reset();
        folder.reset();
    }
    void SetUp() override { ASSERT_TRUE(waitUntilHooked(log)); }

    std::wstring copyTrack() {
        std::optional<std::wstring> before = clipboardText();
        tapKey(kCopyExtra, kCopyExtraScan);
        waitFor([&] { return clipboardText() != before; }, 15s);
        return clipboardText().value_or(L"(none)");
    }

    static std::unique_ptr<TempFolder> folder;
    static std::unique_ptr<Omnitap> app;
    KeyLogWindow log;
};
std::unique_ptr<TempFolder> PlayerKeys::folder;
std::unique_ptr<Omnitap> PlayerKeys::app;

} // namespace

TEST_F(PlayerKeys, LearnedKeysDriveThePlayerAndCopyOrTypeItsTrackWhateverTheUserHolds) {
    PlayerSim sim(*folder, {L"--status", L"1", L"--caption", L"R.E.M. - Song (Live) {x} - Winamp",
                            L"--rate", L"48", L"--bitrate", L"320", L"--channels", L"6",
                            L"--position", L"1500", L"--length", L"-1"});
    tapKey(kPlayPause, kPlayPauseScan); // playing: pause
    sim.waitForCommands(1);
    tapKey(kPlayPause, kPlayPauseScan); // paused: play
    sim.waitForCommands(2);
    tapKey(kStop, kStopScan);
    EXPECT_EQ(sim.waitForCommands(3), (Lines{"command 40046", "command 40045", "command 40047"}));
    EXPECT_EQ(copyTrack(), L"\"R.E.M. - Song (Live) {x}\" [48KHz/320kbps/6ch] [0:02]");

    // Typed while the user still holds Alt from the key: text, not Alt shortcuts, and Alt is
    // down again afterwards without the window's menu having opened.
    sendKey(VK_LMENU, 0x38, false);
    log.pump(100);
    log.log.clear();
    HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, countKeystrokes, GetModuleHandleW(nullptr), 0);
    tapKey(kType, kTypeScan);
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

TEST_F(PlayerKeys, KeysTypedAfterACopyOrTypeKeyWaitForItsResult) {
    // Every query takes 0.2 s: without holding, the keys below would overtake the actions.
    PlayerSim sim(*folder, {L"--caption", L"1. A - B - Winamp", L"--delay", L"200"});
    tapKey(kCopy, kCopyScan); // copy track, then paste
    sendKey(VK_CONTROL, 0x1D, false);
    tapKey('V', 0x2F);
    sendKey(VK_CONTROL, 0x1D, true);
    tapKey(kType, kTypeScan); // type track, then more text
    for (auto [vk, scan] : {std::pair<WORD, WORD>{VK_SPACE, 0x39}, {'I', 0x17}, {'S', 0x1F}})
        tapKey(vk, scan);
    log.pump(2000);
    EXPECT_EQ(log.pasted, std::vector<std::wstring>{L"\"A - B\""});
    EXPECT_EQ(log.text, L"\"A - B\" is");
}

TEST_F(PlayerKeys, WithoutThePlayerTransportKeysAreTheSystemsMediaKeysOncePerPress) {
    auto pressAll = [&] {
        for (auto [vk, scan] : {std::pair<WORD, WORD>{VK_MEDIA_NEXT_TRACK, 0x19},
                                {VK_F18, 0x69},
                                {VK_F19, 0x6A},
                                {kStop, kStopScan},
                                {kPlayPause, kPlayPauseScan}})
            tapKey(vk, scan);
        log.pump(600);
    };
    pressAll();
    EXPECT_EQ(log.log, (Lines{"down 176", "up 176", "down 177", "up 177", "down 178", "up 178",
                              "down 179", "up 179"})); // shuffle has no media key

    PlayerSim sim(*folder, {L"--caption", L"1. A - B - Winamp"});
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

TEST_F(PlayerKeys, ShowCurrentFileOpensTheFilesFolderAndNeverStartsThePlaylistEntry) {
    const std::wstring name = L"a b, 100% ^ & \u00dcn\u00efc\u00f6d\u00e9"; // in the ANSI code page
    ASSERT_TRUE(CreateDirectoryW(folder->file(name).c_str(), nullptr));
    folder->write(name + L"\\song.mp3", "");
    ASSERT_TRUE(folder->copy(L"launch-probe.exe", L"launch-probe.exe")); // records when started
    {
        PlayerSim sim(*folder, {L"--path", L"C:\\a\" \"" + folder->file(L"launch-probe.exe")});
        tapKey(kShow, kShowScan);
        tapKey(kStop, kStopScan); // handled after the show key: then the show key is done
        sim.waitForCommands(1);
        log.pump(2000); // time for Explorer to start the entry, if it was started itself
        EXPECT_FALSE(folder->exists(L"launched.txt")) << folder->read(L"launched.txt");
    }
    PlayerSim sim(*folder, {L"--path", folder->file(name + L"\\song.mp3")});
    tapKey(kShow, kShowScan);
    HWND explorer = nullptr;
    EXPECT_TRUE(
        waitFor([&] { return (explorer = FindWindowW(L"ExplorerWClass", name.c_str())); }, 10s));
    PostMessageW(explorer, WM_CLOSE, 0, 0);
}

// Last: the program may still be waiting for the silent player when it ends.
TEST_F(PlayerKeys, ASlowPlayerIsWaitedForAndASilentOneIsNeverGuessedAt) {
    {
        PlayerSim slow(*folder,
                       {L"--delay", L"700", L"--status", L"1", L"--caption", L"1. A - B - Winamp"});
        tapKey(kPlayPause, kPlayPauseScan);
        EXPECT_EQ(copyTrack(), L"\"A - B\" [44KHz/128kbps/stereo] [0:00 / 0:00]");
        EXPECT_EQ(slow.logOf("command"), Lines{"command 40046"});
    }
    PlayerSim silent(*folder,
                     {L"--delay", L"3000", L"--status", L"1", L"--caption", L"1. A - B - Winamp"});
    tapKey(kPlayPause, kPlayPauseScan);
    tapKey(kPlayPause, kPlayPauseScan);
    // Other keys flow at once while the program waits for the player: the hook never waits.
    auto start = std::chrono::steady_clock::now();
    tapKey('B', 48);
    EXPECT_TRUE(waitFor([&] { return log.pump(5), !log.log.empty(); }));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1000ms);
    EXPECT_EQ(silent.logOf("query"), Lines{"query 104 0"}) << "the program was not waiting";
    EXPECT_EQ(copyTrack(), L"\"A - B\"");
    EXPECT_EQ(silent.logOf("command"), Lines{});
}

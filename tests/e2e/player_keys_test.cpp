// Player keys through the real program, started once for them all: what reaches player-sim (its
// log), the clipboard, Explorer and the focused window. Each test starts the players it needs.

#include "ports/input_marker.h"
#include "tests/e2e/support/e2e.h"

#include <memory>

using namespace e2e;

namespace {

constexpr WORD kPlayPause = VK_F14, kCopyExtra = VK_F15, kType = VK_F16, kShow = VK_F17,
               kCopy = VK_F21;

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
        // The media key Next Track itself taught for Next Track: the program's own key must pass.
        folder.write(L"keys.ini",
                     keysIni({learnedKey(kPlayPause, 30), learnedKey(kCopyExtra, 52),
                              learnedKey(kType, 51), learnedKey(kShow, 42), learnedKey(kCopy, 50),
                              learnedKey(VK_MEDIA_NEXT_TRACK, 33), learnedKey(VK_F20, 40)}));
        app = std::make_unique<Omnitap>(folder);
    }
    void SetUp() override { ASSERT_TRUE(waitUntilHooked(log)); }

    // The clipboard kept open a moment, as a clipboard manager reading it does.
    static std::wstring copyTrack() {
        const std::wstring before = clipboardText();
        std::wstring text;
        EXPECT_TRUE(OpenClipboard(nullptr));
        tapKey(kCopyExtra);
        Sleep(100);
        CloseClipboard();
        waitFor([&] { return (text = clipboardText()) != before && !text.empty(); }, 15s);
        return text;
    }

    static inline TempFolder folder;
    static inline std::unique_ptr<Omnitap> app; // ends before its folder goes
    KeyLogWindow log;
};

} // namespace

TEST_F(PlayerKeys, TheTrackIsCopiedWithWhatThePlayerSaysAndTypedAsTextWhateverTheUserHolds) {
    PlayerSim sim(L"--caption \"R.E.M. - Song (Live) {x} - Winamp\" --rate 48 --bitrate "
                  L"320 --channels 6 --position 1500 --length -1");
    EXPECT_EQ(copyTrack(), L"\"R.E.M. - Song (Live) {x}\" [48KHz/320kbps/6ch] [0:02]");

    // Typed while the user still holds Alt from the key: text, not Alt shortcuts, and Alt is
    // down again afterwards. Every keystroke of the program's is marked: 26 characters, Alt up
    // and down, the mask key twice; only the test's own tap is not.
    sendKey(VK_LMENU, 0x38, false);
    pump(100ms);
    HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, countKeystrokes, GetModuleHandleW(nullptr), 0);
    tapKey(kType);
    waitFor([] { return marked >= 26 * 2 + 2 + 4; });
    pump(200ms); // and no more
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(log.text, L"\"R.E.M. - Song (Live) {x}\"");
    EXPECT_LT(GetAsyncKeyState(VK_MENU), 0);
    EXPECT_EQ(marked, 26 * 2 + 2 + 4);
    EXPECT_EQ(unmarked, 2);
    sendKey(VK_LMENU, 0x38, true);
}

TEST_F(PlayerKeys, KeysTypedAfterACopyOrTypeKeyWaitForItsResult) {
    // Every query takes 0.2 s: without holding, the keys below would overtake the actions.
    PlayerSim sim(L"--caption \"1. A - B - Winamp\" --delay 200");
    tapKey(kCopy); // copy track, then paste
    sendKey(VK_CONTROL, 0x1D, false);
    tapKey('V');
    sendKey(VK_CONTROL, 0x1D, true);
    tapKey(kType); // type track, then more text
    for (int vk : {VK_SPACE, int{'I'}, int{'S'}})
        tapKey(static_cast<WORD>(vk));
    pump(2000ms);
    EXPECT_EQ(log.pasted, std::vector<std::wstring>{L"\"A - B\""});
    EXPECT_EQ(log.text, L"\"A - B\" is");

    // A thousand keys at once behind a type action (a macro, a password manager), most of them
    // on their way before the first is sent on.
    log.log.clear();
    tapKey(kType);
    std::vector<INPUT> keys(2000, INPUT{INPUT_KEYBOARD});
    Lines typed;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        keys[i].ki = {static_cast<WORD>('A' + i / 2 % 26), 0, i % 2 ? DWORD{KEYEVENTF_KEYUP} : 0};
        typed.push_back((i % 2 ? "up " : "down ") + std::to_string(keys[i].ki.wVk));
    }
    SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
    waitFor([&] { return log.log.size() >= typed.size(); }, 30s);
    EXPECT_EQ(log.log, typed);
}

// One transport command: the others differ only by the number the unit tests check. Every
// query of this player takes 2 s: asked before each command, five presses would take ten.
TEST_F(PlayerKeys, ATransportKeyIsTheSystemsMediaKeyOrACommandThatWaitsForNoAnswer) {
    tapKey(VK_MEDIA_NEXT_TRACK);
    pump(600ms);
    EXPECT_EQ(log.log, (Lines{"down 176", "up 176"}));
    PlayerSim sim(L"--caption \"1. A - B - Winamp\" --delay 2000");
    log.focus();
    log.log.clear();
    for (int i = 0; i < 5; ++i)
        tapKey(VK_MEDIA_NEXT_TRACK);
    EXPECT_EQ(sim.logOf("command", 5), Lines(5, "command 40048"));
    EXPECT_TRUE(log.log.empty());
    EXPECT_NE(GetForegroundWindow(), sim.window); // only Jump to Song brings it forward
    tapKey(VK_F20);
    EXPECT_EQ(sim.logOf("command", 6).at(5), "command 40194");
    EXPECT_TRUE(waitFor([&] { return GetForegroundWindow() == sim.window; }));
}

TEST_F(PlayerKeys, ShowCurrentFileOpensTheFilesFolderInExplorer) {
    const std::wstring name = L"a b, 100% ^ & \u00dcn\u00efc\u00f6d\u00e9"; // in the ANSI code page
    folder.write(name + L"\\song.mp3", "");
    PlayerSim sim(L"--path \"" + folder.file(name + L"\\song.mp3") + L"\"");
    tapKey(kShow);
    HWND explorer = nullptr;
    EXPECT_TRUE(
        waitFor([&] { return (explorer = FindWindowW(L"ExplorerWClass", name.c_str())); }, 10s));
    PostMessageW(explorer, WM_CLOSE, 0, 0);
}

// Last: the program may still be waiting for the silent player when it ends.
TEST_F(PlayerKeys, ASlowPlayerIsWaitedForAndASilentOneIsNeverGuessedAt) {
    {
        PlayerSim slow(L"--delay 700 --status 1 --caption \"1. A - B - Winamp\"");
        tapKey(kPlayPause);
        EXPECT_EQ(copyTrack(), L"\"A - B\" [44KHz/128kbps/stereo] [0:00 / 0:00]");
        EXPECT_EQ(slow.logOf("command"), Lines{"command 40046"});
    }
    PlayerSim silent(L"--delay 3000 --status 1 --caption \"1. A - B - Winamp\"");
    tapKey(kPlayPause);
    tapKey(kPlayPause);
    pump(1000ms);
    EXPECT_EQ(silent.logOf("query"), Lines{"query 104 0"}) << "the program was not waiting";
    EXPECT_EQ(copyTrack(), L"\"A - B\"");
    EXPECT_EQ(silent.logOf("command"), Lines{});
    log.log.clear();
    tapKey(kCopy);
    tapKey('Q'); // held while the copy waits on the silent player, for a second at most
    EXPECT_TRUE(waitFor([&] { return log.log.size() == 2; }, 1500ms));
}

// The real program, started once for all these tests: its tray, with the test standing in for
// the shell's notification area, and its player keys: what reaches player-sim (its log), the
// clipboard, Explorer and the focused window. Each test starts the players it needs.

#include "actions/launch_failure.h"
#include "ports/input_marker.h"
#include "ports/private_messages.h"
#include "tests/e2e/support/e2e.h"
#include "tray/tray_icon.h"
#include "volume/volume_indicator.h"
#include "win32/volume_backends.h"

#include <shellapi.h>

#include <memory>

using namespace omnitap;
using namespace e2e;

namespace {

constexpr WORD kPlayPause = VK_F14, kCopyExtra = VK_F15, kType = VK_F16, kShow = VK_F17,
               kCopy = VK_F21, kLaunchGone = VK_F13, kVolumeUp = VK_F18;

// Keystrokes seen by a hook of the test's own, by whether they carry the program's marker.
int marked = 0, unmarked = 0;
LRESULT CALLBACK countKeystrokes(int code, WPARAM wParam, LPARAM lParam) {
    auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    if (code == HC_ACTION) ++(event->dwExtraInfo == ports::kOwnInputMarker ? marked : unmarked);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Shell_NotifyIcon hands each record to the first window of class "Shell_TrayWnd" by
// WM_COPYDATA (dwData: the NIM_ command); topmost and newest, this one is found first. The
// record's layout is the shell's own; its texts are in it whole, each ending in a 0, and the
// icon's window and id side by side, 32 bits each.
struct NotificationArea {
    explicit NotificationArea(HWND owner) {
        const DWORD icon[] = {static_cast<DWORD>(reinterpret_cast<UINT_PTR>(owner)), kTrayIconId};
        iconKey.assign(reinterpret_cast<const char*>(icon), sizeof icon);
    }
    ~NotificationArea() { DestroyWindow(window); }
    std::string iconKey; // the records of other icons do not count
    std::vector<std::pair<DWORD, std::string>> records;
    HWND window =
        testWindow(L"Shell_TrayWnd", proc, this, WS_EX_TOPMOST | WS_EX_TOOLWINDOW, WS_POPUP);

    bool received(DWORD command, const std::wstring& text = L"") {
        const std::wstring field = L'\0' + text + L'\0';
        const std::string bytes(reinterpret_cast<const char*>(field.data()), field.size() * 2);
        return waitFor([&] {
            return std::any_of(records.begin(), records.end(), [&](const auto& r) {
                return r.first == command && r.second.find(iconKey) != r.second.npos &&
                       (text.empty() || r.second.find(bytes) != r.second.npos);
            });
        });
    }
    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<NotificationArea*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (!self || msg != WM_COPYDATA) return DefWindowProcW(hwnd, msg, wParam, lParam);
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        self->records.emplace_back(
            static_cast<DWORD>(data->dwData),
            std::string(static_cast<const char*>(data->lpData), data->cbData));
        return TRUE;
    }
};

// The Run entry, and the first byte of its switch (Task Manager's) when there is one.
const std::wstring kApproved =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
std::wstring runEntry() {
    wchar_t value[1024] = L"(none)";
    DWORD bytes = sizeof value;
    RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                 L"Omnitap", RRF_RT_REG_SZ, nullptr, value, &bytes);
    BYTE approval[64] = {};
    bytes = sizeof approval;
    if (RegGetValueW(HKEY_CURRENT_USER, kApproved.c_str(), L"Omnitap", RRF_RT_REG_BINARY, nullptr,
                     approval, &bytes) != ERROR_SUCCESS)
        return value;
    return value + (L", switch " + std::to_wstring(approval[0]));
}

class TrayAndPlayerKeys : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        // The media key Next Track itself taught for Next Track.
        folder.write(L"keys.ini",
                     keysIni({learnedKey(kPlayPause, 30), learnedKey(kCopyExtra, 52),
                              learnedKey(kType, 51), learnedKey(kShow, 42), learnedKey(kCopy, 50),
                              learnedKey(VK_MEDIA_NEXT_TRACK, 33), learnedKey(VK_F20, 40),
                              learnedKey(kLaunchGone, 60, narrow(folder.file(L"gone.exe"))),
                              learnedKey(kVolumeUp, 301)}));
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

TEST_F(TrayAndPlayerKeys, TheTrackIsCopiedWithWhatThePlayerSaysAndTypedAsTextWhateverTheUserHolds) {
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

TEST_F(TrayAndPlayerKeys, KeysTypedAfterACopyOrTypeKeyWaitForItsResult) {
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
    EXPECT_EQ(log.text, L"\"A - B\"\"A - B\" is"); // pasted, then typed

    // Five hundred keys at once behind a type action (a macro, a password manager), most of them
    // on their way before the first is sent on.
    log.log.clear();
    tapKey(kType);
    std::vector<INPUT> keys(1000, INPUT{INPUT_KEYBOARD});
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
TEST_F(TrayAndPlayerKeys, ATransportKeyIsACommandThatWaitsForNoAnswer) {
    PlayerSim sim(L"--caption \"1. A - B - Winamp\" --delay 2000");
    log.focus();
    for (int i = 0; i < 5; ++i)
        tapKey(VK_MEDIA_NEXT_TRACK);
    EXPECT_EQ(sim.logOf("command", 5), Lines(5, "command 40048"));
    EXPECT_TRUE(log.log.empty());
    EXPECT_NE(GetForegroundWindow(), sim.window); // only Jump to Song brings it forward
    tapKey(VK_F20);
    EXPECT_EQ(sim.logOf("command", 6).at(5), "command 40194");
    EXPECT_TRUE(waitFor([&] { return GetForegroundWindow() == sim.window; }));
}

TEST_F(TrayAndPlayerKeys, ShowCurrentFileOpensTheFilesFolderInExplorer) {
    const std::wstring name = L"a b, 100% ^ & \u00dcn\u00efc\u00f6d\u00e9"; // in the ANSI code page
    folder.write(name + L"\\song.mp3", "");
    PlayerSim sim(L"--path \"" + folder.file(name + L"\\song.mp3") + L"\"");
    tapKey(kShow);
    HWND explorer = nullptr;
    EXPECT_TRUE(
        waitFor([&] { return (explorer = FindWindowW(L"ExplorerWClass", name.c_str())); }, 10s));
    PostMessageW(explorer, WM_CLOSE, 0, 0);
}

// The tray: what the icon says, Start with Windows, the keyboard's way to the menu, a failed
// launch's balloon, the volume indicator.
TEST_F(TrayAndPlayerKeys, TheTrayStartsWithWindowsTakesTheKeyboardWarnsAndShowsTheVolume) {
    HWND control = FindWindowW(L"OmnitapControlWindow", nullptr);
    NotificationArea area(control);
    // As when Explorer restarts: the icon comes back to the notification area that announces
    // itself, for the control window.
    PostMessageW(control, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(area.received(NIM_ADD, L"Omnitap"));
    auto notify = [&](UINT code) { PostMessageW(control, ports::kTrayCallbackMessage, 1, code); };
    auto menuShown = [] { return IsWindowVisible(FindWindowW(L"#32768", nullptr)) != FALSE; };
    // Start with Windows, two above Quit in the menu of a right-click (the release, then
    // WM_CONTEXTMENU): ticking puts this exe in the Run key. Turned off as Task Manager does,
    // the entry kept, it shows unticked: choosing it turns it on. Unticking removes both.
    const std::wstring ours = L"\"" + folder.file(L"omnitap-e2e.exe") + L"\"";
    const std::wstring off =
        L" add HKCU\\" + kApproved + L" /v Omnitap /t REG_BINARY /d 030000000000000000000000 /f";
    for (const std::wstring& entry : {ours, ours + L", switch 2", std::wstring(L"(none)")}) {
        if (runEntry() == ours) { // ticked
            ASSERT_EQ(Process(L"C:\\windows\\system32\\reg.exe", off, L"").exitCode(10s), 0u);
        }
        notify(WM_RBUTTONUP);
        notify(WM_CONTEXTMENU);
        ASSERT_TRUE(waitFor(menuShown));
        tapKey(VK_UP);
        tapKey(VK_UP);
        tapKey(VK_RETURN);
        ASSERT_TRUE(waitFor([&] { return !menuShown(); }));
        EXPECT_TRUE(waitFor([&] { return runEntry() == entry; })) << narrow(runEntry());
    }

    // The keyboard: the menu key opens the menu, Esc gives the focus back to the icons.
    notify(WM_CONTEXTMENU);
    ASSERT_TRUE(waitFor(menuShown));
    tapKey(VK_ESCAPE);
    EXPECT_TRUE(area.received(NIM_SETFOCUS));

    // A launch target that is gone: a balloon names it and says why; the key is swallowed
    // and the window being typed in keeps the focus.
    log.focus();
    log.log.clear();
    tapKey(kLaunchGone);
    EXPECT_TRUE(area.received(NIM_MODIFY, win32::widen(narrow(folder.file(L"gone.exe")) + "\n" +
                                                       launchFailureReason({false, "", 2}))));
    EXPECT_TRUE(area.received(NIM_MODIFY, L"Omnitap could not start a key's program"));

    // A volume key: the indicator says what the system's volume is, takes no keys, and goes.
    tapKey(kVolumeUp);
    tapKey('A');
    HWND indicator = waitForWindow(app->pid(), L"OmnitapVolumeIndicator", nullptr, 5s);
    ASSERT_NE(indicator, nullptr);
    Mixer mixer(win32::systemVolumeBackends()); // read as the program does
    mixer.openMixer();
    EXPECT_EQ(narrow(windowText(indicator)), indicatorView(mixer).text);
    const LONG_PTR bits = WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW;
    EXPECT_EQ(GetWindowLongPtrW(indicator, GWL_EXSTYLE) & bits, bits);
    // Near the notification area: the corner of the work area (Wine's is the whole screen).
    RECT at{}, work{};
    GetWindowRect(indicator, &at);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_TRUE(at.right <= work.right && at.bottom <= work.bottom &&
                at.left > (work.left + work.right) / 2 && at.top > (work.top + work.bottom) / 2);
    pump(300ms);
    EXPECT_EQ(log.log, (Lines{"down 65", "up 65"}));
    EXPECT_EQ(GetForegroundWindow(), FindWindowW(L"E2EKeyLog", nullptr));
    EXPECT_TRUE(waitFor([&] { return !IsWindowVisible(indicator); }, 3s)); // after about 1.5 s
}

// Last: the program may still be waiting for the silent player when it ends.
TEST_F(TrayAndPlayerKeys, ASlowPlayerIsWaitedForAndASilentOneIsNeverGuessedAt) {
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
    tapKey(kCopy);
    tapKey('Q'); // held while the copy waits on the silent player, for a second at most
    EXPECT_TRUE(waitFor([&] { return log.log.size() == 2; }, 1500ms));
}

// The tray of the real program, with the test standing in for the shell's notification area:
// what the icon says, Pause Keys, Start with Windows, the keyboard's way to the menu and
// to Edit Configuration, a failed launch's balloon, the volume indicator.

#include "actions/launch_failure.h"
#include "ports/private_messages.h"
#include "tests/e2e/support/e2e.h"
#include "volume/volume_indicator.h"
#include "win32/volume_backends.h"

#include <shellapi.h>

using namespace e2e;

namespace {

// Shell_NotifyIcon hands each record to the first window of class "Shell_TrayWnd" by
// WM_COPYDATA (dwData: the NIM_ command); topmost and newest, this one is found first. The
// record's layout is the shell's own; its texts are in it whole, each ending in a 0.
struct NotificationArea {
    std::vector<std::pair<DWORD, std::string>> records;
    HWND window =
        testWindow(L"Shell_TrayWnd", proc, this, WS_EX_TOPMOST | WS_EX_TOOLWINDOW, WS_POPUP);
    ~NotificationArea() { DestroyWindow(window); }

    bool received(DWORD command, const std::wstring& text = L"") {
        const std::wstring field = L'\0' + text + L'\0';
        const std::string bytes(reinterpret_cast<const char*>(field.data()), field.size() * 2);
        return waitFor([&] {
            return std::any_of(records.begin(), records.end(), [&](const auto& r) {
                return r.first == command &&
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

constexpr auto kRun = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
std::wstring runEntry() {
    wchar_t value[1024] = L"(none)";
    DWORD bytes = sizeof value;
    RegGetValueW(HKEY_CURRENT_USER, kRun, L"Omnitap", RRF_RT_REG_SZ, nullptr, value, &bytes);
    return value;
}

} // namespace

TEST(Tray, PauseStartWithWindowsTheKeyboardABalloonAndTheVolumeIndicatorAsTheShellSeesThem) {
    NotificationArea area;
    TempFolder folder;
    folder.write(L"keys.ini", keysIni({learnedKey(VK_F13, 60, narrow(folder.file(L"gone.exe"))),
                                       learnedKey(VK_F14, 301)})); // a launch, volume up
    Omnitap app(folder);
    HWND control = waitForWindow(app.pid(), L"OmnitapControlWindow", nullptr, 15s, false);
    KeyLogWindow log;
    ASSERT_TRUE(waitUntilHooked(log));
    EXPECT_TRUE(area.received(NIM_ADD, L"Omnitap"));
    auto notify = [&](UINT code) {
        PostMessageW(control, omnitap::ports::kTrayCallbackMessage, 1, code);
    };
    auto menuShown = [] { return IsWindowVisible(FindWindowW(L"#32768", nullptr)) != FALSE; };
    // A right-click (the release, then WM_CONTEXTMENU), and the entry `up` above Quit.
    auto choose = [&](int up) {
        notify(WM_RBUTTONUP);
        notify(WM_CONTEXTMENU);
        ASSERT_TRUE(waitFor(menuShown));
        for (int i = 0; i <= up; ++i)
            tapKey(VK_UP);
        tapKey(VK_RETURN);
        ASSERT_TRUE(waitFor([&] { return !menuShown(); }));
        log.focus();
    };

    // Pause Keys: a learned key's press and release reach the program; chosen again, not.
    choose(2);
    EXPECT_TRUE(area.received(NIM_MODIFY, L"Omnitap - keys paused"));
    tapKey(kProbeKey);
    pump(300ms);
    EXPECT_EQ(log.log, (Lines{"down 135", "up 135"}));
    area.records.clear();
    choose(2);
    EXPECT_TRUE(area.received(NIM_MODIFY, L"Omnitap"));
    EXPECT_TRUE(waitUntilHooked(log));

    // Start with Windows, unticked for another copy's entry: ticking puts this exe in its
    // place, unticking removes it.
    const wchar_t other[] = L"\"C:\\Old\\omnitap.exe\"";
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kRun, L"Omnitap", REG_SZ, other, sizeof other),
              ERROR_SUCCESS);
    for (const std::wstring& entry :
         {L"\"" + folder.file(L"omnitap-e2e.exe") + L"\"", std::wstring(L"(none)")}) {
        choose(1);
        EXPECT_TRUE(waitFor([&] { return runEntry() == entry; })) << narrow(runEntry());
    }

    // The keyboard: the menu key opens the menu, Esc gives the focus back to the icons;
    // Enter, Space (a mouse click too) and a double-click open Edit Configuration.
    notify(WM_CONTEXTMENU);
    ASSERT_TRUE(waitFor(menuShown));
    tapKey(VK_ESCAPE);
    EXPECT_TRUE(area.received(NIM_SETFOCUS));
    for (UINT code : {UINT{NIN_KEYSELECT}, UINT{NIN_SELECT}, UINT{WM_LBUTTONDBLCLK}}) {
        notify(code);
        HWND form2 = waitForWindow(app.pid(), L"OmnitapEditConfiguration");
        ASSERT_NE(form2, nullptr) << code;
        PostMessageW(form2, WM_CLOSE, 0, 0);
        ASSERT_TRUE(waitFor([&] { return !IsWindowVisible(form2); }));
    }

    // A launch target that is gone: a balloon names it and says why; the key is swallowed
    // and the window being typed in keeps the focus.
    log.focus();
    log.log.clear();
    tapKey(VK_F13);
    EXPECT_TRUE(area.received(NIM_MODIFY,
                              omnitap::win32::widen(narrow(folder.file(L"gone.exe")) + "\n" +
                                                    omnitap::launchFailureReason({false, "", 2}))));
    EXPECT_TRUE(area.received(NIM_MODIFY, L"Omnitap could not start a key's program"));

    // A volume key: the indicator says what the system's volume is, takes no keys, and goes.
    tapKey(VK_F14);
    for (WORD vk : {'A', 'B', 'C'})
        tapKey(vk);
    HWND indicator = waitForWindow(app.pid(), L"OmnitapVolumeIndicator", nullptr, 5s);
    ASSERT_NE(indicator, nullptr);
    omnitap::Mixer mixer(omnitap::win32::systemVolumeBackends()); // read as the program does
    mixer.openMixer();
    EXPECT_EQ(narrow(windowText(indicator)), omnitap::indicatorView(mixer).text);
    const LONG_PTR style = GetWindowLongPtrW(indicator, GWL_EXSTYLE);
    for (LONG_PTR bit : {WS_EX_TOPMOST, WS_EX_NOACTIVATE, WS_EX_TRANSPARENT, WS_EX_TOOLWINDOW})
        EXPECT_TRUE(style & bit) << bit;
    // Near the notification area: the corner of the work area (Wine's is the whole screen).
    RECT at{}, work{};
    GetWindowRect(indicator, &at);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_TRUE(at.right <= work.right && at.bottom <= work.bottom &&
                at.left > (work.left + work.right) / 2 && at.top > (work.top + work.bottom) / 2);
    pump(300ms);
    EXPECT_EQ(log.log, (Lines{"down 65", "up 65", "down 66", "up 66", "down 67", "up 67"}));
    EXPECT_EQ(GetForegroundWindow(), FindWindowW(L"E2EKeyLog", nullptr));
    EXPECT_TRUE(waitFor([&] { return !IsWindowVisible(indicator); }, 3s)); // after about 1.5 s
}

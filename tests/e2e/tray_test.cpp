// The tray of the real program, with the test standing in for the shell's notification area:
// what the icon says, its menu's new entries (Pause Keys, Start with Windows), the keyboard's
// way to the menu and to Edit Configuration, the balloon of a launch that failed, and the
// volume indicator near the notification area.

#include "actions/launch_failure.h"
#include "tests/e2e/support/e2e.h"
#include "volume/volume_indicator.h"
#include "win32/volume_backends.h"

#include <shellapi.h>

#include <memory>

using namespace e2e;

namespace {

// Shell_NotifyIcon hands each record to the first window of class "Shell_TrayWnd" with
// WM_COPYDATA (dwData: the NIM_ command). The record's layout is the shell's own; its texts
// are in it whole, in UTF-16, each followed by its terminator.
class NotificationArea {
  public:
    NotificationArea() {
        WNDCLASSW wc{0, proc, 0, 0, GetModuleHandleW(nullptr)};
        wc.lpszClassName = L"Shell_TrayWnd";
        RegisterClassW(&wc);
        // Topmost and newest: found before the shell's own.
        window_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP,
                                  0, 0, 0, 0, nullptr, nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~NotificationArea() { DestroyWindow(window_); }
    // Whether a record sent with `command` holds `text` as a whole field, once one does.
    bool received(DWORD command, const std::wstring& text) {
        const std::wstring field = L'\0' + text + L'\0';
        const std::string bytes(reinterpret_cast<const char*>(field.data()), field.size() * 2);
        return waitFor([&] {
            return std::any_of(records.begin(), records.end(), [&](const auto& r) {
                return r.first == command && r.second.find(bytes) != std::string::npos;
            });
        });
    }
    std::vector<std::pair<DWORD, std::string>> records;

  private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<NotificationArea*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (!self || msg != WM_COPYDATA) return DefWindowProcW(hwnd, msg, wParam, lParam);
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        self->records.emplace_back(
            static_cast<DWORD>(data->dwData),
            std::string(static_cast<const char*>(data->lpData), data->cbData));
        return TRUE;
    }
    HWND window_ = nullptr;
};

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
std::wstring runEntry() {
    wchar_t value[1024] = L"";
    DWORD bytes = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, L"Omnitap", RRF_RT_REG_SZ, nullptr, value,
                     &bytes) != ERROR_SUCCESS)
        return L"(none)";
    return value;
}

class Tray : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        area = std::make_unique<NotificationArea>();
        folder.write(L"keys.ini", keysIni({learnedKey(VK_F13, 60, narrow(folder.file(L"gone.exe"))),
                                           learnedKey(VK_F14, 301)}));
        app = std::make_unique<Omnitap>(folder);
        control = waitForWindow(app->pid(), L"OmnitapControlWindow", nullptr, 15s, false);
    }
    static void TearDownTestSuite() {
        app.reset();
        area.reset();
    }
    void SetUp() override { ASSERT_TRUE(waitUntilHooked(log)); }

    // The icon's notification `code`, as the shell sends it.
    static void notify(UINT code) { PostMessageW(control, WM_APP + 1, 1, code); }
    static bool menuShown() { return IsWindowVisible(FindWindowW(L"#32768", nullptr)) != FALSE; }
    // Right-clicks the icon and picks the entry `up` places above the last (Quit).
    void choose(int up) {
        notify(WM_RBUTTONUP);
        notify(WM_CONTEXTMENU);
        ASSERT_TRUE(waitFor(menuShown));
        for (int i = 0; i <= up; ++i)
            tapKey(VK_UP);
        tapKey(VK_RETURN);
        ASSERT_TRUE(waitFor([] { return !menuShown(); }));
        log.focus();
    }

    static inline std::unique_ptr<NotificationArea> area;
    static inline TempFolder folder;
    static inline std::unique_ptr<Omnitap> app;
    static inline HWND control = nullptr;
    KeyLogWindow log;
};

} // namespace

TEST_F(Tray, PauseKeysLetsEveryKeyPassAndTheIconSaysSoUntilChosenAgain) {
    EXPECT_TRUE(area->received(NIM_ADD, L"Omnitap"));
    choose(2);
    EXPECT_TRUE(area->received(NIM_MODIFY, L"Omnitap - keys paused"));
    tapKey(kProbeKey); // a learned key: press and release reach the program
    pump(300ms);
    EXPECT_EQ(log.log, (Lines{"down 135", "up 135"}));
    area->records.clear();
    choose(2);
    EXPECT_TRUE(area->received(NIM_MODIFY, L"Omnitap"));
    EXPECT_TRUE(waitUntilHooked(log));
}

TEST_F(Tray, StartWithWindowsReplacesAnotherCopysEntryWithThisExeAndRemovesIt) {
    const wchar_t other[] = L"\"C:\\Old\\omnitap.exe\"";
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Omnitap", REG_SZ, other, sizeof other),
              ERROR_SUCCESS);
    choose(1); // unchecked: ticking replaces it
    EXPECT_TRUE(waitFor([&] {
        return runEntry() == L"\"" + folder.file(L"omnitap-e2e.exe") + L"\"";
    })) << narrow(runEntry());
    choose(1);
    EXPECT_TRUE(waitFor([] { return runEntry() == L"(none)"; })) << narrow(runEntry());
}

TEST_F(Tray, TheKeyboardOpensTheMenuAndEditConfigurationAsTheShellAsksAndEscReturnsTheFocus) {
    notify(WM_CONTEXTMENU); // Shift+F10 or the menu key on the icon
    ASSERT_TRUE(waitFor(menuShown));
    area->records.clear();
    tapKey(VK_ESCAPE);
    EXPECT_TRUE(waitFor([&] {
        return std::any_of(area->records.begin(), area->records.end(),
                           [](const auto& r) { return r.first == NIM_SETFOCUS; });
    }));
    for (UINT code : {UINT{NIN_KEYSELECT}, UINT{NIN_SELECT}, UINT{WM_LBUTTONDBLCLK}}) {
        notify(code);
        HWND form2 = waitForWindow(app->pid(), L"OmnitapEditConfiguration");
        ASSERT_NE(form2, nullptr) << code;
        PostMessageW(form2, WM_CLOSE, 0, 0);
        ASSERT_TRUE(waitFor([&] { return !IsWindowVisible(form2); }));
    }
}

TEST_F(Tray, ATargetThatCannotBeStartedIsToldInABalloonAndTheFocusStaysWhereItWas) {
    tapKey(VK_F13);
    const std::wstring text = omnitap::win32::widen(narrow(folder.file(L"gone.exe")) + "\n" +
                                                    omnitap::launchFailureReason({false, "", 2}));
    EXPECT_TRUE(area->received(NIM_MODIFY, text));
    EXPECT_TRUE(area->received(NIM_MODIFY, L"Omnitap could not start a key's program"));
    pump(300ms);
    EXPECT_TRUE(log.log.empty()); // swallowed
    EXPECT_EQ(GetForegroundWindow(), FindWindowW(L"E2EKeyLog", nullptr));
}

TEST_F(Tray, AVolumeKeyShowsTheIndicatorWhileTypedTextStillReachesTheFocusedProgram) {
    tapKey(VK_F14); // volume up
    for (WORD vk : {'A', 'B', 'C'})
        tapKey(vk);
    HWND indicator = waitForWindow(app->pid(), L"OmnitapVolumeIndicator", nullptr, 5s);
    ASSERT_NE(indicator, nullptr);
    omnitap::Mixer mixer(
        omnitap::win32::systemVolumeBackends()); // the system, read as the program does
    mixer.openMixer();
    EXPECT_EQ(narrow(windowText(indicator)), omnitap::indicatorView(mixer).text);
    const LONG_PTR style = GetWindowLongPtrW(indicator, GWL_EXSTYLE);
    for (LONG_PTR bit : {WS_EX_TOPMOST, WS_EX_NOACTIVATE, WS_EX_TRANSPARENT, WS_EX_TOOLWINDOW})
        EXPECT_TRUE(style & bit) << bit;
    RECT at{}, work{};
    GetWindowRect(indicator, &at);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0); // Wine's: no taskbar, the whole screen
    EXPECT_TRUE(at.right <= work.right && at.bottom <= work.bottom &&
                at.left > (work.left + work.right) / 2 && at.top > (work.top + work.bottom) / 2);
    pump(300ms);
    EXPECT_EQ(log.text, L"abc");
    EXPECT_EQ(GetForegroundWindow(), FindWindowW(L"E2EKeyLog", nullptr));
    EXPECT_TRUE(waitFor([&] { return !IsWindowVisible(indicator); }, 3s)); // after about 1.5 s
}

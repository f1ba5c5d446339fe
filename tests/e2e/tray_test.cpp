// The notification area for real: the records the program builds given to the system's shell,
// and the tray menu of the running program.

#include "tests/e2e/support/e2e.h"
#include "tray/tray_icon.h"
#include "win32/tray_shell.h"

#include <gtest/gtest.h>

using namespace omnitap;
using namespace e2e;
using ports::TrayCommand;

TEST(TrayShell, EveryRecordFormAddsAndDeletesARealIconAndALostIconComesBack) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"OmnitapTrayTest";
    RegisterClassW(&wc);
    HWND hidden = CreateWindowExW(0, wc.lpszClassName, L"tray test", WS_OVERLAPPEDWINDOW, 0, 0, 100,
                                  100, nullptr, nullptr, wc.hInstance, nullptr);
    const auto window = reinterpret_cast<ports::WindowId>(hidden);
    win32::Win32TrayShell shell;
    const WindowsVersion v = getWindowsVersion(shell.versionWord());
    EXPECT_TRUE(v.ntFamily && chooseTrayRecord(v).trayShell5);
    const auto icon = reinterpret_cast<ports::IconId>(LoadIconW(nullptr, IDI_APPLICATION));
    for (TrayChoice choice : {TrayChoice{true, true}, TrayChoice{true, false},
                              TrayChoice{false, true}, TrayChoice{false, false}}) {
        SCOPED_TRACE(::testing::Message() << choice.trayUseWide << choice.trayShell5);
        const auto record = makeTrayRecord(choice, window, icon, "Omnitap");
        EXPECT_TRUE(shell.notifyIcon(TrayCommand::Add, record));
        EXPECT_TRUE(!choice.trayShell5 || shell.notifyIcon(TrayCommand::SetVersion, record));
        EXPECT_TRUE(shell.notifyIcon(TrayCommand::Delete, record));
        // The shell refuses to delete what is not there: the icon really was removed.
        EXPECT_FALSE(shell.notifyIcon(TrayCommand::Delete, record));
    }
    TrayIconFs tray(shell);
    tray.addTrayIcon(window);
    const auto record = makeTrayRecord(tray.choice(), window, shell.applicationIcon(), "Omnitap");
    ASSERT_TRUE(shell.notifyIcon(TrayCommand::Delete, record)); // as when Explorer restarts
    tray.reAddTrayIcon();
    EXPECT_TRUE(shell.notifyIcon(TrayCommand::Delete, record)); // it was there again
    EXPECT_GE(shell.taskbarCreatedMessage(), 0xC000u);          // a registered message
    DestroyWindow(hidden);
}

// Menus are private to their process under Wine: the entries are checked by what choosing
// them does (their texts where the menu is built).
TEST(TrayMenu, OnlyTheRightButtonReleaseOpensItAndItsEntriesAboutEditConfigurationAndQuitAct) {
    TempFolder folder;
    folder.write(L"keys.ini", keysIni({}));
    Omnitap app(folder);
    HWND control = waitForWindow(app.pid(), L"OmnitapControlWindow", nullptr, 10s, false);
    ASSERT_NE(control, nullptr);
    auto menuShown = [] { return IsWindowVisible(FindWindowW(L"#32768", nullptr)) != FALSE; };
    auto choose = [&](std::initializer_list<WORD> keys) {
        PostMessageW(control, WM_APP + 1, 1, WM_RBUTTONUP); // as the shell sends it
        ASSERT_TRUE(waitFor(menuShown));
        for (WORD vk : keys)
            tapKey(vk, static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)));
    };
    for (UINT other : {WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_MOUSEMOVE})
        PostMessageW(control, WM_APP + 1, 1, other);
    Sleep(500);
    EXPECT_FALSE(menuShown());

    choose({VK_DOWN, VK_RETURN}); // the first entry
    HWND about = waitForWindow(app.pid(), L"#32770", L"Omnitap");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(messageBoxText(about), L"Omnitap, version 1.1.0\r\nhttps://omnitap.example.org");
    pressDialogButton(about, IDOK);
    ASSERT_TRUE(waitFor([&] { return !IsWindow(about); }));
    choose({VK_UP, VK_UP, VK_RETURN}); // past Quit; the separator is skipped the other way
    EXPECT_NE(waitForWindow(app.pid(), L"OmnitapEditConfiguration"), nullptr);
    choose({VK_UP, VK_RETURN}); // the last entry
    EXPECT_TRUE(app.waitForExit(10s));
    EXPECT_EQ(app.exitCode(), 0u);
}

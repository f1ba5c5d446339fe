// The notification area for real: the running program's icon and menu, and every form of the
// record it can build given to the system's shell. Menus are private to their process under
// Wine: the entries are checked by what choosing them does (their texts where it is built).

#include "tests/e2e/support/e2e.h"
#include "tray/tray_icon.h"
#include "win32/tray_shell.h"

using namespace omnitap;
using namespace e2e;
using ports::TrayCommand;

TEST(Tray, EveryRecordFormWorksALostIconComesBackAndOnlyTheRightButtonReleaseOpensTheMenu) {
    TempFolder folder;
    folder.write(L"keys.ini", keysIni({}));
    Omnitap app(folder);
    HWND control = waitForWindow(app.pid(), L"OmnitapControlWindow", nullptr, 10s, false);
    ASSERT_NE(control, nullptr);
    const auto window = reinterpret_cast<ports::WindowId>(control);
    win32::Win32TrayShell shell;
    const WindowsVersion v = getWindowsVersion(shell.versionWord());
    EXPECT_TRUE(v.ntFamily && chooseTrayRecord(v).trayShell5);
    // The program's icon goes, as when Explorer restarts (the shell refuses to delete what is
    // not there); in its place, each form of the record is added and deleted.
    const auto icon =
        makeTrayRecord(chooseTrayRecord(v), window, shell.applicationIcon(), "Omnitap");
    ASSERT_TRUE(waitFor([&] { return shell.notifyIcon(TrayCommand::Delete, icon); }));
    for (TrayChoice choice : {TrayChoice{true, true}, TrayChoice{true, false},
                              TrayChoice{false, true}, TrayChoice{false, false}}) {
        SCOPED_TRACE(::testing::Message() << choice.trayUseWide << choice.trayShell5);
        const auto record = makeTrayRecord(choice, window, shell.applicationIcon(), "Omnitap");
        EXPECT_TRUE(shell.notifyIcon(TrayCommand::Add, record));
        EXPECT_TRUE(!choice.trayShell5 || shell.notifyIcon(TrayCommand::SetVersion, record));
        EXPECT_TRUE(shell.notifyIcon(TrayCommand::Delete, record));
        EXPECT_FALSE(shell.notifyIcon(TrayCommand::Delete, record));
    }
    PostMessageW(control, shell.taskbarCreatedMessage(), 0, 0);
    EXPECT_TRUE(waitFor([&] { return shell.notifyIcon(TrayCommand::Delete, icon); })); // back

    auto menuShown = [] { return IsWindowVisible(FindWindowW(L"#32768", nullptr)) != FALSE; };
    auto choose = [&](std::initializer_list<WORD> keys) {
        PostMessageW(control, WM_APP + 1, 1, WM_RBUTTONUP); // as the shell sends it
        ASSERT_TRUE(waitFor(menuShown));
        for (WORD vk : keys)
            tapKey(vk);
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

// The notification area for real: the records the program builds, given to the system's
// shell, and the application icon inside omnitap.exe.

#include "tests/e2e/support/e2e.h"
#include "tray/tray_icon.h"
#include "win32/tray_shell.h"
#include "win32/unique_handle.h"

#include <gtest/gtest.h>

using namespace omnitap;
using ports::TrayCommand;

namespace {

// A hidden top-level window that owns the test's icons.
class HiddenWindow {
  public:
    HiddenWindow() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"OmnitapTrayTest";
        RegisterClassW(&wc);
        window_ = CreateWindowExW(0, wc.lpszClassName, L"tray test", WS_OVERLAPPEDWINDOW, 0, 0, 100,
                                  100, nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~HiddenWindow() { DestroyWindow(window_); }
    ports::WindowId id() const { return reinterpret_cast<ports::WindowId>(window_); }

  private:
    HWND window_;
};

ports::IconId stockIcon() {
    return reinterpret_cast<ports::IconId>(LoadIconW(nullptr, IDI_APPLICATION));
}

using Module = win32::Unique<HMODULE, &FreeLibrary>;

} // namespace

TEST(TrayShell, TheSystemIsTheNtFamilyAndGetsTheWideExtendedRecord) {
    win32::Win32TrayShell shell;
    const WindowsVersion v = getWindowsVersion(shell.versionWord());
    EXPECT_TRUE(v.ntFamily);
    EXPECT_GE(v.major, 6); // Windows 7 or later (Wine says 10 unless told otherwise)
    EXPECT_TRUE(chooseTrayRecord(v).trayShell5);
}

TEST(TrayShell, EveryRecordFormAddsAndDeletesARealIcon) {
    HiddenWindow window;
    win32::Win32TrayShell shell;
    for (TrayChoice choice : {TrayChoice{true, true}, TrayChoice{true, false},
                              TrayChoice{false, true}, TrayChoice{false, false}}) {
        SCOPED_TRACE(testing::Message()
                     << "wide " << choice.trayUseWide << ", extended " << choice.trayShell5);
        const auto record = makeTrayRecord(choice, window.id(), stockIcon(), "Omnitap");
        EXPECT_TRUE(shell.notifyIcon(TrayCommand::Add, record));
        if (choice.trayShell5) {
            EXPECT_TRUE(shell.notifyIcon(TrayCommand::SetVersion, record));
        }
        EXPECT_TRUE(shell.notifyIcon(TrayCommand::Delete, record));
        // The shell refuses to delete what is not there: the icon really was removed.
        EXPECT_FALSE(shell.notifyIcon(TrayCommand::Delete, record));
    }
}

TEST(TrayShell, TrayIconIsBackAfterTheShellLostIt) {
    HiddenWindow window;
    win32::Win32TrayShell shell;
    TrayIconFs tray(shell);
    tray.addTrayIcon(window.id());
    const auto record =
        makeTrayRecord(tray.choice(), window.id(), shell.applicationIcon(), "Omnitap");
    ASSERT_TRUE(shell.notifyIcon(TrayCommand::Delete, record)); // as when Explorer restarts
    tray.reAddTrayIcon();
    EXPECT_TRUE(shell.notifyIcon(TrayCommand::Delete, record)); // it was there again
    EXPECT_GE(shell.taskbarCreatedMessage(), 0xC000u);          // a registered message
}

TEST(TrayShell, TheApplicationIconComesFromOmnitapExeAtTheSmallIconSize) {
    Module exe(LoadLibraryExW((e2e::binFolder() + L"\\omnitap.exe").c_str(), nullptr,
                              LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    ASSERT_TRUE(exe);
    win32::Win32TrayShell shell(exe.get());
    HICON icon = reinterpret_cast<HICON>(shell.applicationIcon());
    ASSERT_NE(icon, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bitmap{};
    GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, GetSystemMetrics(SM_CXSMICON));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

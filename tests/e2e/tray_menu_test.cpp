// The tray menu of the real program, opened the way the shell opens it.

#include "tests/e2e/support/omnitap_keys.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

constexpr UINT kTrayCallback = WM_APP + 1;

bool menuShown() {
    HWND menu = FindWindowW(L"#32768", nullptr);
    return menu && IsWindowVisible(menu);
}

// Opens the tray menu as the shell would and waits for it to show. Menus are private to their
// process under Wine, so the entries are checked here by what choosing them does (their texts
// are checked where the menu is built).
bool openTrayMenu(HWND control) {
    PostMessageW(control, kTrayCallback, 1, WM_RBUTTONUP);
    return waitFor(menuShown);
}

struct Running {
    TempFolder folder;
    std::unique_ptr<Omnitap> app;
    HWND control = nullptr;
    Running() {
        folder.write(L"keys.ini", keysIni({}));
        app = std::make_unique<Omnitap>(folder);
        control = controlWindow(*app);
    }
};

} // namespace

TEST(TrayMenu, OpensOnlyOnTheRightButtonReleaseAndItsLastEntryQuits) {
    Running r;
    ASSERT_NE(r.control, nullptr);
    // Other notifications do nothing.
    PostMessageW(r.control, kTrayCallback, 1, WM_LBUTTONDBLCLK);
    PostMessageW(r.control, kTrayCallback, 1, WM_RBUTTONDOWN);
    PostMessageW(r.control, kTrayCallback, 1, WM_MOUSEMOVE);
    Sleep(500);
    EXPECT_FALSE(menuShown());

    ASSERT_TRUE(openTrayMenu(r.control));
    tapKey(VK_UP, 0x48); // the last entry
    tapKey(VK_RETURN, 0x1C);
    EXPECT_TRUE(r.app->waitForExit(10s));
    EXPECT_EQ(r.app->exitCode(), 0u);
}

TEST(TrayMenu, ItsFirstEntryShowsTheAboutBox) {
    Running r;
    ASSERT_NE(r.control, nullptr);
    ASSERT_TRUE(openTrayMenu(r.control));
    tapKey(VK_DOWN, 0x50); // the first entry
    tapKey(VK_RETURN, 0x1C);
    HWND about = waitForWindow(r.app->pid(), L"#32770", L"Omnitap", 10s, true);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(messageBoxText(about), L"Omnitap, version 1.1.0\r\nhttps://omnitap.example.org");
    pressDialogButton(about, IDOK);
}

TEST(TrayMenu, TheEntryAboveQuitOpensEditConfiguration) {
    Running r;
    ASSERT_NE(r.control, nullptr);
    ASSERT_TRUE(openTrayMenu(r.control));
    tapKey(VK_UP, 0x48);
    tapKey(VK_UP, 0x48); // past Quit; the separator is skipped the other way
    tapKey(VK_RETURN, 0x1C);
    EXPECT_NE(waitForWindow(r.app->pid(), nullptr, L"Omnitap - Edit Configuration", 10s, true),
              nullptr);
    EXPECT_TRUE(r.app->running());
}

// Keys that send a key string or act as another key, pressed on the X server's keyboard into
// Notepad, as a user types.

#include "tests/e2e/support/x11_keys.h"

using namespace e2e;

TEST(RemappedKeys, SendKeysTypesIntoNotepadAndAKeyActingAsCtrlIsCtrlWhileHeld) {
    TempFolder folder;
    folder.write(L"keys.ini", keysIni({learnedKey(VK_F9, 500, "^a{DEL}hello~"),
                                       learnedKey(VK_F10, 501, "Ctrl")}));
    Omnitap app(folder);
    KeyLogWindow log;
    ASSERT_TRUE(waitUntilHooked(log));
    Process notepad(L"C:\\windows\\notepad.exe", L"", L"");
    HWND edit = nullptr;
    ASSERT_TRUE(waitFor([&] {
        HWND window = waitForWindow(notepad.pid(), L"Notepad");
        return window && (edit = FindWindowExW(window, nullptr, L"Edit", nullptr));
    }));
    auto text = [&] { return narrow(windowText(edit)); };
    // What was there is selected and deleted: the key string is sent whole, in order.
    ASSERT_TRUE(pressInX11("a b c F9", L"Notepad"));
    EXPECT_TRUE(waitFor([&] { return text() == "hello\r\n"; })) << text();
    // F10 held is Ctrl: Ctrl+A selects all, so the "a" typed after its release replaces it
    // (with Ctrl left down it would select all again; as F10 it would open the menu).
    ASSERT_TRUE(runXdotool("keydown F10 key a keyup F10 key a", L"Notepad"));
    EXPECT_TRUE(waitFor([&] { return text() == "a"; })) << text();
}

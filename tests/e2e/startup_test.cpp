// Start-up of the real program: the first-run welcome, silence when keys exist, and DLLs
// planted beside it.

#include "tests/e2e/support/omnitap_keys.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

const wchar_t* kWelcome =
    L"Welcome to Omnitap!\r\n\r\nI can see this is your first time running Omnitap.\r\n"
    L"Once you click OK, you will see the Edit Configuration window. You'll need to add some of "
    L"your keyboard keys to the list in order to use Omnitap. \r\n"
    L"Click \"Add or Delete Keys\" and then \"Add New Key\". Follow the directions. After "
    L"you've done this, you'll be able to assign functions to your new keys!\r\n\r\n"
    L"Enjoy Omnitap! Please report any problems to https://omnitap.example.org.";

HWND welcomeBox(const Omnitap& app, std::chrono::milliseconds timeout) {
    return waitForWindow(app.pid(), L"#32770", L"Omnitap", timeout, true);
}

} // namespace

TEST(Startup, WithoutKeysIniOrWithACountOfZeroTheWelcomeBoxShowsTheExactText) {
    for (bool zeroCount : {false, true}) {
        SCOPED_TRACE(zeroCount ? "numkeys=0" : "no keys.ini");
        TempFolder folder;
        if (zeroCount) folder.write(L"keys.ini", "[keys]\r\nnumkeys=0\r\n");
        Omnitap app(folder);
        HWND box = welcomeBox(app, 15s);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(messageBoxText(box), kWelcome);
        pressDialogButton(box, IDOK);
        EXPECT_TRUE(waitFor([&] { return !IsWindow(box); }));
        EXPECT_TRUE(app.running());
        EXPECT_EQ(folder.exists(L"keys.ini"), zeroCount); // nothing is written at start
    }
}

TEST(Startup, WithOneKeyNothingIsShown) {
    TempFolder folder;
    folder.write(L"keys.ini", "[keys]\r\nnumkeys=1\r\nkey1_name=F12\r\nkey1_mapm=0\r\n"
                              "key1_code=123\r\nkey1_code2=88\r\nkey1_webs=\"\"\r\n\r\n");
    Omnitap app(folder);
    EXPECT_EQ(welcomeBox(app, 3s), nullptr);
    EXPECT_TRUE(app.running());
    EXPECT_TRUE(windowsOf(app.pid(), nullptr, nullptr, true).empty());
}

TEST(Startup, DllsPlantedBesideTheExeUnderSystemNamesAreNeverLoaded) {
    TempFolder folder;
    folder.write(L"keys.ini", keysIni({learnedKey(VK_F13, 0x64, 301)})); // volume up
    // The system DLLs the program uses that are not known DLLs: winmm, for the volume where
    // the system has no endpoint volume, and the common controls, imported through the manifest.
    const std::wstring planted[] = {L"winmm.dll", L"comctl32.dll"};
    for (const auto& name : planted)
        ASSERT_TRUE(CopyFileW((binFolder() + L"\\planted-dll.dll").c_str(),
                              folder.file(name).c_str(), FALSE));
    // Under Wine the harness gives these names Windows' search order; without it Wine would
    // load its own DLLs whatever the program did.
    if (GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")) {
        wchar_t overrides[256] = L"";
        GetEnvironmentVariableW(L"WINEDLLOVERRIDES", overrides, 256);
        ASSERT_NE(std::wstring(overrides).find(L"winmm,comctl32=n,b"), std::wstring::npos);
    }
    Omnitap app(folder);

    KeyLogWindow log;
    ASSERT_TRUE(waitUntilHooked(log));
    tapKey(VK_F13, 0x64);
    log.pump(300);
    EXPECT_TRUE(log.log.empty()); // the volume key was taken
    EXPECT_TRUE(app.running());
    for (const auto& name : planted)
        EXPECT_FALSE(folder.exists(name + L".loaded")) << narrow(name);
}

// Start-up of the real program: the first-run welcome, silence when keys exist, a keys.ini that
// another program holds, one running copy per keys.ini, and DLLs planted beside it.

#include "tests/e2e/support/omnitap_keys.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace e2e;

namespace {

HWND messageBox(const Omnitap& app, std::chrono::milliseconds timeout) {
    return waitForWindow(app.pid(), L"#32770", L"Omnitap", timeout, true);
}

// keys.ini held open without sharing, as a virus scanner or a backup might; 0 releases it.
HANDLE hold(const TempFolder& folder, HANDLE held = nullptr) {
    if (held) return CloseHandle(held), nullptr;
    return CreateFileW(folder.file(L"keys.ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                       nullptr);
}

} // namespace

TEST(Startup, WithoutKeysIniOrWithACountOfZeroTheWelcomeBoxShowsTheExactText) {
    for (bool zeroCount : {false, true}) {
        SCOPED_TRACE(zeroCount ? "numkeys=0" : "no keys.ini");
        TempFolder folder;
        if (zeroCount) folder.write(L"keys.ini", "[keys]\r\nnumkeys=0\r\n");
        Omnitap app(folder);
        HWND box = messageBox(app, 15s);
        ASSERT_NE(box, nullptr);
        const std::wstring text = messageBoxText(box); // its exact text: the unit tests
        EXPECT_EQ(text.substr(0, 21), L"Welcome to Omnitap!\r\n");
        EXPECT_EQ(text.substr(text.size() - 28), L"https://omnitap.example.org.");
        pressDialogButton(box, IDOK);
        EXPECT_TRUE(waitFor([&] { return !IsWindow(box); }));
        EXPECT_TRUE(app.running());
        EXPECT_EQ(folder.exists(L"keys.ini"), zeroCount); // nothing is written at start
    }
}

TEST(Startup, AKeysIniHeldForAMomentLoadsOneHeldLongerIsReportedAndLeftAlone) {
    TempFolder folder;
    const std::string ini = keysIni({});
    folder.write(L"keys.ini", ini);
    {
        HANDLE held = hold(folder);
        Omnitap app(folder);
        Sleep(1000);
        hold(folder, held);
        KeyLogWindow log;
        EXPECT_TRUE(waitUntilHooked(log)); // the probe key is learned: the keys are loaded
        EXPECT_TRUE(windowsOf(app.pid(), nullptr, nullptr, true).empty()); // nothing shown
    }
    HANDLE held = hold(folder);
    Omnitap app(folder);
    HWND box = messageBox(app, 15s);
    ASSERT_NE(box, nullptr);
    const std::wstring text = messageBoxText(box);
    EXPECT_NE(text.find(folder.file(L"keys.ini") + L"\r\n"), std::wstring::npos) << narrow(text);
    EXPECT_NE(text.find(L"Nothing was changed."), std::wstring::npos) << narrow(text);
    EXPECT_TRUE(windowsOf(app.pid(), L"OmnitapControlWindow").empty()); // so no tray icon
    pressDialogButton(box, IDOK);
    EXPECT_TRUE(app.waitForExit(5s));
    EXPECT_NE(app.exitCode(), 0u);
    hold(folder, held);
    EXPECT_EQ(folder.read(L"keys.ini"), ini);
}

TEST(Startup, ASecondStartBringsTheFirstCopysEditConfigurationForwardAndEnds) {
    TempFolder folder;
    ASSERT_TRUE(CopyFileW((binFolder() + L"\\launch-probe.exe").c_str(),
                          folder.file(L"launch-probe.exe").c_str(), FALSE));
    folder.write(L"keys.ini", keysIni({learnedKey(VK_F13, 0x64, 60, "launch-probe.exe")}));
    Omnitap first(folder);
    KeyLogWindow log;
    ASSERT_TRUE(waitUntilHooked(log));
    Omnitap second(folder, L"omnitap-e2e-again.exe");
    EXPECT_TRUE(second.waitForExit(5s));
    EXPECT_EQ(second.exitCode(), 0u);
    HWND form2 = waitForWindow(first.pid(), L"OmnitapEditConfiguration", nullptr, 5s, true);
    ASSERT_NE(form2, nullptr);
    int controlWindows = 0;
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"OmnitapControlWindow", nullptr));)
        ++controlWindows;
    EXPECT_EQ(controlWindows, 1);

    PostMessageW(form2, WM_CLOSE, 0, 0);
    ASSERT_TRUE(waitFor([&] { return !IsWindow(form2); }));
    tapKey(VK_F13, 0x64);
    waitFor([&] { return folder.exists(L"launched.txt"); }, 10s);
    Sleep(1500);
    const std::string launched = folder.read(L"launched.txt");
    EXPECT_EQ(std::count(launched.begin(), launched.end(), '\n'), 1) << launched;
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

// The real program's start and keyboard pipeline: a keys.ini that another program holds, what
// it swallows, what it passes on, what it starts, DLLs planted beside it, and how its hook
// comes back when the system drops it.

#include "ports/keyboard_hook.h"
#include "tests/e2e/support/e2e.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace e2e;

namespace {

constexpr WORD kNext = VK_F16, kNextScan = 0x67; // taught for Next Track

// How many times the player was told "next track" once it has been quiet for a while.
std::size_t nextTracks(const PlayerSim& sim) {
    Sleep(400);
    Lines commands = sim.logOf("command");
    return static_cast<std::size_t>(std::count(commands.begin(), commands.end(), "command 40048"));
}
// keys.ini held open without sharing, as a virus scanner or a backup might.
HANDLE hold(const TempFolder& folder) {
    return CreateFileW(folder.file(L"keys.ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                       nullptr);
}

} // namespace

TEST(Startup, AKeysIniHeldForAMomentLoadsOneHeldLongerIsReportedAndLeftAlone) {
    TempFolder folder;
    const std::string ini = keysIni({});
    folder.write(L"keys.ini", ini);
    {
        HANDLE held = hold(folder);
        Omnitap app(folder);
        Sleep(1000);
        CloseHandle(held);
        KeyLogWindow log;
        EXPECT_TRUE(waitUntilHooked(log)); // the probe key is learned: the keys are loaded
        EXPECT_TRUE(windowsOf(app.pid(), nullptr, nullptr, true).empty()); // nothing shown
    }
    HANDLE held = hold(folder);
    Omnitap app(folder);
    HWND box = waitForWindow(app.pid(), L"#32770", L"Omnitap", 15s);
    ASSERT_NE(box, nullptr);
    const std::wstring text = messageBoxText(box);
    EXPECT_NE(text.find(folder.file(L"keys.ini") + L"\r\n"), std::wstring::npos) << narrow(text);
    EXPECT_NE(text.find(L"Nothing was changed."), std::wstring::npos) << narrow(text);
    EXPECT_TRUE(windowsOf(app.pid(), L"OmnitapControlWindow").empty()); // so no tray icon
    pressDialogButton(box, IDOK);
    EXPECT_TRUE(app.waitForExit(5s));
    EXPECT_NE(app.exitCode(), 0u);
    CloseHandle(held);
    EXPECT_EQ(folder.read(L"keys.ini"), ini);
}

TEST(Keyboard, LearnedKeysAreSwallowedWholeOthersPassAHeldKeyActsOnceAndNoPlantedDllLoads) {
    TempFolder folder;
    CreateDirectoryW(folder.file(L"probe dir").c_str(), nullptr);
    for (const wchar_t* copy : {L"probe dir\\launch probe.exe", L"launch-probe.exe"})
        ASSERT_TRUE(folder.copy(L"launch-probe.exe", copy));
    // The system DLLs the program uses that are not known DLLs: winmm, for the volume where
    // the system has no endpoint volume, and the common controls, imported through the manifest.
    const std::wstring planted[] = {L"winmm.dll", L"comctl32.dll"};
    for (const auto& name : planted)
        ASSERT_TRUE(folder.copy(L"planted-dll.dll", name));
    // Under Wine the harness gives these names Windows' search order; without it Wine would
    // load its own DLLs whatever the program did.
    if (GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")) {
        wchar_t overrides[256] = L"";
        GetEnvironmentVariableW(L"WINEDLLOVERRIDES", overrides, 256);
        ASSERT_NE(std::wstring(overrides).find(L"winmm,comctl32=n,b"), std::wstring::npos);
    }
    std::string quoted = "\""; // built by appending: g++ 12 warns wrongly on "\"" + path
    quoted.append(narrow(folder.file(L"probe dir\\launch probe.exe"))).append("\" /switch");
    folder.write(L"keys.ini",
                 keysIni({learnedKey('A', 30, 0), learnedKey(255, 0x70, 0),
                          learnedKey(VK_F15, 0x66, 33, "17"), learnedKey(VK_F13, 0x64, 60, quoted),
                          learnedKey(VK_F14, 0x65, 60, " launch-probe.exe \"my notes.txt\" "),
                          learnedKey(VK_F17, 0x68, 301)})); // volume up
    PlayerSim sim(folder, {L"--caption", L"1. A - B - Winamp"});
    Omnitap app(folder);
    KeyLogWindow log;
    ASSERT_TRUE(waitUntilHooked(log));

    for (auto [vk, scan] : {std::pair<WORD, WORD>{'A', 30}, {'B', 48}, {255, 0x71}, {255, 0x70}})
        tapKey(vk, scan);
    tapKey(VK_F15, 0x66); // taught with Control, typed without: press and release pass
    sendKey(VK_CONTROL, 0x1D, false);
    holdKey(VK_F15, 0x66, 1500); // with Control, held: neither passes, one command
    sendKey(VK_CONTROL, 0x1D, true);
    holdKey(VK_F13, 0x64, 1500); // one program started
    tapKey(VK_F17, 0x68);
    log.pump(300);
    EXPECT_EQ(log.log, (Lines{"down 66", "up 66", "down 255", "up 255", "down 126", "up 126",
                              "down 17", "up 17"}));
    EXPECT_EQ(log.text, L"b");
    EXPECT_EQ(nextTracks(sim), 1u);
    ASSERT_TRUE(waitFor([&] { return folder.exists(L"probe dir\\launched.txt"); }, 10s));
    Sleep(1000);
    std::string launched = folder.read(L"probe dir\\launched.txt");
    EXPECT_EQ(std::count(launched.begin(), launched.end(), '\n'), 1) << launched;
    EXPECT_NE(launched.find("launch probe.exe"), std::string::npos) << launched;
    EXPECT_NE(launched.find(" /switch"), std::string::npos) << launched;
    EXPECT_EQ(launched.find("\"\""), std::string::npos) << launched;
    // A target pasted with blanks around it, naming a document in quotes.
    tapKey(VK_F14, 0x65);
    ASSERT_TRUE(waitFor([&] { return folder.exists(L"launched.txt"); }, 10s));
    Sleep(500);
    launched = folder.read(L"launched.txt");
    EXPECT_NE(launched.find("launch-probe.exe"), std::string::npos) << launched;
    EXPECT_NE(launched.find(" \"my notes.txt\""), std::string::npos) << launched;
    EXPECT_TRUE(app.running());
    for (const auto& name : planted)
        EXPECT_FALSE(folder.exists(name + L".loaded")) << narrow(name);
}

TEST(ControlWindow, AsOmnitapExeItHooksOnHookAndItsHookComesBackAfterSleepLockOrADrop) {
    TempFolder folder;
    folder.write(L"keys.ini", keysIni({learnedKey('A', 30, 0), learnedKey(kNext, kNextScan, 33)}));
    PlayerSim sim(folder, {L"--caption", L"1. A - B - Winamp"});
    Omnitap app(folder, L"Omnitap.exe");
    HWND control = waitForWindow(app.pid(), L"OmnitapControlWindow", L"omnitap control window");
    ASSERT_NE(control, nullptr);
    KeyLogWindow log;
    tapKey('A', 30);
    log.pump(300);
    EXPECT_EQ(log.log, (Lines{"down 65", "up 65"})); // nothing hooked yet

    SendMessageW(FindWindowExW(control, nullptr, L"Button", L"HOOK"), BM_CLICK, 0, 0);
    log.focus();
    ASSERT_TRUE(waitUntilHooked(log));
    tapKey('A', 30);
    log.pump(300);
    // The caption shows the flags of the last matched event: an injected (16) release (128).
    EXPECT_EQ(windowText(control), L"144");

    // Resume and unlock: a fresh hook, the old one removed; also when the system had dropped
    // the old one. Each press acts once; other keys pass.
    const std::pair<UINT, WPARAM> notifications[] = {{WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC},
                                                     {WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK}};
    for (auto [message, wParam] : notifications) {
        for (bool dropped : {false, true}) {
            if (dropped) PostMessageW(control, omnitap::ports::kLoseHookMessage, 0, 0);
            PostMessageW(control, message, wParam, 0);
            Sleep(300);
            tapKey(kNext, kNextScan);
        }
    }
    tapKey('B', 48);
    log.pump(300);
    EXPECT_EQ(log.log, (Lines{"down 66", "up 66"}));
    EXPECT_EQ(nextTracks(sim), 4u);

    // Dropped silently: the first key passes, and its raw input brings the hook back.
    PostMessageW(control, omnitap::ports::kLoseHookMessage, 0, 0);
    Sleep(1200);
    log.log.clear();
    for (int i = 0; i < 3; ++i) {
        tapKey('A', 30);
        log.pump(200);
    }
    EXPECT_EQ(log.log, (Lines{"down 65", "up 65"}));

    PostMessageW(control, WM_CLOSE, 0, 0);
    EXPECT_TRUE(app.waitForExit(10s));
}

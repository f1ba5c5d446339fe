// The real program's start and keyboard pipeline: a keys.ini that another program holds, what
// it swallows, what it passes on, what it starts, DLLs planted beside it, and how its hook
// comes back when the system drops it.

#include "ports/keyboard_hook.h"
#include "tests/e2e/support/e2e.h"

using namespace e2e;

namespace {

// keys.ini held open without sharing, as a virus scanner or a backup might.
HANDLE hold(const TempFolder& folder) {
    return CreateFileW(folder.file(L"keys.ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                       nullptr);
}

} // namespace

TEST(Startup, AKeysIniHeldLongerThanAMomentIsReportedAndLeftAlone) {
    TempFolder folder;
    const std::string ini = keysIni({});
    folder.write(L"keys.ini", ini);
    HANDLE held = hold(folder);
    Omnitap app(folder);
    HWND box = waitForWindow(app.pid(), L"#32770", L"Omnitap", 15s);
    ASSERT_NE(box, nullptr);
    const std::wstring text = messageBoxText(box);
    EXPECT_NE(text.find(folder.file(L"keys.ini") + L"\r\n"), std::wstring::npos) << narrow(text);
    EXPECT_NE(text.find(L"Nothing was changed."), std::wstring::npos) << narrow(text);
    EXPECT_FALSE(
        waitForWindow(app.pid(), L"OmnitapControlWindow", nullptr, 0ms, false)); // no tray icon
    pressDialogButton(box, IDOK);
    EXPECT_TRUE(app.waitForExit(5s));
    EXPECT_NE(app.exitCode(), 0u);
    CloseHandle(held);
    EXPECT_EQ(folder.read(L"keys.ini"), ini);
}

// One start in test mode (named Omnitap.exe, the hook waits for the HOOK button), with
// keys.ini held for a moment as it starts.
TEST(Keyboard, LearnedKeysAreSwallowedWholeActOnceAndComeBackAfterSleepLockOrADrop) {
    TempFolder folder;
    CreateDirectoryW(folder.file(L"probe dir").c_str(), nullptr);
    for (const wchar_t* copy : {L"probe dir\\launch probe.exe", L"launch-probe.exe"})
        ASSERT_TRUE(folder.copy(L"launch-probe.exe", copy));
    // The system DLLs the program uses that are not known DLLs: winmm, for the volume where
    // the system has no endpoint volume, and the common controls, imported through the manifest.
    // The harness gives them Windows' search order under Wine, which would else load its own.
    const std::wstring planted[] = {L"winmm.dll", L"comctl32.dll"};
    for (const auto& name : planted)
        ASSERT_TRUE(folder.copy(L"planted-dll.dll", name));
    const wchar_t* overrides = _wgetenv(L"WINEDLLOVERRIDES");
    ASSERT_TRUE(!GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") ||
                (overrides && wcsstr(overrides, L"winmm,comctl32=n,b")));
    std::string quoted = "\""; // built by appending: g++ 12 warns wrongly on "\"" + path
    quoted.append(narrow(folder.file(L"probe dir\\launch probe.exe"))).append("\" /switch");
    // F16 plays the next track; text where a modifier may stand is no modifier.
    folder.write(L"keys.ini",
                 keysIni({learnedKey('A', 0), learnedKey(255, 0, "", 0x70),
                          learnedKey(VK_F15, 33, "17"), learnedKey(VK_F13, 60, quoted),
                          learnedKey(VK_F14, 60, " launch-probe.exe \"my notes.txt\" "),
                          learnedKey(VK_F16, 33, "notepad.exe")}));
    PlayerSim sim(L"--caption \"1. A - B - Winamp\"");
    auto nextTracks = [&] { // once the player has been quiet for a while
        Sleep(400);
        const Lines commands = sim.logOf("command");
        return std::count(commands.begin(), commands.end(), "command 40048");
    };
    HANDLE held = hold(folder);
    Omnitap app(folder, L"Omnitap.exe");
    Sleep(1000);
    CloseHandle(held);
    HWND control = waitForWindow(app.pid(), L"OmnitapControlWindow", L"omnitap control window");
    ASSERT_NE(control, nullptr);
    KeyLogWindow log;
    tapKey('A');
    pump(300ms);
    EXPECT_EQ(log.log, (Lines{"down 65", "up 65"})); // nothing hooked yet
    SendMessageW(FindWindowExW(control, nullptr, L"Button", L"HOOK"), BM_CLICK, 0, 0);
    log.focus();
    ASSERT_TRUE(waitUntilHooked(log)); // the keys were loaded
    EXPECT_FALSE(
        waitForWindow(app.pid(), L"#32770", nullptr, 0ms)); // and the short hold was no error

    for (auto [vk, scan] : {std::pair<WORD, WORD>{'A', 30}, {'B', 48}, {255, 0x71}, {255, 0x70}})
        tapKey(vk, scan);
    tapKey(VK_F15); // taught with Control, typed without: press and release pass
    sendKey(VK_CONTROL, 0x1D, false);
    holdKey(VK_F15, 1500); // with Control, held: neither passes, one command
    sendKey(VK_CONTROL, 0x1D, true);
    holdKey(VK_F13, 1500); // one program started
    tapKey(VK_F14);        // a target pasted with blanks around it, a document in quotes
    pump(300ms);
    EXPECT_EQ(log.log, (Lines{"down 66", "up 66", "down 255", "up 255", "down 126", "up 126",
                              "down 17", "up 17"}));
    EXPECT_EQ(log.text, L"b");
    EXPECT_EQ(nextTracks(), 1);
    ASSERT_TRUE(waitFor([&] { return folder.exists(L"launched.txt"); }, 10s));
    ASSERT_TRUE(waitFor([&] { return folder.exists(L"probe dir\\launched.txt"); }, 10s));
    Sleep(1000);
    std::string launched = folder.read(L"probe dir\\launched.txt");
    EXPECT_EQ(std::count(launched.begin(), launched.end(), '\n'), 1) << launched;
    EXPECT_NE(launched.find("launch probe.exe\" /switch"), std::string::npos) << launched;
    launched = folder.read(L"launched.txt");
    EXPECT_NE(launched.find("launch-probe.exe\" \"my notes.txt\"\n"), std::string::npos)
        << launched;
    for (const auto& name : planted)
        EXPECT_FALSE(folder.exists(name + L".loaded")) << narrow(name);

    // Resume and unlock: a fresh hook, the old one removed; also when the system had dropped
    // the old one. Each press acts once; other keys pass.
    log.log.clear();
    const std::pair<UINT, WPARAM> notifications[] = {{WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC},
                                                     {WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK}};
    for (auto [message, wParam] : notifications) {
        for (bool dropped : {false, true}) {
            if (dropped) PostMessageW(control, omnitap::ports::kLoseHookMessage, 0, 0);
            PostMessageW(control, message, wParam, 0);
            Sleep(300);
            tapKey(VK_F16);
        }
    }
    tapKey('B');
    pump(300ms);
    EXPECT_EQ(log.log, (Lines{"down 66", "up 66"}));
    EXPECT_EQ(nextTracks(), 5);

    // Dropped silently: the first key passes, and its raw input brings the hook back.
    PostMessageW(control, omnitap::ports::kLoseHookMessage, 0, 0);
    Sleep(1200);
    log.log.clear();
    for (int i = 0; i < 3; ++i) {
        tapKey('A');
        pump(200ms);
    }
    EXPECT_EQ(log.log, (Lines{"down 65", "up 65"}));
    EXPECT_FALSE(app.waitForExit(0ms));
}

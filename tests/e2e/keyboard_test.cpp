// The real program's start and keyboard pipeline, from a keys.ini another program holds to a
// hook the system dropped.

#include "ports/keyboard_hook.h"
#include "tests/e2e/support/e2e.h"
#include "text/utf8.h"

#include <set>

using namespace e2e;

int keptByOther = 0; // by another keyboard tool's hook, which keeps F16 to itself
LRESULT CALLBACK keepF16(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam)->vkCode == VK_F16)
        return ++keptByOther;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// One start in test mode (named Omnitap.exe, the hook waits for the HOOK button), with
// keys.ini held for a moment as it starts; then one with keys.ini held longer.
TEST(Keyboard, KeysActOnceComeBackAfterSleepLockOrADropAndAKeysIniHeldLongerIsLeftAlone) {
    TempFolder folder;
    // Programs planted beside this one are never started for their bare names: calc.exe is
    // the one on PATH (Wine has none of its own), mine.exe is nowhere else.
    for (const wchar_t* copy :
         {L"probe dir\\launch probe.exe", L"calc.exe", L"mine.exe", L"programs\\calc.exe"})
        ASSERT_TRUE(folder.copy(L"launch-probe.exe", copy));
    const std::wstring path = _wgetenv(L"PATH");
    SetEnvironmentVariableW(L"PATH", (path + L";" + folder.file(L"programs")).c_str());
    // The common controls, imported through the manifest, are not a known DLL: one planted
    // beside the program must stay unused. The harness gives it Windows' search order under
    // Wine, which would else load its own.
    ASSERT_TRUE(folder.copy(L"planted-dll.dll", L"comctl32.dll"));
    const wchar_t* overrides = _wgetenv(L"WINEDLLOVERRIDES");
    ASSERT_TRUE(!GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") ||
                (overrides && wcsstr(overrides, L"comctl32=n,b")));
    const std::wstring probe = folder.file(L"probe dir\\launch probe.exe");
    const std::string quoted = narrow(L"\"" + probe + L"\" /switch");
    // A document in a folder with blanks, of a type launch-probe opens, typed without quotes.
    const std::wstring document = folder.file(L"probe dir\\my notes.omnitapprobe");
    folder.write(L"probe dir\\my notes.omnitapprobe", "");
    ASSERT_EQ(RegSetValueW(HKEY_CLASSES_ROOT, L".omnitapprobe", REG_SZ, L"OmnitapProbe", 0), 0);
    ASSERT_EQ(RegSetValueW(HKEY_CLASSES_ROOT, L"OmnitapProbe\\shell\\open\\command", REG_SZ,
                           (L"\"" + probe + L"\" \"%1\"").c_str(), 0),
              0);
    // Text where a modifier may stand is none; saved as UTF-16 without a mark by another tool.
    folder.write(
        L"keys.ini",
        omnitap::utf16leBytes(
            keysIni({learnedKey('A', 0), learnedKey(255, 0, "", 0x70), learnedKey(VK_F15, 33, "17"),
                     learnedKey(VK_F13, 60, quoted), learnedKey(VK_F14, 60, " calc.exe "),
                     learnedKey(VK_F17, 60, "mine.exe"), learnedKey(VK_F16, 33, "notepad.exe"),
                     learnedKey(VK_F20, 60, narrow(document) + " --fast")})));
    PlayerSim sim(L"--caption \"1. A - B - Winamp\"");
    // keys.ini held open without sharing, as a virus scanner or a backup might.
    HANDLE held = CreateFileW(folder.file(L"keys.ini").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
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
    ASSERT_TRUE(waitUntilHooked(log)); // the keys were loaded: the short hold was waited out

    for (auto [vk, scan] : {std::pair<WORD, WORD>{'A', 30}, {'B', 48}, {255, 0x71}, {255, 0x70}})
        tapKey(vk, scan);
    tapKey(VK_F15); // taught with Control, typed without: press and release pass
    sendKey(VK_CONTROL, 0x1D, false);
    holdKey(VK_F15, 1500); // with Control, held: neither passes, one command
    sendKey(VK_CONTROL, 0x1D, true);
    holdKey(VK_F13, 1500); // one program started
    tapKey(VK_F14);        // a target pasted with blanks around it
    tapKey(VK_F17);
    tapKey(VK_F20);
    pump(300ms);
    EXPECT_EQ(log.log, (Lines{"down 66", "up 66", "down 255", "up 255", "down 126", "up 126",
                              "down 17", "up 17"}));
    EXPECT_EQ(log.text, L"b");
    Sleep(400); // the player quiet for a while
    EXPECT_EQ(sim.logOf("command"), Lines{"command 40048"});
    auto started = [&] { // the command lines the probe in "probe dir" logged, in any order
        std::istringstream lines(folder.read(L"probe dir\\launched.txt"));
        std::multiset<std::string> all;
        for (std::string line; std::getline(lines, line);)
            all.insert(line);
        return all;
    };
    ASSERT_TRUE(waitFor([&] { return started().size() == 2; }, 10s));
    Sleep(1000); // time for a further program, if one was started
    EXPECT_EQ(started(), (std::multiset<std::string>{
                             quoted, narrow(L"\"" + probe + L"\" \"" + document + L"\"")}));
    // Each started in its own folder.
    const std::string in = narrow(folder.file(L"probe dir")) + "\n";
    EXPECT_EQ(folder.read(L"probe dir\\launched-in.txt"), in + in);
    const std::wstring programs = folder.file(L"programs");
    EXPECT_EQ(folder.read(L"programs\\launched.txt"), narrow(L"\"" + programs + L"\\calc.exe\"\n"));
    EXPECT_EQ(folder.read(L"programs\\launched-in.txt"), narrow(programs) + "\n");
    EXPECT_FALSE(folder.exists(L"launched.txt"));
    EXPECT_FALSE(folder.exists(L"comctl32.dll.loaded"));

    // Resume and unlock: a fresh hook only when the system had dropped the old one, so a tool
    // hooked after it stays ahead of it until then. Each press acts once; other keys pass.
    log.log.clear();
    HHOOK other = SetWindowsHookExW(WH_KEYBOARD_LL, keepF16, GetModuleHandleW(nullptr), 0);
    const std::pair<UINT, WPARAM> notifications[] = {{WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC},
                                                     {WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK}};
    for (auto [message, wParam] : notifications) {
        for (bool dropped : {false, true}) {
            if (dropped) PostMessageW(control, omnitap::ports::kLoseHookMessage, 0, 0);
            PostMessageW(control, message, wParam, 0);
            pump(300ms); // the tool answers its hook calls
            tapKey(VK_F16);
        }
    }
    tapKey('B');
    pump(300ms);
    UnhookWindowsHookEx(other);
    EXPECT_EQ(keptByOther, 2); // before the first drop; the probes that found it pass (mask key)
    EXPECT_EQ(log.log, (Lines{"down 232", "up 232", "down 232", "up 232", "down 66", "up 66"}));
    Sleep(400);
    EXPECT_EQ(sim.logOf("command"), Lines(4, "command 40048"));

    // Dropped silently: the first key passes, and its raw input brings the hook back.
    PostMessageW(control, omnitap::ports::kLoseHookMessage, 0, 0);
    Sleep(1200);
    log.log.clear();
    for (int i = 0; i < 3; ++i) {
        tapKey('A');
        pump(200ms);
    }
    EXPECT_EQ(log.log, (Lines{"down 65", "up 65"}));

    // Held longer than a moment: a box names the file, the program ends and leaves it alone.
    PostMessageW(control, WM_CLOSE, 0, 0);
    ASSERT_EQ(app.exitCode(10s), 0u);
    held = CreateFileW(folder.file(L"keys.ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                       nullptr);
    Omnitap again(folder);
    EXPECT_NE(answerBox(again.pid()).find(folder.file(L"keys.ini") + L"\r\n"), std::wstring::npos);
    EXPECT_EQ(again.exitCode(5s), 1u);
    CloseHandle(held);
}

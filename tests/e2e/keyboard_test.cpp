// The real program's keyboard pipeline: what it swallows, what it passes on, what it starts,
// and how its hook comes back when the system drops it.

#include "ports/keyboard_hook.h"
#include "tests/e2e/support/omnitap_keys.h"
#include "tests/e2e/support/player_sim_process.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace e2e;

namespace {

using Log = std::vector<std::string>;
constexpr WORD kNext = VK_F16, kNextScan = 0x67; // taught for Next Track

// How many times the player was told "next track" once it has been quiet for a while.
std::size_t nextTracks(const PlayerSim& sim) {
    Sleep(400);
    Lines commands = sim.logOf("command");
    return static_cast<std::size_t>(std::count(commands.begin(), commands.end(), "command 40048"));
}

} // namespace

TEST(Keyboard, LearnedKeysAreSwallowedWholeOthersPassAndAHeldKeyActsOnce) {
    TempFolder folder;
    CreateDirectoryW(folder.file(L"probe dir").c_str(), nullptr);
    std::wstring probe = folder.file(L"probe dir\\launch probe.exe");
    for (const std::wstring& copy : {probe, folder.file(L"launch-probe.exe")})
        ASSERT_TRUE(CopyFileW((binFolder() + L"\\launch-probe.exe").c_str(), copy.c_str(), FALSE));
    std::string quoted = "\""; // built by appending: g++ 12 warns wrongly on "\"" + path
    quoted.append(narrow(probe)).append("\" /switch");
    folder.write(L"keys.ini",
                 keysIni({learnedKey('A', 30, 0), learnedKey(255, 0x70, 0),
                          learnedKey(VK_F15, 0x66, 33, "17"), learnedKey(VK_F13, 0x64, 60, quoted),
                          learnedKey(VK_F14, 0x65, 60, " launch-probe.exe \"my notes.txt\" ")}));
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
    log.pump(300);
    EXPECT_EQ(log.log, (Log{"down 66", "up 66", "down 255", "up 255", "down 126", "up 126",
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
}

TEST(Keyboard, KeysTypedAfterACopyOrTypeKeyWaitForItsResult) {
    TempFolder folder;
    folder.write(L"keys.ini",
                 keysIni({learnedKey(VK_F17, 0x68, 51), learnedKey(VK_F18, 0x69, 50)}));
    // Every query takes 0.2 s: without holding, the keys below would overtake the actions.
    PlayerSim sim(folder, {L"--caption", L"1. A - B - Winamp", L"--delay", L"200"});
    Omnitap app(folder);
    KeyLogWindow log;
    ASSERT_TRUE(waitUntilHooked(log));

    tapKey(VK_F18, 0x69); // copy track, then paste
    sendKey(VK_CONTROL, 0x1D, false);
    tapKey('V', 0x2F);
    sendKey(VK_CONTROL, 0x1D, true);
    tapKey(VK_F17, 0x68); // type track, then more text
    for (auto [vk, scan] : {std::pair<WORD, WORD>{VK_SPACE, 0x39}, {'I', 0x17}, {'S', 0x1F}})
        tapKey(vk, scan);
    log.pump(2000);
    EXPECT_EQ(log.pasted, std::vector<std::wstring>{L"\"A - B\""});
    EXPECT_EQ(log.text, L"\"A - B\" is");
}

TEST(Keyboard, TheKeyFinderOpenedWithEnterCatchesTheNextKeyPressed) {
    TempFolder folder; // no keys: the welcome box, then Edit Configuration
    Omnitap app(folder);
    auto shown = [&](const wchar_t* className, const wchar_t* caption = nullptr) {
        return waitForWindow(app.pid(), className, caption, 15s, true);
    };
    HWND box = shown(L"#32770", L"Omnitap"), form2 = nullptr, editor = nullptr, finder = nullptr;
    ASSERT_NE(box, nullptr);
    pressDialogButton(box, IDOK);
    ASSERT_NE(form2 = shown(L"OmnitapEditConfiguration"), nullptr);
    PostMessageW(FindWindowExW(form2, nullptr, L"Button", L"Add or Delete Keys..."), BM_CLICK, 0,
                 0);
    ASSERT_NE(editor = shown(L"OmnitapKeyEditor"), nullptr);
    HWND add = FindWindowExW(editor, nullptr, L"Button", L"Add New Key...");
    GUITHREADINFO focus{sizeof focus, 0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, {}};
    ASSERT_TRUE(waitFor([&] {
        tapKey(VK_TAB, 0x0F);
        Sleep(100);
        return GetGUIThreadInfo(GetWindowThreadProcessId(editor, nullptr), &focus) &&
               focus.hwndFocus == add;
    }));
    sendKey(VK_RETURN, 0x1C, false); // the button acts on the press
    ASSERT_NE(finder = shown(L"OmnitapKeyFinder"), nullptr);
    Sleep(200);
    sendKey(VK_RETURN, 0x1C, true); // released while the Key Finder waits: not its key
    tapKey(VK_F9, 0x43);
    HWND text2 = FindWindowExW(finder, nullptr, L"Edit", nullptr);
    EXPECT_TRUE(waitFor([&] { return windowText(text2) == L"Key 120 - 67"; }))
        << narrow(windowText(text2));
}

TEST(ControlWindow, AsOmnitapExeItHooksOnHookAndItsHookComesBackAfterSleepLockOrADrop) {
    TempFolder folder;
    folder.write(L"keys.ini", keysIni({learnedKey('A', 30, 0), learnedKey(kNext, kNextScan, 33)}));
    PlayerSim sim(folder, {L"--caption", L"1. A - B - Winamp"});
    Omnitap app(folder, L"Omnitap.exe");
    HWND control =
        waitForWindow(app.pid(), L"OmnitapControlWindow", L"omnitap control window", 10s, true);
    ASSERT_NE(control, nullptr);
    KeyLogWindow log;
    tapKey('A', 30);
    log.pump(300);
    EXPECT_EQ(log.log, (Log{"down 65", "up 65"})); // nothing hooked yet

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
    EXPECT_EQ(log.log, (Log{"down 66", "up 66"}));
    EXPECT_EQ(nextTracks(sim), 4u);

    // Dropped silently: the first key passes, and its raw input brings the hook back.
    PostMessageW(control, omnitap::ports::kLoseHookMessage, 0, 0);
    Sleep(1200);
    log.log.clear();
    for (int i = 0; i < 3; ++i) {
        tapKey('A', 30);
        log.pump(200);
    }
    EXPECT_EQ(log.log, (Log{"down 65", "up 65"}));

    PostMessageW(control, WM_CLOSE, 0, 0);
    EXPECT_TRUE(app.waitForExit(10s));
}

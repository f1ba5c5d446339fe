// The real program's keyboard pipeline: what it swallows, what it passes on, what it starts.

#include "tests/e2e/support/omnitap_keys.h"
#include "tests/e2e/support/player_sim_process.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace e2e;

namespace {

bool logged(const KeyLogWindow& log, const std::string& line) {
    return std::find(log.log.begin(), log.log.end(), line) != log.log.end();
}

std::string waitForFile(const TempFolder& folder, const std::wstring& name) {
    std::string content;
    waitFor([&] { return !(content = folder.read(name)).empty(); }, 10s);
    return content;
}

} // namespace

TEST(Keyboard, ALearnedKeyIsSwallowedWhileOtherKeysReachTheFocusedWindow) {
    TempFolder folder;
    folder.write(L"keys.ini", keysIni({learnedKey('A', 30, 0)}));
    Omnitap app(folder);
    KeyLogWindow log;
    ASSERT_TRUE(waitUntilHooked(log));

    tapKey('A', 30);
    tapKey('B', 48);
    tapKey('A', 30);
    tapKey('C', 46);
    log.pump(300);
    EXPECT_EQ(log.log, (std::vector<std::string>{"down 66", "up 66", "down 67", "up 67"}));
    EXPECT_EQ(log.text, L"bc");
}

TEST(Keyboard, WithNoKeysAndNoWindowOpenEveryEventPasses) {
    TempFolder folder;
    Omnitap app(folder);
    HWND box = waitForWindow(app.pid(), L"#32770", L"Omnitap", 15s, true);
    ASSERT_NE(box, nullptr);
    pressDialogButton(box, IDOK);
    HWND config = waitForWindow(app.pid(), nullptr, L"Omnitap - Edit Configuration", 10s, true);
    ASSERT_NE(config, nullptr);
    PostMessageW(config, WM_CLOSE, 0, 0);
    ASSERT_TRUE(waitFor([&] { return windowsOf(app.pid(), nullptr, nullptr, true).empty(); }));

    KeyLogWindow log;
    for (WORD vk : {WORD('A'), WORD(VK_F24), WORD(VK_ESCAPE), WORD(VK_RETURN)})
        tapKey(vk, 0);
    log.pump(400);
    EXPECT_EQ(log.log, (std::vector<std::string>{"down 65", "up 65", "down 135", "up 135",
                                                 "down 27", "up 27", "down 13", "up 13"}));
}

TEST(Keyboard, LaunchKeysOpenAQuotedPathWithASwitchAndAProgramWithADocument) {
    TempFolder folder;
    CreateDirectoryW(folder.file(L"probe dir").c_str(), nullptr);
    std::wstring probe = folder.file(L"probe dir\\launch probe.exe");
    for (const std::wstring& copy : {probe, folder.file(L"launch-probe.exe")})
        ASSERT_TRUE(CopyFileW((binFolder() + L"\\launch-probe.exe").c_str(), copy.c_str(), FALSE));
    std::string quoted = "\""; // built by appending: g++ 12 warns wrongly on "\"" + path
    quoted.append(narrow(probe)).append("\" /switch");
    folder.write(L"keys.ini",
                 keysIni({learnedKey(VK_F13, 0x64, 60, quoted),
                          learnedKey(VK_F14, 0x65, 60, " launch-probe.exe \"my notes.txt\" ")}));
    Omnitap app(folder);
    KeyLogWindow log;
    ASSERT_TRUE(waitUntilHooked(log));

    tapKey(VK_F13, 0x64);
    std::string launched = waitForFile(folder, L"probe dir\\launched.txt");
    EXPECT_NE(launched.find("launch probe.exe"), std::string::npos) << launched;
    EXPECT_NE(launched.find(" /switch"), std::string::npos) << launched;
    EXPECT_EQ(launched.find("\"\""), std::string::npos) << launched;

    tapKey(VK_F14, 0x65);
    launched = waitForFile(folder, L"launched.txt");
    EXPECT_NE(launched.find("launch-probe.exe"), std::string::npos) << launched;
    EXPECT_NE(launched.find(" \"my notes.txt\""), std::string::npos) << launched;
    log.pump(200);
    EXPECT_FALSE(logged(log, "down 124"));
}

TEST(Keyboard, AModifierEntryActsOnlyWhileControlIsHeldAndItsReleaseIsSwallowed) {
    TempFolder folder;
    folder.write(L"keys.ini", keysIni({learnedKey(VK_F15, 0x66, 33, "17")}));
    PlayerSim sim(folder, {L"--caption", L"1. A - B - Winamp"});
    Omnitap app(folder);
    KeyLogWindow log;
    ASSERT_TRUE(waitUntilHooked(log));

    tapKey(VK_F15, 0x66); // without Control: the press passes, the release does not
    log.pump(300);
    EXPECT_EQ(log.log, (std::vector<std::string>{"down 126"}));

    log.log.clear();
    sendKey(VK_CONTROL, 0x1D, false);
    tapKey(VK_F15, 0x66);
    sendKey(VK_CONTROL, 0x1D, true);
    log.pump(300);
    EXPECT_EQ(log.log, (std::vector<std::string>{"down 17", "up 17"}));
    // Only the press with Control held played the next track.
    EXPECT_EQ(sim.waitForCommands(1), Lines{"command 40048"});
    Sleep(300);
    EXPECT_EQ(sim.logOf("command"), Lines{"command 40048"});
}

TEST(Keyboard, ScanCodeDecidesForKeysReportingCode255) {
    TempFolder folder;
    folder.write(L"keys.ini", keysIni({learnedKey(255, 0x70, 0)}));
    Omnitap app(folder);
    KeyLogWindow log;
    ASSERT_TRUE(waitUntilHooked(log));
    tapKey(255, 0x71);
    tapKey(255, 0x70);
    log.pump(300);
    EXPECT_EQ(log.log, (std::vector<std::string>{"down 255", "up 255"}));
}

TEST(ControlWindow, AsOmnitapExeItShowsItselfAndInterceptsNothingUntilHook) {
    TempFolder folder;
    folder.write(L"keys.ini", keysIni({learnedKey('A', 30, 0)}));
    Omnitap app(folder, L"Omnitap.exe");
    HWND control =
        waitForWindow(app.pid(), L"OmnitapControlWindow", L"omnitap control window", 10s, true);
    ASSERT_NE(control, nullptr);

    KeyLogWindow log;
    tapKey('A', 30);
    log.pump(300);
    EXPECT_TRUE(logged(log, "down 65"));

    HWND hook = FindWindowExW(control, nullptr, L"Button", L"HOOK");
    ASSERT_NE(hook, nullptr);
    SendMessageW(hook, BM_CLICK, 0, 0);
    log.focus();
    ASSERT_TRUE(waitUntilHooked(log));
    tapKey('A', 30);
    log.pump(300);
    EXPECT_FALSE(logged(log, "down 65"));
    // The caption shows the flags of the last matched event: a release (128) of an injected
    // key (16).
    EXPECT_EQ(windowText(control), L"144");

    PostMessageW(control, WM_CLOSE, 0, 0);
    EXPECT_TRUE(app.waitForExit(10s));
    log.log.clear();
    tapKey('A', 30);
    log.pump(300);
    EXPECT_TRUE(logged(log, "down 65"));
}

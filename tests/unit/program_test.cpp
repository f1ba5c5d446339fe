// The whole program over fakes: start-up, one running copy, the control window, its tray icon
// and menu, and the private messages that reach it.

#include "keys/keys_ini.h"
#include "tests/fakes/fake_program.h"
#include "tray/tray_icon.h"
#include "tray/tray_messages.h"

#include <gtest/gtest.h>

using namespace omnitap;
using namespace std::chrono_literals;

namespace {

const std::string kOneKey =
    "[keys]\r\nnumkeys=1\r\nkey1_name=Next\r\nkey1_mapm=33\r\nkey1_code=176\r\n";

std::optional<int> start(fakes::FakeProgram& p, const std::string& ini = kOneKey,
                         const std::string& exeBaseName = "omnitap") {
    p.files.files[p.iniPath()] = ini;
    p.appInfo.baseName = exeBaseName;
    return p.program.Main();
}
bool tray(fakes::FakeProgram& p, std::uint32_t message, std::intptr_t lParam = 0) {
    return p.controlWindow().onPrivateMessage(message, 0, lParam);
}

} // namespace

TEST(Program, AFirstRunWelcomesOnceEverythingRunsThenOpensEditConfiguration) {
    for (const char* ini : {"", "[keys]\r\nnumkeys=0\r\n"}) {
        fakes::FakeProgram p;
        if (*ini) p.files.files[p.iniPath()] = ini;
        bool runningAtWelcome = false;
        p.messages.onShow = [&] {
            runningAtWelcome = p.hook.calls.size() == 1 && !p.trayShell.shown.empty() &&
                               !p.ui.find("Omnitap - Edit Configuration");
        };
        EXPECT_EQ(p.program.Main(), std::nullopt);
        EXPECT_EQ(p.program.state().iniPath, "C:\\Tools\\Omnitap\\keys.ini");
        ASSERT_EQ(p.messages.shown.size(), 1u);
        const fakes::ShownMessage& box = p.messages.shown[0];
        EXPECT_EQ(box.text + box.title, welcomeText() + "Omnitap");
        EXPECT_EQ(box.style, ports::mb::kIconInformation);
        EXPECT_EQ(box.owner, 0u);
        EXPECT_TRUE(runningAtWelcome);
        EXPECT_TRUE(p.ui.window("Omnitap - Edit Configuration").visible());
        EXPECT_EQ(p.files.replaces, 0); // nothing is written at start
    }
}

TEST(Program, AKeysIniHeldAMomentIsWaitedForOneThatCannotBeReadIsNoFirstRun) {
    const struct {
        int lockedReads;
        std::string readError;
        std::string reason; // shown when the program ends
        std::chrono::milliseconds waited;
    } cases[] = {{3, "", "", 300ms},
                 {1000, "", "being used by another", 2000ms},
                 {0, "Access is denied.", "Access is denied.", 0ms}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lockedReads);
        fakes::FakeProgram p;
        p.files.lockedReads = c.lockedReads;
        p.files.readError = c.readError;
        std::optional<int> ended = start(p);
        EXPECT_EQ(p.files.waited, c.waited);
        EXPECT_EQ(p.hookSwallowsPress(176), c.reason.empty()); // the keys loaded
        if (c.reason.empty()) {
            EXPECT_TRUE(p.messages.shown.empty() && !ended);
            continue;
        }
        EXPECT_EQ(ended, 1);
        ASSERT_EQ(p.messages.shown.size(), 1u);
        const fakes::ShownMessage& box = p.messages.shown[0];
        for (std::string part :
             {p.iniPath() + "\r\n", c.reason, std::string("Nothing was changed.")})
            EXPECT_NE(box.text.find(part), std::string::npos) << box.text;
        EXPECT_EQ(box.owner, 0u);
        EXPECT_EQ(box.style, ports::mb::kIconError);
        EXPECT_TRUE(p.ui.windows.empty() && p.hook.calls.empty() && p.trayShell.calls.empty());
        EXPECT_EQ(p.files.files, (std::map<std::string, std::string>{{p.iniPath(), kOneKey}}));
    }
}

TEST(Program, ASecondCopyForTheSameKeysIniAsksTheFirstToShowEditConfigurationAndEnds) {
    EXPECT_EQ(runningCopyName("C:\\Tools\\keys.ini"), runningCopyName("c:\\TOOLS\\Keys.INI"));
    EXPECT_NE(runningCopyName("C:\\Tools\\keys.ini"), runningCopyName("C:\\Tool\\keys.ini"));
    fakes::FakeProgram first, second, elsewhere;
    ASSERT_EQ(start(first), std::nullopt);
    EXPECT_EQ(first.copies.listening, first.controlWindow().id());
    second.copies.running = elsewhere.copies.running = first.copies.running;
    elsewhere.appInfo.folder = "C:\\Other";
    EXPECT_EQ(start(second, "", "Omnitap"), 0); // the test mode as well
    EXPECT_EQ(second.copies.asked, 1);
    EXPECT_TRUE(second.ui.windows.empty() && second.hook.calls.empty());
    EXPECT_TRUE(second.messages.shown.empty()); // not even the welcome
    EXPECT_EQ(elsewhere.program.Main(), std::nullopt);
}

TEST(Program, TheTrayMenuAndThePrivateMessagesOfTheControlWindow) {
    fakes::FakeProgram p;
    p.messaging.addPlayer(7, "Winamp");
    start(p);
    EXPECT_TRUE(p.messages.shown.empty());
    EXPECT_FALSE(p.controlWindow().visible());
    EXPECT_EQ(p.hook.calls, std::vector<std::string>{"hook"});
    EXPECT_EQ(p.hook.notify, p.controlWindow().id());
    EXPECT_TRUE(p.hookSwallowsPress(176)); // known to the hook at once
    EXPECT_EQ(p.hookOutput.wakes, 1);
    EXPECT_TRUE(p.messaging.callsOf("post").empty()); // nothing runs on the hook's thread
    EXPECT_TRUE(tray(p, ports::kKeyEventsMessage));
    EXPECT_EQ(p.messaging.callsOf("post").size(), 1u); // the player got "next track"

    p.ui.menuChoice = 0;                                    // the version entry: the About box
    EXPECT_TRUE(tray(p, kTrayCallbackMessage, 0x00AB0205)); // right-button release, junk above
    tray(p, kTrayCallbackMessage, 0x0200);                  // a mouse move opens nothing
    ASSERT_EQ(p.ui.menusShown.size(), 1u);
    std::string texts;
    for (const auto& item : p.ui.menusShown[0])
        texts += item.text + "|";
    EXPECT_EQ(texts, "Omnitap, version 1.1.0|-|Edit Configuration|Quit|");
    ASSERT_EQ(p.messages.shown.size(), 1u);
    EXPECT_EQ(p.messages.shown[0].text, "Omnitap, version 1.1.0\r\nhttps://omnitap.example.org");
    EXPECT_EQ(p.messages.shown[0].style, 64u);
    p.ui.menuChoice = 2;
    tray(p, kTrayCallbackMessage, 0x0205);
    EXPECT_TRUE(p.ui.find("Omnitap - Edit Configuration"));
    p.ui.menuChoice = 3;
    tray(p, kTrayCallbackMessage, 0x0205);
    EXPECT_EQ(p.hook.calls, (std::vector<std::string>{"hook", "unhook"}));
    EXPECT_EQ(p.appInfo.endings, 1);
}

TEST(TrayIcon, EachSystemGetsItsRecordAndTheIconGoesWithTheRecordThatAddedIt) {
    const struct {
        std::uint32_t versionWord; // as GetVersion reports it
        bool wide, shell5;
        std::uint32_t cbSize;
        std::string tip; // its first bytes, then zeros (wide) or blanks (narrow)
    } systems[] = {
        {0xC3B60004, false, false, 88, {"Omnitap\0 ", 9}},                   // 95
        {0xC0005A04, false, true, 488, {"Omnitap\0 ", 9}},                   // Me
        {0x05650004, true, false, 152, {"O\0m\0n\0i\0t\0a\0p\0\0\0\0", 17}}, // NT 4
        {0x4A61000A, true, true, 936, {"O\0m\0n\0i\0t\0a\0p\0\0\0\0", 17}},  // 10
    };
    for (const auto& s : systems) {
        SCOPED_TRACE(s.versionWord);
        fakes::FakeTrayShell shell;
        shell.version = s.versionWord;
        {
            TrayIconFs tray(shell);
            tray.addTrayIcon(0x20A3C);
            shell.restartExplorer();
            tray.reAddTrayIcon();
            EXPECT_EQ(shell.shown.size(), 1u);
        }
        EXPECT_TRUE(shell.shown.empty()); // deleted when the program ends
        const ports::TrayIconRecord& r = shell.calls.front().record;
        EXPECT_EQ(r.wide, s.wide);
        EXPECT_EQ(r.cbSize, s.cbSize);
        EXPECT_EQ(r.uVersion, s.shell5 ? 3u : 0u);
        EXPECT_EQ(r.hWnd, 0x20A3Cu);
        EXPECT_EQ(r.uCallbackMessage, kTrayCallbackMessage);
        EXPECT_EQ(std::string(r.szTip.begin(), r.szTip.begin() + s.tip.size()), s.tip);
        EXPECT_EQ(r.szTip[127], s.wide ? 0 : ' ');
        std::vector<ports::TrayCommand> commands, expected{ports::TrayCommand::Add};
        for (const auto& call : shell.calls) {
            commands.push_back(call.command);
            EXPECT_EQ(call.record, r);
        }
        if (s.shell5) expected.push_back(ports::TrayCommand::SetVersion);
        expected.insert(expected.end(), expected.begin(), expected.end()); // again after Explorer
        expected.push_back(ports::TrayCommand::Delete);
        EXPECT_EQ(commands, expected);
    }
}

// The whole program over fakes: start-up, the control window and its tray menu, and the
// private messages that reach it.

#include "tests/fakes/fake_program.h"

#include <gtest/gtest.h>

using namespace omnitap;

namespace {

constexpr std::uint32_t kTrayCallback = 0x8001;

class ProgramTest : public ::testing::Test {
  protected:
    fakes::FakeProgram p;

    void start(const std::string& exeBaseName = "omnitap") {
        p.appInfo.baseName = exeBaseName;
        p.program.Main();
    }
    bool iconShown() const { return !p.trayShell.shown.empty(); }
    bool editConfigurationOpen() const { return p.ui.find("Omnitap - Edit Configuration"); }
    bool privateMessage(std::uint32_t message, std::intptr_t lParam = 0) {
        return p.controlWindow().onPrivateMessage(message, 0, lParam);
    }
    // One key event through the hook's decision; returns whether it was swallowed.
    bool hookEvent(std::uint32_t vk, bool up) {
        KeyEvent e;
        e.vkCode = vk;
        e.flags = up ? kKeyUpFlag : 0;
        return p.channel.onKeyEvent(e, [](std::uint8_t) { return false; });
    }
};

} // namespace

TEST_F(ProgramTest, FirstRunWelcomesOnceEverythingRunsThenOpensEditConfiguration) {
    for (bool emptyFile : {false, true}) {
        fakes::FakeProgram fresh;
        if (emptyFile) fresh.files.files[fresh.iniPath()] = "[keys]\r\nnumkeys=0\r\n";
        bool runningAtWelcome = false;
        fresh.messages.onShow = [&] {
            runningAtWelcome = fresh.hook.calls == std::vector<std::string>{"hook"} &&
                               !fresh.trayShell.shown.empty() &&
                               !fresh.ui.find("Omnitap - Edit Configuration");
        };
        fresh.program.Main();
        EXPECT_EQ(fresh.program.state().iniPath, "C:\\Tools\\Omnitap\\keys.ini");
        ASSERT_EQ(fresh.messages.shown.size(), 1u);
        EXPECT_EQ(fresh.messages.shown[0].text, welcomeText());
        EXPECT_EQ(fresh.messages.shown[0].title, "Omnitap");
        EXPECT_EQ(fresh.messages.shown[0].style, ports::mb::kIconInformation);
        EXPECT_TRUE(runningAtWelcome);
        EXPECT_TRUE(fresh.ui.window("Omnitap - Edit Configuration").visible());
        EXPECT_EQ(fresh.files.replaces, 0); // nothing is written at start
    }
}

TEST_F(ProgramTest, WithAKeyNothingIsShownAndTheHookKnowsTheKeyAtOnce) {
    p.files.files[p.iniPath()] = "[keys]\r\nnumkeys=1\r\nkey1_name=A\r\nkey1_code=65\r\n";
    start();
    EXPECT_TRUE(p.messages.shown.empty());
    EXPECT_FALSE(editConfigurationOpen());
    EXPECT_FALSE(p.controlWindow().visible());
    EXPECT_EQ(p.hook.calls, std::vector<std::string>{"hook"});
    EXPECT_EQ(p.hook.notify, p.controlWindow().id());
    EXPECT_TRUE(iconShown());
    EXPECT_TRUE(hookEvent(65, false));
    EXPECT_FALSE(hookEvent(66, false));
}

TEST_F(ProgramTest, AsOmnitapTheWindowShowsAndHooksOnlyOnHookAndClosingEndsTheProgram) {
    p.files.files[p.iniPath()] = "[keys]\r\nnumkeys=1\r\nkey1_name=A\r\nkey1_code=65\r\n";
    start("Omnitap");
    EXPECT_TRUE(p.controlWindow().visible());
    EXPECT_TRUE(p.hook.calls.empty());
    p.controlWindow().get("Command2").click();
    EXPECT_EQ(p.hook.calls, std::vector<std::string>{"hook"});
    p.controlWindow().userCloses();
    EXPECT_EQ(p.hook.calls, (std::vector<std::string>{"hook", "unhook"}));
    EXPECT_FALSE(iconShown());
    EXPECT_EQ(p.appInfo.endings, 1);
}

TEST_F(ProgramTest, TrayMenuAboutEditConfigurationAndQuit) {
    p.files.files[p.iniPath()] = "[keys]\r\nnumkeys=1\r\nkey1_name=A\r\nkey1_code=65\r\n";
    start();
    p.ui.menuChoice = 0;                                    // the version entry: the About box
    EXPECT_TRUE(privateMessage(kTrayCallback, 0x00AB0205)); // right-button release, junk above
    ASSERT_EQ(p.ui.menusShown.size(), 1u);
    std::vector<std::string> texts;
    for (const auto& item : p.ui.menusShown[0])
        texts.push_back(item.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"Omnitap, version 1.1.0", "-", "Edit Configuration",
                                               "Quit"}));
    ASSERT_EQ(p.messages.shown.size(), 1u);
    EXPECT_EQ(p.messages.shown[0].text, texts[0] + "\r\nhttps://omnitap.example.org");
    EXPECT_EQ(p.messages.shown[0].style, 64u);

    privateMessage(kTrayCallback, 0x0200); // a mouse move opens nothing
    EXPECT_EQ(p.ui.menusShown.size(), 1u);
    p.ui.menuChoice = 2;
    privateMessage(kTrayCallback, 0x0205);
    EXPECT_TRUE(editConfigurationOpen());
    p.ui.menuChoice = 3;
    privateMessage(kTrayCallback, 0x0205);
    EXPECT_EQ(p.hook.calls, (std::vector<std::string>{"hook", "unhook"}));
    EXPECT_FALSE(iconShown());
    EXPECT_EQ(p.appInfo.endings, 1);
}

TEST_F(ProgramTest, KeyEventsMessageRunsTheQueuedKeysAndTaskbarCreatedBringsTheIconBack) {
    p.files.files[p.iniPath()] = "[keys]\r\nnumkeys=1\r\nkey1_name=Next\r\nkey1_mapm=33\r\n"
                                 "key1_code=176\r\n";
    p.messaging.addPlayer(7, "Winamp");
    start();
    EXPECT_TRUE(hookEvent(176, false));
    EXPECT_EQ(p.wake.wakes, 1);
    EXPECT_TRUE(p.messaging.callsOf("post").empty()); // nothing runs on the hook's thread
    EXPECT_TRUE(privateMessage(ports::kKeyEventsMessage));
    EXPECT_EQ(p.messaging.callsOf("post").size(), 1u); // the player got "next track"

    p.trayShell.restartExplorer();
    EXPECT_FALSE(privateMessage(p.trayShell.taskbarCreatedMessage())); // others hear it too
    EXPECT_TRUE(iconShown());
    EXPECT_FALSE(privateMessage(0x8005));
}

TEST_F(ProgramTest, AHeldVolumeKeyStepsOnEveryTickUntilAKeyIsReleased) {
    p.files.files[p.iniPath()] = "[keys]\r\nnumkeys=1\r\nkey1_name=Up\r\nkey1_mapm=301\r\n"
                                 "key1_code=175\r\n";
    p.volume->volume = 10000;
    start();
    ASSERT_EQ(p.ui.timers.size(), 1u);
    fakes::FakeTimer& timer1 = *p.ui.timers[0];
    EXPECT_EQ(timer1.interval, 200);
    timer1.tick(); // off until a volume key is down
    EXPECT_TRUE(p.volume->volumeWrites.empty());
    hookEvent(175, false);
    privateMessage(ports::kKeyEventsMessage);
    timer1.tick();
    timer1.tick();
    EXPECT_EQ(p.volume->volumeWrites.size(), 3u);
    hookEvent(175, true);
    privateMessage(ports::kKeyEventsMessage);
    EXPECT_FALSE(timer1.isEnabled);
}

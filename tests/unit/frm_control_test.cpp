#include "tests/fakes/fake_system.h"
#include "tests/fakes/fake_ui.h"
#include "tray/frm_control.h"

#include <gtest/gtest.h>

using namespace omnitap;

namespace {

class ControlWindow : public ::testing::Test {
  protected:
    fakes::FakeUiFactory ui;
    fakes::FakeMessageBoxes messages;
    fakes::FakeAppInfo appInfo;
    std::vector<std::string> calls;
    std::unique_ptr<frmControl> form;

    void load(const std::string& exeBaseName) {
        appInfo.baseName = exeBaseName;
        ControlWindowLinks links;
        links.hookKeyboard = [this] { calls.push_back("hook"); };
        links.unhookKeyboard = [this] { calls.push_back("unhook"); };
        links.addTrayIcon = [this](ui::WindowId w) {
            calls.push_back(w == form->id() ? "add icon" : "add icon to another window");
        };
        links.removeTrayIcon = [this] { calls.push_back("remove icon"); };
        links.handleTrayMessage = [this](int code) {
            calls.push_back("tray " + std::to_string(code));
        };
        links.reAddTrayIcon = [this] { calls.push_back("re-add icon"); };
        links.trayCallbackMessage = 0x8001;
        links.taskbarCreatedMessage = 0xC123;
        links.keyEventsWaiting = [this] { calls.push_back("drain"); };
        links.showEditConfiguration = [this] { calls.push_back("edit configuration"); };
        links.stepVolume = [this] { calls.push_back("step"); };
        links.endProgram = [this] { calls.push_back("end"); };
        form = std::make_unique<frmControl>(ui, messages, appInfo, links);
        form->Form_Load();
    }
    fakes::FakeWindow& window() { return ui.window("omnitap control window"); }
};

} // namespace

TEST_F(ControlWindow, UnderAnyOtherNameItStaysHiddenAndHooksAtOnce) {
    load("omnitap"); // lower case is not test mode
    EXPECT_EQ(calls, (std::vector<std::string>{"hook", "add icon"}));
    EXPECT_FALSE(window().visible());
}

TEST_F(ControlWindow, AsOmnitapItShowsItselfAndHooksOnlyOnHook) {
    load("Omnitap");
    EXPECT_TRUE(window().visible());
    EXPECT_EQ(calls, (std::vector<std::string>{"add icon"}));
    window().get("Command2").click();
    EXPECT_EQ(calls.back(), "hook");
    calls.clear();
    window().userCloses(); // closing the shown window ends the program
    EXPECT_EQ(calls, (std::vector<std::string>{"unhook", "remove icon", "end"}));
}

TEST_F(ControlWindow, TrayMenuHasFourEntriesAndTheAboutBoxShowsTheSameVersion) {
    load("omnitap");
    ui.menuChoice = 0;
    form->PopupMenu_mnuPop();
    ASSERT_EQ(ui.menusShown.size(), 1u);
    const auto& menu = ui.menusShown[0];
    std::vector<std::string> texts;
    for (const auto& item : menu)
        texts.push_back(item.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"Omnitap, version 1.1.0", "-",
                                                "Edit Configuration", "Quit"}));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, menu[0].text + "\r\nhttps://omnitap.example.org");
    EXPECT_EQ(messages.shown[0].title, "Omnitap");
    EXPECT_EQ(messages.shown[0].style, 64u);
}

TEST_F(ControlWindow, MenuEntriesAndTheEditKeysButton) {
    load("omnitap");
    calls.clear();
    ui.menuChoice = 2;
    form->PopupMenu_mnuPop();
    window().get("Command4").click();
    ui.menuChoice = -1; // dismissed
    form->PopupMenu_mnuPop();
    EXPECT_EQ(calls, (std::vector<std::string>{"edit configuration", "edit configuration"}));
    ui.menuChoice = 3;
    form->PopupMenu_mnuPop();
    EXPECT_EQ(calls, (std::vector<std::string>{"edit configuration", "edit configuration", "unhook",
                                               "remove icon", "end"}));
}

TEST_F(ControlWindow, PrivateMessagesReachTheirHandlers) {
    load("omnitap");
    calls.clear();
    auto& w = window();
    EXPECT_TRUE(w.onPrivateMessage(0x8001, 1, 0x00AB0205)); // right-button release, high word junk
    EXPECT_TRUE(w.onPrivateMessage(kKeyEventsMessage, 0, 0));
    EXPECT_FALSE(w.onPrivateMessage(0xC123, 0, 0));
    EXPECT_FALSE(w.onPrivateMessage(0x8005, 0, 0));
    EXPECT_EQ(calls, (std::vector<std::string>{"tray 517", "drain", "re-add icon"}));
}

TEST_F(ControlWindow, TimerTicksStepTheVolumeEveryFifthOfASecondOnceEnabled) {
    load("omnitap");
    calls.clear();
    ASSERT_EQ(ui.timers.size(), 1u);
    auto* timer = ui.timers[0];
    EXPECT_EQ(timer->interval, 200);
    timer->tick(); // disabled: nothing
    timer->setEnabled(true);
    timer->tick();
    timer->tick();
    EXPECT_EQ(calls, (std::vector<std::string>{"step", "step"}));
}

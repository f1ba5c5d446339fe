// The whole program over fakes: start-up, one running copy, the control window, the private
// messages that reach it, and the tray: the icon's records and what it says about the keys, its
// menu (Pause Keys, Start with Windows, a hook the system refused) and what the keyboard and
// the mouse ask of it.

#include "base/retry.h"
#include "tests/fakes/fake_program.h"
#include "tray/tray_icon.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace omnitap;
using namespace std::chrono_literals;

using fakes::kOneKey;
using ::testing::HasSubstr;

// Edit Configuration opens once everything runs; a first run (no keys.ini, or a blank one), a
// keys.ini that yielded no key and a folder that cannot be written are said first; a file with
// only the section and a count of 0 (all keys removed) is welcomed as a first run.
TEST(Program, AStartWithoutKeysWelcomesAFirstRunAndSaysWhatCannotBeReadOrWritten) {
    const std::string ini = "C:\\Tools\\Omnitap\\keys.ini";
    // keys.ini, if any; whether the folder refuses new files; the parts of the box (or none).
    const std::tuple<std::optional<std::string>, bool, std::vector<std::string>> starts[] = {
        {std::nullopt, false, {welcomeText()}},
        {" \r\n\t", false, {welcomeText()}},
        {"[KEYS]\n NumKeys = 0", false, {welcomeText()}},
        {"[keys]\r\nnumkeys\r\nkey1_code=176\r\n",
         false,
         {"\r\n\r\nOmnitap could not read any key from\r\n" + ini + "\r\nThat file stays",
          "kept as\r\n" + ini + ".bak\r\nOnce"}},
        {std::nullopt,
         true,
         {"first time", "folder\r\nC:\\Tools\\Omnitap\r\nAccess is denied.\r\nThe keys you"}},
    };
    for (const auto& [file, folderRefuses, says] : starts) {
        fakes::FakeProgram p;
        if (file) p.files.files[ini] = *file;
        p.files.failCreate = folderRefuses;
        bool runningAtWelcome = false;
        p.messages.onShow = [&] {
            runningAtWelcome = p.hook.calls.size() == 1 && !p.trayShell.shown.empty() &&
                               !p.ui.find("Omnitap - Edit Configuration");
        };
        EXPECT_EQ(p.program.Main(), std::nullopt);
        EXPECT_TRUE(p.ui.window("Omnitap - Edit Configuration").visible());
        EXPECT_EQ(p.files.files.size() + p.files.replaces, file ? 1u : 0u); // nothing written
        ASSERT_EQ(p.messages.shown.size(), 1u);
        const fakes::ShownMessage& box = p.messages.shown[0];
        for (const std::string& part : says)
            EXPECT_THAT(box.text, HasSubstr(part));
        EXPECT_EQ(box.text.find("://"), std::string::npos); // no address nobody can reach
        EXPECT_TRUE(runningAtWelcome && box.style == 64 && box.owner == 0);
    }
}

TEST(Program, AKeysIniHeldAMomentIsWaitedForOneThatCannotBeReadIsNoFirstRun) {
    // Reads that find keys.ini locked, the error of the next, the reason shown as the program
    // ends, the time waited.
    const std::tuple<int, std::string, std::string, std::chrono::milliseconds> cases[] = {
        {3, "", "", 300ms},
        {1000, "", "being used by another", 2000ms},
        {0, "Access is denied.", "Access is denied.", 0ms}};
    for (const auto& [lockedReads, readError, reason, waited] : cases) {
        SCOPED_TRACE(lockedReads);
        fakes::FakeProgram p;
        p.files.lockedReads = lockedReads;
        p.files.readError = readError;
        std::optional<int> ended = p.start(kOneKey);
        EXPECT_EQ(p.files.waited, waited);
        EXPECT_EQ(p.hookSwallowsPress(176), reason.empty()); // the keys loaded
        if (reason.empty()) {
            EXPECT_TRUE(p.messages.shown.empty() && !ended);
            continue;
        }
        EXPECT_EQ(ended, 1);
        ASSERT_EQ(p.messages.shown.size(), 1u);
        const fakes::ShownMessage& box = p.messages.shown[0];
        for (std::string part : {p.iniPath() + "\r\n", reason, std::string("Nothing was changed.")})
            EXPECT_THAT(box.text, HasSubstr(part));
        EXPECT_TRUE(box.owner == 0 && box.style == ports::mb::kIconError);
        EXPECT_TRUE(p.ui.windows.empty() && p.hook.calls.empty() && p.trayShell.calls.empty());
        EXPECT_EQ(p.files.files, (std::map<std::string, std::string>{{p.iniPath(), kOneKey}}));
    }
}

TEST(Program, ASecondCopyForTheSameKeysIniAsksTheFirstToShowEditConfigurationAndEnds) {
    // A folder the system cannot identify goes by its path, whatever the case.
    EXPECT_EQ(runningCopyName({}, "C:\\Tools\\keys.ini"),
              runningCopyName({}, "c:\\TOOLS\\Keys.INI"));
    EXPECT_NE(runningCopyName({true, 7, 42}, ""), runningCopyName({true, 7, 43}, ""));
    fakes::FakeProgram first, second, elsewhere;
    first.copies.identities[first.appInfo.folder] = {true, 7, 42};
    ASSERT_EQ(first.start(kOneKey), std::nullopt);
    EXPECT_EQ(first.copies.listening, first.controlWindow().id());
    EXPECT_EQ(first.files.currentFolder, "C:\\Users\\me"); // never its own
    second.copies.running = elsewhere.copies.running = first.copies.running;
    second.appInfo.folder = "C:\\TOOLS~1\\OMNITAP~1"; // the same folder by its short name
    second.copies.identities[second.appInfo.folder] = {true, 7, 42};
    elsewhere.copies.identities[elsewhere.appInfo.folder] = {true, 8, 42}; // another volume
    EXPECT_EQ(second.start("", "Omnitap"), 0);                             // the test mode as well
    EXPECT_EQ(second.copies.asked, 1);
    EXPECT_TRUE(second.ui.windows.empty() && second.hook.calls.empty());
    EXPECT_TRUE(second.messages.shown.empty()); // not even the welcome
    EXPECT_EQ(elsewhere.program.Main(), std::nullopt);
}

TEST(Program, TheTrayMenuAndThePrivateMessagesOfTheControlWindow) {
    fakes::FakeProgram p;
    p.messaging.addPlayer(7, "Winamp");
    p.start(kOneKey);
    EXPECT_FALSE(p.controlWindow().visible());
    EXPECT_TRUE(p.hookSwallowsPress(176)); // known to the hook at once
    EXPECT_EQ(p.hookOutput.wakes, 1);
    EXPECT_TRUE(p.messaging.calls.empty()); // nothing runs on the hook's thread
    EXPECT_TRUE(p.message(ports::kKeyEventsMessage));
    EXPECT_EQ(p.messaging.calls, fakes::Calls{"post 7 273 40048 0"}); // next track
    EXPECT_EQ(p.controlWindow().captionsSet, 0); // hidden: its caption is not the key's flags

    p.ui.menuChoice = "Omnitap, version 1.1.0";                      // the About box
    EXPECT_TRUE(p.message(ports::kTrayCallbackMessage, 0x00AB007B)); // WM_CONTEXTMENU, junk above
    p.message(ports::kTrayCallbackMessage, 0x0200);                  // a mouse move opens nothing
    ASSERT_EQ(p.ui.menusShown.size(), 1u);
    ASSERT_EQ(p.messages.shown.size(), 1u);
    EXPECT_EQ(p.messages.shown[0].text, "Omnitap, version 1.1.0"); // no address nobody can reach
    EXPECT_EQ(p.messages.shown[0].style, 64u);
    EXPECT_EQ(p.choose("Edit Configuration"),
              "Omnitap, version 1.1.0|-|Edit Configuration|Pause Keys|Start with Windows|Quit|");
    EXPECT_TRUE(p.ui.find("Omnitap - Edit Configuration"));
    p.controlWindow().onEndSession(false); // the session goes on after all, then it ends
    p.controlWindow().onEndSession(true);  // and the program ends as Quit ends it
    EXPECT_TRUE(p.trayShell.shown.empty() && p.appInfo.endings == 1);
    p.choose("Quit");
    EXPECT_EQ(p.hook.calls, (std::vector<std::string>{"hook", "unhook", "unhook"}));
}

TEST(Program, PausedOrWithoutAHookTheKeysAreOffTheTraySaysSoAndTheyComeBackOn) {
    fakes::FakeProgram p;
    p.hook.installs = {false, "Access is denied.", 5};
    p.start("[keys]\r\nnumkeys=2\r\nkey1_mapm=33\r\nkey1_code=176\r\nkey2_mapm=301\r\n"
            "key2_code=175\r\n"); // next track, volume up
    const std::string off = "Omnitap - keys off (hook could not be installed) (greyed)";
    EXPECT_EQ(p.trayIcon(), off);
    ASSERT_EQ(p.messages.shown.size(), 1u); // one box, with the system's reason
    EXPECT_THAT(p.messages.shown[0].text, HasSubstr("\r\nAccess is denied.\r\n"));
    p.message(0x02B1, 0, 8); // unlocked: tried again, still refused, no second box
    EXPECT_EQ(p.trayIcon(), off);
    p.hook.installs = {};
    EXPECT_THAT(p.choose("Turn Keys On"),
                HasSubstr("|Edit Configuration|Turn Keys On|Pause Keys|"));
    EXPECT_EQ(p.hook.calls, (fakes::Calls{"hook", "hook", "hook"}));
    EXPECT_EQ(p.trayIcon() + std::to_string(p.messages.shown.size()), "Omnitap1");

    p.channel.onKeyEvent({175}, fakes::nothingHeld); // volume up, held
    p.message(ports::kKeyEventsMessage);
    EXPECT_TRUE(p.program.controlWindow().Timer1().enabled());
    p.message(0x02B1, 7); // locked: the release may come where the hook cannot see it
    EXPECT_FALSE(p.program.controlWindow().Timer1().enabled());
    p.message(0x02B1, 0, 8); // unlocked, as after resume: the hook is only checked
    EXPECT_EQ(p.hook.calls.back(), "check");
    p.channel.onKeyEvent({175, 0, kKeyUpFlag}, fakes::nothingHeld); // released, held again
    p.channel.onKeyEvent({175}, fakes::nothingHeld);
    p.message(ports::kKeyEventsMessage);
    EXPECT_TRUE(p.program.controlWindow().Timer1().enabled()); // the repeat runs until paused
    p.choose("Pause Keys");
    EXPECT_FALSE(p.program.controlWindow().Timer1().enabled());
    EXPECT_EQ(p.trayIcon(), "Omnitap - keys paused (greyed)");
    EXPECT_FALSE(p.hookSwallowsPress(176)); // every key passes
    p.channel.setFinderWaiting(true);
    EXPECT_TRUE(p.hookSwallowsPress(176)); // but the Key Finder's
    EXPECT_THAT(p.choose("Pause Keys"), HasSubstr("|Pause Keys (checked)|"));
    EXPECT_EQ(p.trayIcon(), "Omnitap");
    EXPECT_TRUE(p.hookSwallowsPress(176));

    // The keyboard's menu opens at the icon, with "Edit Configuration" in bold, and closed with
    // Esc gives the focus back to the icons; the mouse's opens where the mouse is.
    p.ui.menuChoice = ""; // Esc
    p.message(ports::kTrayCallbackMessage, kTrayContextMenu);
    EXPECT_EQ(p.ui.menuPlaces.back(), (ports::ScreenPoint{1208, 998}));
    EXPECT_TRUE(p.ui.menusShown.back()[2].isDefault);
    EXPECT_EQ(p.trayShell.calls.back().command, ports::TrayCommand::SetFocus);
    EXPECT_EQ(p.ui.menuPlaces.end()[-2], std::nullopt);
    p.message(ports::kTrayCallbackMessage, kTrayKeySelect); // Enter on the icon
    const fakes::FakeWindow* form = p.ui.find("Omnitap - Edit Configuration");
    EXPECT_TRUE(form && form->visible());
}

TEST(Program, StartWithWindowsIsTickedForAnEntryThatStartsThisExeTickingWritesOneRemoves) {
    const std::string ours = "\"C:\\Tools\\Omnitap\\omnitap.exe\"";
    using Entry = std::optional<std::string>;
    // The entry; whether it shows ticked; whether the system refuses a change (reported with
    // its reason); the entry once chosen.
    const std::tuple<Entry, bool, bool, Entry> cases[] = {
        {std::nullopt, false, false, ours},
        {ours, true, false, std::nullopt},
        {" c:\\tools\\omnitap\\OMNITAP.EXE ", true, false, std::nullopt}, // as Windows reads it
        {"\"C:\\Old\\Omnitap\\omnitap.exe\"", false, false, ours},        // another copy, or gone
        {ours + " /minimized", false, false, ours},                       // not this exe alone
        {"\"C:\\Tools\\Omnitap\\omnitap.exe", false, false, ours},
        {std::nullopt, false, true, std::nullopt},
        {ours, true, true, ours}};
    for (const auto& [entry, ticked, refused, afterwards] : cases) {
        fakes::FakeProgram p;
        p.start(kOneKey);
        if (entry) p.startup.entries["Omnitap"] = *entry;
        if (refused) p.startup.refusal = {false, "Access is denied.", 5};
        const std::string menu = p.choose("Start with Windows");
        EXPECT_EQ(menu.find("|Start with Windows (checked)|") != std::string::npos, ticked) << menu;
        EXPECT_EQ(p.startup.command("Omnitap"), afterwards) << menu;
        EXPECT_EQ(p.messages.shown.size(), refused ? 1u : 0u);
        for (const fakes::ShownMessage& box : p.messages.shown) // with the system's reason
            EXPECT_THAT(box.text, HasSubstr("\r\nAccess is denied.\r\n"));
    }
    // Turned off in Task Manager (an odd first byte), the entry kept: ticking turns it on.
    fakes::FakeProgram p;
    p.start(kOneKey);
    p.startup.entries["Omnitap"] = ours;
    p.startup.approvals["Omnitap"] = {7, 0, 0, 0, 0x80, 0x3e};
    EXPECT_THAT(p.choose("Start with Windows"), HasSubstr("|Start with Windows|Quit|"));
    EXPECT_EQ(p.startup.command("Omnitap"), ours);
    EXPECT_EQ(p.startup.approvals["Omnitap"], (ports::Bytes{2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(TrayIcon, ItsRecordItsNotificationsAndTheIconGoesWithTheRecordThatAddedIt) {
    using R = TrayRequest;
    const R edit = R::EditConfiguration, none = R::Nothing;
    // Shells that take NOTIFYICON_VERSION or not, and the requests their notifications make.
    const std::pair<bool, std::vector<R>> shells[] = {
        // With NOTIFYICON_VERSION a right-click ends in WM_CONTEXTMENU (at the mouse); alone,
        // it is the keyboard's; Enter, Space, a click and a double-click activate.
        {true, {none, R::Menu, R::MenuAtIcon, edit, edit, edit, none}},
        // A shell that refuses it sends the right-button release alone.
        {false, {R::Menu, none, none, none, none, none, none}}};
    for (const auto& [takesVersion, expected] : shells) {
        SCOPED_TRACE(takesVersion);
        fakes::FakeTrayShell shell;
        shell.takesVersion = takesVersion;
        std::vector<R> requests;
        {
            TrayIconFs tray(shell);
            tray.addTrayIcon(0x20A3C);
            // The keys' state, and a balloon, which is sent once: not with the icon again.
            tray.showKeysState(KeysState::Paused);
            tray.showBalloon("Omnitap could not...", std::string(300, 'x'));
            shell.restartExplorer();
            tray.reAddTrayIcon();
            for (int code : {kTrayRightButtonUp, kTrayContextMenu, kTrayContextMenu, kTrayKeySelect,
                             kTraySelect, kTrayDoubleClick, 0x0200})
                requests.push_back(tray.handleTrayMessage(code));
        }
        const ports::TrayIconRecord& r = shell.calls.front().record;
        EXPECT_EQ(r.uVersion, 3u);
        EXPECT_EQ(r.uCallbackMessage, ports::kTrayCallbackMessage);
        using C = ports::TrayCommand;
        std::vector<C> commands;
        for (const auto& call : shell.calls) {
            commands.push_back(call.command);
            EXPECT_EQ(std::tie(call.record.hWnd, call.record.uID), std::tie(r.hWnd, r.uID));
        }
        EXPECT_EQ(commands, (std::vector<C>{C::Add, C::SetVersion, C::Modify, C::Modify, C::Add,
                                            C::SetVersion, C::Delete}));
        EXPECT_EQ(requests, expected);
        const ports::TrayIconRecord& balloon = shell.calls[3].record;
        EXPECT_EQ(balloon.uFlags, kTrayFlags | kBalloonFlag);
        EXPECT_EQ(balloon.dwInfoFlags, kBalloonWarning);
        EXPECT_EQ(fakes::wideText(balloon.szInfoTitle) + "|" + fakes::wideText(balloon.szInfo),
                  "Omnitap could not...|" + std::string(255, 'x')); // cut before its terminator
        EXPECT_EQ(shell.calls[4].record.uFlags, kTrayFlags);        // added again: no balloon
    }
}

// The tray: the icon's records and what it says about the keys, its menu (Pause Keys, Start
// with Windows, a hook the system refused) and what the keyboard and the mouse ask of it.

#include "tests/fakes/fake_program.h"
#include "tray/tray_icon.h"

#include <gtest/gtest.h>

using namespace omnitap;

using fakes::kOneKey;

TEST(Program, PausedOrWithoutAHookTheKeysAreOffTheTraySaysSoAndTheyComeBackOn) {
    fakes::FakeProgram p;
    p.hook.installs = {false, "Access is denied.", 5};
    p.start("[keys]\r\nnumkeys=2\r\nkey1_mapm=33\r\nkey1_code=176\r\nkey2_mapm=301\r\n"
            "key2_code=175\r\n"); // next track, volume up
    const std::string off = "Omnitap - keys off (hook could not be installed) (greyed)";
    EXPECT_EQ(p.trayIcon(), off);
    ASSERT_EQ(p.messages.shown.size(), 1u); // one box, with the system's reason
    EXPECT_NE(p.messages.shown[0].text.find("\r\nAccess is denied.\r\n"), std::string::npos);
    p.message(0x02B1, 0, 8); // unlocked: tried again, still refused, no second box
    EXPECT_EQ(p.trayIcon(), off);
    p.hook.installs = {};
    EXPECT_NE(p.choose("Turn Keys On").find("|Edit Configuration|Turn Keys On|Pause Keys|"),
              std::string::npos);
    EXPECT_EQ(p.hook.calls, (fakes::Calls{"hook", "hook", "hook"}));
    EXPECT_EQ(p.trayIcon() + std::to_string(p.messages.shown.size()), "Omnitap1");

    p.channel.onKeyEvent({175}, [](std::uint8_t) { return false; }); // volume up, held
    p.message(ports::kKeyEventsMessage);
    EXPECT_TRUE(p.program.controlWindow().Timer1().enabled()); // the repeat runs until paused
    p.choose("Pause Keys");
    EXPECT_FALSE(p.program.controlWindow().Timer1().enabled());
    EXPECT_EQ(p.trayIcon(), "Omnitap - keys paused (greyed)");
    EXPECT_FALSE(p.hookSwallowsPress(176)); // every key passes
    p.channel.setFinderWaiting(true);
    EXPECT_TRUE(p.hookSwallowsPress(176)); // but the Key Finder's
    EXPECT_NE(p.choose("Pause Keys").find("|Pause Keys (checked)|"), std::string::npos);
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
        if (refused) { // with the system's reason
            EXPECT_NE(p.messages.shown.at(0).text.find("\r\nAccess is denied.\r\n"),
                      std::string::npos);
        }
    }
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
            EXPECT_EQ(shell.shown.size(), 1u);
            for (int code : {kTrayRightButtonUp, kTrayContextMenu, kTrayContextMenu, kTrayKeySelect,
                             kTraySelect, kTrayDoubleClick, 0x0200})
                requests.push_back(tray.handleTrayMessage(code));
        }
        EXPECT_TRUE(shell.shown.empty()); // deleted when the program ends
        const ports::TrayIconRecord& r = shell.calls.front().record;
        EXPECT_EQ(r.uVersion, 3u);
        EXPECT_EQ(r.hWnd, 0x20A3Cu);
        EXPECT_EQ(r.uCallbackMessage, ports::kTrayCallbackMessage);
        EXPECT_EQ(fakes::wideText(r.szTip), "Omnitap");
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

// The tray: the icon's records and what it says about the keys, its menu (Pause Keys, Start
// with Windows, a hook the system refused) and what the keyboard and the mouse ask of it.

#include "tests/fakes/fake_program.h"
#include "tray/tray_icon.h"

#include <gtest/gtest.h>

using namespace omnitap;

namespace {

const std::string kOneKey =
    "[keys]\r\nnumkeys=1\r\nkey1_name=Next\r\nkey1_mapm=33\r\nkey1_code=176\r\n";

} // namespace

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

    KeyEvent volumeUp; // held: the repeat runs until paused
    volumeUp.vkCode = 175;
    p.channel.onKeyEvent(volumeUp, [](std::uint8_t) { return false; });
    p.message(ports::kKeyEventsMessage);
    EXPECT_TRUE(p.program.controlWindow().Timer1().enabled());
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
    p.message(kTrayCallbackMessage, kTrayContextMenu);
    EXPECT_EQ(p.ui.menuPlaces.back(), (ports::ScreenPoint{1208, 998}));
    EXPECT_TRUE(p.ui.menusShown.back()[2].isDefault);
    EXPECT_EQ(p.trayShell.calls.back().command, ports::TrayCommand::SetFocus);
    EXPECT_EQ(p.ui.menuPlaces.end()[-2], std::nullopt);
}

TEST(Program, StartWithWindowsIsTickedForAnEntryThatStartsThisExeTickingWritesOneRemoves) {
    const std::string ours = "\"C:\\Tools\\Omnitap\\omnitap.exe\"";
    const std::tuple<std::optional<std::string>, bool, std::optional<std::string>> cases[] = {
        // the entry; whether it shows ticked; the entry once chosen
        {std::nullopt, false, ours},
        {ours, true, std::nullopt},
        {" c:\\tools\\omnitap\\OMNITAP.EXE ", true, std::nullopt}, // as Windows reads it
        {"\"C:\\Old\\Omnitap\\omnitap.exe\"", false, ours},        // another copy, or gone
        {ours + " /minimized", false, ours},                       // not this exe alone
        {"\"C:\\Tools\\Omnitap\\omnitap.exe", false, ours}};
    for (const auto& [entry, ticked, afterwards] : cases) {
        fakes::FakeProgram p;
        p.start(kOneKey);
        if (entry) p.startup.entries["Omnitap"] = *entry;
        const std::string menu = p.choose("Start with Windows");
        EXPECT_EQ(menu.find("|Start with Windows (checked)|") != std::string::npos, ticked) << menu;
        EXPECT_EQ(p.startup.command("Omnitap"), afterwards) << menu;
    }
    // A refusal is reported with the system's reason and changes nothing.
    fakes::FakeProgram p;
    p.start(kOneKey);
    p.startup.refusal = {false, "Access is denied.", 5};
    p.choose("Start with Windows");
    EXPECT_TRUE(p.startup.entries.empty());
    ASSERT_EQ(p.messages.shown.size(), 1u);
    EXPECT_NE(p.messages.shown[0].text.find("\r\nAccess is denied.\r\n"), std::string::npos);
}

TEST(TrayIcon, EachSystemGetsItsRecordItsNotificationsAndTheIconGoesWithTheRecordThatAddedIt) {
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
    using R = TrayRequest;
    for (const auto& s : systems) {
        SCOPED_TRACE(s.versionWord);
        fakes::FakeTrayShell shell;
        shell.version = s.versionWord;
        std::vector<R> requests;
        {
            TrayIconFs tray(shell);
            tray.addTrayIcon(0x20A3C);
            // Only Windows 2000 and later hear of the keys' state and show balloons, which
            // are sent once: not with the icon again.
            tray.showKeysState(KeysState::Paused);
            tray.showBalloon("Omnitap could not...", "C:\\x.exe");
            shell.restartExplorer();
            tray.reAddTrayIcon();
            EXPECT_EQ(shell.shown.size(), 1u);

            // With NOTIFYICON_VERSION a right-click ends in WM_CONTEXTMENU (at the mouse);
            // alone, it is the keyboard's; Enter, Space, a click and a double-click activate.
            for (int code : {kTrayRightButtonUp, kTrayContextMenu, kTrayContextMenu, kTrayKeySelect,
                             kTraySelect, kTrayDoubleClick, 0x0200})
                requests.push_back(tray.handleTrayMessage(code));
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
            EXPECT_EQ(std::tie(call.record.hWnd, call.record.uID, call.record.cbSize),
                      std::tie(r.hWnd, r.uID, r.cbSize));
        }
        if (s.shell5) expected.push_back(ports::TrayCommand::SetVersion);
        const std::size_t added = expected.size();
        if (s.wide && s.shell5) expected.insert(expected.end(), 2, ports::TrayCommand::Modify);
        expected.insert(expected.end(), expected.begin(), expected.begin() + added); // Explorer
        expected.push_back(ports::TrayCommand::Delete);
        ASSERT_EQ(commands, expected);
        const R edit = R::EditConfiguration, none = R::Nothing;
        const std::vector<R> versioned{none, R::Menu, R::MenuAtIcon, edit, edit, edit, none};
        const std::vector<R> older{R::Menu, none, none, none, none, none, none};
        EXPECT_EQ(requests, s.wide && s.shell5 ? versioned : older);
        if (!s.wide || !s.shell5) continue;
        const ports::TrayIconRecord& balloon = shell.calls[added + 1].record;
        EXPECT_EQ(balloon.uFlags, kTrayFlags | kBalloonFlag);
        EXPECT_EQ(balloon.dwInfoFlags, kBalloonWarning);
        EXPECT_EQ(fakes::wideText(balloon.szInfoTitle) + "|" + fakes::wideText(balloon.szInfo),
                  "Omnitap could not...|C:\\x.exe");
        EXPECT_EQ(shell.calls[added + 2].record.uFlags, kTrayFlags); // added again: no balloon
    }
}

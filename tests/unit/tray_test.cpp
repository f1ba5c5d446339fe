// The tray: the icon's records and what it says about the keys, its menu (Pause Keys, Start
// with Windows, a hook the system refused) and what the keyboard and the mouse ask of it.

#include "tests/fakes/fake_program.h"
#include "text/utf8.h"
#include "tray/tray_icon.h"

#include <gtest/gtest.h>

using namespace omnitap;

namespace {

const std::string kOneKey =
    "[keys]\r\nnumkeys=1\r\nkey1_name=Next\r\nkey1_mapm=33\r\nkey1_code=176\r\n";

// A wide record's text field up to its terminator.
template <std::size_t N> std::string text(const std::array<std::uint8_t, N>& field) {
    std::size_t end = 0;
    while (end + 1 < N && (field[end] || field[end + 1]))
        end += 2;
    return utf16leToUtf8(std::string_view(reinterpret_cast<const char*>(field.data()), end));
}

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
    EXPECT_EQ(p.messages.shown[0].style, ports::mb::kIconWarning);
    p.message(0x02B1, 0, 8); // unlocked: tried again, still refused, no second box
    EXPECT_EQ(p.trayIcon(), off);
    p.hook.installs = {};
    EXPECT_EQ(p.choose("Turn Keys On"), "Omnitap, version 1.1.0|-|Edit Configuration|Turn Keys "
                                        "On|Pause Keys|Start with Windows|Quit|");
    EXPECT_EQ(p.hook.calls, (fakes::Calls{"hook", "hook", "hook"}));
    EXPECT_EQ(p.trayIcon(), "Omnitap");
    EXPECT_EQ(p.messages.shown.size(), 1u);

    KeyEvent volumeUp; // held: the repeat runs until paused
    volumeUp.vkCode = 175;
    p.channel.onKeyEvent(volumeUp, [](std::uint8_t) { return false; });
    p.message(ports::kKeyEventsMessage);
    EXPECT_TRUE(p.program.controlWindow().Timer1().enabled());
    EXPECT_EQ(p.choose("Pause Keys"),
              "Omnitap, version 1.1.0|-|Edit Configuration|Pause Keys|Start with Windows|Quit|");
    EXPECT_FALSE(p.program.controlWindow().Timer1().enabled());
    EXPECT_EQ(p.trayIcon(), "Omnitap - keys paused (greyed)");
    EXPECT_FALSE(p.hookSwallowsPress(176)); // every key passes
    p.channel.setFinderWaiting(true);
    EXPECT_TRUE(p.hookSwallowsPress(176)); // but the Key Finder's
    EXPECT_EQ(p.choose("Pause Keys"), "Omnitap, version 1.1.0|-|Edit Configuration|Pause Keys "
                                      "(checked)|Start with Windows|Quit|");
    EXPECT_EQ(p.trayIcon(), "Omnitap");
    EXPECT_TRUE(p.hookSwallowsPress(176));
}

TEST(Program, StartWithWindowsIsTickedForAnEntryThatStartsThisExeTickingWritesOneRemoves) {
    const std::string ours = "\"C:\\Tools\\Omnitap\\omnitap.exe\"";
    const struct {
        std::optional<std::string> entry;
        bool ticked;
        std::optional<std::string> afterwards; // when chosen
    } cases[] = {
        {std::nullopt, false, ours},
        {ours, true, std::nullopt},
        {" c:\\tools\\omnitap\\OMNITAP.EXE ", true, std::nullopt}, // as Windows reads it
        {"\"C:\\Old\\Omnitap\\omnitap.exe\"", false, ours},        // another copy, or gone
        {ours + " /minimized", false, ours},                       // not this exe alone
        {"\"C:\\Tools\\Omnitap\\omnitap.exe", false, ours},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry.value_or("(none)"));
        fakes::FakeProgram p;
        p.start(kOneKey);
        if (c.entry) p.startup.entries["Omnitap"] = *c.entry;
        const std::string menu = p.choose("Start with Windows");
        EXPECT_NE(menu.find(c.ticked ? "|Start with Windows (checked)|" : "|Start with Windows|"),
                  std::string::npos)
            << menu;
        EXPECT_EQ(p.startup.command("Omnitap"), c.afterwards);
        EXPECT_TRUE(p.messages.shown.empty());
        // A refusal is reported with the system's reason and leaves the entry as it was.
        p.startup.refusal = {false, "Access is denied.", 5};
        p.choose("Start with Windows");
        EXPECT_EQ(p.startup.command("Omnitap"), c.afterwards);
        ASSERT_EQ(p.messages.shown.size(), 1u);
        EXPECT_NE(p.messages.shown[0].text.find("\r\nAccess is denied.\r\n"), std::string::npos);
    }
}

TEST(Tray, TheMouseOrTheKeyboardOpenTheMenuOrActivateTheIconAsTheShellsVersionSays) {
    using R = TrayRequest;
    const struct {
        std::uint32_t versionWord;
        std::vector<int> codes;
        std::vector<R> requests;
    } cases[] = {
        // Windows 2000 and later: a right-click ends in WM_CONTEXTMENU, at the mouse; alone, it
        // is the keyboard's. Enter, Space, a click and a double-click activate the icon.
        {0x23F00206,
         {kTrayRightButtonUp, kTrayContextMenu, kTrayContextMenu, kTrayKeySelect, kTraySelect,
          kTrayDoubleClick, 0x0200, 0x0202},
         {R::Nothing, R::Menu, R::MenuAtIcon, R::EditConfiguration, R::EditConfiguration,
          R::EditConfiguration, R::Nothing, R::Nothing}},
        // Windows 98: the right-button release alone.
        {0xC0000A04,
         {kTrayRightButtonUp, kTrayContextMenu, kTrayKeySelect, kTrayDoubleClick},
         {R::Menu, R::Nothing, R::Nothing, R::Nothing}},
    };
    for (const auto& c : cases) {
        fakes::FakeTrayShell shell;
        shell.version = c.versionWord;
        TrayIconFs tray(shell);
        tray.addTrayIcon(0x20A3C);
        std::vector<R> requests;
        for (int code : c.codes)
            requests.push_back(tray.handleTrayMessage(code));
        EXPECT_EQ(requests, c.requests) << c.versionWord;
    }

    // The keyboard's menu opens at the icon and, closed with Esc, gives the focus back to the
    // icons; "Edit Configuration" is its default entry.
    fakes::FakeProgram p;
    p.start(kOneKey);
    p.message(kTrayCallbackMessage, kTrayContextMenu);
    EXPECT_EQ(p.ui.menuPlaces.back(), (ports::ScreenPoint{1208, 998}));
    EXPECT_EQ(p.trayShell.calls.back().command, ports::TrayCommand::SetFocus);
    EXPECT_TRUE(p.ui.menusShown.back()[2].isDefault);
    EXPECT_EQ(p.choose(""),
              "Omnitap, version 1.1.0|-|Edit Configuration|Pause Keys|Start with Windows|Quit|");
    EXPECT_EQ(p.ui.menuPlaces.back(), std::nullopt); // the mouse's, where the mouse is
    p.message(kTrayCallbackMessage, kTrayKeySelect);
    EXPECT_TRUE(p.ui.window("Omnitap - Edit Configuration").visible());
}

TEST(Tray, ATargetThatCannotBeStartedIsToldOnceInAWarningBalloon) {
    fakes::FakeProgram p;
    p.start(
        "[keys]\r\nnumkeys=1\r\nkey1_mapm=60\r\nkey1_code=113\r\nkey1_webs=C:\\Gone\\x.exe\r\n");
    p.shell.answer = {false, "The system cannot find the path specified.", 3};
    EXPECT_TRUE(p.hookSwallowsPress(113)); // swallowed all the same
    p.message(ports::kKeyEventsMessage);
    const fakes::FakeTrayShell::Call balloon = p.trayShell.calls.back();
    EXPECT_EQ(balloon.command, ports::TrayCommand::Modify);
    EXPECT_EQ(balloon.record.uFlags, kTrayFlags | kBalloonFlag);
    EXPECT_EQ(balloon.record.dwInfoFlags, kBalloonWarning);
    EXPECT_EQ(text(balloon.record.szInfoTitle), "Omnitap could not start a key's program");
    EXPECT_EQ(text(balloon.record.szInfo),
              "C:\\Gone\\x.exe\n" + launchFailureReason({false, "", 3}));
    EXPECT_TRUE(p.messages.shown.empty()); // no box takes the focus
    // Not again: neither when Explorer restarts nor when the tip changes.
    p.trayShell.restartExplorer();
    p.message(p.trayShell.taskbarCreatedMessage());
    p.choose("Pause Keys");
    ASSERT_EQ(p.trayShell.calls.size(), 6u); // add, version, balloon; add, version, tip
    for (std::size_t i = 3; i < 6; ++i)
        EXPECT_EQ(p.trayShell.calls[i].record.uFlags, kTrayFlags);
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

#include "tests/fakes/fakes.h"
#include "tray/tray_icon.h"
#include "tray/tray_messages.h"

#include <gtest/gtest.h>

using namespace omnitap;
using ports::TrayCommand;

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
        std::vector<TrayCommand> commands, expected{TrayCommand::Add};
        for (const auto& call : shell.calls) {
            commands.push_back(call.command);
            EXPECT_EQ(call.record, r);
        }
        if (s.shell5) expected.push_back(TrayCommand::SetVersion);
        expected.insert(expected.end(), expected.begin(), expected.end()); // again after Explorer
        expected.push_back(TrayCommand::Delete);
        EXPECT_EQ(commands, expected);
    }
}

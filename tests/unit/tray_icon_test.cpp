#include "tests/fakes/tray_fakes.h"
#include "tray/tray_icon.h"
#include "tray/tray_messages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace omnitap;
using ports::TrayCommand;

namespace {

constexpr ports::WindowId kWindow = 0x20A3C;
constexpr ports::IconId kIcon = 0x1C0; // the fake shell's application icon

std::vector<std::uint8_t> bytesOf(std::string_view s) {
    return {s.begin(), s.end()};
}
std::vector<std::uint8_t> slice(const std::array<std::uint8_t, 256>& a, std::size_t from,
                                std::size_t to) {
    return {a.begin() + from, a.begin() + to};
}

// GetVersion words as each system reports them, and the record it must get.
struct SystemCase {
    const char* name;
    std::uint32_t versionWord;
    int major, minor;
    bool wide, shell5;
    std::uint32_t cbSize;
};

const SystemCase kSystems[] = {
    {"Windows95", 0xC3B60004, 4, 0, false, false, 88},
    {"Windows98", 0xC0000A04, 4, 10, false, false, 88},
    {"WindowsMe", 0xC0005A04, 4, 90, false, true, 488},
    {"WindowsNT351", 0x04213303, 3, 51, true, false, 152},
    {"WindowsNT4", 0x05650004, 4, 0, true, false, 152},
    {"Windows2000", 0x08930005, 5, 0, true, true, 936},
    {"WindowsXP", 0x0A280105, 5, 1, true, true, 936},
    {"Windows10", 0x4A61000A, 10, 0, true, true, 936},
};

class TrayRecordPerSystem : public ::testing::TestWithParam<SystemCase> {};

} // namespace

TEST_P(TrayRecordPerSystem, AddsTheIconWithTheRecordOfItsSystem) {
    const SystemCase& c = GetParam();
    const WindowsVersion v = getWindowsVersion(c.versionWord);
    EXPECT_EQ(v.major, c.major);
    EXPECT_EQ(v.minor, c.minor);
    EXPECT_EQ(v.ntFamily, c.wide);

    fakes::FakeTrayShell shell;
    shell.version = c.versionWord;
    TrayIconFs tray(shell);
    tray.addTrayIcon(kWindow);

    ASSERT_EQ(shell.calls.size(), c.shell5 ? 2u : 1u);
    EXPECT_EQ(shell.calls[0].command, TrayCommand::Add);
    const ports::TrayIconRecord& r = shell.calls[0].record;
    EXPECT_EQ(r.wide, c.wide);
    EXPECT_EQ(r.cbSize, c.cbSize);
    EXPECT_EQ(r.hWnd, kWindow);
    EXPECT_EQ(r.uFlags, 7u);
    EXPECT_EQ(r.uCallbackMessage, 0x8001u);
    EXPECT_EQ(r.hIcon, kIcon);
    EXPECT_EQ(r.uVersion, c.shell5 ? 3u : 0u);
    if (c.shell5) {
        EXPECT_EQ(shell.calls[1].command, TrayCommand::SetVersion);
        EXPECT_EQ(shell.calls[1].record, r);
    }
    if (c.wide) {
        // "Omnitap" in UTF-16LE and its terminator; the rest of the field stays zero.
        EXPECT_EQ(slice(r.szTip, 0, 16), bytesOf(std::string("O\0m\0n\0i\0t\0a\0p\0\0\0", 16)));
        EXPECT_EQ(slice(r.szTip, 16, 256), std::vector<std::uint8_t>(240, 0));
    } else {
        EXPECT_EQ(slice(r.szTip, 0, 8), bytesOf(std::string("Omnitap\0", 8)));
        EXPECT_EQ(slice(r.szTip, 8, 128), std::vector<std::uint8_t>(120, ' '));
        EXPECT_EQ(slice(r.szTip, 128, 256), std::vector<std::uint8_t>(128, 0));
    }
}

INSTANTIATE_TEST_SUITE_P(Tray, TrayRecordPerSystem, ::testing::ValuesIn(kSystems),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TrayTip, FixedBufferTakesAtMostNMinusTwoBytesEndsInTwoZerosAndStaysInside) {
    std::vector<std::uint8_t> buffer(200, 0xAA);
    copyToFixedBuffer(std::string(100, 'x'), buffer, 128);
    for (int i = 0; i < 126; ++i)
        ASSERT_EQ(buffer[i], i % 2 ? 0 : 'x') << i;
    EXPECT_EQ(buffer[126], 0);
    EXPECT_EQ(buffer[127], 0);
    EXPECT_EQ(buffer[128], 0xAA); // nothing past n is touched

    std::vector<std::uint8_t> small(10, 0xAA);
    copyToFixedBuffer("Omnitap", std::span(small).first(8), 256);
    EXPECT_EQ(small, bytesOf(std::string("O\0m\0n\0\0\0\xAA\xAA", 10)));
    copyToFixedBuffer("", small, 8);
    copyToFixedBuffer("x", small, 1);
    EXPECT_EQ(small, bytesOf(std::string("O\0m\0n\0\0\0\xAA\xAA", 10)));
}

TEST(TrayTip, TextBeyondAsciiBecomesUtf16WideOrQuestionMarksNarrow) {
    std::vector<std::uint8_t> buffer(16, 0xAA);
    copyToFixedBuffer("\xC3\xA9\xF0\x9F\x98\x80\xFF", buffer, 16); // é, U+1F600, a stray byte
    EXPECT_EQ(buffer, bytesOf(std::string("\xE9\0\x3D\xD8\x00\xDE\xFD\xFF\0\0\0\0\0\0\0\0", 16)));

    std::array<std::uint8_t, 128> field{};
    fillNarrowTip(std::string(300, 'y'), field);
    EXPECT_EQ(std::vector(field.begin(), field.end() - 1), std::vector<std::uint8_t>(127, 'y'));
    EXPECT_EQ(field[127], 0);
    fillNarrowTip("\xC3\xA9t\xC3\xA9", field);
    EXPECT_EQ(std::vector(field.begin(), field.begin() + 5), bytesOf(std::string("?t?\0 ", 5)));
}

class TrayLifecycle : public ::testing::Test {
  protected:
    fakes::FakeTrayShell shell;
    TrayIconFs tray{shell};

    std::vector<TrayCommand> commands() const {
        std::vector<TrayCommand> out;
        for (const auto& c : shell.calls)
            out.push_back(c.command);
        return out;
    }
};

TEST_F(TrayLifecycle, RemoveSendsTheVeryRecordThatAddedTheIcon) {
    tray.removeTrayIcon(); // before any add: nothing to delete
    EXPECT_TRUE(shell.calls.empty());
    tray.addTrayIcon(kWindow);
    tray.removeTrayIcon();
    ASSERT_EQ(commands(),
              (std::vector{TrayCommand::Add, TrayCommand::SetVersion, TrayCommand::Delete}));
    EXPECT_EQ(shell.calls[2].record, shell.calls[0].record);
    EXPECT_TRUE(shell.shown.empty());
    tray.removeTrayIcon(); // nothing is left to delete
    tray.reAddTrayIcon();  // nor to bring back
    EXPECT_EQ(shell.calls.size(), 3u);
}

TEST_F(TrayLifecycle, ExplorerRestartBringsTheIconBack) {
    tray.addTrayIcon(kWindow);
    shell.restartExplorer();
    tray.reAddTrayIcon();
    ASSERT_EQ(shell.calls.size(), 4u);
    EXPECT_EQ(shell.calls[2].command, TrayCommand::Add);
    EXPECT_EQ(shell.calls[2].record, shell.calls[0].record);
    EXPECT_EQ(shell.calls[3].command, TrayCommand::SetVersion);
    EXPECT_EQ(shell.shown.size(), 1u);
}

TEST_F(TrayLifecycle, AnIconTheShellRefusedAppearsWhenTheTaskbarComesUp) {
    shell.accept = false; // Explorer not running yet at sign-in
    tray.addTrayIcon(kWindow);
    EXPECT_TRUE(shell.shown.empty());
    shell.accept = true;
    tray.reAddTrayIcon();
    EXPECT_EQ(shell.shown.size(), 1u);
}

TEST_F(TrayLifecycle, SecondAddReplacesTheFirstIcon) {
    tray.addTrayIcon(kWindow);
    tray.addTrayIcon(kWindow + 4);
    ASSERT_EQ(shell.shown.size(), 1u);
    EXPECT_EQ(shell.shown[0].first, kWindow + 4);
}

TEST(TrayDestruction, DestroyingTheTrayDeletesAnIconStillShown) {
    fakes::FakeTrayShell shell;
    {
        TrayIconFs tray(shell);
        tray.addTrayIcon(kWindow);
    }
    EXPECT_TRUE(shell.shown.empty());
    EXPECT_EQ(shell.calls.back().command, TrayCommand::Delete);
}

TEST_F(TrayLifecycle, OnlyARightButtonReleaseOpensTheMenu) {
    // Mouse move, left down/up/double-click, right down, context menu, select, balloons.
    for (int code : {512, 513, 514, 515, 516, 518, 123, 1024, 1026, 1027, 1028, 1029})
        EXPECT_FALSE(tray.handleTrayMessage(code)) << code;
    EXPECT_TRUE(tray.handleTrayMessage(kTrayRightButtonUp));
    EXPECT_TRUE(shell.calls.empty()); // the icon itself is not touched
}

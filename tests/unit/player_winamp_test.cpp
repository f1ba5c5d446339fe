// The media player remote against a fake desktop: which messages reach the player, what
// lands on the clipboard or the keyboard, and what the shell is asked to open.

#include "player/winamp.h"
#include "tests/fakes/fake_system.h"
#include "tests/fakes/player_fakes.h"

#include <gtest/gtest.h>

using namespace omnitap;
using Calls = std::vector<std::string>;
// Spelled out: the bare enumerators clash with POSIX pause() here.
using Cmd = PlayerCommand;

namespace {

constexpr ports::WindowId kControlWindow = 99;
constexpr ports::ProcessId kPlayerProcess = 4242;
constexpr std::uintptr_t kPathAddress = 0x10000;
constexpr char kNoDetails[] = "\"Artist - Song\" [0KHz/0kbps/mono] [0:00 / 0:00]";

class PlayerRemote : public ::testing::Test {
  protected:
    fakes::FakeWindowMessaging desktop;
    fakes::FakeClipboard clipboard;
    fakes::FakeTyping typing;
    fakes::ShellRecorder shell;
    fakes::FakeCodec codec;
    struct : ports::OwnerWindow {
        ports::WindowId ownerWindow() const override { return kControlWindow; }
    } controlWindow;
    Winamp winamp{desktop, clipboard, typing, shell, codec, controlWindow};

    fakes::FakePlayerWindow& startPlayer(std::string caption = "Winamp") {
        fakes::FakePlayerWindow& player = desktop.addPlayer(7, std::move(caption));
        player.process = kPlayerProcess;
        return player;
    }
    void giveDetails(fakes::FakePlayerWindow& player) {
        player.answers = {
            {{126, 0}, 44}, {{126, 1}, 128}, {{126, 2}, 2}, {{105, 0}, 83000}, {{105, 1}, 296}};
    }
};

std::string post(std::uint16_t id) {
    return "post 7 273 " + std::to_string(id) + " 0";
}

} // namespace

TEST_F(PlayerRemote, EveryCommandAsksStatusThenPostsItsIdAndOnlyJumpBringsThePlayerForward) {
    startPlayer();
    const std::pair<PlayerCommand, std::uint16_t> table[] = {
        {Cmd::prevTrack, 40044}, {Cmd::stop, 40047},  {Cmd::play, 40045},
        {Cmd::nextTrack, 40048}, {Cmd::pause, 40046}, {Cmd::toggleShuffle, 40023}};
    for (auto [index, id] : table) {
        desktop.calls.clear();
        winamp.sendPlayerCommand(index);
        EXPECT_EQ(desktop.calls, (Calls{"send 7 1024 0 104", post(id)})) << index;
    }
    EXPECT_EQ(desktop.timeouts.front(), std::chrono::milliseconds(500));
    desktop.calls.clear();
    winamp.sendPlayerCommand(Cmd::jumpToSong);
    EXPECT_EQ(desktop.calls, (Calls{"send 7 1024 0 104", "foreground 7", post(40194)}));

    desktop.calls.clear();
    winamp.sendPlayerCommand(static_cast<PlayerCommand>(7));
    winamp.sendPlayerCommand(static_cast<PlayerCommand>(-1));
    EXPECT_TRUE(desktop.callsOf("post").empty());
}

TEST_F(PlayerRemote, WithoutPlayerNothingIsSentAndAPlayerStartedLaterIsFound) {
    startPlayer().answers[{104, 0}] = 1;
    winamp.findPlayer();
    EXPECT_EQ(winamp.playerStatus(), 1);

    desktop.windows.clear();
    desktop.calls.clear();
    winamp.findPlayer();
    winamp.sendPlayerCommand(Cmd::jumpToSong);
    winamp.copyOrTypeTrack(false, true);
    winamp.copyOrTypeTrack(true, true);
    winamp.showCurrentFile();
    EXPECT_TRUE(desktop.calls.empty());
    EXPECT_EQ(winamp.playerWindow(), 0u);
    EXPECT_EQ(winamp.playerStatus(), 1); // the status last read is kept
    EXPECT_EQ(clipboard.requests, 0);
    EXPECT_TRUE(typing.typed.empty());
    EXPECT_TRUE(shell.requests.empty());

    startPlayer();
    winamp.sendPlayerCommand(Cmd::nextTrack);
    EXPECT_EQ(desktop.callsOf("post"), Calls{post(40048)});
}

TEST_F(PlayerRemote, HungPlayerCostsOneTimeOutPerLookUpAndCountsAsZero) {
    startPlayer("1. Artist - Song - Winamp").hung = true;
    winamp.findPlayer();
    EXPECT_EQ(winamp.playerStatus(), 0);
    desktop.calls.clear();
    winamp.copyOrTypeTrack(false, true);
    EXPECT_EQ(desktop.callsOf("send").size(), 1u);
    EXPECT_EQ(clipboard.text, kNoDetails);
}

TEST_F(PlayerRemote, QueryLeftUnansweredSilencesOnlyTheRestOfThatOperation) {
    fakes::FakePlayerWindow& player = startPlayer("1. Artist - Song - Winamp");
    giveDetails(player);
    player.unanswered = {126};
    winamp.copyOrTypeTrack(false, true);
    EXPECT_EQ(desktop.callsOf("send"), (Calls{"send 7 1024 0 104", "send 7 1024 0 126"}));
    EXPECT_EQ(clipboard.text, kNoDetails);

    player.unanswered.clear();
    winamp.copyOrTypeTrack(false, true);
    EXPECT_EQ(clipboard.text, "\"Artist - Song\" [44KHz/128kbps/stereo] [1:23 / 4:56]");
}

TEST_F(PlayerRemote, CopyWithExtraInfoAsksFiveQueriesInOrderPlainCopyNone) {
    giveDetails(startPlayer("  12. Some Artist - Some Song - Winamp  "));
    winamp.copyOrTypeTrack(false, true);
    EXPECT_EQ(desktop.callsOf("send"),
              (Calls{"send 7 1024 0 104", "send 7 1024 0 126", "send 7 1024 1 126",
                     "send 7 1024 2 126", "send 7 1024 0 105", "send 7 1024 1 105"}));
    EXPECT_EQ(clipboard.text, "\"Some Artist - Some Song\" [44KHz/128kbps/stereo] [1:23 / 4:56]");
    EXPECT_EQ(clipboard.lastOwner, kControlWindow);
    EXPECT_TRUE(typing.typed.empty());

    desktop.calls.clear();
    winamp.copyOrTypeTrack(false, false);
    EXPECT_EQ(clipboard.text, "\"Some Artist - Some Song\"");
    EXPECT_EQ(desktop.callsOf("send").size(), 1u);
}

TEST_F(PlayerRemote, TypingTypesWhatTheClipboardGets) {
    startPlayer("4. {A} + (B) ^ 50% ~ C - Winamp");
    winamp.copyOrTypeTrack(false, false);
    winamp.copyOrTypeTrack(true, false);
    EXPECT_EQ(typing.typed, std::vector<std::string>{"\"{A} + (B) ^ 50% ~ C\""});
    EXPECT_EQ(clipboard.text, "\"{A} + (B) ^ 50% ~ C\"");
    EXPECT_EQ(clipboard.requests, 1);
}

TEST_F(PlayerRemote, CaptionWithoutTitleCopiesTypesAndAsksNothing) {
    for (const char* caption : {"   ", "12. - Winamp"}) {
        desktop.windows.clear();
        desktop.calls.clear();
        startPlayer(caption);
        winamp.copyOrTypeTrack(false, true);
        winamp.copyOrTypeTrack(true, true);
        EXPECT_EQ(desktop.callsOf("send").size(), 2u) << caption; // the two status queries
    }
    EXPECT_EQ(clipboard.requests, 0);
    EXPECT_TRUE(typing.typed.empty());
}

class CurrentFile : public PlayerRemote {
  protected:
    fakes::FakePlayerWindow* player = nullptr;

    void SetUp() override {
        PlayerRemote::SetUp();
        player = &startPlayer();
        player->answers = {{{125, 0}, 3}, {{211, 3}, static_cast<std::intptr_t>(kPathAddress)}};
    }
    // The player's memory at the path's address: the path, its NUL, and more bytes after.
    void playerHolds(const std::string& path) {
        desktop.memory[kPlayerProcess][kPathAddress] = path + '\0' + std::string(600, 'z');
    }
};

TEST_F(CurrentFile, ShowsTheFileInExplorerOwnedByTheControlWindow) {
    playerHolds("C:\\My Music\\01 - Some Song.mp3");
    winamp.showCurrentFile();
    EXPECT_EQ(desktop.calls, (Calls{"send 7 1024 0 104", "send 7 1024 0 125", "send 7 1024 3 211",
                                    "read 4242 65536 256"}));
    ASSERT_EQ(shell.requests.size(), 1u);
    const fakes::ShellRequest& r = shell.requests[0];
    EXPECT_EQ(r.owner, kControlWindow);
    EXPECT_EQ(r.verb, "Open");
    EXPECT_EQ(r.file, "explorer.exe");
    EXPECT_EQ(r.parameters, "/select,\"C:\\My Music\\01 - Some Song.mp3\"");
    EXPECT_EQ(r.directory, "");
    EXPECT_EQ(r.showCommand, 1);
}

TEST_F(CurrentFile, PathOf255BytesIsShownAnd256AreNot) {
    std::string path255 = "C:\\" + std::string(252, 'a');
    playerHolds(path255);
    EXPECT_EQ(winamp.getCurrentFilePath(), ""); // not looked up yet
    winamp.findPlayer();
    EXPECT_EQ(winamp.getCurrentFilePath(), path255);
    playerHolds(path255 + "b");
    winamp.showCurrentFile();
    EXPECT_TRUE(shell.requests.empty());
}

TEST_F(CurrentFile, NothingReadableOrAHungPlayerGivesNothing) {
    playerHolds("C:\\x.mp3");
    player->answers[{211, 3}] = 0x20000; // an address the player's memory does not hold
    winamp.showCurrentFile();
    player->answers[{211, 3}] = static_cast<std::intptr_t>(kPathAddress);
    player->process = 5; // a process that cannot be read
    winamp.showCurrentFile();
    player->process = kPlayerProcess;
    playerHolds("");
    winamp.showCurrentFile();
    EXPECT_EQ(desktop.callsOf("read").size(), 3u);

    playerHolds("C:\\x.mp3");
    player->unanswered = {125};
    desktop.calls.clear();
    winamp.showCurrentFile(); // hung: not asked for the address
    EXPECT_EQ(desktop.callsOf("send"), (Calls{"send 7 1024 0 104", "send 7 1024 0 125"}));
    EXPECT_TRUE(shell.requests.empty());
}

TEST_F(CurrentFile, PathBytesAreAnsiAndTheAddressIsPointerSized) {
    const auto wide = static_cast<std::uintptr_t>(0x7FF6'1234'0000ull & UINTPTR_MAX);
    player->answers[{211, 3}] = static_cast<std::intptr_t>(wide);
    desktop.memory[kPlayerProcess][wide] =
        std::string("C:\\Caf\xE9.mp3\0", 12) + std::string(300, 'z');
    winamp.showCurrentFile();
    ASSERT_EQ(shell.requests.size(), 1u);
    EXPECT_EQ(shell.requests[0].parameters, "/select,\"C:\\Café.mp3\"");
}

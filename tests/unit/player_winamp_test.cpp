// The media player remote against a fake desktop: which messages reach the player, which
// keys the keyboard sends, what lands on the clipboard and what the shell is asked to open.

#include "player/winamp.h"
#include "tests/fakes/desktop_fakes.h"

#include <gtest/gtest.h>

using namespace omnitap;
using Calls = std::vector<std::string>;
using Cmd = PlayerCommand;

namespace {

constexpr std::uintptr_t kPathAddress = 0x10000;

class PlayerRemote : public ::testing::Test {
  protected:
    fakes::FakeWindowMessaging desktop;
    fakes::FakeClipboard clipboard;
    fakes::FakeTyping keyboard;
    fakes::ShellRecorder shell;
    fakes::FakeCodec codec;
    struct : ports::OwnerWindow {
        ports::WindowId ownerWindow() const override { return 99; }
    } controlWindow;
    Winamp winamp{desktop, clipboard, keyboard, shell, codec, controlWindow};

    fakes::FakePlayerWindow& startPlayer(std::string caption = "1. Artist - Song - Winamp") {
        fakes::FakePlayerWindow& player = desktop.addPlayer(7, std::move(caption));
        player.process = 4242;
        player.answers = {{{126, 0}, 44},          {{126, 1}, 128}, {{126, 2}, 2},
                          {{105, 0}, 83000},       {{105, 1}, 296}, {{125, 0}, 3},
                          {{211, 3}, kPathAddress}};
        return player;
    }
};

} // namespace

TEST_F(PlayerRemote, TransportCommandsGoToThePlayerOrElseAsTheSystemsMediaKeys) {
    const std::tuple<PlayerCommand, int, int> table[] = {
        {Cmd::prevTrack, 40044, 177}, {Cmd::stop, 40047, 178},  {Cmd::play, 40045, 179},
        {Cmd::nextTrack, 40048, 176}, {Cmd::pause, 40046, 179}, {Cmd::toggleShuffle, 40023, 0},
        {Cmd::jumpToSong, 40194, 0}};
    for (auto [index, id, key] : table) {
        keyboard.events.clear();
        winamp.sendPlayerCommand(index);
        Calls pressed{"down " + std::to_string(key) + "e", "up " + std::to_string(key) + "e"};
        EXPECT_EQ(keyboard.events, key ? pressed : Calls{}) << static_cast<int>(index);
    }
    startPlayer();
    keyboard.events.clear();
    for (auto [index, id, key] : table) { // posted: a slow player holds no command up
        desktop.calls.clear();
        winamp.sendPlayerCommand(index);
        const std::string post = "post 7 273 " + std::to_string(id) + " 0";
        EXPECT_EQ(desktop.calls,
                  (index == Cmd::jumpToSong ? Calls{"foreground 7", post} : Calls{post}));
    }
    EXPECT_TRUE(keyboard.events.empty());
}

TEST_F(PlayerRemote, PlayPausePausesOnlyAPlayingPlayerAndGuessesNothing) {
    winamp.playPause(); // no player: the media key
    EXPECT_EQ(keyboard.events, (Calls{"down 179e", "up 179e"}));
    fakes::FakePlayerWindow& player = startPlayer();
    for (auto [status, id] : {std::pair{1, 40046}, {3, 40045}, {0, 40045}, {-1, 40045}}) {
        desktop.calls.clear();
        player.answers[{104, 0}] = status;
        winamp.playPause();
        EXPECT_EQ(desktop.calls,
                  (Calls{"send 7 1024 0 104", "post 7 273 " + std::to_string(id) + " 0"}));
    }
    player.unanswered = {104};
    desktop.calls.clear();
    winamp.playPause();
    EXPECT_EQ(desktop.calls, Calls{"send 7 1024 0 104"});
    EXPECT_EQ(keyboard.events.size(), 2u);
}

TEST_F(PlayerRemote, CopyAndTypeLeaveOutWhatThePlayerDidNotSay) {
    const std::tuple<std::set<std::intptr_t>, std::size_t, const char*> table[] = {
        {{}, 5, "\"Artist - Song\" [44KHz/128kbps/stereo] [1:23 / 4:56]"},
        {{105}, 4, "\"Artist - Song\" [44KHz/128kbps/stereo]"}, // nothing asked after a failure
        {{126}, 1, "\"Artist - Song\""},
        {{104}, 5, "\"Artist - Song\" [44KHz/128kbps/stereo] [1:23 / 4:56]"}}; // not asked
    fakes::FakePlayerWindow& player = startPlayer();
    for (const auto& [unanswered, queries, text] : table) {
        player.unanswered = unanswered;
        desktop.calls.clear();
        winamp.copyOrTypeTrack(false, true);
        EXPECT_EQ(clipboard.text, text);
        EXPECT_EQ(desktop.calls.size(), queries) << text;
    }
    player.unanswered.clear();
    winamp.copyOrTypeTrack(true, false);
    EXPECT_EQ(keyboard.events, Calls{"type \"Artist - Song\""});
    clipboard.text.reset();
    for (const char* caption : {"   ", "12. - Winamp"}) { // no title: nothing at all
        player.caption = caption;
        winamp.copyOrTypeTrack(true, true);
        winamp.copyOrTypeTrack(false, true);
    }
    EXPECT_FALSE(clipboard.text);
    EXPECT_EQ(keyboard.events.size(), 1u);
}

TEST_F(PlayerRemote, TypingLiftsTheHeldModifiersAndPressesThemAgain) {
    startPlayer("1. Song - Winamp");
    keyboard.down = {0xA0}; // left Shift
    winamp.copyOrTypeTrack(true, false);
    EXPECT_EQ(keyboard.events, (Calls{"up 160", "type \"Song\"", "down 160"}));
    // Alt and Windows are never seen pressed and released alone: the menus stay shut.
    keyboard.down = {0xA2, 0xA5, 0x5B, 'A'}; // left Ctrl, right Alt, left Windows, a letter
    keyboard.events.clear();
    winamp.copyOrTypeTrack(true, false);
    EXPECT_EQ(keyboard.events,
              (Calls{"down 232", "up 232", "up 162", "up 165e", "up 91e", "type \"Song\"",
                     "down 162", "down 165e", "down 91e", "down 232", "up 232"}));
}

TEST_F(PlayerRemote, ShowsInExplorerOnlyAReadablePathThatNamesAFile) {
    const std::string path255 = "C:\\" + std::string(252, 'a');
    const std::pair<std::string, bool> table[] = {
        {path255, true},
        {path255 + "b", false}, // no NUL in the 256 bytes read
        {"C:\\a\" \"C:\\windows\\system32\\notepad.exe", false}};
    fakes::FakePlayerWindow& player = startPlayer();
    for (const auto& [path, shown] : table) {
        desktop.memory[4242][kPathAddress] = path + '\0' + std::string(600, 'z');
        shell.requests.clear();
        winamp.showCurrentFile();
        EXPECT_EQ(shell.requests,
                  shown ? Calls{"C:\\Windows\\explorer.exe /select,\"" + path + "\""} : Calls{})
            << path;
    }
    EXPECT_EQ(desktop.calls.back(), "read 4242 65536 256");
    // The address is pointer-sized; a player that does not answer is not asked further.
    const auto wide = static_cast<std::uintptr_t>(0x7FF6'1234'0000ull & UINTPTR_MAX);
    player.answers[{211, 3}] = static_cast<std::intptr_t>(wide);
    winamp.showCurrentFile();
    EXPECT_EQ(desktop.calls.back(), "read 4242 " + std::to_string(wide) + " 256");
    player.unanswered = {125};
    desktop.calls.clear();
    winamp.showCurrentFile();
    EXPECT_EQ(desktop.calls, (Calls{"send 7 1024 0 125"}));
}

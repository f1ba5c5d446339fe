// The media player remote with the real Win32 seams against player-sim.exe: the commands in
// the sim's log, its answers on the clipboard and typed into a text box, the path read out
// of its memory, and a hung sim that costs only the time-out.

#include "platform/input_marker.h"
#include "platform/win32/clipboard.h"
#include "platform/win32/system_seams.h"
#include "platform/win32/typing.h"
#include "platform/win32/window_messaging.h"
#include "player/winamp.h"
#include "tests/e2e/support/e2e.h"
#include "tests/e2e/support/player_sim_process.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <optional>
#include <sstream>
#include <thread>

using namespace omnitap;
using namespace e2e;

namespace {

constexpr char kCaption[] = "12. Some Artist - Some Song - Winamp";
constexpr char kExtraText[] = "\"Some Artist - Some Song\" [44KHz/128kbps/stereo] [1:23 / 4:56]";

struct ShellRequest {
    platform::WindowId owner;
    std::string verb, file, parameters, directory;
    int show;
};

// Explorer under Wine opens windows of its own; the request is what this program decides.
class RecordingShell : public platform::Shell {
  public:
    std::vector<ShellRequest> requests;
    void execute(platform::WindowId owner, const std::string& verb, const std::string& file,
                 const std::string& parameters, const std::string& directory,
                 int showCommand) override {
        requests.push_back({owner, verb, file, parameters, directory, showCommand});
    }
};

std::string clipboardAnsi() {
    std::string text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (auto* chars = static_cast<const char*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

void putOnClipboard(const std::wstring& text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

class PlayerModule : public ::testing::Test {
  protected:
    TempFolder folder;
    win32::Win32WindowMessaging messaging;
    win32::Win32Clipboard clipboard;
    win32::Win32Typing typing;
    win32::Win32TextCodec codec;
    RecordingShell shell;
    Winamp winamp{messaging, clipboard, typing, shell, codec};
    HWND owner = nullptr;

    void SetUp() override {
        ASSERT_EQ(FindWindowW(L"Winamp v1.x", nullptr), nullptr) << "a player is already running";
        owner = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                nullptr, nullptr);
        winamp.setOwnerWindow(reinterpret_cast<platform::WindowId>(owner));
    }
    void TearDown() override { DestroyWindow(owner); }

    std::vector<std::wstring> trackOptions(const std::string& caption = kCaption) {
        return {L"--caption",  widen(caption), L"--rate",     L"44",    L"--bitrate", L"128",
                L"--channels", L"2",           L"--position", L"83000", L"--length",  L"296"};
    }
    void playPause() {
        winamp.findPlayer();
        winamp.sendPlayerCommand(winamp.playerStatus() == 1 ? PlayerCommand::pause
                                                            : PlayerCommand::play);
    }
};

} // namespace

TEST_F(PlayerModule, EveryTransportCommandPostsItsId) {
    PlayerSim sim(folder, {});
    const std::pair<PlayerCommand, int> table[] = {
        {PlayerCommand::prevTrack, 40044}, {PlayerCommand::stop, 40047},
        {PlayerCommand::play, 40045},      {PlayerCommand::nextTrack, 40048},
        {PlayerCommand::pause, 40046},     {PlayerCommand::toggleShuffle, 40023},
        {PlayerCommand::jumpToSong, 40194}};
    Lines expected;
    for (auto [index, id] : table) {
        winamp.sendPlayerCommand(index);
        expected.push_back("command " + std::to_string(id));
    }
    EXPECT_EQ(sim.waitForCommands(expected.size()), expected);
    EXPECT_EQ(sim.logOf("query"), Lines(expected.size(), "query 104 0"));
}

TEST_F(PlayerModule, PlayPausePausesAPlayingPlayerAndPlaysOtherwise) {
    PlayerSim sim(folder, {L"--status", L"1"});
    playPause(); // playing: pause (the sim goes to 3, paused)
    sim.waitForCommands(1);
    playPause(); // paused: play
    sim.waitForCommands(2);
    playPause();
    EXPECT_EQ(sim.waitForCommands(3), (Lines{"command 40046", "command 40045", "command 40046"}));
}

TEST_F(PlayerModule, JumpToSongBringsThePlayerForward) {
    PlayerSim sim(folder, {});
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                 nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    ASSERT_TRUE(waitFor([&] { return GetForegroundWindow() == other; }));
    winamp.sendPlayerCommand(PlayerCommand::nextTrack);
    sim.waitForCommands(1);
    EXPECT_EQ(GetForegroundWindow(), other);
    winamp.sendPlayerCommand(PlayerCommand::jumpToSong);
    EXPECT_TRUE(waitFor([&] { return GetForegroundWindow() == sim.window(); }));
    EXPECT_EQ(sim.waitForCommands(2).back(), "command 40194");
    DestroyWindow(other);
}

TEST_F(PlayerModule, WithoutPlayerNothingHappensAndALaterPlayerIsFound) {
    putOnClipboard(L"untouched");
    for (PlayerCommand index : {PlayerCommand::play, PlayerCommand::jumpToSong})
        winamp.sendPlayerCommand(index);
    winamp.copyOrTypeTrack(false, true);
    winamp.showCurrentFile();
    EXPECT_EQ(winamp.playerWindow(), 0u);
    EXPECT_EQ(clipboardText(), L"untouched");
    EXPECT_TRUE(shell.requests.empty());

    PlayerSim sim(folder, {});
    winamp.sendPlayerCommand(PlayerCommand::nextTrack);
    EXPECT_EQ(sim.waitForCommands(1), Lines{"command 40048"});
}

TEST_F(PlayerModule, CopyPutsTheTrackTextOnTheClipboard) {
    PlayerSim sim(folder, trackOptions());
    winamp.copyOrTypeTrack(false, true);
    EXPECT_EQ(clipboardText(), widen(kExtraText));
    EXPECT_EQ(clipboardAnsi(), kExtraText); // derived by the system
    EXPECT_EQ(sim.logOf("query"), (Lines{"query 104 0", "query 126 0", "query 126 1", "query 126 2",
                                         "query 105 0", "query 105 1"}));
    winamp.copyOrTypeTrack(false, false);
    EXPECT_EQ(clipboardText(), L"\"Some Artist - Some Song\"");
}

TEST_F(PlayerModule, ClipboardHeldElsewhereIsLeftAlone) {
    PlayerSim sim(folder, trackOptions());
    putOnClipboard(L"before");
    HANDLE opened = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        OpenClipboard(nullptr);
        SetEvent(opened);
        WaitForSingleObject(release, 10000);
        CloseClipboard();
    });
    WaitForSingleObject(opened, 5000);
    auto start = std::chrono::steady_clock::now();
    winamp.copyOrTypeTrack(false, false);
    auto spent = std::chrono::steady_clock::now() - start;
    SetEvent(release);
    holder.join();
    CloseHandle(opened);
    CloseHandle(release);
    EXPECT_EQ(clipboardText(), L"before");
    EXPECT_LT(spent, 2s);

    winamp.copyOrTypeTrack(false, false);
    EXPECT_EQ(clipboardText(), L"\"Some Artist - Some Song\"");
}

namespace {

// Counts the keystrokes that pass the low-level hook carrying the program's marker.
int markedKeystrokes = 0;
int otherKeystrokes = 0;
LRESULT CALLBACK countKeystrokes(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        ++(event->dwExtraInfo == platform::kOwnInputMarker ? markedKeystrokes : otherKeystrokes);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Like waitFor, but keystrokes become characters on the way (TranslateMessage).
bool typedUntil(const std::function<bool()>& condition) {
    auto end = std::chrono::steady_clock::now() + 5s;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(20);
    }
    return true;
}

} // namespace

TEST_F(PlayerModule, TypingProducesTheTextCharacterForCharacter) {
    const std::string title = "{A} + (B) ^ 50% ~ C [x] \"q\" Crüe – Дом";
    PlayerSim sim(folder, trackOptions("7. " + title + " - Winamp"));
    HWND frame = CreateWindowExW(0, L"STATIC", L"typing target", WS_POPUP | WS_VISIBLE, 0, 0, 600,
                                 60, nullptr, nullptr, nullptr, nullptr);
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0, 600,
                                30, frame, nullptr, nullptr, nullptr);
    SetForegroundWindow(frame);
    SetFocus(edit);
    ASSERT_TRUE(waitFor([&] { return GetFocus() == edit; }));
    HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, countKeystrokes, GetModuleHandleW(nullptr), 0);

    const std::wstring expected = widen("\"" + title + "\" [44KHz/128kbps/stereo] [1:23 / 4:56]");
    winamp.copyOrTypeTrack(true, true);
    EXPECT_TRUE(typedUntil([&] { return windowText(edit) == expected; }));

    EXPECT_EQ(windowText(edit), expected);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(markedKeystrokes, static_cast<int>(expected.size() * 2));
    EXPECT_EQ(otherKeystrokes, 0);

    SetWindowTextW(edit, L"");
    winamp.copyOrTypeTrack(true, false);
    EXPECT_TRUE(typedUntil([&] { return windowText(edit) == widen("\"" + title + "\""); }));
    DestroyWindow(frame);
}

TEST_F(PlayerModule, ShowCurrentFileAsksExplorerToSelectThePathInTheSimsMemory) {
    const std::string path = "C:\\My Music\\Some Folder\\01 - Some Song.mp3";
    PlayerSim sim(folder, {L"--playlist-pos", L"4", L"--path", widen(path)});
    winamp.showCurrentFile();
    ASSERT_EQ(shell.requests.size(), 1u);
    const ShellRequest& r = shell.requests[0];
    EXPECT_EQ(r.owner, reinterpret_cast<platform::WindowId>(owner));
    EXPECT_EQ(r.verb, "Open");
    EXPECT_EQ(r.file, "explorer.exe");
    EXPECT_EQ(r.parameters, "/select,\"" + path + "\"");
    EXPECT_EQ(r.directory, "");
    EXPECT_EQ(r.show, 1);
    EXPECT_EQ(sim.logOf("query"), (Lines{"query 104 0", "query 125 0", "query 211 4"}));
}

TEST_F(PlayerModule, PathOf255BytesIsReadAnd256AreNot) {
    std::string path255 = "C:\\" + std::string(248, 'a') + ".mp3";
    ASSERT_EQ(path255.size(), 255u);
    {
        PlayerSim sim(folder, {L"--path", widen(path255)});
        winamp.findPlayer();
        EXPECT_EQ(winamp.getCurrentFilePath(), path255);
    }
    {
        PlayerSim sim(folder, {L"--path", widen(path255 + "3")});
        winamp.findPlayer();
        EXPECT_EQ(winamp.getCurrentFilePath(), "");
        winamp.showCurrentFile();
        EXPECT_TRUE(shell.requests.empty());
    }
}

TEST_F(PlayerModule, UnreadableAddressGivesNothing) {
    PlayerSim sim(folder, {L"--path", L"C:\\x.mp3", L"--bad-address"});
    winamp.showCurrentFile();
    EXPECT_TRUE(shell.requests.empty());
    EXPECT_EQ(sim.logOf("query").back(), "query 211 0");
}

TEST_F(PlayerModule, AnsiPathComesBackAsUtf8) {
    // Only where the code page has the letter.
    BOOL lossy = FALSE;
    char ansi[8];
    WideCharToMultiByte(CP_ACP, 0, L"\u00e9", 1, ansi, 8, nullptr, &lossy);
    if (lossy || GetACP() == CP_UTF8) GTEST_SKIP() << "code page " << GetACP() << " lacks é";
    PlayerSim sim(folder, {L"--path", L"C:\\Caf\u00e9\\b.mp3"});
    winamp.findPlayer();
    EXPECT_EQ(winamp.getCurrentFilePath(), "C:\\Café\\b.mp3");
}

TEST_F(PlayerModule, HungPlayerCostsOneTimeOutPerOperation) {
    auto timed = [](const std::function<void()>& operation) {
        auto start = std::chrono::steady_clock::now();
        operation();
        return std::chrono::steady_clock::now() - start;
    };
    {
        PlayerSim sim(folder, {L"--caption", widen(kCaption), L"--hang-ms", L"5000"});
        EXPECT_LT(timed([&] { winamp.findPlayer(); }), 1500ms);
        EXPECT_EQ(winamp.playerStatus(), 0);
        EXPECT_LT(timed([&] { winamp.copyOrTypeTrack(false, true); }), 1500ms);
        EXPECT_EQ(clipboardText(), L"\"Some Artist - Some Song\" [0KHz/0kbps/mono] [0:00 / 0:00]");
        EXPECT_LT(timed([&] { winamp.showCurrentFile(); }), 1500ms);
        EXPECT_TRUE(shell.requests.empty());
    }
    {
        auto options = trackOptions();
        options.insert(options.end(),
                       {L"--status", L"1", L"--hang-ms", L"3000", L"--hang-query", L"105"});
        PlayerSim sim(folder, options);
        EXPECT_LT(timed([&] { winamp.copyOrTypeTrack(false, true); }), 1500ms);
        EXPECT_EQ(winamp.playerStatus(), 1);
        EXPECT_EQ(clipboardText(),
                  L"\"Some Artist - Some Song\" [44KHz/128kbps/stereo] [0:00 / 0:00]");
    }
}

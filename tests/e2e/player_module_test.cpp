// The media player remote with the real Win32 seams against player-sim.exe, where only the
// real system can show the result: the clipboard, text typed into a real edit box, the path
// read out of the sim's memory, and a hung sim that costs only the time-out.

#include "player/winamp.h"
#include "ports/input_marker.h"
#include "tests/e2e/support/e2e.h"
#include "tests/e2e/support/player_sim_process.h"
#include "tests/fakes/player_fakes.h"
#include "win32/clipboard.h"
#include "win32/system_seams.h"
#include "win32/typing.h"
#include "win32/window_messaging.h"

#include <gtest/gtest.h>

#include <thread>

using namespace omnitap;
using namespace e2e;

namespace {

constexpr char kCaption[] = "12. Some Artist - Some Song - Winamp";

class PlayerModule : public ::testing::Test {
  protected:
    TempFolder folder;
    win32::Win32WindowMessaging messaging;
    win32::Win32Clipboard clipboard;
    win32::Win32Typing typing;
    win32::Win32TextCodec codec;
    // Explorer under Wine opens windows of its own; the request is what this program decides.
    fakes::ShellRecorder shell;
    struct Owner : ports::OwnerWindow {
        HWND window = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 10, 10, nullptr,
                                      nullptr, nullptr, nullptr);
        ports::WindowId ownerWindow() const override {
            return reinterpret_cast<ports::WindowId>(window);
        }
    } ownerWindow;
    HWND owner = ownerWindow.window;
    Winamp winamp{messaging, clipboard, typing, shell, codec, ownerWindow};

    void SetUp() override {
        ASSERT_EQ(FindWindowW(L"Winamp v1.x", nullptr), nullptr) << "a player is already running";
    }
    void TearDown() override { DestroyWindow(owner); }

    std::vector<std::wstring> trackOptions(const std::string& caption = kCaption) {
        return {L"--caption",  widen(caption), L"--rate",     L"44",    L"--bitrate", L"128",
                L"--channels", L"2",           L"--position", L"83000", L"--length",  L"296"};
    }
};

// Counts the keystrokes that pass the low-level hook carrying the program's marker.
int markedKeystrokes = 0;
int otherKeystrokes = 0;
LRESULT CALLBACK countKeystrokes(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        ++(event->dwExtraInfo == ports::kOwnInputMarker ? markedKeystrokes : otherKeystrokes);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

TEST_F(PlayerModule, CopyPutsTheTrackTextOnTheClipboardUnlessAnotherProgramHoldsIt) {
    PlayerSim sim(folder, trackOptions());
    winamp.copyOrTypeTrack(false, true);
    EXPECT_EQ(clipboardText(), L"\"Some Artist - Some Song\" [44KHz/128kbps/stereo] [1:23 / 4:56]");

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
    EXPECT_LT(spent, 2s);
    EXPECT_EQ(clipboardText(), // left alone
              L"\"Some Artist - Some Song\" [44KHz/128kbps/stereo] [1:23 / 4:56]");
    winamp.copyOrTypeTrack(false, false);
    EXPECT_EQ(clipboardText(), L"\"Some Artist - Some Song\"");
}

TEST_F(PlayerModule, TypingProducesTheTextCharacterForCharacterWithTheMarker) {
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
    // Keystrokes become characters on the way (TranslateMessage).
    auto end = std::chrono::steady_clock::now() + 5s;
    while (windowText(edit) != expected && std::chrono::steady_clock::now() < end) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(20);
    }
    EXPECT_EQ(windowText(edit), expected);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(markedKeystrokes, static_cast<int>(expected.size() * 2));
    EXPECT_EQ(otherKeystrokes, 0);
    DestroyWindow(frame);
}

TEST_F(PlayerModule, PathOf255BytesIsReadFromTheSimsMemoryAnd256OrABadAddressAreNot) {
    std::string path255 = "C:\\My Music\\" + std::string(239, 'a') + ".mp3";
    ASSERT_EQ(path255.size(), 255u);
    {
        PlayerSim sim(folder, {L"--playlist-pos", L"4", L"--path", widen(path255)});
        winamp.showCurrentFile();
        ASSERT_EQ(shell.requests.size(), 1u);
        EXPECT_EQ(shell.requests[0].parameters, "/select,\"" + path255 + "\"");
        EXPECT_EQ(sim.logOf("query"), (Lines{"query 104 0", "query 125 0", "query 211 4"}));
    }
    for (auto options : {std::vector<std::wstring>{L"--path", widen(path255 + "3")},
                         std::vector<std::wstring>{L"--path", L"C:\\x.mp3", L"--bad-address"}}) {
        PlayerSim sim(folder, options);
        winamp.findPlayer();
        EXPECT_EQ(winamp.getCurrentFilePath(), "");
        winamp.showCurrentFile();
        EXPECT_EQ(shell.requests.size(), 1u);
    }
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
    PlayerSim sim(folder, {L"--caption", widen(kCaption), L"--hang-ms", L"5000"});
    for (auto operation : {std::function<void()>([&] { winamp.findPlayer(); }),
                           std::function<void()>([&] { winamp.copyOrTypeTrack(false, true); }),
                           std::function<void()>([&] { winamp.showCurrentFile(); })}) {
        auto start = std::chrono::steady_clock::now();
        operation();
        EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms);
    }
    EXPECT_EQ(winamp.playerStatus(), 0);
    EXPECT_EQ(clipboardText(), L"\"Some Artist - Some Song\" [0KHz/0kbps/mono] [0:00 / 0:00]");
    EXPECT_TRUE(shell.requests.empty());
}

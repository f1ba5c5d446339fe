#pragma once
// Helpers for the end-to-end tests: a private folder with its own keys.ini, the real
// omnitap.exe and player-sim.exe started from there, a window of the test's own that logs the
// keys it receives, and ways to find and drive the program's windows.

#include "keys/keys_ini.h"
#include "win32/wide.h"

#include <windows.h>

#include <chrono>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;
using omnitap::win32::narrow;
using omnitap::win32::widen;

// The folder of the running test program, where omnitap.exe and the tools are built.
std::wstring binFolder();

// A fresh temporary folder, removed with its content at the end.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    const std::wstring& path() const { return path_; }
    std::wstring file(const std::wstring& name) const { return path_ + L"\\" + name; }
    void write(const std::wstring& name, const std::string& bytes) const;
    // The bytes of a file, whoever else has it open; empty when it cannot be read.
    std::string read(const std::wstring& name) const;
    bool exists(const std::wstring& name) const;
    // A copy of a program built beside the tests (launch-probe.exe, planted-dll.dll).
    bool copy(const std::wstring& built, const std::wstring& name) const;

  private:
    std::wstring path_;
};

// A program started by the test, ended with the object.
class Process {
  public:
    Process(const std::wstring& exe, const std::wstring& arguments, const std::wstring& folder);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    DWORD pid() const { return pi_.dwProcessId; }
    bool running() const;
    bool waitForExit(std::chrono::milliseconds timeout) const; // true if it ended
    DWORD exitCode() const;

  private:
    PROCESS_INFORMATION pi_{};
};

// omnitap.exe copied into a folder under another name and started there. Named
// "Omnitap.exe", its control window starts in test mode.
class Omnitap : public Process {
  public:
    explicit Omnitap(const TempFolder& folder, const std::wstring& exeName = L"omnitap-e2e.exe");
};

// player-sim.exe, the stand-in for the media player, with the given options and a log of its
// own in `folder`.
class PlayerSim : public Process {
  public:
    PlayerSim(const TempFolder& folder, const std::vector<std::wstring>& options);
    HWND window() const { return window_; }
    // The log's lines of one kind: logOf("command") gives "command 40045", ...
    Lines logOf(const std::string& kind) const;
    // Posted commands arrive later: waits until the log holds `count` of them.
    Lines waitForCommands(std::size_t count) const;

  private:
    PlayerSim(const std::wstring& log, const std::vector<std::wstring>& options);
    std::wstring log_;
    HWND window_ = nullptr;
};

// Polls `condition` every 20 ms until it is true or `timeout` passes.
bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 5s);
// Top-level windows of a process, optionally only those of a class or with a caption.
std::vector<HWND> windowsOf(DWORD pid, const wchar_t* className = nullptr,
                            const wchar_t* caption = nullptr, bool visibleOnly = false);
HWND waitForWindow(DWORD pid, const wchar_t* className, const wchar_t* caption = nullptr,
                   std::chrono::milliseconds timeout = 10s, bool visibleOnly = true);
std::wstring windowText(HWND window);
std::wstring messageBoxText(HWND box);       // the text of a message box
void pressDialogButton(HWND dialog, int id); // by its command id (IDOK, IDYES, ...)
std::optional<std::wstring> clipboardText();

// Keyboard input through SendInput, with the scan code given.
void sendKey(WORD vk, WORD scan, bool up);
void tapKey(WORD vk, WORD scan);
// Held for `ms` as a keyboard does: presses repeated every 33 ms, then one release.
void holdKey(WORD vk, WORD scan, int ms);

// A focused window of the test process that records the keyboard messages it receives, to
// see which key events the program under test let through.
class KeyLogWindow {
  public:
    KeyLogWindow();
    ~KeyLogWindow();
    void focus();
    // Pumps this thread's messages for `ms` milliseconds, so that input reaches the window.
    void pump(int ms);
    Lines log;                        // "down 65", "up 65", one line per message, in order
    std::wstring text;                // the characters received
    std::vector<std::wstring> pasted; // the clipboard's text at each Ctrl+V

  private:
    static LRESULT CALLBACK proc(HWND, UINT, WPARAM, LPARAM);
    HWND window_ = nullptr;
};

// F24 carries no action in the tests' tables: a key to probe the hook with.
constexpr WORD kProbeKey = VK_F24, kProbeScan = 0x76;
omnitap::KeyDef learnedKey(WORD vk, WORD scan, int action, const std::string& argument = "");
// A keys.ini with the probe key first, then `keys`.
std::string keysIni(std::initializer_list<omnitap::KeyDef> keys);
// Taps the probe key until the program swallows it (its hook is in place); false on time-out.
bool waitUntilHooked(KeyLogWindow& log, std::chrono::milliseconds timeout = 15s);

} // namespace e2e

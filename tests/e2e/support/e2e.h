#pragma once
// Helpers for the end-to-end tests: a private folder with its own keys.ini, the real
// omnitap.exe started from there, and ways to find and drive its windows.

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace e2e {

using namespace std::chrono_literals;

// The folder of the running test program (where omnitap.exe and player-sim.exe are built).
std::wstring binFolder();

// The bytes of a file (empty when it cannot be read), whoever else has it open.
std::string readWholeFile(const std::wstring& path);

// A fresh temporary folder, removed with its content at the end.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    const std::wstring& path() const { return path_; }
    std::wstring file(const std::wstring& name) const { return path_ + L"\\" + name; }
    void write(const std::wstring& name, const std::string& bytes) const;
    std::string read(const std::wstring& name) const;
    bool exists(const std::wstring& name) const;

  private:
    std::wstring path_;
};

// omnitap.exe copied into a folder under another name and started there.
class Omnitap {
  public:
    // The name must not be "Omnitap" unless the test wants the control window's test mode.
    explicit Omnitap(const TempFolder& folder, const std::wstring& exeName = L"omnitap-e2e.exe");
    ~Omnitap();
    DWORD pid() const { return pi_.dwProcessId; }
    bool running() const;
    // Waits up to `timeout` for the process to end; true if it did.
    bool waitForExit(std::chrono::milliseconds timeout) const;
    DWORD exitCode() const;
    void kill();

  private:
    PROCESS_INFORMATION pi_{};
};

// Polls `condition` every 20 ms until it is true or `timeout` passes.
bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 5s);

// Top-level windows of a process, optionally only those of a class or with a caption.
std::vector<HWND> windowsOf(DWORD pid, const wchar_t* className = nullptr,
                            const wchar_t* caption = nullptr, bool visibleOnly = false);
HWND waitForWindow(DWORD pid, const wchar_t* className, const wchar_t* caption,
                   std::chrono::milliseconds timeout = 5s, bool visibleOnly = false);

std::wstring windowText(HWND window);
// The text of a message box (the static control that carries it).
std::wstring messageBoxText(HWND box);
// Presses a dialog's button by its command id (IDOK, IDYES, ...).
void pressDialogButton(HWND dialog, int id);

// Keyboard input through SendInput, with the scan code given.
INPUT keyInput(WORD vk, WORD scan, bool up);
void sendKey(WORD vk, WORD scan, bool up);
void tapKey(WORD vk, WORD scan);

std::wstring widen(const std::string& s);
std::string narrow(const std::wstring& s);

} // namespace e2e

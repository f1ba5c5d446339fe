#pragma once
// Support for the end-to-end tests: a private folder with its own keys.ini, omnitap.exe and
// player-sim.exe started there, a window that logs the keys it gets, the program's windows.

#include "keys/keys_ini.h"
#include "ports/ui.h"
#include "win32/ui/message_loop.h"
#include "win32/wide.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace e2e {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Lines = std::vector<std::string>;
using omnitap::win32::narrow;

// A fresh temporary folder, removed with what no program still holds at the end.
class TempFolder {
  public:
    TempFolder() {
        static unsigned counter = GetTickCount(); // a name is taken only if the folder is new
        do
            path_ = (fs::temp_directory_path() / ("omnitap-e2e-" + std::to_string(++counter)))
                        .wstring();
        while (!fs::create_directory(path_));
    }
    ~TempFolder() { fs::remove_all(path_, ignored_); }
    const std::wstring& path() const { return path_; }
    std::wstring file(const std::wstring& name) const { return path_ + L"\\" + name; }
    void write(const std::wstring& name, const std::string& bytes) const { // folders too
        fs::create_directories(fs::path(file(name)).parent_path());
        std::ofstream(fs::path(file(name)), std::ios::binary) << bytes;
    }
    std::string read(const std::wstring& name) const {
        std::ifstream in(fs::path(file(name)), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    bool exists(const std::wstring& name) const { return fs::exists(file(name)); }
    bool copy(const std::wstring& built, const std::wstring& name) const {
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        fs::create_directories(fs::path(file(name)).parent_path());
        return fs::copy_file(fs::path(self).replace_filename(built), file(name),
                             fs::copy_options::overwrite_existing, ignored_);
    }

  private:
    std::wstring path_;
    mutable std::error_code ignored_;
};

class Process {
  public:
    Process(const std::wstring& exe, std::wstring commandLine, const std::wstring& folder,
            DWORD flags = 0) { // CREATE_SUSPENDED: it runs once resume() is called
        STARTUPINFOW si{sizeof si};
        commandLine = L"\"" + exe + L"\"" + commandLine;
        if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, flags,
                            nullptr, folder.empty() ? nullptr : folder.c_str(), &si, &pi_))
            ADD_FAILURE() << "cannot start " << narrow(exe) << ": " << GetLastError();
    }
    ~Process() {
        if (exitCode() == STILL_ACTIVE) TerminateProcess(pi_.hProcess, 1);
        WaitForSingleObject(pi_.hProcess, 5000);
        CloseHandle(pi_.hProcess);
        CloseHandle(pi_.hThread);
    }
    DWORD pid() const { return pi_.dwProcessId; }
    void resume() const { ResumeThread(pi_.hThread); }
    DWORD exitCode(std::chrono::milliseconds timeout = 0ms) const {
        DWORD code = STILL_ACTIVE;
        WaitForSingleObject(pi_.hProcess, static_cast<DWORD>(timeout.count()));
        GetExitCodeProcess(pi_.hProcess, &code);
        return code;
    }

  private:
    PROCESS_INFORMATION pi_{};
};

// omnitap.exe copied into a folder under another name and started there. Named
// "Omnitap.exe", its control window starts in test mode.
class Omnitap : public Process {
  public:
    explicit Omnitap(const TempFolder& folder, const std::wstring& exeName = L"omnitap-e2e.exe",
                     DWORD flags = 0)
        : Process((folder.copy(L"omnitap.exe", exeName), folder.file(exeName)), L"", folder.path(),
                  flags) {}
};

// Polls `condition`, handling this thread's messages as the program's loop does.
inline bool waitFor(const std::function<bool()>& condition,
                    std::chrono::milliseconds timeout = 5s) {
    for (auto end = std::chrono::steady_clock::now() + timeout;; Sleep(20)) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (omnitap::win32::translateDialogMessage(msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}
inline void pump(std::chrono::milliseconds time) {
    waitFor([] { return false; }, time);
}

inline HWND waitForWindow(DWORD pid, const wchar_t* className, const wchar_t* caption = nullptr,
                          std::chrono::milliseconds timeout = 10s, bool visibleOnly = true) {
    HWND w = nullptr;
    auto found = [&] {
        DWORD owner = 0;
        while ((w = FindWindowExW(nullptr, w, className, caption)))
            if (GetWindowThreadProcessId(w, &owner) && owner == pid &&
                (!visibleOnly || IsWindowVisible(w)))
                return true;
        return false;
    };
    waitFor(found, timeout);
    return w;
}
// A control by its name: the control layer creates a window's controls in table order.
inline HWND control(HWND window, const std::vector<omnitap::ui::ControlDesign>& layout,
                    const std::string& name) {
    HWND child = GetWindow(window, GW_CHILD);
    for (std::size_t i = 0; child && layout.at(i).name != name; ++i)
        child = GetWindow(child, GW_HWNDNEXT);
    return child;
}
inline std::wstring windowText(HWND window) { // WM_GETTEXT reaches other processes too
    wchar_t buffer[4096];
    LRESULT n = SendMessageW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer));
    return std::wstring(buffer, static_cast<std::size_t>(n));
}
inline void pressDialogButton(HWND dialog, int id) { // IDOK, IDYES, ...
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}
// The text of the program's message box, once it shows; then `button` is pressed.
inline std::wstring answerBox(DWORD pid, int button = IDOK) {
    HWND box = waitForWindow(pid, L"#32770", L"Omnitap", 15s);
    EXPECT_NE(box, nullptr) << "no message box";
    const std::wstring text = windowText(GetDlgItem(box, 0xFFFF));
    pressDialogButton(box, button);
    return text;
}
inline std::wstring clipboardText() {
    if (!OpenClipboard(nullptr)) return L"";
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    auto* chars = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
    std::wstring text = chars ? chars : L"";
    if (chars) GlobalUnlock(data);
    CloseClipboard();
    return text;
}

inline void sendKey(WORD vk, WORD scan, bool up, DWORD flags = 0) {
    INPUT input{INPUT_KEYBOARD};
    input.ki = {vk, scan, flags | (up ? KEYEVENTF_KEYUP : 0), 0, 0};
    SendInput(1, &input, sizeof input);
}
inline void tapKey(WORD vk, WORD scan = 0) {
    if (!scan) scan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    sendKey(vk, scan, false);
    sendKey(vk, scan, true);
}
// Held for `ms` as a keyboard does: presses repeated every 33 ms, then one release.
inline void holdKey(WORD vk, int ms) {
    const auto scan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    for (int held = 0; held < ms; held += 33, Sleep(33))
        sendKey(vk, scan, false);
    sendKey(vk, scan, true);
}

// A window of the test's own class, whose procedure finds `self` in GWLP_USERDATA.
inline HWND testWindow(const wchar_t* className, WNDPROC proc, void* self, DWORD exStyle,
                       DWORD style) {
    WNDCLASSW wc{0, proc, 0, 0, GetModuleHandleW(nullptr)};
    wc.lpszClassName = className;
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(exStyle, className, className, style, 50, 50, 300, 200, nullptr,
                                  nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    return window;
}

// A focused window that records the key events the program under test let through.
class KeyLogWindow {
  public:
    KeyLogWindow() { focus(); }
    ~KeyLogWindow() { DestroyWindow(window_); }
    void focus() {
        SetForegroundWindow(window_);
        SetFocus(window_);
        pump(100ms);
    }
    Lines log; // "down 65", "up 65", one line per message in order; none for VK_PACKET
    // The characters received, typed ones too, and the clipboard's text at each Ctrl+V.
    std::wstring text;

  private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<KeyLogWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        const bool down = msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN;
        if (self && (down || msg == WM_KEYUP || msg == WM_SYSKEYUP) && wParam != VK_PACKET)
            self->log.push_back((down ? "down " : "up ") + std::to_string(wParam));
        if (self && down && wParam == 'V' && GetKeyState(VK_CONTROL) < 0)
            self->text += clipboardText();
        if (self && msg == WM_CHAR && wParam >= L' ') self->text += static_cast<wchar_t>(wParam);
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    HWND window_ = testWindow(L"E2EKeyLog", proc, this, 0, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
};

// player-sim.exe, the stand-in for the media player, logging to a folder of its own.
struct PlayerSim {
    explicit PlayerSim(const std::wstring& options)
        : process((logs.copy(L"player-sim.exe", L"player-sim.exe"), logs.file(L"player-sim.exe")),
                  L" --log \"" + logs.file(L"sim.log") + L"\" " + options, L"") {
        EXPECT_NE(window, nullptr) << "player-sim shows no window";
    }
    // The log's lines of one kind ("command 40045", ...), once it holds `count` of them:
    // posted commands arrive later.
    Lines logOf(const std::string& kind, std::size_t count = 0) const {
        Lines lines;
        waitFor([&] {
            lines.clear();
            std::istringstream in(logs.read(L"sim.log"));
            for (std::string line; std::getline(in, line);)
                if (line.rfind(kind + " ", 0) == 0) lines.push_back(line);
            return lines.size() >= count;
        });
        return lines;
    }
    TempFolder logs;
    Process process;
    HWND window = waitForWindow(process.pid(), L"Winamp v1.x", nullptr, 5s, false);
};

// F24 carries no action in the tests' tables: a key to probe the hook with.
constexpr WORD kProbeKey = VK_F24;
inline omnitap::KeyDef learnedKey(WORD vk, int action, const std::string& argument = "",
                                  WORD scan = 0) {
    if (!scan) scan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    return {static_cast<std::int16_t>(vk), static_cast<std::int16_t>(scan),
            "Key " + std::to_string(vk), static_cast<std::int16_t>(action), argument};
}
inline std::string keysIni(std::initializer_list<omnitap::KeyDef> keys) {
    omnitap::KeyTable table;
    table.append(learnedKey(kProbeKey, 0));
    for (const auto& key : keys)
        table.append(key);
    return omnitap::formatKeysIni(table);
}
// Taps the probe key until the program's hook swallows it.
inline bool waitUntilHooked(KeyLogWindow& log) {
    auto swallowed = [&] {
        log.log.clear();
        log.text.clear();
        tapKey(kProbeKey);
        pump(150ms);
        return log.log.empty();
    };
    return waitFor(swallowed, 15s);
}

} // namespace e2e

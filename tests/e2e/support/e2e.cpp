#include "tests/e2e/support/e2e.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace e2e {

namespace fs = std::filesystem;

std::wstring binFolder() {
    wchar_t path[MAX_PATH];
    std::wstring p(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
    return p.substr(0, p.find_last_of(L"\\/"));
}

TempFolder::TempFolder() {
    // Process ids are reused quickly under Wine: a name is taken only if the folder is new.
    static unsigned counter = GetTickCount();
    do {
        path_ =
            (fs::temp_directory_path() / ("omnitap-e2e-" + std::to_string(GetCurrentProcessId()) +
                                          "-" + std::to_string(++counter)))
                .wstring();
    } while (!fs::create_directory(path_));
}

TempFolder::~TempFolder() {
    std::error_code ignored; // what a program still holds stays for the system's clean-up
    fs::remove_all(path_, ignored);
}

void TempFolder::write(const std::wstring& name, const std::string& bytes) const {
    std::ofstream(fs::path(file(name)), std::ios::binary) << bytes;
}

namespace {
std::string readFile(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    std::string out;
    char buffer[65536];
    DWORD got = 0;
    while (h != INVALID_HANDLE_VALUE && ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got)
        out.append(buffer, got);
    CloseHandle(h);
    return out;
}
} // namespace

std::string TempFolder::read(const std::wstring& name) const {
    return readFile(file(name));
}

bool TempFolder::exists(const std::wstring& name) const {
    return fs::exists(file(name));
}

bool TempFolder::copy(const std::wstring& built, const std::wstring& name) const {
    std::error_code error;
    return fs::copy_file(binFolder() + L"\\" + built, file(name),
                         fs::copy_options::overwrite_existing, error);
}

Process::Process(const std::wstring& exe, const std::wstring& arguments,
                 const std::wstring& folder) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    std::wstring command = L"\"" + exe + L"\"" + arguments;
    if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &si, &pi_))
        ADD_FAILURE() << "cannot start " << narrow(exe) << ": " << GetLastError();
}

Process::~Process() {
    if (running()) {
        TerminateProcess(pi_.hProcess, 1);
        WaitForSingleObject(pi_.hProcess, 5000);
    }
    CloseHandle(pi_.hProcess);
    CloseHandle(pi_.hThread);
}

bool Process::running() const {
    return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

bool Process::waitForExit(std::chrono::milliseconds timeout) const {
    return pi_.hProcess &&
           WaitForSingleObject(pi_.hProcess, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

DWORD Process::exitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(pi_.hProcess, &code);
    return code;
}

Omnitap::Omnitap(const TempFolder& folder, const std::wstring& exeName)
    : Process((folder.copy(L"omnitap.exe", exeName), folder.file(exeName)), L"", folder.path()) {}

namespace {
// An argument as CommandLineToArgvW reads it back.
std::wstring argument(const std::wstring& arg) {
    std::wstring out = L" \"";
    std::size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    return out.append(backslashes * 2, L'\\') + L"\"";
}
std::wstring arguments(const std::vector<std::wstring>& options) {
    std::wstring out;
    for (const std::wstring& option : options)
        out += argument(option);
    return out;
}
int simsStarted = 0;
} // namespace

PlayerSim::PlayerSim(const TempFolder& folder, const std::vector<std::wstring>& options)
    : PlayerSim(folder.file(L"sim-" + std::to_wstring(++simsStarted) + L".log"), options) {}

PlayerSim::PlayerSim(const std::wstring& log, const std::vector<std::wstring>& options)
    : Process(binFolder() + L"\\player-sim.exe", L" --log" + argument(log) + arguments(options),
              L""),
      log_(log) {
    window_ = waitForWindow(pid(), L"Winamp v1.x", nullptr, 5s, false);
    EXPECT_NE(window_, nullptr) << "player-sim shows no window";
}

Lines PlayerSim::logOf(const std::string& kind) const {
    Lines lines;
    std::istringstream in(readFile(log_));
    for (std::string line; std::getline(in, line);)
        if (line.rfind(kind + " ", 0) == 0) lines.push_back(line);
    return lines;
}

Lines PlayerSim::waitForCommands(std::size_t count) const {
    waitFor([&] { return logOf("command").size() >= count; });
    return logOf("command");
}

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    for (auto end = std::chrono::steady_clock::now() + timeout;; Sleep(20)) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
}

namespace {
struct Search {
    DWORD pid;
    const wchar_t *className, *caption;
    bool visibleOnly;
    std::vector<HWND> found;
};
BOOL CALLBACK collect(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    wchar_t name[256] = L"";
    GetWindowThreadProcessId(window, &pid);
    if (search->className) GetClassNameW(window, name, 256);
    if (pid == search->pid && (!search->visibleOnly || IsWindowVisible(window)) &&
        (!search->className || lstrcmpiW(name, search->className) == 0) &&
        (!search->caption || windowText(window) == search->caption))
        search->found.push_back(window);
    return TRUE;
}
} // namespace

std::vector<HWND> windowsOf(DWORD pid, const wchar_t* className, const wchar_t* caption,
                            bool visibleOnly) {
    Search search{pid, className, caption, visibleOnly, {}};
    EnumWindows(collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND waitForWindow(DWORD pid, const wchar_t* className, const wchar_t* caption,
                   std::chrono::milliseconds timeout, bool visibleOnly) {
    std::vector<HWND> found;
    waitFor([&] { return !(found = windowsOf(pid, className, caption, visibleOnly)).empty(); },
            timeout);
    return found.empty() ? nullptr : found.front();
}

std::wstring windowText(HWND window) {
    wchar_t buffer[4096];
    // WM_GETTEXT reaches controls of other processes too.
    LRESULT n = SendMessageW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(buffer));
    return std::wstring(buffer, static_cast<std::size_t>(n));
}

std::wstring messageBoxText(HWND box) {
    HWND text = GetDlgItem(box, 0xFFFF);
    return text ? windowText(text) : std::wstring();
}

void pressDialogButton(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::optional<std::wstring> clipboardText() {
    if (!OpenClipboard(nullptr)) return std::nullopt;
    std::optional<std::wstring> text;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (auto* chars = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr) {
        text = chars;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

void sendKey(WORD vk, WORD scan, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = scan;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

void tapKey(WORD vk, WORD scan) {
    sendKey(vk, scan, false);
    sendKey(vk, scan, true);
}

void holdKey(WORD vk, WORD scan, int ms) {
    for (int held = 0; held < ms; held += 33) {
        sendKey(vk, scan, false);
        Sleep(33);
    }
    sendKey(vk, scan, true);
}

KeyLogWindow::KeyLogWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"E2EKeyLog";
    RegisterClassW(&wc);
    window_ = CreateWindowExW(0, L"E2EKeyLog", L"key log", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50,
                              300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    focus();
}

KeyLogWindow::~KeyLogWindow() {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
}

void KeyLogWindow::focus() {
    SetForegroundWindow(window_);
    SetFocus(window_);
    pump(100);
}

void KeyLogWindow::pump(int ms) {
    for (auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
         std::chrono::steady_clock::now() < end; Sleep(5)) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

LRESULT CALLBACK KeyLogWindow::proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<KeyLogWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    const bool down = msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN;
    if (self && (down || msg == WM_KEYUP || msg == WM_SYSKEYUP))
        self->log.push_back((down ? "down " : "up ") + std::to_string(wParam));
    if (self && down && wParam == 'V' && GetKeyState(VK_CONTROL) < 0)
        self->pasted.push_back(clipboardText().value_or(L""));
    if (self && msg == WM_CHAR && wParam >= L' ') self->text += static_cast<wchar_t>(wParam);
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

omnitap::KeyDef learnedKey(WORD vk, WORD scan, int action, const std::string& argument) {
    return {static_cast<std::int16_t>(vk), static_cast<std::int16_t>(scan),
            "Key " + std::to_string(vk), static_cast<std::int16_t>(action), argument};
}

std::string keysIni(std::initializer_list<omnitap::KeyDef> keys) {
    omnitap::KeyTable table;
    table.append(learnedKey(kProbeKey, kProbeScan, 0));
    for (const auto& key : keys)
        table.append(key);
    return omnitap::formatKeysIni(table);
}

bool waitUntilHooked(KeyLogWindow& log, std::chrono::milliseconds timeout) {
    const std::string down = "down " + std::to_string(kProbeKey);
    for (auto end = std::chrono::steady_clock::now() + timeout;
         std::chrono::steady_clock::now() < end;) {
        log.log.clear();
        tapKey(kProbeKey, kProbeScan);
        log.pump(150);
        if (std::find(log.log.begin(), log.log.end(), down) == log.log.end()) {
            log.log.clear();
            return true;
        }
    }
    return false;
}

} // namespace e2e

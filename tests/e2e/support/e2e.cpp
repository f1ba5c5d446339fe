#include "tests/e2e/support/e2e.h"

#include <gtest/gtest.h>

#include <thread>

namespace e2e {

std::wstring widen(const std::string& s) {
    if (s.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
    return out;
}

std::string narrow(const std::wstring& s) {
    if (s.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr,
                        nullptr);
    return out;
}

std::wstring binFolder() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p(path, n);
    return p.substr(0, p.find_last_of(L"\\/"));
}

TempFolder::TempFolder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    // Process ids are reused quickly under Wine: a name is taken only if the folder is new.
    static unsigned counter = GetTickCount();
    do {
        path_ = std::wstring(temp) + L"omnitap-e2e-" + std::to_wstring(GetCurrentProcessId()) +
                L"-" + std::to_wstring(++counter);
    } while (!CreateDirectoryW(path_.c_str(), nullptr) && GetLastError() == ERROR_ALREADY_EXISTS);
}

TempFolder::~TempFolder() {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((path_ + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring full = path_ + L"\\" + name;
            SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(full.c_str());
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(path_.c_str());
}

void TempFolder::write(const std::wstring& name, const std::string& bytes) const {
    HANDLE h = CreateFileW(file(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD wrote = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr);
    CloseHandle(h);
    ASSERT_EQ(wrote, bytes.size());
}

std::string readWholeFile(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return {};
    std::string out;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0)
        out.append(buffer, got);
    CloseHandle(h);
    return out;
}

std::string TempFolder::read(const std::wstring& name) const {
    return readWholeFile(file(name));
}

bool TempFolder::exists(const std::wstring& name) const {
    return GetFileAttributesW(file(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

Omnitap::Omnitap(const TempFolder& folder, const std::wstring& exeName) {
    std::wstring exe = folder.file(exeName);
    if (!CopyFileW((binFolder() + L"\\omnitap.exe").c_str(), exe.c_str(), FALSE)) {
        ADD_FAILURE() << "cannot copy omnitap.exe";
        return;
    }
    STARTUPINFOW si{};
    si.cb = sizeof si;
    std::wstring command = L"\"" + exe + L"\"";
    if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.path().c_str(), &si, &pi_)) {
        ADD_FAILURE() << "cannot start omnitap: " << GetLastError();
    }
}

Omnitap::~Omnitap() {
    kill();
    if (pi_.hProcess) CloseHandle(pi_.hProcess);
    if (pi_.hThread) CloseHandle(pi_.hThread);
}

bool Omnitap::running() const {
    return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

bool Omnitap::waitForExit(std::chrono::milliseconds timeout) const {
    return pi_.hProcess &&
           WaitForSingleObject(pi_.hProcess, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

DWORD Omnitap::exitCode() const {
    DWORD code = STILL_ACTIVE;
    if (pi_.hProcess) GetExitCodeProcess(pi_.hProcess, &code);
    return code;
}

void Omnitap::kill() {
    if (running()) {
        TerminateProcess(pi_.hProcess, 1);
        WaitForSingleObject(pi_.hProcess, 5000);
    }
}

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        std::this_thread::sleep_for(20ms);
    }
}

namespace {
struct Search {
    DWORD pid;
    const wchar_t* className;
    const wchar_t* caption;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK collect(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->pid) return TRUE;
    if (search->visibleOnly && !IsWindowVisible(window)) return TRUE;
    if (search->className) {
        wchar_t name[256];
        GetClassNameW(window, name, 256);
        if (lstrcmpiW(name, search->className) != 0) return TRUE;
    }
    if (search->caption && windowText(window) != search->caption) return TRUE;
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
    HWND found = nullptr;
    waitFor(
        [&] {
            auto all = windowsOf(pid, className, caption, visibleOnly);
            if (!all.empty()) found = all.front();
            return found != nullptr;
        },
        timeout);
    return found;
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

INPUT keyInput(WORD vk, WORD scan, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = scan;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

void sendKey(WORD vk, WORD scan, bool up) {
    INPUT input = keyInput(vk, scan, up);
    SendInput(1, &input, sizeof input);
}

void tapKey(WORD vk, WORD scan) {
    sendKey(vk, scan, false);
    sendKey(vk, scan, true);
}

} // namespace e2e

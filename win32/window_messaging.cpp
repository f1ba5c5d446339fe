#include "win32/window_messaging.h"

#include "win32/unique_handle.h"
#include "win32/wide.h"

#include <windows.h>

namespace omnitap::win32 {

namespace {

HWND toHandle(ports::WindowId window) {
    return reinterpret_cast<HWND>(window);
}

void closeProcess(HANDLE h) {
    CloseHandle(h);
}
using UniqueProcess = Unique<HANDLE, &closeProcess>;

// A 32-bit process's answers reach us sign-extended; its addresses lie below 4 GiB, so for
// such a process only the low 32 bits of an address mean anything.
std::uintptr_t addressIn(HANDLE process, std::uintptr_t address) {
#ifdef _WIN64
    BOOL wow64 = FALSE;
    if (IsWow64Process(process, &wow64) && wow64) return address & 0xFFFFFFFFu;
#else
    (void)process;
#endif
    return address;
}

} // namespace

ports::WindowId Win32WindowMessaging::findTopLevelWindow(const std::string& className) {
    return reinterpret_cast<ports::WindowId>(FindWindowW(widen(className).c_str(), nullptr));
}

std::optional<std::intptr_t>
Win32WindowMessaging::sendWithTimeout(ports::WindowId window, std::uint32_t message,
                                      std::uintptr_t wParam, std::intptr_t lParam,
                                      std::chrono::milliseconds timeout) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(toHandle(window), message, wParam, lParam, SMTO_ABORTIFHUNG,
                             static_cast<UINT>(timeout.count()), &answer))
        return std::nullopt;
    return static_cast<std::intptr_t>(answer);
}

void Win32WindowMessaging::post(ports::WindowId window, std::uint32_t message,
                                std::uintptr_t wParam, std::intptr_t lParam) {
    PostMessageW(toHandle(window), message, wParam, lParam);
}

void Win32WindowMessaging::bringToForeground(ports::WindowId window) {
    SetForegroundWindow(toHandle(window));
}

std::string Win32WindowMessaging::caption(ports::WindowId window) {
    // For another process's window this reads the caption the system keeps; it sends no
    // message, so a hung player cannot block it.
    int length = GetWindowTextLengthW(toHandle(window));
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    int got = GetWindowTextW(toHandle(window), text.data(), length + 1);
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return narrow(text);
}

ports::ProcessId Win32WindowMessaging::owningProcess(ports::WindowId window) {
    DWORD process = 0;
    if (!window || !GetWindowThreadProcessId(toHandle(window), &process)) return 0;
    return process;
}

std::size_t Win32WindowMessaging::readProcessMemory(ports::ProcessId process,
                                                    std::uintptr_t address, std::span<char> into) {
    if (process == 0) return 0;
    // Reading needs only PROCESS_VM_READ; the query right tells a 32-bit process apart and
    // is dropped where it is refused.
    UniqueProcess handle(
        OpenProcess(PROCESS_VM_READ | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process));
    if (!handle) handle.reset(OpenProcess(PROCESS_VM_READ, FALSE, process));
    if (!handle) return 0;
    // A failed or partial copy reports in `got` what arrived; the rest keeps the caller's bytes.
    SIZE_T got = 0;
    ReadProcessMemory(handle.get(), reinterpret_cast<LPCVOID>(addressIn(handle.get(), address)),
                      into.data(), into.size(), &got);
    return got;
}

} // namespace omnitap::win32

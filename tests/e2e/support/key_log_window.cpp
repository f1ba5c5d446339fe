#include "tests/e2e/support/key_log_window.h"

#include "tests/e2e/support/player_sim_process.h"

#include <chrono>
#include <thread>

namespace e2e {

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
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

LRESULT CALLBACK KeyLogWindow::proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<KeyLogWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN)) {
        self->log.push_back("down " + std::to_string(wParam));
        if (wParam == 'V' && GetKeyState(VK_CONTROL) < 0)
            self->pasted.push_back(clipboardText().value_or(L""));
    } else if (self && (msg == WM_KEYUP || msg == WM_SYSKEYUP)) {
        self->log.push_back("up " + std::to_string(wParam));
    } else if (self && msg == WM_CHAR && wParam >= L' ') {
        self->text += static_cast<wchar_t>(wParam);
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

} // namespace e2e

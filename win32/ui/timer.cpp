#include "win32/ui/timer.h"

#include "win32/ui/fault_barrier.h"

#include <stdexcept>

namespace omnitap::win32 {
namespace {
const wchar_t kTimerClass[] = L"OmnitapTimers";
} // namespace

TimerWindow::TimerWindow(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExW(instance, kTimerClass, &wc)) {
        wc.lpfnWndProc = &TimerWindow::procedure;
        wc.hInstance = instance;
        wc.lpszClassName = kTimerClass;
        RegisterClassExW(&wc);
    }
    hwnd_ = CreateWindowExW(0, kTimerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                            nullptr);
    if (!hwnd_) throw std::runtime_error("cannot create the timer window");
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TimerWindow::~TimerWindow() {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
}

UINT_PTR TimerWindow::add(Win32Timer& timer) {
    timers_[nextId_] = &timer;
    return nextId_++;
}

void TimerWindow::remove(UINT_PTR id) {
    KillTimer(hwnd_, id);
    timers_.erase(id);
}

LRESULT CALLBACK TimerWindow::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TimerWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && message == WM_TIMER) {
        return withinBarrier(nullptr, [&]() -> LRESULT {
            auto it = self->timers_.find(wParam);
            if (it != self->timers_.end()) it->second->tick();
            return 0;
        });
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

Win32Timer::Win32Timer(std::shared_ptr<TimerWindow> window)
    : window_(std::move(window)), id_(window_->add(*this)) {}

Win32Timer::~Win32Timer() {
    window_->remove(id_);
}

// Only a change restarts the count: a volume key's auto-repeat enables the running timer
// again and again, and must not keep pushing its tick away.
void Win32Timer::setInterval(int milliseconds) {
    if (milliseconds == interval_) return;
    interval_ = milliseconds;
    apply();
}

void Win32Timer::setEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    apply();
}

// As in VB, a timer with no interval does not run.
void Win32Timer::apply() {
    if (enabled_ && interval_ > 0)
        SetTimer(window_->handle(), id_, static_cast<UINT>(interval_), nullptr);
    else
        KillTimer(window_->handle(), id_);
}

void Win32Timer::tick() {
    auto handler = onTimer; // the handler may destroy this timer
    if (handler) handler();
}

} // namespace omnitap::win32

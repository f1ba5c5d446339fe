#pragma once
// Timers of the UI thread: SetTimer on a hidden message-only window, which hands each
// WM_TIMER to the timer object that owns the id.

#include "ports/ui.h"

#include <windows.h>

#include <map>
#include <memory>

namespace omnitap::win32 {

class Win32Timer;

class TimerWindow {
  public:
    explicit TimerWindow(HINSTANCE instance);
    ~TimerWindow();
    TimerWindow(const TimerWindow&) = delete;
    TimerWindow& operator=(const TimerWindow&) = delete;

    HWND handle() const { return hwnd_; }
    UINT_PTR add(Win32Timer& timer);
    void remove(UINT_PTR id);

  private:
    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    std::map<UINT_PTR, Win32Timer*> timers_;
    UINT_PTR nextId_ = 1; // never reused: a stale WM_TIMER in the queue finds no timer
};

class Win32Timer final : public ui::Timer {
  public:
    explicit Win32Timer(std::shared_ptr<TimerWindow> window);
    ~Win32Timer() override;
    Win32Timer(const Win32Timer&) = delete;
    Win32Timer& operator=(const Win32Timer&) = delete;

    void setInterval(int milliseconds) override;
    void setEnabled(bool enabled) override;
    bool enabled() const override { return enabled_; }
    void tick();

  private:
    void apply();

    std::shared_ptr<TimerWindow> window_;
    UINT_PTR id_;
    int interval_ = 0;
    bool enabled_ = false;
};

} // namespace omnitap::win32

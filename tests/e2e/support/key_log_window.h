#pragma once
// A focused window of the test process that records the keyboard messages it receives, to
// see which key events the program under test let through.

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

class KeyLogWindow {
  public:
    KeyLogWindow();
    ~KeyLogWindow();
    // Brings the window forward and gives it the keyboard focus.
    void focus();
    // Pumps this thread's messages for `ms` milliseconds, so that input reaches the window.
    void pump(int ms);
    // "down 65", "up 65", one line per message, in order.
    std::vector<std::string> log;
    // The characters it received.
    std::wstring text;
    // The clipboard's text at each Ctrl+V, as a program pasting would get it.
    std::vector<std::wstring> pasted;

  private:
    static LRESULT CALLBACK proc(HWND, UINT, WPARAM, LPARAM);
    HWND window_ = nullptr;
};

} // namespace e2e

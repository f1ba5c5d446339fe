#pragma once
// Talking to another program's window: the media player is found by its window class and
// driven with window messages, asked for numbers it answers synchronously, and read from its
// own memory. Its answers may be slow or never come, so every query has a time-out.

#include "ports/window_id.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace omnitap::ports {

// A process as the portable code knows it: the system's id, 0 = none.
using ProcessId = std::uint32_t;

class WindowMessaging {
  public:
    virtual ~WindowMessaging() = default;
    // The first top-level window of that class, whatever its caption; 0 = none.
    virtual WindowId findTopLevelWindow(const std::string& className) = 0;
    // Sends a message and waits at most `timeout` for the answer (and not at all once the
    // system deems the window hung). The answer is the full pointer-sized result; nothing
    // when the window did not answer in time or does not exist.
    virtual std::optional<std::intptr_t> sendWithTimeout(WindowId window, std::uint32_t message,
                                                         std::uintptr_t wParam,
                                                         std::intptr_t lParam,
                                                         std::chrono::milliseconds timeout) = 0;
    // Posts a message and returns at once; whether the window acts on it is not known.
    virtual void post(WindowId window, std::uint32_t message, std::uintptr_t wParam,
                      std::intptr_t lParam) = 0;
    virtual void bringToForeground(WindowId window) = 0;
    // The window's caption as it stands (UTF-8, nothing trimmed); empty for no window.
    virtual std::string caption(WindowId window) = 0;
    // The process that owns the window; 0 when there is no such window.
    virtual ProcessId owningProcess(WindowId window) = 0;
    // Copies up to `into.size()` bytes from `address` in that process's memory and returns
    // how many arrived. Bytes that could not be read keep what the caller put there.
    virtual std::size_t readProcessMemory(ProcessId process, std::uintptr_t address,
                                          std::span<char> into) = 0;
};

} // namespace omnitap::ports

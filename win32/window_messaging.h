#pragma once
#include "ports/window_messaging.h"

namespace omnitap::win32 {

class Win32WindowMessaging final : public ports::WindowMessaging {
  public:
    ports::WindowId findTopLevelWindow(const std::string& className) override;
    std::optional<std::intptr_t> sendWithTimeout(ports::WindowId window, std::uint32_t message,
                                                 std::uintptr_t wParam, std::intptr_t lParam,
                                                 std::chrono::milliseconds timeout) override;
    void post(ports::WindowId window, std::uint32_t message, std::uintptr_t wParam,
              std::intptr_t lParam) override;
    void bringToForeground(ports::WindowId window) override;
    std::string caption(ports::WindowId window) override;
    ports::ProcessId owningProcess(ports::WindowId window) override;
    std::size_t readProcessMemory(ports::ProcessId process, std::uintptr_t address,
                                  std::span<char> into) override;
};

} // namespace omnitap::win32

#pragma once
#include "platform/window_messaging.h"

namespace omnitap::win32 {

class Win32WindowMessaging final : public platform::WindowMessaging {
  public:
    platform::WindowId findTopLevelWindow(const std::string& className) override;
    std::optional<std::intptr_t> sendWithTimeout(platform::WindowId window, std::uint32_t message,
                                                 std::uintptr_t wParam, std::intptr_t lParam,
                                                 std::chrono::milliseconds timeout) override;
    void post(platform::WindowId window, std::uint32_t message, std::uintptr_t wParam,
              std::intptr_t lParam) override;
    void bringToForeground(platform::WindowId window) override;
    std::string caption(platform::WindowId window) override;
    platform::ProcessId owningProcess(platform::WindowId window) override;
    std::size_t readProcessMemory(platform::ProcessId process, std::uintptr_t address,
                                  std::span<char> into) override;
};

} // namespace omnitap::win32

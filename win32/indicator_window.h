#pragma once
// The volume indicator on Win32: a topmost tool window that never activates and lets clicks
// through (WS_EX_NOACTIVATE, WS_EX_TRANSPARENT on a layered window), drawn for the DPI of the
// monitor it is placed on, in the system's light, dark or high-contrast colours. Its caption
// is the text it shows. The notification area is Explorer's "Shell_TrayWnd".

#include "ports/indicator_window.h"
#include "win32/ui/dpi.h"

#include <windows.h>

#include <string>

namespace omnitap::win32 {

class Win32IndicatorWindow final : public ports::IndicatorWindow {
  public:
    static constexpr const wchar_t* kClassName = L"OmnitapVolumeIndicator";

    Win32IndicatorWindow() = default;
    ~Win32IndicatorWindow() override;
    Win32IndicatorWindow(const Win32IndicatorWindow&) = delete;
    Win32IndicatorWindow& operator=(const Win32IndicatorWindow&) = delete;

    std::optional<ports::Monitor> taskbarMonitor() override;
    ports::Monitor primaryMonitor() override;
    void place(const ports::ScreenRect& where, std::uint32_t dpi) override;
    void show(const std::string& text, std::optional<std::int32_t> level) override;
    void hide() override;

  private:
    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void create();
    void paint(HDC dc);

    HWND hwnd_ = nullptr; // made when first shown
    std::wstring caption_;
    std::optional<std::int32_t> level_;
    unsigned dpi_ = 0;
    FontHandle font_;
};

} // namespace omnitap::win32

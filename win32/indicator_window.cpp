#include "win32/indicator_window.h"

#include "win32/system_library.h"
#include "win32/ui/fault_barrier.h"
#include "win32/wide.h"

namespace omnitap::win32 {
namespace {

// At 96 dpi; scaled for the monitor's.
constexpr int kPadding = 14, kBarHeight = 8;

struct Colours {
    COLORREF back, text, bar, track;
};

// High contrast: the user's own colours. Otherwise the system's light or dark theme (what
// Windows 10 and later call "SystemUsesLightTheme"; light where it is not set).
Colours systemColours() {
    HIGHCONTRASTW contrast{sizeof contrast};
    if (SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
        (contrast.dwFlags & HCF_HIGHCONTRASTON))
        return {GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT),
                GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_GRAYTEXT)};
    DWORD light = 1, size = sizeof light;
    RegGetValueW(HKEY_CURRENT_USER,
                 L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
                 L"SystemUsesLightTheme", RRF_RT_REG_DWORD, nullptr, &light, &size);
    if (light) return {RGB(243, 243, 243), RGB(26, 26, 26), RGB(0, 103, 192), RGB(196, 196, 196)};
    return {RGB(40, 40, 40), RGB(255, 255, 255), RGB(76, 194, 255), RGB(96, 96, 96)};
}

// The monitor's DPI (Windows 8.1 and later), else the screen's.
unsigned dpiOfMonitor(HMONITOR monitor) {
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const auto perMonitor =
        functionIn<GetDpiForMonitorFn>(systemLibrary(L"shcore.dll"), "GetDpiForMonitor");
    UINT x = 0, y = 0;
    if (perMonitor && SUCCEEDED(perMonitor(monitor, 0 /* MDT_EFFECTIVE_DPI */, &x, &y)) && x)
        return x;
    return dpiOf(nullptr);
}

ports::Monitor monitorOf(HMONITOR monitor) {
    MONITORINFO info{sizeof info};
    GetMonitorInfoW(monitor, &info);
    auto rect = [](const RECT& r) { return ports::ScreenRect{r.left, r.top, r.right, r.bottom}; };
    return {rect(info.rcMonitor), rect(info.rcWork), dpiOfMonitor(monitor)};
}

void fill(HDC dc, RECT r, COLORREF colour) {
    SetDCBrushColor(dc, colour);
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

} // namespace

Win32IndicatorWindow::~Win32IndicatorWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
}

void Win32IndicatorWindow::create() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{sizeof wc};
    if (!GetClassInfoExW(instance, kClassName, &wc)) {
        wc.lpfnWndProc = &Win32IndicatorWindow::procedure;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kClassName;
        RegisterClassExW(&wc);
    }
    hwnd_ = CreateWindowExW(
        WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TRANSPARENT,
        kClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, this);
    if (hwnd_) SetLayeredWindowAttributes(hwnd_, 0, 240, LWA_ALPHA);
}

void Win32IndicatorWindow::show(const std::string& text, std::optional<std::int32_t> level) {
    if (!hwnd_) create();
    if (!hwnd_) return; // the volume changed all the same
    // A held key keeps the indicator where it is, and one at the end of the range (or a device
    // that does not move) changes nothing at all: its 200 ms steps cost no drawing.
    const std::wstring caption = widen(text);
    const bool shown = IsWindowVisible(hwnd_) != FALSE;
    if (shown && level == level_ && caption == caption_) return;
    level_ = level;
    caption_ = caption;
    SetWindowTextW(hwnd_, caption_.c_str());
    InvalidateRect(hwnd_, nullptr, TRUE);
    if (shown) return;
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void Win32IndicatorWindow::hide() {
    if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
}

std::optional<ports::Monitor> Win32IndicatorWindow::taskbarMonitor() {
    HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
    if (!taskbar) return std::nullopt;
    return monitorOf(MonitorFromWindow(taskbar, MONITOR_DEFAULTTOPRIMARY));
}

ports::Monitor Win32IndicatorWindow::primaryMonitor() {
    return monitorOf(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY));
}

void Win32IndicatorWindow::place(const ports::ScreenRect& where, std::uint32_t dpi) {
    if (!hwnd_) create();
    if (!hwnd_) return;
    if (dpi != dpi_ || !font_) {
        dpi_ = dpi;
        font_ = createFont({}, dpi);
    }
    SetWindowPos(hwnd_, HWND_TOPMOST, where.left, where.top, where.right - where.left,
                 where.bottom - where.top, SWP_NOACTIVATE);
}

void Win32IndicatorWindow::paint(HDC dc) {
    RECT client{};
    GetClientRect(hwnd_, &client);
    const Colours colours = systemColours();
    fill(dc, client, colours.text); // a frame, seen on any background
    RECT inside{client.left + 1, client.top + 1, client.right - 1, client.bottom - 1};
    fill(dc, inside, colours.back);
    auto px = [this](int pixelsAt96) { return MulDiv(pixelsAt96, static_cast<int>(dpi_), 96); };
    const int padding = px(kPadding), bar = px(kBarHeight);
    RECT text{padding, padding / 2, client.right - padding, client.bottom - padding / 2};
    if (level_) text.bottom = client.bottom - padding - bar;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colours.text);
    HGDIOBJ old = SelectObject(dc, font_.get());
    DrawTextW(dc, caption_.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
    SelectObject(dc, old);
    if (!level_) return;
    RECT track{padding, client.bottom - padding - bar, client.right - padding,
               client.bottom - padding};
    fill(dc, track, colours.track);
    track.right = track.left + MulDiv(track.right - track.left, *level_, 100);
    fill(dc, track, colours.bar);
}

LRESULT CALLBACK Win32IndicatorWindow::procedure(HWND hwnd, UINT message, WPARAM wParam,
                                                 LPARAM lParam) {
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(
            hwnd, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<Win32IndicatorWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (message) {
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_NCHITTEST:
        return HTTRANSPARENT;
    case WM_ERASEBKGND:
        return 1;
    case 0x02E0: // WM_DPICHANGED: sized for its monitor already, when shown
        return 0;
    case WM_PAINT:
        return withinBarrier(hwnd, [&]() -> LRESULT {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            if (self) self->paint(dc);
            EndPaint(hwnd, &ps);
            return 0;
        });
    default:
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

} // namespace omnitap::win32

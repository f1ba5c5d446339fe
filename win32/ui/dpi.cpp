#include "win32/ui/dpi.h"

#include "win32/system_library.h"

#include "resources/resource_ids.h"
#include "win32/wide.h"

#include <cmath>

namespace omnitap::win32 {

void deleteFont(HFONT font) {
    DeleteObject(font);
}
void destroyIcon(HICON icon) {
    DestroyIcon(icon);
}

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

// The per-monitor DPI functions exist from Windows 10 1607 on; importing them would stop the
// program from loading on anything older.
template <typename Function> Function user32Function(const char* name) {
    return functionIn<Function>(GetModuleHandleW(L"user32.dll"), name);
}

unsigned screenDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<unsigned>(dpi) : 96u;
}

} // namespace

unsigned dpiOf(HWND window) {
    static const auto perWindow = user32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (window && perWindow) {
        UINT dpi = perWindow(window);
        if (dpi > 0) return dpi;
    }
    return screenDpi();
}

int twipsToPixels(int twips, unsigned dpi) {
    return MulDiv(twips, static_cast<int>(dpi), 1440);
}

SIZE windowSizeFor(int width, int height, DWORD style, DWORD exStyle, unsigned dpi) {
    static const auto forDpi = user32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
    RECT r{0, 0, width, height};
    if (forDpi)
        forDpi(&r, style, FALSE, exStyle, dpi);
    else
        AdjustWindowRectEx(&r, style, FALSE, exStyle);
    return {r.right - r.left, r.bottom - r.top};
}

FontHandle createFont(const ui::Font& font, unsigned dpi) {
    if (font.face.empty()) {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
            return FontHandle(nullptr);
        // The metrics are at the system's DPI; the window may be on a screen with another.
        LOGFONTW logFont = metrics.lfMessageFont;
        logFont.lfHeight =
            MulDiv(logFont.lfHeight, static_cast<int>(dpi), static_cast<int>(screenDpi()));
        return FontHandle(CreateFontIndirectW(&logFont));
    }
    int height = -static_cast<int>(std::lround(font.points * dpi / 72.0));
    const DWORD pitch = font.fixedPitch ? FIXED_PITCH | FF_MODERN : DEFAULT_PITCH | FF_DONTCARE;
    return FontHandle(CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, pitch,
                                  widen(font.face).c_str()));
}

IconHandle loadAppIcon(HINSTANCE instance, int size) {
    HICON own = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDI_OMNITAP), IMAGE_ICON, size, size, 0));
    if (own) return IconHandle(own);
    // The system's icons are shared and must not be destroyed; a sized copy is ours.
    HICON shared = LoadIconW(nullptr, IDI_APPLICATION);
    return IconHandle(static_cast<HICON>(CopyImage(shared, IMAGE_ICON, size, size, 0)));
}

} // namespace omnitap::win32

#pragma once
// Measures that depend on the screen: the DPI of a window, twips to pixels, the fonts and the
// application icon at the right size. Newer functions are looked up at run time, so the
// program still starts on systems that lack them.

#include "ports/ui.h"
#include "win32/unique_handle.h"

#include <windows.h>

namespace omnitap::win32 {

void deleteFont(HFONT font);
void destroyIcon(HICON icon);
// Named "no handle" functions: Unique's default is a lambda, whose type differs in every
// file, so a type that a header shares must not use it.
inline HFONT noFont() {
    return nullptr;
}
inline HICON noIcon() {
    return nullptr;
}
using FontHandle = Unique<HFONT, &deleteFont, &noFont>;
using IconHandle = Unique<HICON, &destroyIcon, &noIcon>;

// The DPI the window is drawn at: GetDpiForWindow where the system has it (per-monitor),
// else the screen's logical DPI.
unsigned dpiOf(HWND window);
// pixels = twips * dpi / 1440, rounded to the nearest pixel.
int twipsToPixels(int twips, unsigned dpi);

// The outer size of a window whose client area is width x height pixels at `dpi`
// (AdjustWindowRectExForDpi where the system has it).
SIZE windowSizeFor(int width, int height, DWORD style, DWORD exStyle, unsigned dpi);

// A named font at its point size, or the system's message font when the face is empty.
FontHandle createFont(const ui::Font& font, unsigned dpi);

// The application icon (IDI_OMNITAP) at size x size pixels; the system's generic
// application icon when the program has none (test programs are built without resources).
IconHandle loadAppIcon(HINSTANCE instance, int size);

} // namespace omnitap::win32

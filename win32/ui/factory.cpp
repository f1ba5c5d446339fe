#include "win32/ui/factory.h"

#include "win32/ui/timer.h"
#include "win32/ui/window.h"
#include "win32/unique_handle.h"
#include "win32/wide.h"

#include <commctrl.h>

namespace omnitap::win32 {
namespace {

void destroyMenu(HMENU menu) {
    DestroyMenu(menu);
}
using MenuHandle = Unique<HMENU, &destroyMenu>;

} // namespace

Win32UiFactory::Win32UiFactory(HINSTANCE instance)
    : instance_(instance ? instance : GetModuleHandleW(nullptr)) {
    // The list view lives in the common controls; the standard classes are for common
    // controls 6, which the program's manifest asks for.
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&classes);
    timers_ = std::make_shared<TimerWindow>(instance_);
}

Win32UiFactory::~Win32UiFactory() = default;

std::unique_ptr<ui::Window>
Win32UiFactory::createWindow(const ui::WindowDesign& window,
                             const std::vector<ui::ControlDesign>& controls) {
    return std::make_unique<Win32Window>(instance_, window, controls);
}

std::unique_ptr<ui::Timer> Win32UiFactory::createTimer() {
    return std::make_unique<Win32Timer>(timers_);
}

int Win32UiFactory::showPopupMenu(ui::WindowId owner, const std::vector<ui::MenuItem>& items,
                                  std::optional<ports::ScreenPoint> at) {
    HWND window = reinterpret_cast<HWND>(owner);
    if (!IsWindow(window)) return -1; // a menu needs a window to report to
    MenuHandle menu(CreatePopupMenu());
    if (!menu) return -1;
    // Command ids are the item's index + 1: TrackPopupMenu answers 0 for "nothing chosen".
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].text == "-")
            AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuW(menu.get(), MF_STRING | (items[i].checked ? MF_CHECKED : MF_UNCHECKED),
                        i + 1, widen(items[i].text).c_str());
        if (items[i].isDefault) SetMenuDefaultItem(menu.get(), static_cast<UINT>(i + 1), FALSE);
    }
    // Without the owner in front, a menu opened from the tray stays open when the user clicks
    // elsewhere; the WM_NULL afterwards lets it close properly the next time.
    SetForegroundWindow(window);
    POINT place{};
    if (at)
        place = {at->x, at->y};
    else
        GetCursorPos(&place);
    int chosen = TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, place.x,
                                place.y, 0, window, nullptr);
    PostMessageW(window, WM_NULL, 0, 0);
    return chosen > 0 ? chosen - 1 : -1;
}

} // namespace omnitap::win32

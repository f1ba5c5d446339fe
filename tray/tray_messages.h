#pragma once
// Private window messages of the tray icon, shared by the icon and the control window.

namespace omnitap {

// The shell's callback message for the tray icon, sent to the control window
// (WM_APP + 1). The low word of lParam carries the mouse message that happened over
// the icon; the window procedure passes it to TrayIconFs::handleTrayMessage.
constexpr unsigned kTrayCallbackMessage = 0x8000 + 1;

// The notification codes that arrive in that low word and mean something to us. Once the
// shell took NOTIFYICON_VERSION, it follows a right-button release with WM_CONTEXTMENU, which
// Shift+F10 and the menu key send alone, and a left-button release with NIN_SELECT; Enter
// and Space on the icon send NIN_KEYSELECT.
constexpr int kTrayRightButtonUp = 0x0205; // WM_RBUTTONUP
constexpr int kTrayDoubleClick = 0x0203;   // WM_LBUTTONDBLCLK
constexpr int kTrayContextMenu = 0x007B;   // WM_CONTEXTMENU
constexpr int kTraySelect = 0x0400;        // NIN_SELECT
constexpr int kTrayKeySelect = 0x0401;     // NIN_KEYSELECT

} // namespace omnitap

#pragma once
// Private window messages of the tray icon, shared by the icon and the control window.

namespace omnitap {

// The shell's callback message for the tray icon, sent to the control window
// (WM_APP + 1). The low word of lParam carries the mouse message that happened over
// the icon; the window procedure passes it to TrayIconFs::handleTrayMessage.
constexpr unsigned kTrayCallbackMessage = 0x8000 + 1;

// The notification codes that arrive in that low word and mean something to us.
constexpr int kTrayRightButtonUp = 517; // WM_RBUTTONUP

} // namespace omnitap

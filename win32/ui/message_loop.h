#pragma once
// The UI thread's message loop. The windows are modeless, so the loop itself must give each
// of them Tab, Enter and Esc, through IsDialogMessage, as a dialog's own loop would.

#include <windows.h>

namespace omnitap::win32 {

// For a message to one of the control layer's windows (or any of their controls): lets
// IsDialogMessage handle it and returns true if it did (the message is then dispatched).
// Otherwise returns false, and the caller translates and dispatches it as usual.
bool translateDialogMessage(MSG& msg);

// GetMessage, translateDialogMessage, TranslateMessage, DispatchMessage until WM_QUIT;
// returns WM_QUIT's exit code.
int runMessageLoop();

} // namespace omnitap::win32

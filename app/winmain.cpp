// The program's entry point: start-up, then the UI thread's message loop until the control
// window ends the process.

#include "app/omnitap_app.h"
#include "win32/ui/message_loop.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Static: the hand-off queue inside is too large for the stack.
    static omnitap::win32::OmnitapApp app;
    if (std::optional<int> exitCode = app.Main()) return *exitCode;
    return omnitap::win32::runMessageLoop();
}

// The program's entry point: start-up, then the UI thread's message loop until the control
// window ends the process.

#include "app/omnitap_app.h"
#include "win32/system_library.h"
#include "win32/ui/message_loop.h"

#include <windows.h>

namespace {

// Whatever the program or the system loads for it by name from now on comes from the system
// folder, never from the exe's folder, where anything may sit beside a downloaded program.
// Looked up rather than imported: Windows 7 has it only with an update.
void loadDllsFromTheSystemFolderOnly() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    auto setDefault = omnitap::win32::functionIn<SetDefaultDllDirectoriesFn>(
        GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
    if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    loadDllsFromTheSystemFolderOnly();
    omnitap::win32::OmnitapApp app;
    if (std::optional<int> exitCode = app.Main()) return *exitCode;
    return omnitap::win32::runMessageLoop();
}

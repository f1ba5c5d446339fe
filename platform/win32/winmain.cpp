// The program's entry point: the real seams, start-up, then the message loop.

#include "app/startup.h"
#include "keyboard/keyboard_state.h"
#include "platform/win32/files.h"
#include "platform/win32/system_seams.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    using namespace omnitap;
    win32::Win32Files files;
    win32::Win32TextCodec codec;
    win32::Win32MessageBoxes messages;
    win32::Win32AppInfo appInfo;
    KeyboardState state;

    Main(state, KeyFileIo{files, codec, messages}, appInfo, StartupSteps{});

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

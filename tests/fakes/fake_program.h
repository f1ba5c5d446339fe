#pragma once
// The whole program over seams in memory: what the Windows entry point builds, with fakes.

#include "app/program.h"
#include "tests/fakes/fake_ui.h"
#include "tests/fakes/fakes.h"

namespace omnitap::fakes {

struct FakeProgram {
    FakeFileSystem files;
    FakeCodec codec;
    FakeMessageBoxes messages;
    FakeAppInfo appInfo;
    ShellRecorder shell;
    FakeWindowMessaging messaging;
    FakeClipboard clipboard;
    FakeTyping typing;
    FakeTrayShell trayShell;
    FakeUiFactory ui;
    FakeKeyboardHook hook;
    FakeRunningCopies copies;
    FakeHookOutput hookOutput;
    HookChannel channel{hookOutput};
    Program program{Seams{files, codec, messages, appInfo, shell, messaging, clipboard, typing,
                          trayShell, ui, hook, copies},
                    channel, ports::VolumeBackends{}}; // no volume device

    std::string iniPath() const { return appInfo.folder + "\\keys.ini"; }
    FakeWindow& controlWindow() { return ui.window("omnitap control window"); }
    // A tap of the key through the hook's decision: whether its press was swallowed.
    bool hookSwallowsPress(std::uint32_t vk) {
        KeyEvent event;
        event.vkCode = vk;
        auto nothingHeld = [](std::uint8_t) { return false; };
        bool swallowed = channel.onKeyEvent(event, nothingHeld);
        event.flags = kKeyUpFlag;
        channel.onKeyEvent(event, nothingHeld);
        return swallowed;
    }
};

} // namespace omnitap::fakes

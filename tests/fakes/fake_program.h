#pragma once
// The whole program over seams in memory: what the Windows entry point builds, with fakes.

#include "app/program.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_system.h"
#include "tests/fakes/fake_ui.h"
#include "tests/fakes/player_fakes.h"
#include "tests/fakes/tray_fakes.h"
#include "tests/fakes/volume_fakes.h"

#include <string>
#include <vector>

namespace omnitap::fakes {

// Records installs and removals; the events themselves go through the channel.
class FakeKeyboardHook : public ports::KeyboardHook {
  public:
    std::vector<std::string> calls;
    ports::WindowId notify = 0;
    void hookKeyboard(ports::WindowId window) override {
        notify = window;
        calls.push_back("hook");
    }
    void unhookKeyboard() override { calls.push_back("unhook"); }
    void renewHook() override { calls.push_back("renew"); }
    void loseHook() override { calls.push_back("lose"); }
};

// Counts the wake-ups instead of posting them.
struct CountingWake : Wake {
    int wakes = 0;
    bool wake() override { return ++wakes > 0; }
};

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
    CountingWake wake;
    HookChannel channel{wake};
    FakeVolumeBackend* volume = nullptr; // the device, owned by the program's mixer
    Program program{Seams{files, codec, messages, appInfo, shell, messaging, clipboard, typing,
                          trayShell, ui, hook, copies},
                    channel, volumeDevice()};

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

  private:
    ports::VolumeBackends volumeDevice() {
        ports::VolumeBackends backends;
        auto device = std::make_unique<FakeVolumeBackend>();
        volume = device.get();
        backends.push_back(std::move(device));
        return backends;
    }
};

} // namespace omnitap::fakes

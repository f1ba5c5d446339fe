#pragma once
// The whole program over seams in memory: what the Windows entry point builds, with fakes.

#include "app/program.h"
#include "tests/fakes/desktop_fakes.h"
#include "tests/fakes/fake_ui.h"
#include "text/utf8.h"
#include "tray/tray_icon.h"

namespace omnitap::fakes {

// A wide tray record's text field, up to its terminator.
template <std::size_t N> std::string wideText(const std::array<std::uint8_t, N>& field) {
    std::size_t end = 0;
    while (end + 1 < N && (field[end] || field[end + 1]))
        end += 2;
    return utf16leToUtf8(std::string_view(reinterpret_cast<const char*>(field.data()), end));
}

// keys.ini with one key: Next Track on the media key.
inline const std::string kOneKey =
    "[keys]\r\nnumkeys=1\r\nkey1_name=Next\r\nkey1_mapm=33\r\nkey1_code=176\r\n";

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
    FakeStartupList startup;
    FakeIndicatorWindow indicator;
    FakeSessionEnd sessionEnd;
    FakeHookOutput hookOutput;
    HookChannel channel{hookOutput};
    Program program{Seams{files, codec, messages, appInfo, shell, messaging, clipboard, typing,
                          trayShell, ui, hook, copies, startup, indicator, sessionEnd},
                    channel, ports::VolumeBackends{}}; // no volume device

    std::string iniPath() const { return appInfo.folder + "\\keys.ini"; }
    FakeWindow& controlWindow() { return ui.window("omnitap control window"); }
    std::optional<int> start(const std::string& ini, const std::string& exeBaseName = "omnitap") {
        files.files[iniPath()] = ini;
        appInfo.baseName = exeBaseName;
        return program.Main();
    }
    // A message to the control window, as the system, the shell or the hook sends it.
    bool message(std::uint32_t message, std::intptr_t lParam = 0, std::uintptr_t wParam = 0) {
        return controlWindow().onPrivateMessage(message, wParam, lParam);
    }
    // The tray menu's entry `text` chosen after a right-click on the icon (the shell sends the
    // release, then WM_CONTEXTMENU); the menu as it looked, checked entries marked.
    std::string choose(const std::string& text) {
        ui.menuChoice = text;
        message(ports::kTrayCallbackMessage, kTrayRightButtonUp);
        message(ports::kTrayCallbackMessage, kTrayContextMenu);
        std::string entries;
        for (const ui::MenuItem& item : ui.menusShown.back())
            entries += item.text + (item.checked ? " (checked)|" : "|");
        return entries;
    }
    std::string trayIcon() {
        const ports::TrayIconRecord& r = trayShell.calls.back().record;
        return wideText(r.szTip) + (r.hIcon == trayShell.greyedIcon() ? " (greyed)" : "");
    }
    // A tap of the key through the hook's decision: whether its press was swallowed.
    bool hookSwallowsPress(std::uint32_t vk) {
        bool swallowed = channel.onKeyEvent({vk}, nothingHeld);
        channel.onKeyEvent({vk, 0, kKeyUpFlag}, nothingHeld);
        return swallowed;
    }
};

} // namespace omnitap::fakes

#include "win32/typing.h"

#include "ports/input_marker.h"
#include "win32/wide.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <vector>

namespace omnitap::win32 {

void Win32Typing::typeText(std::string_view text) {
    std::wstring units = widen(text);
    if (units.empty()) return;
    // A press and a release per UTF-16 unit; a character beyond the basic plane goes as its
    // two surrogates, which the system joins into one character.
    std::vector<INPUT> inputs;
    inputs.reserve(units.size() * 2);
    for (wchar_t unit : units) {
        for (DWORD up : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = static_cast<WORD>(unit);
            input.ki.dwFlags = KEYEVENTF_UNICODE | up;
            input.ki.dwExtraInfo = ports::kOwnInputMarker;
            inputs.push_back(input);
        }
    }
    // One call, so that no real keystroke of the user lands between two of ours.
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void Win32Typing::sendMarkedKeys(std::span<const ports::KeyStroke> keys, std::uintptr_t marker) {
    std::array<INPUT, 256> inputs{};
    while (!keys.empty()) {
        const std::size_t n = std::min(keys.size(), inputs.size());
        for (std::size_t i = 0; i < n; ++i) {
            inputs[i] = INPUT{INPUT_KEYBOARD};
            inputs[i].ki.wVk = keys[i].vk;
            inputs[i].ki.wScan = keys[i].scanCode;
            inputs[i].ki.dwFlags =
                (keys[i].up ? KEYEVENTF_KEYUP : 0) | (keys[i].extended ? KEYEVENTF_EXTENDEDKEY : 0);
            inputs[i].ki.dwExtraInfo = marker;
        }
        SendInput(static_cast<UINT>(n), inputs.data(), sizeof(INPUT));
        keys = keys.subspan(n);
    }
}

ports::Typing::RepeatSettings Win32Typing::keyRepeat() {
    RepeatSettings settings;
    SystemParametersInfoW(SPI_GETKEYBOARDDELAY, 0, &settings.delay, 0);
    SystemParametersInfoW(SPI_GETKEYBOARDSPEED, 0, &settings.speed, 0);
    return settings;
}

std::string Win32Typing::keyName(std::uint16_t scanCode, bool extended) {
    wchar_t name[64];
    const LONG lParam = static_cast<LONG>(scanCode & 0xFF) << 16 | (extended ? 1L << 24 : 0);
    const int length = GetKeyNameTextW(lParam, name, 64);
    return length > 0 ? narrow(std::wstring_view(name, static_cast<std::size_t>(length)))
                      : std::string();
}

bool Win32Typing::keyIsDown(std::uint8_t vk) {
    return (GetAsyncKeyState(vk) & 0x8000) != 0;
}

} // namespace omnitap::win32

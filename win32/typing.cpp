#include "win32/typing.h"

#include "keys/send_keys.h"
#include "ports/input_marker.h"
#include "win32/wide.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <vector>

namespace omnitap::win32 {

void Win32Typing::typeText(std::string_view text) {
    std::vector<ports::KeyStroke> strokes;
    appendTextStrokes(strokes, text);
    sendMarkedKeys(strokes, ports::kOwnInputMarker);
}

std::optional<ports::Typing::CharacterKey> Win32Typing::keyOfCharacter(char32_t character) {
    if (character >= 0x10000) return std::nullopt;
    const SHORT key = VkKeyScanW(static_cast<WCHAR>(character));
    // The low byte is the key, the high one the shift state: 1 Shift, 2 Ctrl, 4 Alt. A key
    // that needs Ctrl or Alt (AltGr) is not what a modifier in front of it means.
    if (key == -1 || (key >> 8 & 6) != 0) return std::nullopt;
    const auto vk = static_cast<std::uint8_t>(key & 0xFF);
    return CharacterKey{{vk, static_cast<std::uint16_t>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC))},
                        (key >> 8 & 1) != 0};
}

void Win32Typing::sendMarkedKeys(std::span<const ports::KeyStroke> keys, std::uintptr_t marker) {
    // One call, so that no real keystroke lands between two of them; the hook thread's few
    // keys go from the stack, without allocating.
    std::array<INPUT, 256> few{};
    std::vector<INPUT> many(keys.size() > few.size() ? keys.size() : 0);
    INPUT* inputs = many.empty() ? few.data() : many.data();
    for (std::size_t i = 0; i < keys.size(); ++i) {
        inputs[i] = INPUT{INPUT_KEYBOARD};
        inputs[i].ki.wVk = keys[i].vk;
        inputs[i].ki.wScan = keys[i].scanCode;
        inputs[i].ki.dwFlags = (keys[i].up ? KEYEVENTF_KEYUP : 0) |
                               (keys[i].extended ? KEYEVENTF_EXTENDEDKEY : 0) |
                               (keys[i].text ? KEYEVENTF_UNICODE : 0);
        inputs[i].ki.dwExtraInfo = marker;
    }
    if (!keys.empty()) SendInput(static_cast<UINT>(keys.size()), inputs, sizeof(INPUT));
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

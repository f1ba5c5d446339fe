#pragma once
// Key presses from the X server Wine draws on, as a keyboard makes them: xdotool, a Unix
// program, which Wine starts when given its path (but gives no handle to wait on).

#include "tests/e2e/support/e2e.h"

namespace e2e {

// F12 has no meaning in the tests' tables: its press and release passing to `log` say that
// everything xdotool pressed before it has reached the program and the window.
inline constexpr const char* kX11EndKey = "F12";

// `xdotool COMMANDS` ("key a", "keydown F10 key a keyup F10") into the window whose caption
// ends with `focus` (no blanks), or whatever has the focus; true once xdotool is done.
inline bool runXdotool(const std::string& commands, const std::wstring& focus = L"") {
    TempFolder done;
    const std::wstring to =
        focus.empty() ? L"" : L"search --name " + focus + L"$ windowfocus --sync ";
    Process shell(L"Z:\\bin\\sh",
                  L" -c \"xdotool " + to + omnitap::win32::widen(commands) + L" && touch done\"",
                  done.path());
    return waitFor([&] { return done.exists(L"done"); }, 20s);
}
// `xdotool key KEYS`, a key after the other.
inline bool pressInX11(const std::string& keys, const std::wstring& focus = L"") {
    return runXdotool("key --delay 60 " + keys, focus);
}
// The same into the focused `log`, once it has seen all of it; the end key's lines are taken
// out of the log again.
inline bool pressInX11(KeyLogWindow& log, const std::string& keys) {
    const Lines end{"down " + std::to_string(VK_F12), "up " + std::to_string(VK_F12)};
    const bool seen =
        pressInX11(keys + " " + kX11EndKey, L"^E2EKeyLog") && waitFor([&] {
            return log.log.size() >= 2 && Lines(log.log.end() - 2, log.log.end()) == end;
        });
    if (seen) log.log.resize(log.log.size() - 2);
    return seen;
}

} // namespace e2e

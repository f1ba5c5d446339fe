#pragma once
// keys.ini texts for the end-to-end tests, and waiting for the program's hook.

#include "keys/keys_ini.h"
#include "tests/e2e/support/e2e.h"
#include "tests/e2e/support/key_log_window.h"

#include <initializer_list>
#include <string>

namespace e2e {

// F24 carries no action in the tests' tables: a key to probe the hook with.
constexpr WORD kProbeKey = VK_F24;
constexpr WORD kProbeScan = 0x76;

omnitap::KeyDef learnedKey(WORD vk, WORD scan, int action, const std::string& argument = "",
                           const std::string& name = "");
// A keys.ini with the probe key first, then `keys`.
std::string keysIni(std::initializer_list<omnitap::KeyDef> keys);

// Taps the probe key until the program swallows it (its hook is in place); false on time-out.
bool waitUntilHooked(KeyLogWindow& log, std::chrono::milliseconds timeout = 15s);

// Holds a key for `ms` as a keyboard does: presses repeated every 33 ms, then one release.
void holdKey(WORD vk, WORD scan, int ms);

// The program's hidden control window.
HWND controlWindow(const Omnitap& app, std::chrono::milliseconds timeout = 10s);

} // namespace e2e

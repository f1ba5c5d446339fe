#include "tests/e2e/support/omnitap_keys.h"

#include <algorithm>

namespace e2e {

omnitap::KeyDef learnedKey(WORD vk, WORD scan, int action, const std::string& argument,
                           const std::string& name) {
    omnitap::KeyDef key;
    key.code = static_cast<std::int16_t>(vk);
    key.code2 = static_cast<std::int16_t>(scan);
    key.mapm = static_cast<std::int16_t>(action);
    key.webs = argument;
    key.name = name.empty() ? "Key " + std::to_string(vk) + " - " + std::to_string(scan) : name;
    return key;
}

std::string keysIni(std::initializer_list<omnitap::KeyDef> keys) {
    omnitap::KeyTable table;
    table.append(learnedKey(kProbeKey, kProbeScan, 0, "", "Probe"));
    for (const auto& key : keys)
        table.append(key);
    return omnitap::formatKeysIni(table);
}

bool waitUntilHooked(KeyLogWindow& log, std::chrono::milliseconds timeout) {
    auto end = std::chrono::steady_clock::now() + timeout;
    const std::string down = "down " + std::to_string(kProbeKey);
    while (std::chrono::steady_clock::now() < end) {
        log.log.clear();
        tapKey(kProbeKey, kProbeScan);
        log.pump(150);
        if (std::find(log.log.begin(), log.log.end(), down) == log.log.end()) {
            log.log.clear();
            return true;
        }
    }
    return false;
}

void holdKey(WORD vk, WORD scan, int ms) {
    for (int held = 0; held < ms; held += 33) {
        sendKey(vk, scan, false);
        Sleep(33);
    }
    sendKey(vk, scan, true);
}

HWND controlWindow(const Omnitap& app, std::chrono::milliseconds timeout) {
    return waitForWindow(app.pid(), L"OmnitapControlWindow", nullptr, timeout);
}

} // namespace e2e

// typing-comparison: what typing through Omnitap costs against any hook. Types keys (one
// SendInput call per event, as a keyboard sends them) into a window of its own while either a
// bare pass-through low-level hook (this program again, started with --bare-hook) or
// omnitap.exe runs in another process, in turn (bare, Omnitap, bare, Omnitap, ...):
//   400 keys, with 10,000 learned keys that they do not touch;
//   1,000 presses of F9 acting as B (whose press, release and the other key's come back from
//   Omnitap as B), against 1,000 presses of B through the bare hook.
// Each hook types five times and keeps its best time, which another program's load on the
// machine can only make worse; it prints both and each round's ratio, then the median ratio.
// Run it under Wine or Windows, from the folder of omnitap.exe:
//   typing-comparison.exe [ROUNDS]

#include "tests/e2e/support/e2e.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>

using namespace e2e;

namespace {

const wchar_t* const kBareHookReady = L"omnitap-typing-comparison-bare-hook";

LRESULT CALLBACK passOn(int code, WPARAM wParam, LPARAM lParam) {
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

int bareHook() {
    HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, passOn, GetModuleHandleW(nullptr), 0);
    SetEvent(CreateEventW(nullptr, TRUE, FALSE, kBareHookReady));
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    UnhookWindowsHookEx(hook);
    return 0;
}

// Milliseconds from the first key sent to the last one received by the focused window: `keys`
// presses and releases, of the key `vk(i)` for the i-th.
double typeKeys(KeyLogWindow& log, int keys, const std::function<WORD(int)>& vk) {
    log.focus();
    log.log.clear();
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int i = 0; i < 2 * keys; ++i)
        sendKey(vk(i / 2), static_cast<WORD>(MapVirtualKeyW(vk(i / 2), MAPVK_VK_TO_VSC)),
                i % 2 == 1);
    waitFor([&] { return log.log.size() >= static_cast<std::size_t>(2 * keys); }, 60s);
    QueryPerformanceCounter(&end);
    return 1000.0 * double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}

// Rounds of the bare hook typing `bareVk`, then Omnitap over the keys.ini of `folder` typing
// `omnitapVk`; the median ratio, or a negative number when a hook did not come.
double compare(const char* what, int rounds, const TempFolder& folder, int keys,
               const std::function<WORD(int)>& bareVk, const std::function<WORD(int)>& omnitapVk) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, kBareHookReady);
    KeyLogWindow log;
    std::vector<double> ratios;
    for (int round = 1; round <= rounds; ++round) {
        double ms[2] = {};
        for (int omnitap = 0; omnitap < 2; ++omnitap) {
            ResetEvent(ready);
            std::unique_ptr<Process> hook =
                omnitap ? std::make_unique<Omnitap>(folder)
                        : std::make_unique<Process>(self, L" --bare-hook", L"");
            const bool hooked =
                omnitap ? waitUntilHooked(log) : WaitForSingleObject(ready, 10000) == WAIT_OBJECT_0;
            if (!hooked) {
                std::printf("the hook did not come\n");
                return -1;
            }
            const auto& vk = omnitap ? omnitapVk : bareVk;
            ms[omnitap] = typeKeys(log, keys, vk);
            for (int again = 1; again < 5; ++again)
                ms[omnitap] = std::min(ms[omnitap], typeKeys(log, keys, vk));
        }
        ratios.push_back(ms[1] / ms[0]);
        std::printf("%s, round %d: bare hook %.0f ms, Omnitap %.0f ms, ratio %.2f\n", what, round,
                    ms[0], ms[1], ratios.back());
        std::fflush(stdout);
    }
    std::sort(ratios.begin(), ratios.end());
    std::printf("%s: median ratio %.2f\n", what, ratios[ratios.size() / 2]);
    return ratios[ratios.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--bare-hook") return bareHook();
    const int rounds = std::max(argc > 1 ? std::atoi(argv[1]) : 5, 1);
    // 10,000 keys the typing does not touch: by their scan codes, on code 255.
    omnitap::KeyTable table;
    table.append(learnedKey(kProbeKey, 0));
    for (int i = 1; i < 10'000; ++i)
        table.append({255, static_cast<std::int16_t>(i), "Key " + std::to_string(i), 0, ""});
    TempFolder large, remapped;
    large.write(L"keys.ini", omnitap::formatKeysIni(table));
    remapped.write(L"keys.ini", keysIni({learnedKey(VK_F9, 501, "B")}));
    auto letters = [](int i) { return static_cast<WORD>('A' + i % 26); };
    if (compare("400 keys, 10,000 learned", rounds, large, 400, letters, letters) < 0) return 1;
    if (compare(
            "1,000 presses of F9 acting as B", rounds, remapped, 1000,
            [](int) { return WORD{'B'}; }, [](int) { return WORD{VK_F9}; }) < 0)
        return 1;
    return 0;
}

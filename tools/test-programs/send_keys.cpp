// send-keys: injects key events for scripts, e.g. `send-keys.exe 124:100:down 124:100:up`
// (virtual-key code : scan code : down or up); `124:100:hold3000` holds the key down for 3 s
// as a keyboard does, a press every 33 ms, and does not let it go.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        unsigned vk = 0, scan = 0;
        char direction[8] = "";
        if (std::sscanf(argv[i], "%u:%u:%7s", &vk, &scan, direction) != 3) {
            std::fprintf(stderr, "send-keys: bad event %s\n", argv[i]);
            return 2;
        }
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = static_cast<WORD>(vk);
        input.ki.wScan = static_cast<WORD>(scan);
        input.ki.dwFlags = std::strcmp(direction, "up") == 0 ? KEYEVENTF_KEYUP : 0;
        const int holdMs = std::strncmp(direction, "hold", 4) == 0 ? std::atoi(direction + 4) : 0;
        for (int held = 0; held <= holdMs; held += 33) {
            if (SendInput(1, &input, sizeof input) != 1) return 1;
            Sleep(holdMs ? 33 : 20);
        }
    }
    return 0;
}

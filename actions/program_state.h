#pragma once
// The state that the key handling, the actions and the windows share. It lives on the UI
// thread; the hook thread sees only the snapshots published from it.

#include "keys/key_table.h"

#include <cstdint>
#include <string>

namespace omnitap {

struct ProgramState {
    std::string exeFolder; // the program's own
    std::string iniPath;
    KeyTable keyTable;
    bool findingKey = false;     // the Key Finder is open
    bool configOpen = false;     // the Edit Configuration window is open
    std::int32_t volumeStep = 0; // +5 or -5 while a volume key is held
};

} // namespace omnitap

#pragma once
// What the configuration windows share: the key table and its file, the control layer, and
// the two things the keyboard hook must hear about at once.

#include "keyboard/keyboard_state.h"
#include "keyboard/keys_ini.h"
#include "platform/message_box.h"
#include "platform/ui.h"

#include <functional>

namespace omnitap {

struct ConfigContext {
    KeyboardState& state; // keyTable, iniPath, findingKey, configOpen
    KeyFileIo io;         // saveKeys(io, state.iniPath, state.keyTable)
    ui::UiFactory& ui;
    platform::MessageBoxes& messages;
    // Called after every change of state.keyTable, so that the hook sees the new table.
    std::function<void()> tableChanged;
    // The Key Finder starts (true) or stops (false) waiting for a key: the hook then catches
    // the next key event for it.
    std::function<void(bool waiting)> finderWaiting;
};

} // namespace omnitap

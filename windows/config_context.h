#pragma once
// What the configuration windows share: the key table and its file, the control layer, and
// the hook's view of the table, which must follow every change at once.

#include "actions/keyboard_state.h"
#include "hook/hook_channel.h"
#include "keys/keys_ini.h"
#include "ports/message_box.h"
#include "ports/ui.h"

namespace omnitap {

struct ConfigContext {
    KeyboardState& state; // keyTable, iniPath, findingKey, configOpen
    KeyFile& file;
    ui::UiFactory& ui;
    ports::MessageBoxes& messages;
    HookChannel& hook;

    // After every change of state.keyTable: the hook matches against the new table.
    void tableChanged() { hook.publish(state.keyTable); }
    // Writes the table; a failure is reported in a box owned by the window that saved.
    bool save(ports::WindowId owner) { return file.save(state.iniPath, state.keyTable, owner); }
    // Back to the table keys.ini holds, for the hook as well.
    void returnToFile() {
        if (state.keyTable == file.held()) return;
        state.keyTable = file.held();
        tableChanged();
    }
};

} // namespace omnitap

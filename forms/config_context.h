#pragma once
// What the configuration windows share: the key table and its file, the control layer, and
// the hook's view of the table, which must follow every change at once.
//
// The table holds Edit Configuration's edits, which act at once and are written only by
// "Save && Close". A key added or removed in the Key Editor or the Key Finder is made both
// there and in the keys the file keeps, and only those are written: the edits under way stay
// unsaved, and closing Edit Configuration without saving them returns to the keys kept.

#include "actions/program_state.h"
#include "hook/hook_channel.h"
#include "keys/key_file.h"
#include "ports/message_box.h"
#include "ports/session_end.h"
#include "ports/ui.h"

#include <functional>

namespace omnitap {

struct ConfigContext {
    ProgramState& state; // keyTable, iniPath, findingKey, configOpen
    KeyFile& file;
    ui::UiFactory& ui;
    ports::MessageBoxes& messages;
    HookChannel& hook;
    ports::SessionEnd& session; // held up while edits not saved are asked about
    // Set by the windows: the table was replaced with the keys of a changed keys.ini, and
    // every list shows them now.
    std::function<void()> keysLoaded;

    // After every change of state.keyTable: the hook matches against the new table.
    void tableChanged() { hook.publish(state.keyTable); }
    // "Save && Close": the table with its edits; a failure is reported in a box owned by the
    // window that saved. False when nothing was written, also when a changed keys.ini's keys
    // were taken instead.
    bool save(ports::WindowId owner) { return settle(file.save(state.keyTable, owner)); }
    // A key added or removed, in the table and in the keys kept; saveKept() writes those. The
    // hook has it before the write: a failed write shows a box, and keys arrive meanwhile.
    void change(const std::function<void(KeyTable&)>& change) {
        change(state.keyTable);
        change(file.kept());
        tableChanged();
    }
    bool saveKept(ports::WindowId owner) { return settle(file.saveKept(owner, editsUnsaved())); }
    bool editsUnsaved() const { return state.keyTable != file.kept(); }
    // Back to the keys kept, without the edits, for the hook as well.
    void dropEdits() {
        if (!editsUnsaved()) return;
        state.keyTable = file.kept();
        tableChanged();
    }

  private:
    bool settle(KeyFile::Saved saved) {
        if (saved == KeyFile::Saved::Loaded) {
            state.keyTable = file.kept();
            tableChanged();
            if (keysLoaded) keysLoaded();
        }
        return saved == KeyFile::Saved::Written;
    }
};

} // namespace omnitap

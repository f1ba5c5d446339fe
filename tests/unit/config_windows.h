#pragma once
// The configuration windows in the whole program over fakes: a keys.ini to start from, the
// windows as the user reaches them, and what the table, the file and the lists then hold.

#include "keys/keys_ini.h"
#include "tests/fakes/fake_program.h"

#include <gtest/gtest.h>

namespace omnitap::fakes {

using Lines = std::vector<std::string>;

class WindowsTest : public ::testing::Test {
  protected:
    fakes::FakeProgram p;
    ProgramState& state = p.program.state();
    KeyTable& table = state.keyTable;
    ConfigWindows& windows = p.program.configWindows();

    // The program started over a keys.ini with `keys` (or none), and Edit Configuration opened.
    void start(std::initializer_list<KeyDef> keys, bool withFile = true) {
        if (withFile) p.files.files[p.iniPath()] = keysIniBytes(fakes::table(keys), p.codec);
        p.program.Main();
        windows.showEditConfiguration();
    }
    FakeControl& form2(ui::ControlName control) {
        return p.ui.window(Form2::kCaption).get(control.name);
    }
    FakeControl& editor(ui::ControlName control) {
        return p.ui.window(frmKeyAssign::kCaption).get(control.name);
    }
    FakeControl& finder(ui::ControlName control) {
        return p.ui.window(Form3::kCaption).get(control.name);
    }
    ui::WindowId id(const char* caption) { return p.ui.window(caption).id(); }
    bool isOpen(const char* caption) const { return p.ui.find(caption) != nullptr; }
    // "Add or Delete Keys...", then "Add New Key...".
    void openKeyEditor() { form2(Form2::Command3).click(); }
    void openKeyFinder() {
        openKeyEditor();
        editor(frmKeyAssign::Command1).click();
    }
    // A key event caught for the Key Finder, as the key handler hands it over.
    void pressKey(int vk, int scan) { windows.keyWasPressed(vk, scan); }

    KeyTable fileTable() { return parseKeysIniBytes(p.files.files.at(p.iniPath()), p.codec); }
    // The lines of a list: the Edit Configuration rows as "name|mapping".
    Lines lines(FakeControl& list) {
        Lines out;
        for (int i = 0; i < list.count(); ++i)
            out.push_back(list.cell(i, 0) +
                          (list.items[i].cells.size() > 1 ? "|" + list.cell(i, 1) : ""));
        return out;
    }
    void diskRefusesWrites(bool refuse = true) { p.files.failReplace = refuse; }
    const fakes::ShownMessage& lastBox() {
        return p.messages.shown.at(p.messages.shown.size() - 1);
    }
};

} // namespace omnitap::fakes

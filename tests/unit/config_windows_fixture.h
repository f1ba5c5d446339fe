#pragma once
// The whole program over fakes with its configuration windows at hand: a keys.ini to start
// from, the windows' controls by name, and what the lists, the file and the boxes then hold.

#include "keys/keys_ini.h"
#include "tests/fakes/fake_program.h"

#include <gtest/gtest.h>

namespace omnitap::fakes {

using Lines = std::vector<std::string>;

class WindowsTest : public ::testing::Test {
  protected:
    FakeProgram p;
    ProgramState& state = p.program.state();
    KeyTable& table = state.keyTable;
    ConfigWindows& windows = p.program.configWindows();

    // The program started over a keys.ini with `keys` (or none), and Edit Configuration opened.
    void start(std::initializer_list<KeyDef> keys, bool withFile = true) {
        if (withFile) p.files.files[p.iniPath()] = keysIniBytes(fakes::table(keys), p.codec);
        p.program.Main();
        windows.showEditConfiguration();
    }
    FakeControl& form2(ui::ControlName c) { return p.ui.window(Form2::kCaption).get(c.name); }
    FakeControl& editor(ui::ControlName c) {
        return p.ui.window(frmKeyAssign::kCaption).get(c.name);
    }
    FakeControl& finder(ui::ControlName c) { return p.ui.window(Form3::kCaption).get(c.name); }
    ui::WindowId id(const char* caption) { return p.ui.window(caption).id(); }
    bool isOpen(const char* caption) const { return p.ui.find(caption) != nullptr; }
    // "Add or Delete Keys...", then "Add New Key...".
    void openKeyEditor() { form2(Form2::Command3).click(); }
    void openKeyFinder() {
        openKeyEditor();
        editor(frmKeyAssign::Command1).click();
    }

    KeyTable fileTable() { return parseKeysIniBytes(p.files.files.at(p.iniPath()), p.codec); }
    // The lines of a list: the Edit Configuration rows as "name|mapping".
    Lines lines(FakeControl& list) {
        Lines out;
        for (const FakeControl::Item& item : list.items)
            out.push_back(item.cells[0] + (item.cells.size() > 1 ? "|" + item.cells[1] : ""));
        return out;
    }
    // The last message box, "text|title|style", which `owner` holds (if it is open still).
    std::string lastBox(const char* owner) {
        const ShownMessage& box = p.messages.shown.at(p.messages.shown.size() - 1);
        EXPECT_TRUE(!isOpen(owner) || box.owner == id(owner));
        return box.text + "|" + box.title + "|" + std::to_string(box.style);
    }
};

} // namespace omnitap::fakes

#pragma once
// The three configuration windows on the in-memory control layer, with a key table, a
// keys.ini in memory and message boxes that answer what the test says.

#include "keys/keys_ini.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_system.h"
#include "tests/fakes/fake_ui.h"
#include "windows/config_windows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace omnitap::testing {

inline KeyDef key(std::string name, int code, int code2, int mapm = 0, std::string webs = {}) {
    return KeyDef{static_cast<std::int16_t>(code), static_cast<std::int16_t>(code2),
                  std::move(name), static_cast<std::int16_t>(mapm), std::move(webs)};
}

class ConfigUiTest : public ::testing::Test {
  protected:
    ConfigUiTest() { state.iniPath = iniPath; }

    const std::string iniPath = "C:\\Tools\\Omnitap\\keys.ini";
    fakes::FakeFileSystem files;
    AtomicFiles atomicFiles{files};
    fakes::FakeCodec codec;
    fakes::FakeMessageBoxes messages;
    fakes::FakeUiFactory ui;
    KeyboardState state;
    struct NoWake : Wake {
        bool wake() override { return true; }
    } wake;
    HookChannel hook{wake};
    ConfigWindows windows{
        ConfigContext{state, KeyFileIo{atomicFiles, codec, messages}, ui, messages, hook}};

    fakes::FakeWindow& editConfiguration() { return ui.window(Form2::kCaption); }
    fakes::FakeWindow& keyEditor() { return ui.window(frmKeyAssign::kCaption); }
    fakes::FakeWindow& keyFinder() { return ui.window(Form3::kCaption); }
    bool isOpen(const char* caption) const { return ui.find(caption) != nullptr; }

    void learned(std::initializer_list<KeyDef> keys) {
        for (const KeyDef& k : keys)
            state.keyTable.append(k);
    }
    // As the user gets there: Edit Configuration, "Add or Delete Keys...".
    fakes::FakeWindow& openKeyEditor() {
        windows.showEditConfiguration();
        editConfiguration().get("Command3").click();
        return keyEditor();
    }
    // ... and "Add New Key...".
    fakes::FakeWindow& openKeyFinder() {
        openKeyEditor().get("Command1").click();
        return keyFinder();
    }
    // What the key handler does with a key event caught for the Key Finder.
    void pressKey(int vk, int scan) { windows.keyWasPressed(vk, scan); }

    bool fileWritten() const { return files.files.count(iniPath) != 0; }
    KeyTable fileTable() { return parseKeysIni(codec.ansiToUtf8(files.files.at(iniPath))); }

    std::vector<std::string> keyEditorLines() {
        std::vector<std::string> lines;
        for (const auto& item : keyEditor().get("List1").items)
            lines.push_back(item.text);
        return lines;
    }
    // Each row of the Edit Configuration list as "name|mapping".
    std::vector<std::string> editConfigurationRows() {
        std::vector<std::string> rows;
        auto& list = editConfiguration().get("ListView1");
        for (int r = 0; r < list.count(); ++r)
            rows.push_back(list.cell(r, 0) + "|" + list.cell(r, 1));
        return rows;
    }
};

} // namespace omnitap::testing

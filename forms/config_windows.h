#pragma once
// The three configuration windows, created once for the whole run. They refer to each
// other through this owner: the Edit Configuration window opens the Key Editor and closes
// it with itself, the Key Editor opens the Key Finder, and both refresh the lists of the
// others after a change.

#include "actions/key_handler.h"
#include "forms/config_context.h"
#include "forms/edit_configuration_window.h"
#include "forms/key_editor_window.h"
#include "forms/key_finder_window.h"

#include <cstdint>
#include <string>

namespace omnitap {

class ConfigWindows final : public ConfigurationView {
  public:
    explicit ConfigWindows(ConfigContext context);
    ConfigWindows(const ConfigWindows&) = delete;
    ConfigWindows& operator=(const ConfigWindows&) = delete;

    // The tray menu, the control window's button and the first run.
    void showEditConfiguration() { form2_.show(); }

    // For the key handler.
    bool keyFinderLoaded() const override { return form3_.loaded() || form2_.catchingKey(); }
    // Loaded and waiting for a key ("Add This Key" still disabled).
    bool keyFinderWaiting() const { return form3_.waiting(); }
    void keyWasPressed(std::int32_t vk, std::int32_t scan, Modifiers mods,
                       const std::string& keyName) override {
        // Edit Configuration's "Press a key..." takes the key alone, whatever is held with it.
        if (form2_.catchingKey())
            form2_.keyCaught(vk, scan);
        else
            form3_.keyWasPressed(vk, scan, mods, keyName);
    }
    void showKeyEventReport(const std::string& fiveLines) override {
        form3_.showKeyEventReport(fiveLines);
    }
    void findKey(int index) override { form2_.findKey(index); }

    // The table's last key was added, or key k removed: both lists follow.
    void keyAdded() {
        keyAssign_.keyAdded();
        form2_.keyAdded();
    }
    void keyRemoved(int k) {
        keyAssign_.keyRemoved(k);
        form2_.keyRemoved(k);
    }
    // The program is to end: Edit Configuration may ask about edits not saved first.
    bool mayEnd() { return form2_.mayEnd(); }

    Form2& editConfiguration() { return form2_; }
    frmKeyAssign& keyEditor() { return keyAssign_; }
    Form3& keyFinder() { return form3_; }

  private:
    ConfigContext context_;
    Form2 form2_;
    frmKeyAssign keyAssign_;
    Form3 form3_;
};

} // namespace omnitap

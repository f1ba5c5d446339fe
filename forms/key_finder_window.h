#pragma once
// Form3, the Key Finder: catches the next key pressed (handed over by the key handler
// through keyWasPressed), proposes a name and appends the key to the table.
//
// Two states, kept in the controls: Waiting (Command1 disabled, Text2 hidden) and Naming
// (Command1 enabled, Text2 shown with the proposed name).

#include "forms/config_context.h"
#include "forms/form_base.h"

#include <cstdint>
#include <optional>
#include <string>

namespace omnitap {

class ConfigWindows;

class Form3 : public FormBase {
  public:
    static constexpr const char* kClassName = "OmnitapKeyFinder";
    static constexpr const char* kCaption = "Omnitap KeyFinder";
    static const ui::WindowDesign& windowDesign();
    static const std::vector<ui::ControlDesign>& layout();
    // The controls, each named once: the layout and the code use these.
    static constexpr auto Image1 = ui::picture("Image1");
    static constexpr auto Label3 = ui::label("Label3");
    static constexpr auto Text2 = ui::textBox("Text2");
    static constexpr auto Command3 = ui::button("Command3");
    static constexpr auto Command2 = ui::button("Command2");
    static constexpr auto Command1 = ui::button("Command1");
    static constexpr auto Label1 = ui::label("Label1");
    static constexpr auto Label2 = ui::label("Label2");
    static constexpr auto Text1 = ui::multiLineTextBox("Text1");

    Form3(ConfigContext& context, ConfigWindows& windows);

    // Loaded and waiting for a key.
    bool waiting() const;
    // A key event caught for the window: virtual-key code and scan code, the modifiers held
    // with it and the system's name for the key (used with modifiers).
    void keyWasPressed(std::int32_t vk, std::int32_t scan, Modifiers mods = {},
                       const std::string& keyName = {});
    // The raw event as five lines, into the out-of-view Text1.
    void showKeyEventReport(const std::string& fiveLines);

    void Command1_Click(); // "Add This Key"
    void Command2_Click(); // "Cancel"
    void Command3_Click(); // "Try Again"

  protected:
    void Form_Load() override;
    void Form_Unload() override;
    void bindEvents(ui::Window& window) override;

  private:
    // "Key 65 - 30", or "Ctrl+Alt+Right" with modifiers: the name proposed for the key
    // caught, and the one a blank name gets.
    std::string proposedName() const;
    // A key already taught is added again only when the user says so; each entry acts.
    bool addAnyway(const KeyDef& caught);

    ConfigContext& context_;
    ConfigWindows& windows_;
    std::int32_t newCode = 0;
    std::int32_t newCode2 = 0;
    Modifiers newMods_;
    std::string newKeyName_;
    // The name of the key added by a click whose save failed; the key is in the table.
    std::optional<std::string> unsavedName_;
};

} // namespace omnitap

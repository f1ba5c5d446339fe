#pragma once
// frmKeyAssign, the Key Editor: lists the learned keys with their two codes in fixed
// columns, opens the Key Finder to add one, removes one or all after a Yes/No question.
// Every change is written to keys.ini at once. Lines are in table order: line i shows key i + 1.

#include "forms/config_context.h"
#include "forms/form_base.h"

#include <string>

namespace omnitap {

class ConfigWindows;

// "Key Name" padded to 29 characters, then "| Code 1 | Code 2": the "|" in column 29, the
// codes' titles in columns 31 and 40, where each list line puts the codes.
inline constexpr const char* kKeyListHeader = "Key Name                     | Code 1 | Code 2";

// One line of the key list: the name cut or padded to 29 characters (for display only),
// the virtual-key code from column 31, the scan code from column 40.
std::string keyListLine(const KeyDef& key);

class frmKeyAssign : public FormBase {
  public:
    static constexpr const char* kClassName = "OmnitapKeyEditor";
    static constexpr const char* kCaption = "Omnitap - Key Editor";
    static const ui::WindowDesign& windowDesign();
    static const std::vector<ui::ControlDesign>& layout();
    // The controls, each named once: the layout and the code use these.
    static constexpr auto Label1 = ui::label("Label1");
    static constexpr auto List1 = ui::listBox("List1");
    static constexpr auto Command1 = ui::button("Command1");
    static constexpr auto Command2 = ui::button("Command2");
    static constexpr auto Command3 = ui::button("Command3");
    static constexpr auto Command4 = ui::button("Command4");

    frmKeyAssign(ConfigContext& context, ConfigWindows& windows);

    // Rebuilds the list; `newest` selects its last line (the key just added).
    void fillList(bool newest = false);
    // The table's last key was added (its line is selected), or key k removed (no line is):
    // only that line changes.
    void keyAdded();
    void keyRemoved(int k);

    void Command1_Click(); // "Add New Key..."
    void Command2_Click(); // "Remove Key"
    void Command3_Click(); // "Remove All Keys"
    void Command4_Click(); // "Done"

  protected:
    void Form_Load() override;
    void Form_Unload() override;
    void bindEvents(ui::Window& window) override;

  private:
    bool confirm(const char* text, const char* title);
    // "Remove Key" can be used while a line is selected.
    void List1_Click();

    ConfigContext& context_;
    ConfigWindows& windows_;
};

} // namespace omnitap

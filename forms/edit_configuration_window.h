#pragma once
// Form2, the Edit Configuration window: every learned key with a description of its
// action; selecting one shows its action and argument in the frame below, where changes
// act on the table at once. "Save && Close" writes keys.ini. While it is loaded, pressing a
// learned key selects its row instead of running its action.

#include "forms/config_context.h"
#include "forms/form_base.h"

#include <cstdint>
#include <string>

namespace omnitap {

class ConfigWindows;

// What the "Mapping" column shows for a key: empty for no action; for an action with an
// argument its word for it and the argument ("Launch: notepad.exe", "Send Keys: ^c", "Act as:
// Ctrl"); else the action's label; "(nothing)" for a code not in the catalogue.
std::string mappingDescription(const KeyDef& key);
// A key's name as the lists show it: with the modifiers it is held with in front, "Ctrl+Alt:
// Next track", unless the name begins with them already (as the Key Finder's "Ctrl+Alt+Right"
// does); a key without modifiers shows its name alone.
std::string shownName(const KeyDef& key);

class Form2 : public FormBase {
  public:
    static constexpr const char* kClassName = "OmnitapEditConfiguration";
    static constexpr const char* kCaption = "Omnitap - Edit Configuration";
    static const ui::WindowDesign& windowDesign();
    static const std::vector<ui::ControlDesign>& layout();
    // The controls, each named once: the layout and the code use these.
    static constexpr auto ListView1 = ui::listView("ListView1");
    static constexpr auto Frame1 = ui::frame("Frame1");
    static constexpr auto Combo1 = ui::comboBox("Combo1");
    static constexpr auto Text1 = ui::textBox("Text1");
    // Why the text is not taken for the argument, when it is not.
    static constexpr auto LabelArgument = ui::label("LabelArgument");
    // For an action whose argument is a key: the next key pressed is its name.
    static constexpr auto CommandPressKey = ui::button("CommandPressKey");
    static constexpr const char* kPressAKey = "Press a key...";
    // The modifiers held with the selected key, one list each, in the order of ModifierKind.
    static constexpr auto ComboCtrl = ui::comboBox("ComboCtrl");
    static constexpr auto ComboAlt = ui::comboBox("ComboAlt");
    static constexpr auto ComboShift = ui::comboBox("ComboShift");
    static constexpr auto ComboWin = ui::comboBox("ComboWin");
    static constexpr decltype(ComboCtrl) kModifierLists[] = {ComboCtrl, ComboAlt, ComboShift,
                                                             ComboWin};
    static constexpr auto Command1 = ui::button("Command1");
    static constexpr auto Command3 = ui::button("Command3");

    Form2(ConfigContext& context, ConfigWindows& windows);

    // Selects and scrolls to the row of key i (a learned key was pressed).
    void findKey(int i);
    // Rebuilds the action list and the key list. Clears the selection: the frame is
    // disabled and no key is being edited until a row is selected again.
    void fillList();
    // The table's last key was added, or key k removed: only its row changes. The key being
    // edited stays so (unless it was the one removed).
    void keyAdded();
    void keyRemoved(int k);
    // The window or the program is to end: with edits not saved, asks whether to save them.
    // False when the user cancels, or the save failed (and was reported): the window stays
    // with the edits.
    bool mayEnd();
    std::string getDesc(int i) const;
    void addCombo1Item(const std::string& st, std::int16_t id);
    // The first position in Combo1 whose item carries action code `id`, else 0.
    std::int32_t getComboPlace(std::int16_t id) const;
    // The key the frame edits; 0 = none.
    int currentKey() const { return currentKey_; }
    // "Press a key..." was clicked, and no key came yet.
    bool catchingKey() const { return catching_; }
    // The key caught: its name goes into Text1.
    void keyCaught(std::int32_t vk, std::int32_t scan);

    void ListView1_Click();
    void ListView1_ItemClick();
    void Combo1_Click();
    void Text1_Change();
    void Command1_Click();        // "Save && Close"
    void Command3_Click();        // "Add or Delete Keys..."
    void CommandPressKey_Click(); // "Press a key...", and again to stop waiting

  protected:
    void Form_Load() override;
    bool Form_QueryUnload(UnloadMode mode) override;
    void Form_Unload() override;
    void bindEvents(ui::Window& window) override;

  private:
    // The frame and the two controls in it, so that neither can be used while it is off.
    void setFrameEnabled(bool enabled);
    // currentKey names a learned key and its row.
    bool editing() const;
    // The "Mapping" cell of the key being edited, after its action or argument changed.
    void refreshRow();
    // A side chosen in a modifier's list: the key acts with it from now on.
    void modifierChosen(ModifierKind kind);
    // The argument's problem, if any, and "Press a key..." for an action that takes a key.
    void showArgument();
    void stopCatching();

    ConfigContext& context_;
    ConfigWindows& windows_;
    int currentKey_ = 0;
    bool showingKey_ = false; // a selected key's action is put in Combo1
    bool asking_ = false;     // the question about edits not saved is up
    bool catching_ = false;   // "Press a key..." waits for a key
};

} // namespace omnitap

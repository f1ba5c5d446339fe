#include "forms/edit_configuration_window.h"

#include "catalogue/action_catalogue.h"
#include "forms/config_windows.h"

namespace omnitap {

std::string mappingDescription(const KeyDef& key) {
    const ActionRow* row = findAction(key.mapm);
    if (row && row->effect == Effect::Nothing) return {};
    if (row && row->shownAs) return row->shownAs + key.webs;
    return row ? row->label : actionCatalogue().front().label;
}

std::string shownName(const KeyDef& key) {
    if (key.mods.empty()) return key.name;
    std::string mods = shortcutText(key.mods, "");
    if (key.name.starts_with(mods)) return key.name;
    mods.back() = ':'; // "Ctrl+Alt+" becomes "Ctrl+Alt:"
    return mods + " " + key.name;
}

const ui::WindowDesign& Form2::windowDesign() {
    static const ui::WindowDesign design{kClassName, kCaption, 4575, 5985, ui::Placement::Centred,
                                         true};
    return design;
}

const std::vector<ui::ControlDesign>& Form2::layout() {
    // The controls of the key's mapping sit inside Frame1, positioned relative to it.
    // clang-format off
    static const std::vector<ui::ControlDesign> controls{
        {ListView1,       "",                      {60, 60, 4455, 3495},   {}, 0, {},
         {{"Key", 1200}, {"Mapping", 2800}}},
        {Frame1,          "Key Mapping",           {60, 3600, 4455, 1875}, {}, ui::flag::kDisabled},
        {Combo1,          "",                      {120, 240, 4215, 315},  {}, 0, Frame1},
        {Text1,           "",                      {120, 600, 4215, 315},  {}, 0, Frame1},
        {LabelArgument,   "",                      {120, 960, 2940, 435},  {}, 0, Frame1},
        {CommandPressKey, kPressAKey,              {3120, 960, 1215, 345}, {}, 0, Frame1},
        {ComboCtrl,       "",                      {120, 1440, 1020, 315}, {}, 0, Frame1},
        {ComboAlt,        "",                      {1185, 1440, 1020, 315}, {}, 0, Frame1},
        {ComboShift,      "",                      {2250, 1440, 1020, 315}, {}, 0, Frame1},
        {ComboWin,        "",                      {3315, 1440, 1020, 315}, {}, 0, Frame1},
        {Command1,        "Save && Close",         {60, 5580, 2535, 375},  {}, ui::flag::kDefault},
        {Command3,        "Add or Delete Keys...", {2640, 5580, 1875, 375}},
    };
    // clang-format on
    return controls;
}

Form2::Form2(ConfigContext& context, ConfigWindows& windows)
    : FormBase(context.ui, windowDesign(), layout()), context_(context), windows_(windows) {}

void Form2::bindEvents(ui::Window& w) {
    ui::ListView& list = w[ListView1];
    list.onClick = [this] { ListView1_Click(); };
    list.onItemClick = [this] { ListView1_ItemClick(); };
    w[Combo1].onClick = [this] { Combo1_Click(); };
    w[Text1].onChange = [this] { Text1_Change(); };
    for (int k = 0; k < kModifierKinds; ++k)
        w[kModifierLists[k]].onClick = [this, k] { modifierChosen(static_cast<ModifierKind>(k)); };
    w[Command1].onClick = [this] { Command1_Click(); };
    w[Command3].onClick = [this] { Command3_Click(); };
    w[CommandPressKey].onClick = [this] { CommandPressKey_Click(); };
}

void Form2::Form_Load() {
    context_.state.configOpen = true;
    // For each modifier: not held, either side, the left or the right one alone. Unlike the
    // actions, the lists never change.
    static constexpr const char* kNames[] = {"Ctrl", "Alt", "Shift", "Win"};
    for (int k = 0; k < kModifierKinds; ++k) {
        const std::string name = kNames[k];
        for (const std::string& text : {"No " + name, name, "Left " + name, "Right " + name})
            window()[kModifierLists[k]].addItem(text);
    }
    fillList(); // which also leaves no key selected and the frame disabled
}

void Form2::Form_Unload() {
    stopCatching();
    windows_.keyFinder().unload();
    windows_.keyEditor().unload();
    context_.state.configOpen = false;
    // Saved, or the user chose not to: the hook gets back the keys kept.
    context_.dropEdits();
}

bool Form2::Form_QueryUnload(UnloadMode mode) {
    // The end of the session waits for the answer, and the system shows why.
    const bool holdUp = mode == UnloadMode::SessionEnd && loaded() && context_.editsUnsaved();
    if (holdUp) context_.session.holdUp(id(), "Your key changes are not saved");
    const bool mayGo = mayEnd();
    if (holdUp) context_.session.allow(id());
    return mayGo;
}

void Form2::addCombo1Item(const std::string& st, std::int16_t id) {
    if (!loaded()) return;
    ui::ItemList& combo = window()[Combo1];
    combo.setItemData(combo.addItem(st), id);
}

std::int32_t Form2::getComboPlace(std::int16_t id) const {
    if (!loaded()) return 0;
    const ui::ItemList& combo = window()[Combo1];
    for (int p = 0; p < combo.count(); ++p)
        if (combo.itemData(p) == id) return p;
    return 0;
}

std::string Form2::getDesc(int i) const {
    const KeyTable& table = context_.state.keyTable;
    return table.isKey(i) ? mappingDescription(table[i]) : std::string();
}

void Form2::fillList() {
    // The rows may now stand for other keys (one was removed or added elsewhere): whatever
    // the frame was editing is forgotten, so an edit can only reach an existing key.
    currentKey_ = 0;
    if (!loaded()) return;
    ui::Window& w = window();
    setFrameEnabled(false);

    w[Combo1].clear();
    for (const ActionRow& row : actionCatalogue())
        addCombo1Item(row.label, row.code);

    const KeyTable& table = context_.state.keyTable;
    std::vector<std::vector<std::string>> rows;
    rows.reserve(static_cast<std::size_t>(table.numKeys()));
    for (int r = 1; r <= table.numKeys(); ++r)
        rows.push_back({shownName(table[r]), getDesc(r)});
    w[ListView1].setRows(std::move(rows));
}

void Form2::keyAdded() {
    if (!loaded()) return;
    const int k = context_.state.keyTable.numKeys();
    ui::ListView& list = window()[ListView1];
    list.setCell(list.addRow(shownName(context_.state.keyTable[k])), 1, getDesc(k));
}

void Form2::keyRemoved(int k) {
    if (!loaded()) return;
    window()[ListView1].removeRow(k - 1);
    if (currentKey_ > k) {
        --currentKey_;
    } else if (currentKey_ == k) {
        currentKey_ = 0;
        setFrameEnabled(false);
    }
}

bool Form2::mayEnd() {
    if (!loaded() || !context_.editsUnsaved()) return true;
    // Asked again while the question is up (the session ends, Quit): its answer decides.
    if (asking_) return false;
    using namespace ports::mb;
    asking_ = true;
    const int answer = context_.messages.show(id(), "Save the changes to your keys?", "Omnitap",
                                              kYesNoCancel | kIconQuestion);
    asking_ = false;
    return answer == kAnswerNo || (answer == kAnswerYes && context_.save(id()));
}

void Form2::findKey(int i) {
    if (!loaded() || !context_.state.keyTable.isKey(i)) return;
    ui::ListView& list = window()[ListView1];
    if (i > list.count()) return;
    list.setSelected(i - 1);
    ListView1_Click();
    list.ensureVisible(i - 1);
}

void Form2::ListView1_Click() {
    if (!loaded()) return;
    ui::Window& w = window();
    stopCatching();
    setFrameEnabled(false);
    // Rows are in table order: row r (counting from 1) is key r.
    const int r = w[ListView1].selected() + 1;
    const KeyTable& table = context_.state.keyTable;
    if (!table.isKey(r)) return;

    setFrameEnabled(true);
    currentKey_ = r;
    // Selecting the action raises Combo1_Click, which writes the code back: a code that the
    // list does not have becomes 0, "(nothing)".
    ui::ItemList& combo = w[Combo1];
    showingKey_ = true;
    if (combo.count() > 0) combo.setSelected(getComboPlace(table[r].mapm));
    showingKey_ = false;
    w[Text1].setText(table[r].webs);
    showArgument();
    for (int k = 0; k < kModifierKinds; ++k)
        w[kModifierLists[k]].setSelected(
            static_cast<int>(table[r].mods.of(static_cast<ModifierKind>(k))));
}

void Form2::ListView1_ItemClick() {
    ListView1_Click();
}

bool Form2::editing() const {
    return loaded() && context_.state.keyTable.isKey(currentKey_) &&
           currentKey_ <= window()[ListView1].count();
}

void Form2::Combo1_Click() {
    if (!loaded()) return;
    const ui::ItemList& combo = window()[Combo1];
    const int place = combo.selected();
    if (place < 0 || !editing()) return;
    KeyDef& key = context_.state.keyTable[currentKey_];
    const auto code = static_cast<std::int16_t>(combo.itemData(place));
    if (key.mapm != code) {
        const bool otherKind = argumentOf(key.mapm) != argumentOf(code);
        key.mapm = code;
        context_.tableChanged();
        // The argument means something else to an action of another kind (a launch target
        // is no modifier key): the user chose a new action, not a new reading of the old
        // argument. Showing a key's own mapping changes no argument.
        if (otherKind && !showingKey_) window()[Text1].setText("");
    }
    showArgument();
    refreshRow();
}

void Form2::modifierChosen(ModifierKind kind) {
    const int place = window()[kModifierLists[static_cast<int>(kind)]].selected();
    if (place < 0 || !editing()) return;
    KeyDef& key = context_.state.keyTable[currentKey_];
    const auto side = static_cast<Side>(place); // the lists hold the sides in their order
    if (key.mods.of(kind) == side) return;
    key.mods.set(kind, side);
    context_.tableChanged();
    refreshRow();
}

void Form2::refreshRow() {
    if (!editing()) return;
    ui::ListView& list = window()[ListView1];
    list.setCell(currentKey_ - 1, 0, shownName(context_.state.keyTable[currentKey_]));
    list.setCell(currentKey_ - 1, 1, getDesc(currentKey_));
}

void Form2::Command1_Click() {
    // A failed save has been reported: the window stays open with the edits, and the same
    // button tries again.
    if (!loaded() || !context_.save(id())) return;
    unload();
}

void Form2::Command3_Click() {
    windows_.keyEditor().show();
}

void Form2::setFrameEnabled(bool enabled) {
    ui::Window& w = window();
    w[Frame1].setEnabled(enabled);
    w[Combo1].setEnabled(enabled);
    w[Text1].setEnabled(enabled);
    w[CommandPressKey].setEnabled(enabled);
    if (!enabled) {
        stopCatching();
        w[LabelArgument].setText("");
        w[CommandPressKey].setVisible(false);
    }
    for (const auto& list : kModifierLists)
        w[list].setEnabled(enabled);
}

} // namespace omnitap

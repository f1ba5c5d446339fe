#include "forms/key_editor_window.h"

#include "text/utf8.h"

#include "forms/config_windows.h"

#include <string_view>

namespace omnitap {
namespace {

constexpr std::size_t kNameColumns = 29;
constexpr std::size_t kCodeColumns = 7;

// Counts characters, not bytes, so that a name is never cut inside a UTF-8 sequence.
std::string padded(std::string_view text, std::size_t columns) {
    std::size_t end = 0;
    std::size_t characters = 0;
    for (; end < text.size() && characters < columns; ++characters)
        nextCodePoint(text, end);
    std::string out(text.substr(0, end));
    if (characters < columns) out.append(columns - characters, ' ');
    return out;
}

} // namespace

std::string keyListLine(const KeyDef& key) {
    return padded(shownName(key), kNameColumns) + "  " +
           padded(std::to_string(key.code), kCodeColumns) + "  " + std::to_string(key.code2);
}

const ui::WindowDesign& frmKeyAssign::windowDesign() {
    static const ui::WindowDesign design{kClassName, kCaption, 5010, 4170,
                                         ui::Placement::SystemDefault};
    return design;
}

const std::vector<ui::ControlDesign>& frmKeyAssign::layout() {
    const ui::Font fixed{"Lucida Console", 8.25, true};
    static const std::vector<ui::ControlDesign> controls{
        {Label1, kKeyListHeader, {60, 60, 4935, 195}, fixed},
        {List1, "", {0, 240, 4995, 3030}, fixed},
        {Command1, "Add New Key...", {0, 3300, 1755, 375}},
        {Command2, "Remove Key", {1800, 3300, 1275, 375}, {}, ui::flag::kDisabled},
        {Command3, "Remove All Keys", {3120, 3300, 1875, 375}},
        {Command4, "Done", {0, 3720, 4995, 435}, {}, ui::flag::kDefault},
    };
    return controls;
}

frmKeyAssign::frmKeyAssign(ConfigContext& context, ConfigWindows& windows)
    : FormBase(context.ui, windowDesign(), layout()), context_(context), windows_(windows) {}

void frmKeyAssign::bindEvents(ui::Window& w) {
    w[List1].onClick = [this] { List1_Click(); };
    w[Command1].onClick = [this] { Command1_Click(); };
    w[Command2].onClick = [this] { Command2_Click(); };
    w[Command3].onClick = [this] { Command3_Click(); };
    w[Command4].onClick = [this] { Command4_Click(); };
}

void frmKeyAssign::Form_Load() {
    fillList(false);
}

void frmKeyAssign::Form_Unload() {
    windows_.keyFinder().unload();
}

void frmKeyAssign::fillList(bool newest) {
    if (!loaded()) return;
    ui::ItemList& list = window()[List1];
    const KeyTable& table = context_.state.keyTable;
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(table.numKeys()));
    for (int k = 1; k <= table.numKeys(); ++k)
        lines.push_back(keyListLine(table[k]));
    list.setItems(lines);
    if (newest && list.count() > 0) list.setSelected(list.count() - 1);
    List1_Click();
}

void frmKeyAssign::keyAdded() {
    if (!loaded()) return;
    ui::ItemList& list = window()[List1];
    const KeyTable& table = context_.state.keyTable;
    list.setSelected(list.addItem(keyListLine(table[table.numKeys()])));
    List1_Click();
}

void frmKeyAssign::keyRemoved(int k) {
    if (!loaded()) return;
    ui::ItemList& list = window()[List1];
    list.removeItem(k - 1);
    list.setSelected(-1);
    List1_Click();
}

void frmKeyAssign::List1_Click() {
    window()[Command2].setEnabled(window()[List1].selected() >= 0);
}

void frmKeyAssign::Command1_Click() {
    context_.state.findingKey = true;
    windows_.keyFinder().show(); // if it is open already, it keeps its state
}

void frmKeyAssign::Command2_Click() {
    if (!loaded()) return;
    // The key is taken before asking: while the box is up, the Key Finder may add a key
    // (which selects the new line) and this window may even be closed.
    const int k = window()[List1].selected() + 1;
    KeyTable& table = context_.state.keyTable;
    if (!table.isKey(k)) return;
    const KeyDef asked = table[k];
    if (!confirm("Are you sure you want to remove this key?", "Remove Selected Key")) return;
    // Only the key the user said Yes to, and only if the table still has it there (its
    // mapping may have been edited meanwhile; its line may not).
    const KeyDef& now = table.isKey(k) ? table[k] : KeyDef{};
    if (now.name != asked.name || now.code != asked.code || now.code2 != asked.code2 ||
        now.mods != asked.mods)
        return;
    context_.change([k](KeyTable& t) { t.removeAt(k); });
    windows_.keyRemoved(k);
    // A failed save is reported over this window (if it is still open: the question may have
    // outlived it), and the removal stays in effect.
    context_.saveKept(id());
}

void frmKeyAssign::Command3_Click() {
    // Asked even when there is nothing to remove.
    if (!loaded() || !confirm("Are you sure you want to remove all keys?", "Remove All Keys"))
        return;
    context_.change([](KeyTable& t) { t.clear(); });
    fillList(false);
    windows_.editConfiguration().fillList();
    context_.saveKept(id());
}

void frmKeyAssign::Command4_Click() {
    windows_.keyFinder().unload();
    unload();
}

bool frmKeyAssign::confirm(const char* text, const char* title) {
    using namespace ports::mb;
    return context_.messages.show(id(), text, title, kYesNo | kIconQuestion) == kAnswerYes;
}

} // namespace omnitap

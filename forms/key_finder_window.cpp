#include "forms/key_finder_window.h"

#include "forms/config_windows.h"
#include "text/trim.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace omnitap {
namespace {

constexpr const char* kPressNow = "Press the key now.";
constexpr const char* kGiveName = "Please give this key a name:";
constexpr std::int32_t kEscape = 27;

// The table keeps 16-bit codes; anything wider (only synthesised input) is clamped, as the
// file reader clamps its fields.
std::int16_t toField(std::int32_t value) {
    return static_cast<std::int16_t>(std::clamp<std::int32_t>(value, INT16_MIN, INT16_MAX));
}

} // namespace

const ui::WindowDesign& Form3::windowDesign() {
    static const ui::WindowDesign design{kClassName, kCaption, 4965, 1605, ui::Placement::Centred};
    return design;
}

const std::vector<ui::ControlDesign>& Form3::layout() {
    namespace flag = ui::flag;
    const ui::Font arial12{"Arial", 12};
    // Label1, Label2 and Text1 lie below the client area: out of view, still written; Tab
    // never takes the focus there.
    // clang-format off
    static const std::vector<ui::ControlDesign> controls{
        {Image1,   "",             {120, 120, 480, 480}},
        {Label3,   kPressNow,      {720, 120, 3555, 315},   arial12},
        {Text2,    "",             {720, 540, 2715, 315},   {}, flag::kHidden},
        {Command3, "Try Again",    {3480, 540, 1455, 315},  {}, flag::kHidden},
        {Command2, "Cancel",       {60, 1080, 1815, 495},   {}, flag::kCancel},
        {Command1, "Add This Key", {3120, 1080, 1815, 495}, {}, flag::kDefault | flag::kDisabled},
        {Label1,   "",             {1680, 2100, 585, 270},  arial12, flag::kCentred},
        {Label2,   "",             {2640, 2220, 615, 255},  {"Arial", 11.25}, flag::kCentred},
        {Text1,    "",             {660, 3540, 2235, 1515}, {}, flag::kNoTabStop},
    };
    // clang-format on
    return controls;
}

Form3::Form3(ConfigContext& context, ConfigWindows& windows)
    : FormBase(context.ui, windowDesign(), layout()), context_(context), windows_(windows) {}

void Form3::bindEvents(ui::Window& w) {
    w[Command1].onClick = [this] { Command1_Click(); };
    w[Command2].onClick = [this] { Command2_Click(); };
    w[Command3].onClick = [this] { Command3_Click(); };
}

bool Form3::waiting() const {
    return loaded() && !window()[Command1].enabled();
}

void Form3::Form_Load() {
    unsavedName_.reset();
    // The controls start in the waiting state; the hook may now catch a key for us.
    context_.hook.setFinderWaiting(true);
}

void Form3::Form_Unload() {
    context_.state.findingKey = false;
    context_.hook.setFinderWaiting(false);
}

void Form3::keyWasPressed(std::int32_t vk, std::int32_t scan, Modifiers mods,
                          const std::string& keyName) {
    if (!loaded()) return; // an event caught just before the window closed
    // Esc leaves the window as its Cancel button does, as in any window: it is never taught
    // alone (with modifiers it is a shortcut like any other).
    if (vk == kEscape && mods.empty() && waiting()) return Command2_Click();
    ui::Window& w = window();
    // Enabled on every call: that is what ends the waiting, also for a second key.
    w[Command1].setEnabled(true);
    context_.hook.setFinderWaiting(false);
    ui::TextBox& text2 = w[Text2];
    if (text2.visible()) return;

    newCode = vk;
    newCode2 = scan;
    newMods_ = mods;
    newKeyName_ = keyName;
    w[Label1].setText(std::to_string(vk));
    w[Label2].setText(std::to_string(scan));
    w[Label3].setText(kGiveName);
    text2.setVisible(true);
    const std::string proposed = proposedName();
    text2.setText(proposed);
    w[Command3].setVisible(true);
    // Typing replaces the proposed name.
    text2.setFocus();
    text2.select(0, static_cast<int>(proposed.size()));
}

void Form3::showKeyEventReport(const std::string& fiveLines) {
    if (loaded()) window()[Text1].setText(fiveLines);
}

std::string Form3::proposedName() const {
    if (newMods_.empty())
        return "Key " + std::to_string(newCode) + " - " + std::to_string(newCode2);
    return shortcutText(newMods_,
                        newKeyName_.empty() ? "Key " + std::to_string(newCode) : newKeyName_);
}

bool Form3::addAnyway(const KeyDef& caught) {
    const KeyTable& table = context_.state.keyTable;
    for (int k = 1; k <= table.numKeys(); ++k) {
        // The same key to the key handling: the scan code counts only for code 255, and the
        // modifiers always (F9 and Ctrl+F9 are two keys).
        if (table[k].code != caught.code || table[k].mods != caught.mods ||
            (caught.code == 255 && table[k].code2 != caught.code2))
            continue;
        using namespace ports::mb;
        return context_.messages.show(id(),
                                      "This key is already taught as \"" + table[k].name +
                                          "\".\r\n\r\nAdd it anyway? Then both entries act on it.",
                                      kCaption, kYesNo | kIconQuestion) == kAnswerYes;
    }
    return true;
}

void Form3::Command1_Click() {
    if (!loaded() || waiting()) return; // no key caught yet
    std::string name(trimSpaces(window()[Text2].text()));
    if (name.empty()) name = proposedName();

    // After a failed save the key is still the table's last entry: the next click saves it
    // again, under the name as typed now, instead of adding it twice.
    KeyTable& table = context_.state.keyTable;
    const int last = table.numKeys();
    const KeyDef caught{toField(newCode), toField(newCode2), unsavedName_.value_or(""), 0, "",
                        newMods_};
    if (unsavedName_ && last > 0 && table[last] == caught) {
        context_.change([&name](KeyTable& t) { t[t.numKeys()].name = name; });
        windows_.keyRemoved(last);
    } else {
        if (!addAnyway(caught) || !loaded()) return;
        context_.change([&](KeyTable& t) {
            t.append({caught.code, caught.code2, name, 0, "", caught.mods});
        });
    }
    windows_.keyAdded();
    // A failed save has been reported: the window stays open with the name, and the same
    // button tries again. The key acts meanwhile, and stays when the window is closed.
    unsavedName_ = name;
    if (!context_.saveKept(id())) return;
    unload();
}

void Form3::Command2_Click() {
    unload();
}

void Form3::Command3_Click() {
    if (!loaded()) return;
    ui::Window& w = window();
    w[Text2].setVisible(false); // its text stays; the next key overwrites it
    w[Command1].setEnabled(false);
    w[Label3].setText(kPressNow);
    w[Command3].setVisible(false);
    w[Label1].setText("");
    w[Label2].setText("");
    context_.hook.setFinderWaiting(true);
}

} // namespace omnitap

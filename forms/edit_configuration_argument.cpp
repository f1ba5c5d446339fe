// Form2's argument box: the key's argument typed in Text1, taken only when the action can read
// it, the reason beside it when it cannot, and "Press a key..." for an action whose argument
// is a key.

#include "forms/config_windows.h"
#include "forms/edit_configuration_window.h"
#include "keys/key_names.h"
#include "keys/send_keys.h"

namespace omnitap {
namespace {

// Why the action cannot take `text` for its argument; empty when it can.
std::string argumentProblem(std::int16_t code, const std::string& text) {
    switch (argumentOf(code)) {
    case Argument::KeyString:
        if (auto problem = parseKeyString(text).problem) return problemText(*problem);
        return {};
    case Argument::KeyName:
        if (text.empty() || parseKeyName(text)) return {};
        return "No key is named \"" + text + "\": press one, or type Ctrl, Esc, F5, A ...";
    default:
        return {};
    }
}

} // namespace

void Form2::Text1_Change() {
    if (!editing()) return;
    KeyDef& key = context_.state.keyTable[currentKey_];
    std::string text = window()[Text1].text();
    // A key string or key name that does not read is not taken: the key keeps the argument
    // it had, and the label says where and why.
    const std::string problem = argumentProblem(key.mapm, text);
    window()[LabelArgument].setText(problem);
    if (!problem.empty() || key.webs == text) return;
    key.webs = std::move(text);
    context_.tableChanged();
    refreshRow();
}

void Form2::showArgument() {
    ui::Window& w = window();
    const KeyDef& key = context_.state.keyTable[currentKey_];
    w[LabelArgument].setText(argumentProblem(key.mapm, w[Text1].text()));
    const bool names = argumentOf(key.mapm) == Argument::KeyName;
    if (!names) stopCatching();
    w[CommandPressKey].setVisible(names);
}

void Form2::CommandPressKey_Click() {
    if (catching_) {
        stopCatching();
        return;
    }
    if (!editing()) return;
    catching_ = true;
    window()[CommandPressKey].setText("Waiting...");
    context_.state.findingKey = true;
    context_.hook.setFinderWaiting(true);
}

void Form2::keyCaught(std::int32_t vk, std::int32_t scan) {
    stopCatching();
    if (editing())
        window()[Text1].setText(
            keyNameOf(static_cast<std::uint32_t>(vk), static_cast<std::uint32_t>(scan)));
}

void Form2::stopCatching() {
    if (!catching_) return;
    catching_ = false;
    window()[CommandPressKey].setText(kPressAKey);
    // The Key Finder may be waiting for a key of its own.
    context_.state.findingKey = windows_.keyFinder().loaded();
    context_.hook.setFinderWaiting(windows_.keyFinder().waiting());
}

} // namespace omnitap

#include "actions/key_handler.h"

#include "actions/actions.h"
#include "catalogue/action_catalogue.h"
#include "keys/send_keys.h"

namespace omnitap {

std::string keyEventReport(const KeyEvent& e) {
    auto line = [](const char* label, std::int64_t value) {
        return std::string(label) + std::to_string(value) + "\r\n";
    };
    // Every field is written as the signed 32-bit number it is in the system's record.
    auto s = [](std::uint64_t v) {
        return static_cast<std::int64_t>(static_cast<std::int32_t>(v));
    };
    return line("vkCode: ", s(e.vkCode)) + line("scanCode: ", s(e.scanCode)) +
           line("dwExtraInfo: ", s(e.extraInfo)) + line("flags: ", s(e.flags)) +
           line("time: ", s(e.time));
}

KeyboardHandler::KeyboardHandler(ProgramState& state, HookChannel& channel, PlayerControl& player,
                                 VolumeControl& volume, ports::Shell& shell,
                                 ports::FileSystem& files, ports::Typing& typing,
                                 ConfigurationView& windows, ControlSurface& control)
    : state_(state), channel_(channel), player_(player), volume_(volume), shell_(shell),
      files_(files), typing_(typing), windows_(windows), control_(control) {}

void KeyboardHandler::keyEventsWaiting() {
    channel_.drain([this](const KeyEvent& event) { handleKey(event); },
                   [this](std::span<const ports::KeyStroke> keys) { typing_.sendHeldKeys(keys); });
}

void KeyboardHandler::handleKey(const KeyEvent& event) {
    if (event.caughtByFinder && state_.findingKey && windows_.keyFinderLoaded()) {
        // Either side of each modifier held will do: Edit Configuration can pick one.
        const Modifiers mods = ModifierState(event.mods).eitherSide();
        const bool extended = (event.flags & kExtendedKeyFlag) != 0;
        windows_.keyWasPressed(
            static_cast<std::int32_t>(event.vkCode), static_cast<std::int32_t>(event.scanCode),
            mods,
            mods.empty() ? std::string()
                         : typing_.keyName(static_cast<std::uint16_t>(event.scanCode), extended));
        windows_.showKeyEventReport(keyEventReport(event));
    }
    if (event.handling == Handling::EndRepeat) endVolumeRepeat();
    pressedVk_ = event.vkCode;
    pressedScan_ = event.scanCode;
    // The entries the hook's decision names act, in table order. The table may change while
    // an action runs (a window opened from it): a place it no longer has is left out.
    for (int i : channel_.acting(event)) {
        if (!state_.keyTable.isKey(i)) continue;
        control_.setCaption(std::to_string(event.flags));
        if (event.released()) {
            keyReleased(i);
        } else if (state_.configOpen) {
            windows_.findKey(i);
        } else {
            doAction(i);
        }
    }
}

void KeyboardHandler::keyReleased(int index) {
    const ActionRow* row = findAction(state_.keyTable[index].mapm);
    if (row && row->actsOn == ActsOn::Release) runAction(*row, state_.keyTable[index]);
    endVolumeRepeat();
}

void KeyboardHandler::endVolumeRepeat() {
    if (state_.volumeStep != 0) {
        state_.volumeStep = 0;
        control_.setRepeatTimer(false);
    }
}

void KeyboardHandler::doAction(int index) {
    const ActionRow* row = findAction(state_.keyTable[index].mapm);
    // A code from an edited file: the key is swallowed and does nothing.
    if (row && row->actsOn == ActsOn::Press) runAction(*row, state_.keyTable[index]);
}

void KeyboardHandler::runAction(const ActionRow& row, const KeyDef& key) {
    switch (row.effect) {
    case Effect::Nothing:
        break;
    case Effect::PlayPause:
        player_.playPause();
        break;
    case Effect::Transport:
        player_.sendPlayerCommand(row.command);
        break;
    case Effect::ShowCurrentFile:
        player_.showCurrentFile();
        break;
    case Effect::CopyOrTypeTrack:
        player_.copyOrTypeTrack(row.typeIt, row.extraInfo);
        break;
    case Effect::ToggleMute:
        volume_.refreshMixerState();
        volume_.setMute(!volume_.currentMute());
        break;
    case Effect::VolumeStep:
        state_.volumeStep = row.step;
        repeat_.start(pressedVk_, pressedScan_, channel_.presses(pressedVk_, pressedScan_),
                      typing_.keyRepeat());
        control_.setRepeatTimer(true);
        volume_.stepVolume(state_.volumeStep);
        break;
    case Effect::MonitorsOff:
        control_.monitorsOff();
        break;
    case Effect::Launch:
        launch(key.webs);
        break;
    case Effect::SendKeys:
        sendKeys(key.webs);
        break;
    case Effect::ActAsKey: // the hook thread sent the key
        break;
    }
}

void KeyboardHandler::sendKeys(const std::string& keyString) {
    // A string that does not read whole (from an edited file) has no steps: nothing is sent.
    const KeyString parsed = parseKeyString(keyString);
    if (parsed.steps.empty()) return;
    ModifierRelease release = releaseHeldModifiers(typing_);
    std::vector<ports::KeyStroke> strokes = std::move(release.before);
    const std::vector<ports::KeyStroke> sent = strokesOf(parsed.steps, typing_);
    strokes.insert(strokes.end(), sent.begin(), sent.end());
    strokes.insert(strokes.end(), release.after.begin(), release.after.end());
    typing_.sendKeys(strokes);
}

void KeyboardHandler::launch(const std::string& target) {
    std::optional<LaunchTarget> t = resolveLaunchTarget(target, {files_, shell_, state_.exeFolder});
    // A bare name found nowhere is missing: the shell is not asked, as it would look beside
    // this program, where anything may sit.
    ports::Result started{false, "", 2 /* ERROR_FILE_NOT_FOUND */};
    if (t)
        started = shell_.execute(control_.ownerWindow(), "open", t->file, t->parameters,
                                 t->directory, 1 /* normal window */);
    if (!started.ok) control_.showNotice(launchFailureNotice(target, started));
}

void KeyboardHandler::repeatVolumeStep() {
    if (state_.volumeStep == 0) return;
    if (!repeat_.tick(channel_.presses(repeat_.vkCode(), repeat_.scanCode()))) {
        endVolumeRepeat();
        return;
    }
    volume_.stepVolume(state_.volumeStep);
}

} // namespace omnitap

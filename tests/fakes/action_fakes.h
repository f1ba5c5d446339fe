#pragma once
// Recording stand-ins for what the actions act on, writing into one journal.

#include "player/player_control.h"
#include "ports/shell.h"
#include "ports/typing.h"
#include "volume/volume_control.h"

#include <span>
#include <string>
#include <vector>

namespace omnitap::fakes {

// Everything the fakes below were asked to do, in order, as readable lines.
using Journal = std::vector<std::string>;

// "sent +17 +86 -86": presses and releases by virtual-key code.
inline std::string sentLine(std::span<const ports::KeyStroke> keys) {
    std::string line = "sent";
    for (const ports::KeyStroke& key : keys)
        line += (key.up ? " -" : " +") + std::to_string(key.vk);
    return line;
}

struct RecordingPlayer : PlayerControl {
    explicit RecordingPlayer(Journal& j) : journal(j) {}
    Journal& journal;
    void playPause() override { journal.push_back("playPause"); }
    void sendPlayerCommand(PlayerCommand index) override {
        journal.push_back("command " + std::to_string(index));
    }
    void copyOrTypeTrack(bool typeIt, bool extraInfo) override {
        journal.push_back(std::string(typeIt ? "type" : "copy") + (extraInfo ? " extra" : ""));
    }
    void showCurrentFile() override { journal.push_back("showCurrentFile"); }
};

struct RecordingVolume : VolumeControl {
    explicit RecordingVolume(Journal& j) : journal(j) {}
    Journal& journal;
    bool mute = false;
    void openMixer() override {}
    void refreshMixerState() override { journal.push_back("refresh"); }
    bool currentMute() const override { return mute; }
    void setMute(bool state) override {
        journal.push_back((mute = state) ? "mute on" : "mute off");
    }
    void stepVolume(std::int32_t step) override {
        journal.push_back("step " + std::to_string(step));
    }
};

struct RecordingShell : ports::Shell {
    explicit RecordingShell(Journal& j) : journal(j) {}
    Journal& journal;
    std::string systemProgram(const std::string& name) override { return name; }
    void execute(ports::WindowId owner, const std::string& verb, const std::string& file,
                 const std::string& parameters, const std::string& directory,
                 int showCommand) override {
        journal.push_back("shell " + std::to_string(owner) + " " + verb + " [" + file + "] [" +
                          parameters + "] [" + directory + "] " + std::to_string(showCommand));
    }
};

struct RecordingTyping : ports::Typing {
    explicit RecordingTyping(Journal& j) : journal(j) {}
    Journal& journal;
    void typeText(std::string_view) override {}
    void sendKeys(std::span<const ports::KeyStroke> keys) override {
        journal.push_back(sentLine(keys));
    }
    bool isKeyDown(std::uint8_t) override { return false; }
};

} // namespace omnitap::fakes

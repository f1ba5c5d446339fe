#pragma once
// Recording stand-ins for what the actions act on.

#include "player/player_control.h"
#include "ports/shell.h"
#include "volume/volume_control.h"

#include <string>
#include <vector>

namespace omnitap::fakes {

// Everything the fakes below were asked to do, in order, as readable lines.
using Journal = std::vector<std::string>;

class RecordingPlayer : public PlayerControl {
  public:
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

class RecordingVolume : public VolumeControl {
  public:
    explicit RecordingVolume(Journal& j) : journal(j) {}
    Journal& journal;
    bool mute = false;
    void openMixer() override { journal.push_back("openMixer"); }
    void refreshMixerState() override { journal.push_back("refresh"); }
    bool currentMute() const override { return mute; }
    void setMute(bool state) override {
        mute = state;
        journal.push_back(state ? "mute on" : "mute off");
    }
    void stepVolume(std::int32_t step) override {
        journal.push_back("step " + std::to_string(step));
    }
};

class RecordingShell : public ports::Shell {
  public:
    explicit RecordingShell(Journal& j) : journal(j) {}
    Journal& journal;
    void execute(ports::WindowId owner, const std::string& verb, const std::string& file,
                 const std::string& parameters, const std::string& directory,
                 int showCommand) override {
        journal.push_back("shell " + std::to_string(owner) + " " + verb + " [" + file + "] [" +
                          parameters + "] [" + directory + "] " + std::to_string(showCommand));
    }
};

} // namespace omnitap::fakes

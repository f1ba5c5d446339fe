#pragma once
// player-sim.exe, the stand-in for the media player, started by a test with its options and
// a log of its own; and the clipboard's text as the tests read it.

#include "tests/e2e/support/e2e.h"

#include <optional>
#include <string>
#include <vector>

namespace e2e {

using Lines = std::vector<std::string>;

// player-sim.exe with the given options, logging to a file of its own; ended with the object.
class PlayerSim {
  public:
    PlayerSim(const TempFolder& folder, const std::vector<std::wstring>& options);
    ~PlayerSim();
    PlayerSim(const PlayerSim&) = delete;
    PlayerSim& operator=(const PlayerSim&) = delete;

    HWND window() const { return window_; }
    // The log's lines of one kind: logOf("command") gives "command 40045", ...
    Lines logOf(const std::string& kind) const;
    // Posted commands arrive later: waits until the log holds `count` of them.
    Lines waitForCommands(std::size_t count) const;

  private:
    std::wstring log_;
    PROCESS_INFORMATION pi_{};
    HWND window_ = nullptr;
};

// The clipboard's Unicode text, or nothing when it cannot be opened.
std::optional<std::wstring> clipboardText();

} // namespace e2e

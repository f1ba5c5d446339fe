#pragma once
// A notification area that records what the program asks of it.

#include "ports/tray_shell.h"

#include <vector>

namespace omnitap::fakes {

class FakeTrayShell : public ports::TrayShell {
  public:
    struct Call {
        ports::TrayCommand command;
        ports::TrayIconRecord record;
    };

    std::uint32_t version = 0x23F00206; // Windows 8 (6.2), as GetVersion reports it
    bool accept = true;                 // what Shell_NotifyIcon answers
    std::vector<Call> calls;
    // The icons the shell shows now, as (window, uID); the shell refuses a second add of
    // one and a delete of a missing one, as the real one does.
    std::vector<std::pair<ports::WindowId, std::uint32_t>> shown;

    std::uint32_t versionWord() override { return version; }
    bool notifyIcon(ports::TrayCommand command, const ports::TrayIconRecord& record) override;
    unsigned taskbarCreatedMessage() override { return 0xC0A1; }
    ports::IconId applicationIcon() override { return 0x1C0; }

    // Explorer restarts: every icon is gone.
    void restartExplorer() { shown.clear(); }
};

} // namespace omnitap::fakes

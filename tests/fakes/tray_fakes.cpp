#include "tests/fakes/tray_fakes.h"

#include <algorithm>

namespace omnitap::fakes {

bool FakeTrayShell::notifyIcon(ports::TrayCommand command, const ports::TrayIconRecord& record) {
    calls.push_back({command, record});
    if (!accept) return false;
    const std::pair key{record.hWnd, record.uID};
    const auto found = std::find(shown.begin(), shown.end(), key);
    switch (command) {
    case ports::TrayCommand::Add:
        if (found != shown.end()) return false;
        shown.push_back(key);
        return true;
    case ports::TrayCommand::Delete:
        if (found == shown.end()) return false;
        shown.erase(found);
        return true;
    case ports::TrayCommand::SetVersion:
        return found != shown.end();
    }
    return false;
}

} // namespace omnitap::fakes

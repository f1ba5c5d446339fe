#pragma once
// The programs Windows starts when this user logs on: named entries, each a command line
// (HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run).

#include "ports/result.h"

#include <optional>
#include <string>

namespace omnitap::ports {

class StartupList {
  public:
    virtual ~StartupList() = default;
    // The command line of the entry `name`; nothing when there is none or it cannot be read.
    virtual std::optional<std::string> command(const std::string& name) = 0;
    // Writes the entry, replacing what it held; on failure it holds what it held before.
    virtual Result setCommand(const std::string& name, const std::string& command) = 0;
    // Removes the entry; one that is not there is removed already.
    virtual Result remove(const std::string& name) = 0;
};

} // namespace omnitap::ports

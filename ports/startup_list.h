#pragma once
// The programs Windows starts when this user logs on: named entries, each a command line
// (HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run), and each one's switch in
// Task Manager's Startup tab and Settings' Startup apps: a binary value of the same name under
// ...\CurrentVersion\Explorer\StartupApproved\Run, which turns the entry off while it stays.

#include "ports/result.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace omnitap::ports {

using Bytes = std::vector<std::uint8_t>;

class StartupList {
  public:
    virtual ~StartupList() = default;
    // The command line of the entry `name`; nothing when there is none or it cannot be read.
    virtual std::optional<std::string> command(const std::string& name) = 0;
    // Writes the entry, replacing what it held; on failure it holds what it held before.
    virtual Result setCommand(const std::string& name, const std::string& command) = 0;
    // Removes the entry; one that is not there is removed already.
    virtual Result remove(const std::string& name) = 0;
    // The entry's switch as stored; nothing when there is none or it cannot be read.
    virtual std::optional<Bytes> approval(const std::string& name) = 0;
    virtual Result setApproval(const std::string& name, const Bytes& value) = 0;
    // Removes the switch; one that is not there is removed already.
    virtual Result removeApproval(const std::string& name) = 0;
};

} // namespace omnitap::ports

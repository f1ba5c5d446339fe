#pragma once
// The programs Windows starts at log-on, and their switches, in the user's part of the
// registry.

#include "ports/startup_list.h"

namespace omnitap::win32 {

class Win32StartupList final : public ports::StartupList {
  public:
    std::optional<std::string> command(const std::string& name) override;
    ports::Result setCommand(const std::string& name, const std::string& command) override;
    ports::Result remove(const std::string& name) override;
    std::optional<ports::Bytes> approval(const std::string& name) override;
    ports::Result setApproval(const std::string& name, const ports::Bytes& value) override;
    ports::Result removeApproval(const std::string& name) override;
};

} // namespace omnitap::win32

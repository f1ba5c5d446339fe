#pragma once
#include "platform/shell.h"

namespace omnitap::win32 {

class Win32Shell final : public platform::Shell {
  public:
    void execute(platform::WindowId owner, const std::string& verb, const std::string& file,
                 const std::string& parameters, const std::string& directory,
                 int showCommand) override;
};

} // namespace omnitap::win32

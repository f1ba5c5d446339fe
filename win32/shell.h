#pragma once
#include "ports/shell.h"

namespace omnitap::win32 {

class Win32Shell final : public ports::Shell {
  public:
    ports::Result execute(ports::WindowId owner, const std::string& verb, const std::string& file,
                          const std::string& parameters, const std::string& directory,
                          int showCommand) override;
    std::string systemProgram(const std::string& name) override;
    std::string registeredProgram(const std::string& name) override;
    ports::ProgramFolders programFolders() override;
};

} // namespace omnitap::win32

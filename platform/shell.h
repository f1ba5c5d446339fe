#pragma once
// Opening programs and documents through the shell.

#include <cstdint>
#include <string>

namespace omnitap::platform {

// A window as the portable code knows it: the system's handle as a number, 0 = none.
using WindowId = std::uintptr_t;

class Shell {
  public:
    virtual ~Shell() = default;
    // ShellExecute: owner window, verb ("open"), file, parameters, directory, show command.
    // The result is not examined by the program.
    virtual void execute(WindowId owner, const std::string& verb, const std::string& file,
                         const std::string& parameters, const std::string& directory,
                         int showCommand) = 0;
};

} // namespace omnitap::platform

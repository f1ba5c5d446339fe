#pragma once
// Opening programs and documents through the shell.

#include "ports/result.h"
#include "ports/window_id.h"

#include <string>

namespace omnitap::ports {

class Shell {
  public:
    virtual ~Shell() = default;
    // ShellExecute: owner window, verb ("open"), file, parameters, directory, show command.
    // Whatever fails, the shell shows no box of its own; the result says why, with the
    // system's error code.
    virtual Result execute(WindowId owner, const std::string& verb, const std::string& file,
                           const std::string& parameters, const std::string& directory,
                           int showCommand) = 0;
    // The full path of one of the system's own programs (in the Windows folder), so that a
    // file of that name beside this program, where anything may sit, is never started instead.
    virtual std::string systemProgram(const std::string& name) = 0;
};

} // namespace omnitap::ports

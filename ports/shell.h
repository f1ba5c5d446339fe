#pragma once
// Opening programs and documents through the shell, and where the system keeps its programs.

#include "ports/result.h"
#include "ports/window_id.h"

#include <string>

namespace omnitap::ports {

// The places the system looks for a program named without a folder, as it has them.
struct ProgramFolders {
    std::string system, windows; // System32 and the Windows folder
    std::string path, pathExt;   // the PATH and PATHEXT variables, unparsed
    std::string profile;         // the user's profile folder
};

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
    // What App Paths registers for a program's file name ("winword.exe"), the user's entry
    // before the machine's, its variables expanded; empty when neither has one.
    virtual std::string registeredProgram(const std::string& name) = 0;
    virtual ProgramFolders programFolders() = 0;
};

} // namespace omnitap::ports

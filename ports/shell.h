#pragma once
// Opening programs and documents through the shell.

#include "ports/result.h"

#include <cstdint>
#include <string>

namespace omnitap::ports {

// A window as the portable code knows it: the system's handle as a number, 0 = none.
using WindowId = std::uintptr_t;

// Places on the screen, in pixels of the virtual screen.
struct ScreenPoint {
    int x = 0, y = 0;
    bool operator==(const ScreenPoint&) const = default;
};
struct ScreenRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// The window that owns what the program opens (launched programs, Explorer, the clipboard's
// text): the hidden control window.
class OwnerWindow {
  public:
    virtual ~OwnerWindow() = default;
    virtual WindowId ownerWindow() const = 0;
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
};

} // namespace omnitap::ports

#pragma once
// Launching: the target a key's argument names, split as the shell wants it, and the program a
// name without a folder means.

#include "ports/file_system.h"
#include "ports/shell.h"

#include <optional>
#include <string>
#include <string_view>

namespace omnitap {

// A launch target split into the file to open and its parameters, the way a command line
// is: blanks around the target do not count; a target that begins with a double quote names
// its file up to the closing quote (or to its end when there is none), any other ends its
// file at the first blank; the rest, trimmed of blanks, is the parameters, quotes and all.
//   notepad.exe "C:\my notes.txt"   ->  notepad.exe  |  "C:\my notes.txt"
//   "C:\My Apps\a.exe" /s          ->  C:\My Apps\a.exe  |  /s
struct LaunchTarget {
    std::string file;
    std::string parameters;
    std::string directory; // where it starts; empty: where this program stands
    bool operator==(const LaunchTarget&) const = default;
};
LaunchTarget splitLaunchTarget(std::string_view target);

// What a launch looks for a program with.
struct LaunchPlaces {
    ports::FileSystem& files;
    ports::Shell& shell;
    const std::string& ownFolder; // this program's: whatever was downloaded with it sits there
};
// A file named without a folder, a drive or a scheme ("calc.exe", "notepad").
bool isBareName(std::string_view file);
// The full path of the program a bare name means, found as the Run box finds it: its App
// Paths entry, else the first of System32, the Windows folder and PATH's folders that holds
// it, with PATHEXT's extensions when the name has none. Never the current folder (nor PATH's
// relative entries, which name folders from it) and never `ownFolder`. Empty when none has it.
std::string findProgram(std::string_view name, const LaunchPlaces& places);
// What a launch key opens. A quoted target splits as above. A target typed without quotes is
// opened whole when it names an existing file or folder (C:\My Docs\notes.txt); else, as the
// system reads an unquoted command line, its program is the longest part before a blank that
// names an existing file (C:\Program Files\Tool\tool.exe --fast), and only when none does is
// it split at the first blank. A bare name is the program findProgram finds, and nothing when
// it finds none: the shell would look for it beside this program as well. An existing file
// starts in its own folder.
std::optional<LaunchTarget> resolveLaunchTarget(std::string_view target,
                                                const LaunchPlaces& places);

} // namespace omnitap

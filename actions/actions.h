#pragma once
// Launching: the target a key's argument names, split as the shell wants it.

#include "ports/file_system.h"

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
    bool operator==(const LaunchTarget&) const = default;
};
LaunchTarget splitLaunchTarget(std::string_view target);
// What a launch key opens. A quoted target splits as above. A target typed without quotes is
// opened whole when it names an existing file or folder (C:\My Docs\notes.txt); else, as the
// system reads an unquoted command line, its program is the longest part before a blank that
// names an existing file (C:\Program Files\Tool\tool.exe --fast), and only when none does is
// it split at the first blank.
LaunchTarget resolveLaunchTarget(std::string_view target, ports::FileSystem& files);

} // namespace omnitap

#pragma once
// "Start with Windows" in the tray menu: the entry "Omnitap" in the user's list of programs
// that start at log-on, holding this exe's full path in double quotes. It is the one thing
// Omnitap writes outside its folder, and only while the entry is ticked.

#include "ports/app_info.h"
#include "ports/message_box.h"
#include "ports/startup_list.h"

#include <string_view>

namespace omnitap {

// Whether the command line `command` starts the program at `exePath` and nothing else: the
// whole command, quoted or not, names that file, in any case (as Windows file names go).
bool startsProgram(std::string_view command, std::string_view exePath);

class StartWithWindows {
  public:
    static constexpr const char* kEntry = "Omnitap";

    StartWithWindows(ports::StartupList& list, ports::AppInfo& appInfo,
                     ports::MessageBoxes& messages)
        : list_(list), appInfo_(appInfo), messages_(messages) {}

    // The check mark: the entry starts this very exe. An entry that starts another copy, or
    // a file that is gone, shows unchecked.
    bool checked();
    // Ticked: writes the entry (replacing one that starts something else); unticked: removes
    // it. A failure is reported in a box with the system's reason and changes nothing.
    void toggle();

  private:
    ports::StartupList& list_;
    ports::AppInfo& appInfo_;
    ports::MessageBoxes& messages_;
};

} // namespace omnitap

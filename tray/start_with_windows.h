#pragma once
// "Start with Windows" in the tray menu: the entry "Omnitap" in the user's list of programs
// that start at log-on, holding this exe's full path in double quotes, and not turned off in
// Task Manager or Settings (which keep the entry and switch it off beside it). It is the one
// thing Omnitap writes outside its folder, and only while the entry is ticked.

#include "ports/app_info.h"
#include "ports/message_box.h"
#include "ports/startup_list.h"

#include <optional>
#include <string_view>

namespace omnitap {

// Whether the command line `command` starts the program at `exePath` and nothing else: the
// whole command, quoted or not, names that file, in any case (as Windows file names go).
bool startsProgram(std::string_view command, std::string_view exePath);

// Whether an entry's switch turns it off: Task Manager and Settings write 12 bytes, the first
// odd for off (3) and even for on (2), then when it was turned off, or zeros. An entry without
// one is on.
bool turnedOff(const std::optional<ports::Bytes>& approval);

class StartWithWindows {
  public:
    static constexpr const char* kEntry = "Omnitap";

    StartWithWindows(ports::StartupList& list, ports::AppInfo& appInfo,
                     ports::MessageBoxes& messages)
        : list_(list), appInfo_(appInfo), messages_(messages) {}

    // The check mark: the entry starts this very exe and is not turned off. An entry that
    // starts another copy, or a file that is gone, shows unchecked.
    bool checked();
    // Ticked: writes the entry (replacing one that starts something else) and turns it on
    // where it was turned off; unticked: removes it and its switch. A failure is reported in a
    // box with the system's reason and changes what Windows starts in no way.
    void toggle();

  private:
    ports::Result add();
    ports::Result remove();

    ports::StartupList& list_;
    ports::AppInfo& appInfo_;
    ports::MessageBoxes& messages_;
};

} // namespace omnitap

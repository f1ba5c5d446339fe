#pragma once
// Where the program runs from, and how it ends.

#include <string>

namespace omnitap::ports {

class AppInfo {
  public:
    virtual ~AppInfo() = default;
    // Folder of the running executable, UTF-8, without a trailing separator added.
    virtual std::string exeFolder() = 0;
    // File name of the executable without folder and extension ("omnitap").
    virtual std::string exeBaseName() = 0;
    // The executable's full path, UTF-8.
    virtual std::string exePath() = 0;
    // Ends the process at once: open windows close without their own unload handling.
    virtual void endProgram() = 0;
};

} // namespace omnitap::ports

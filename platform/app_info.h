#pragma once
// Where the program runs from.

#include <string>

namespace omnitap::platform {

class AppInfo {
  public:
    virtual ~AppInfo() = default;
    // Folder of the running executable, UTF-8, without a trailing separator added.
    virtual std::string exeFolder() = 0;
    // File name of the executable without folder and extension ("omnitap").
    virtual std::string exeBaseName() = 0;
};

} // namespace omnitap::platform

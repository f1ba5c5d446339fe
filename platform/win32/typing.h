#pragma once
#include "platform/typing.h"

namespace omnitap::win32 {

// Types characters as Unicode keystrokes (KEYEVENTF_UNICODE), so the text arrives as it is
// whatever the keyboard layout, each keystroke marked as the program's own input.
class Win32Typing final : public platform::Typing {
  public:
    void typeKeyString(std::string_view keys) override;
};

} // namespace omnitap::win32

#pragma once
#include "platform/clipboard.h"

namespace omnitap::win32 {

class Win32Clipboard final : public platform::Clipboard {
  public:
    bool setText(platform::WindowId owner, const std::string& text) override;
};

} // namespace omnitap::win32

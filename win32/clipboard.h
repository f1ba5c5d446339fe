#pragma once
#include "ports/clipboard.h"

namespace omnitap::win32 {

class Win32Clipboard final : public ports::Clipboard {
  public:
    bool setText(ports::WindowId owner, const std::string& text) override;
};

} // namespace omnitap::win32

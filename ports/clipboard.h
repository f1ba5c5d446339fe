#pragma once
// The system clipboard, text only.

#include "ports/window_id.h"

#include <string>

namespace omnitap::ports {

class Clipboard {
  public:
    virtual ~Clipboard() = default;
    // Replaces the clipboard's content with `text` (UTF-8), owned by `owner` (0 = the
    // calling thread). When another program keeps the clipboard open, it tries again for
    // kClipboardPatience (base/retry.h) and then gives up; false means nothing was changed.
    virtual bool setText(WindowId owner, const std::string& text) = 0;
};

} // namespace omnitap::ports

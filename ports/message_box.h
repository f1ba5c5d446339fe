#pragma once
// Message boxes. The style and answer values are the system's own.

#include "ports/window_id.h"

#include <string>

namespace omnitap::ports {

namespace mb {
constexpr unsigned kOk = 0x00;
constexpr unsigned kYesNoCancel = 0x03;
constexpr unsigned kYesNo = 0x04;
constexpr unsigned kIconError = 0x10;
constexpr unsigned kIconQuestion = 0x20;
constexpr unsigned kIconWarning = 0x30;
constexpr unsigned kIconInformation = 0x40;
constexpr int kAnswerOk = 1;
constexpr int kAnswerCancel = 2;
constexpr int kAnswerYes = 6;
constexpr int kAnswerNo = 7;
} // namespace mb

class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    // Shows a box and returns the answer (mb::kAnswer...). A box that a window raises is owned
    // by it, so that the window cannot be used (or closed under its own question) while the
    // box is up; 0 for a box with no window of ours behind it.
    virtual int show(WindowId owner, const std::string& text, const std::string& title,
                     unsigned style) = 0;
};

} // namespace omnitap::ports

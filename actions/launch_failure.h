#pragma once
// What the user is told when a key's launch target cannot be started: a notice from the
// tray icon (never a box, which would take the focus from the program being typed into),
// naming the target and the reason.

#include "ports/result.h"

#include <string>
#include <string_view>

namespace omnitap {

struct Notice {
    std::string title; // at most 63 UTF-16 units, as a balloon's title holds
    std::string text;  // at most 255
};

// The reason in words a user can act on, for what the shell usually answers; for anything
// else, the system's own words.
std::string launchFailureReason(const ports::Result& result);

// The target (shortened in the middle when the reason would not fit beside it) above the
// reason.
Notice launchFailureNotice(std::string_view target, const ports::Result& result);

} // namespace omnitap

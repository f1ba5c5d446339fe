#include "actions/launch_failure.h"

#include "text/trim.h"
#include "text/utf8.h"

namespace omnitap {
namespace {

constexpr std::size_t kTextUnits = 255;  // a balloon's text
constexpr std::size_t kTargetUnits = 40; // of the target, at least, beside a long reason

std::size_t units(std::string_view text) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size();)
        n += utf16Units(nextCodePoint(text, i));
    return n;
}
// The first, and the last, whole characters of `text` that fit in `limit` UTF-16 units.
std::string_view head(std::string_view text, std::size_t limit) {
    std::size_t end = 0;
    for (std::size_t i = 0, used = 0; i < text.size(); end = i) {
        used += utf16Units(nextCodePoint(text, i));
        if (used > limit) break;
    }
    return text.substr(0, end);
}
std::string_view tail(std::string_view text, std::size_t limit) {
    std::size_t i = 0;
    for (std::size_t left = units(text); left > limit;)
        left -= utf16Units(nextCodePoint(text, i));
    return text.substr(i);
}

} // namespace

std::string launchFailureReason(const ports::Result& result) {
    switch (result.code) {
    case 2: // ERROR_FILE_NOT_FOUND
        return "There is no such file: it may have been moved, renamed or uninstalled, or the "
               "name is mistyped.";
    case 3: // ERROR_PATH_NOT_FOUND
        return "There is no such folder: it may have been moved or renamed, or the name is "
               "mistyped.";
    case 5: // ERROR_ACCESS_DENIED
        return "Windows does not allow it to be opened from this account.";
    case 11:  // ERROR_BAD_FORMAT
    case 193: // ERROR_BAD_EXE_FORMAT
        return "It is not a program this Windows can run.";
    case 1155: // ERROR_NO_ASSOCIATION
        return "No program is set to open this kind of file.";
    case 1157: // ERROR_DLL_NOT_FOUND
        return "A file the program needs is missing: installing it again may help.";
    case 1223: // ERROR_CANCELLED
        return "Starting it was cancelled.";
    default:
        break;
    }
    if (!result.error.empty()) return result.error;
    return "Windows gave error " + std::to_string(result.code) + ".";
}

Notice launchFailureNotice(std::string_view target, const ports::Result& result) {
    const std::string reason(head(launchFailureReason(result), kTextUnits - 1 - kTargetUnits));
    // The target gives way in its middle, keeping its start and its end (the drive and the
    // file name).
    const std::string_view name = trimSpaces(target);
    const std::size_t room = kTextUnits - 1 - units(reason); // less the line break
    std::string shown(name);
    if (units(name) > room) {
        const std::size_t half = (room - 3) / 2;
        shown = std::string(head(name, half)) + "..." + std::string(tail(name, half));
    }
    return {"Omnitap could not start a key's program", shown + "\n" + reason};
}

} // namespace omnitap

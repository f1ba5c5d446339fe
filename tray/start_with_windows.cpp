#include "tray/start_with_windows.h"

#include "text/quoted.h"
#include "text/trim.h"

#include <algorithm>

namespace omnitap {
namespace {

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool startsProgram(std::string_view command, std::string_view exePath) {
    std::string_view named = trimSpaces(command);
    if (named.size() >= 2 && named.front() == '"' && named.back() == '"')
        named = named.substr(1, named.size() - 2);
    return std::equal(named.begin(), named.end(), exePath.begin(), exePath.end(),
                      [](char a, char b) { return lower(a) == lower(b); });
}

bool StartWithWindows::checked() {
    std::optional<std::string> command = list_.command(kEntry);
    return command && startsProgram(*command, appInfo_.exePath());
}

void StartWithWindows::toggle() {
    const bool remove = checked();
    ports::Result done =
        remove ? list_.remove(kEntry) : list_.setCommand(kEntry, quoted(appInfo_.exePath()));
    if (done.ok) return;
    std::string text = "Omnitap could not ";
    text += remove ? "remove itself from" : "add itself to";
    text += " the programs that start with Windows.\r\n\r\n" + done.error;
    text += "\r\n\r\nNothing was changed.";
    messages_.show(0, text, "Omnitap", ports::mb::kOk | ports::mb::kIconError);
}

} // namespace omnitap

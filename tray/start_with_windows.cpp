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

bool turnedOff(const std::optional<ports::Bytes>& approval) {
    return approval && !approval->empty() && (approval->front() & 1) != 0;
}

bool StartWithWindows::checked() {
    std::optional<std::string> command = list_.command(kEntry);
    return command && startsProgram(*command, appInfo_.exePath()) &&
           !turnedOff(list_.approval(kEntry));
}

// The command first: while the switch still says off, Windows starts nothing, whichever step
// fails. The switch is written as Task Manager writes "on".
ports::Result StartWithWindows::add() {
    ports::Result done = list_.setCommand(kEntry, quoted(appInfo_.exePath()));
    if (!done.ok || !turnedOff(list_.approval(kEntry))) return done;
    return list_.setApproval(kEntry, ports::Bytes{0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
}

// The switch first: it says on (the entry is ticked), as no switch does.
ports::Result StartWithWindows::remove() {
    ports::Result done = list_.removeApproval(kEntry);
    return done.ok ? list_.remove(kEntry) : done;
}

void StartWithWindows::toggle() {
    const bool removing = checked();
    ports::Result done = removing ? remove() : add();
    if (done.ok) return;
    std::string text = "Omnitap could not ";
    text += removing ? "remove itself from" : "add itself to";
    text += " the programs that start with Windows.\r\n\r\n" + done.error;
    text += "\r\n\r\nNothing was changed.";
    messages_.show(0, text, "Omnitap", ports::mb::kOk | ports::mb::kIconError);
}

} // namespace omnitap

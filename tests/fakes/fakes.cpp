#include "tests/fakes/fakes.h"

#include "text/utf8.h"

#include <cstring>

namespace omnitap::fakes {

std::string FakeCodec::ansiToUtf8(std::string_view ansi) {
    std::string out;
    for (unsigned char c : ansi)
        appendUtf8(out, c);
    return out;
}

std::string FakeCodec::utf8ToAnsi(std::string_view utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t c = nextCodePoint(utf8, i);
        out += c < 0x100 ? static_cast<char>(c) : '?';
    }
    return out;
}

ports::FileContent FakeFileSystem::read(const std::string& path) {
    using Status = ports::FileContent::Status;
    auto it = files.find(path);
    if (it == files.end()) return {Status::Missing};
    if (lockedReads > 0 && lockedReads--)
        return {Status::Locked, {}, "The file is being used by another process."};
    if (!readError.empty()) return {Status::Failed, {}, readError};
    return {Status::Read, it->second, {}};
}

ports::FileResult FakeFileSystem::create(const std::string& path, Handle& handle) {
    if (failCreate) return {false, "Access is denied."};
    handle = next_++;
    pathOf_[handle] = path;
    openHandles.insert(handle);
    files[path].clear();
    written_ = 0;
    return {};
}

ports::FileResult FakeFileSystem::write(Handle handle, std::string_view bytes) {
    bool full = failAfterBytes && written_ + bytes.size() > *failAfterBytes;
    if (full) bytes = bytes.substr(0, *failAfterBytes - written_);
    files[pathOf_.at(handle)].append(bytes);
    written_ += bytes.size();
    if (full) return {false, "There is not enough space on the disk."};
    return {};
}

ports::FileResult FakeFileSystem::replace(const std::string& from, const std::string& to) {
    if (failReplace) return {false, "Access is denied."};
    files[to] = files.at(from);
    files.erase(from);
    ++replaces;
    return {};
}

void FakeWindowMessaging::record(const char* what, std::initializer_list<std::uintptr_t> numbers) {
    std::string call = what;
    for (std::uintptr_t number : numbers)
        call += " " + std::to_string(number);
    calls.push_back(call);
}

Calls FakeWindowMessaging::callsOf(const std::string& prefix) const {
    Calls out;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(out),
                 [&](const std::string& call) { return call.rfind(prefix + " ", 0) == 0; });
    return out;
}

ports::WindowId FakeWindowMessaging::findTopLevelWindow(const std::string& className) {
    for (const auto& [id, window] : windows)
        if (window.className == className) return id;
    return 0;
}

std::optional<std::intptr_t> FakeWindowMessaging::sendWithTimeout(ports::WindowId window,
                                                                  std::uint32_t message,
                                                                  std::uintptr_t wParam,
                                                                  std::intptr_t lParam,
                                                                  std::chrono::milliseconds) {
    record("send", {window, message, wParam, static_cast<std::uintptr_t>(lParam)});
    auto it = windows.find(window);
    if (it == windows.end() || it->second.unanswered.count(lParam)) return std::nullopt;
    auto answer = it->second.answers.find({lParam, wParam});
    return answer == it->second.answers.end() ? 0 : answer->second;
}

std::size_t FakeWindowMessaging::readProcessMemory(ports::ProcessId process, std::uintptr_t address,
                                                   std::span<char> into) {
    record("read", {process, address, into.size()});
    // Like the system, a read that does not lie wholly inside readable memory copies nothing.
    for (const auto& [start, bytes] : memory[process]) {
        if (address >= start && address - start + into.size() <= bytes.size()) {
            std::memcpy(into.data(), bytes.data() + (address - start), into.size());
            return into.size();
        }
    }
    return 0;
}

bool FakeTrayShell::notifyIcon(ports::TrayCommand command, const ports::TrayIconRecord& record) {
    calls.push_back({command, record});
    const std::pair key{record.hWnd, record.uID};
    const auto found = std::find(shown.begin(), shown.end(), key);
    switch (command) {
    case ports::TrayCommand::Add:
        if (found != shown.end()) return false;
        shown.push_back(key);
        return true;
    case ports::TrayCommand::Delete:
        if (found == shown.end()) return false;
        shown.erase(found);
        return true;
    case ports::TrayCommand::SetVersion:
        return takesVersion && found != shown.end();
    case ports::TrayCommand::Modify:
    case ports::TrayCommand::SetFocus:
        return found != shown.end();
    }
    return false;
}

} // namespace omnitap::fakes

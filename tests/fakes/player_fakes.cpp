#include "tests/fakes/player_fakes.h"

#include <cstring>

namespace omnitap::fakes {

void FakeWindowMessaging::record(const char* what, std::initializer_list<std::uintptr_t> numbers) {
    std::string call = what;
    for (std::uintptr_t number : numbers)
        call += " " + std::to_string(number);
    calls.push_back(call);
}

std::vector<std::string> FakeWindowMessaging::callsOf(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& call : calls)
        if (call.rfind(prefix + " ", 0) == 0) out.push_back(call);
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

} // namespace omnitap::fakes

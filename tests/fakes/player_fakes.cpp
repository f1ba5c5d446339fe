#include "tests/fakes/player_fakes.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace omnitap::fakes {

FakePlayerWindow& FakeWindowMessaging::addPlayer(ports::WindowId id, std::string caption) {
    FakePlayerWindow& window = windows[id];
    window.caption = std::move(caption);
    return window;
}

std::vector<std::string> FakeWindowMessaging::callsOf(const std::string& prefix) const {
    std::vector<std::string> out;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(out),
                 [&](const std::string& call) { return call.rfind(prefix + " ", 0) == 0; });
    return out;
}

ports::WindowId FakeWindowMessaging::findTopLevelWindow(const std::string& className) {
    for (const auto& [id, window] : windows)
        if (window.className == className) return id;
    return 0;
}

std::optional<std::intptr_t>
FakeWindowMessaging::sendWithTimeout(ports::WindowId window, std::uint32_t message,
                                     std::uintptr_t wParam, std::intptr_t lParam,
                                     std::chrono::milliseconds timeout) {
    calls.push_back("send " + std::to_string(window) + " " + std::to_string(message) + " " +
                    std::to_string(wParam) + " " + std::to_string(lParam));
    timeouts.push_back(timeout);
    auto it = windows.find(window);
    if (it == windows.end()) return std::nullopt;
    const FakePlayerWindow& player = it->second;
    if (player.hung || player.unanswered.count(lParam)) return std::nullopt;
    auto answer = player.answers.find({lParam, wParam});
    return answer == player.answers.end() ? 0 : answer->second;
}

void FakeWindowMessaging::post(ports::WindowId window, std::uint32_t message, std::uintptr_t wParam,
                               std::intptr_t lParam) {
    calls.push_back("post " + std::to_string(window) + " " + std::to_string(message) + " " +
                    std::to_string(wParam) + " " + std::to_string(lParam));
}

void FakeWindowMessaging::bringToForeground(ports::WindowId window) {
    calls.push_back("foreground " + std::to_string(window));
}

std::string FakeWindowMessaging::caption(ports::WindowId window) {
    auto it = windows.find(window);
    return it == windows.end() ? std::string() : it->second.caption;
}

ports::ProcessId FakeWindowMessaging::owningProcess(ports::WindowId window) {
    auto it = windows.find(window);
    return it == windows.end() ? 0 : it->second.process;
}

std::size_t FakeWindowMessaging::readProcessMemory(ports::ProcessId process, std::uintptr_t address,
                                                   std::span<char> into) {
    calls.push_back("read " + std::to_string(process) + " " + std::to_string(address) + " " +
                    std::to_string(into.size()));
    auto blocks = memory.find(process);
    if (blocks == memory.end()) return 0;
    // Like the system, a read that does not lie wholly inside readable memory copies nothing.
    for (const auto& [start, bytes] : blocks->second) {
        if (address >= start && address - start + into.size() <= bytes.size()) {
            std::memcpy(into.data(), bytes.data() + (address - start), into.size());
            return into.size();
        }
    }
    return 0;
}

} // namespace omnitap::fakes

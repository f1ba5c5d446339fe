#pragma once
// Stand-ins for the seams of the media player remote: a desktop with player windows that
// answer queries from a table, a clipboard, a keyboard that records what it was asked to
// type and send, and a shell that records its requests.

#include "ports/clipboard.h"
#include "ports/shell.h"
#include "ports/typing.h"
#include "ports/window_messaging.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace omnitap::fakes {

struct FakePlayerWindow {
    std::string className = "Winamp v1.x";
    std::string caption;
    ports::ProcessId process = 0;
    // Answers to WM_USER queries by (lParam, wParam); a query not listed answers 0.
    std::map<std::pair<std::intptr_t, std::uintptr_t>, std::intptr_t> answers;
    std::set<std::intptr_t> unanswered; // queries (lParam) that get no answer in time
};

// Every call that reaches the desktop is written down in order: "send 7 1024 0 104" (window,
// message, wParam, lParam), "post 7 273 40045 0", "foreground 7", "read 4242 4096 256"
// (process, address, size).
class FakeWindowMessaging : public ports::WindowMessaging {
  public:
    std::map<ports::WindowId, FakePlayerWindow> windows;
    // Readable memory by process: blocks of bytes at their start addresses.
    std::map<ports::ProcessId, std::map<std::uintptr_t, std::string>> memory;
    std::vector<std::string> calls;

    FakePlayerWindow& addPlayer(ports::WindowId id, std::string caption = "Winamp") {
        return windows[id] = FakePlayerWindow{.caption = std::move(caption)};
    }
    // The calls that start with `prefix` ("send", "post", ...).
    std::vector<std::string> callsOf(const std::string& prefix) const;

    ports::WindowId findTopLevelWindow(const std::string& className) override;
    std::optional<std::intptr_t> sendWithTimeout(ports::WindowId window, std::uint32_t message,
                                                 std::uintptr_t wParam, std::intptr_t lParam,
                                                 std::chrono::milliseconds) override;
    void post(ports::WindowId window, std::uint32_t message, std::uintptr_t wParam,
              std::intptr_t lParam) override {
        record("post", {window, message, wParam, static_cast<std::uintptr_t>(lParam)});
    }
    void bringToForeground(ports::WindowId window) override { record("foreground", {window}); }
    std::string caption(ports::WindowId window) override { return windows[window].caption; }
    ports::ProcessId owningProcess(ports::WindowId window) override {
        return windows.count(window) ? windows[window].process : 0;
    }
    std::size_t readProcessMemory(ports::ProcessId process, std::uintptr_t address,
                                  std::span<char> into) override;

  private:
    void record(const char* what, std::initializer_list<std::uintptr_t> numbers);
};

class FakeClipboard : public ports::Clipboard {
  public:
    std::optional<std::string> text; // nothing = never set
    int requests = 0;
    bool setText(ports::WindowId, const std::string& newText) override {
        ++requests;
        text = newText;
        return true;
    }
};

class FakeTyping : public ports::Typing {
  public:
    std::vector<std::string> typed; // each text handed over
    std::vector<ports::KeyStroke> sent;
    std::vector<std::string> events; // both, in order: "type T", "down 164", "up 164"
    std::set<std::uint8_t> down;     // keys held now
    void typeText(std::string_view text) override {
        typed.emplace_back(text);
        events.push_back("type " + typed.back());
    }
    void sendKeys(std::span<const ports::KeyStroke> keys) override {
        for (const ports::KeyStroke& key : keys) {
            sent.push_back(key);
            events.push_back((key.up ? "up " : "down ") + std::to_string(key.vk));
        }
    }
    bool isKeyDown(std::uint8_t vk) override { return down.count(vk) != 0; }
};

struct ShellRequest {
    ports::WindowId owner;
    std::string verb, file, parameters, directory;
    int showCommand;
};

class ShellRecorder : public ports::Shell {
  public:
    std::vector<ShellRequest> requests;
    void execute(ports::WindowId owner, const std::string& verb, const std::string& file,
                 const std::string& parameters, const std::string& directory,
                 int showCommand) override {
        requests.push_back({owner, verb, file, parameters, directory, showCommand});
    }
    std::string systemProgram(const std::string& name) override { return "C:\\Windows\\" + name; }
};

} // namespace omnitap::fakes

#pragma once
// The desktop's seams in memory: the player's windows, the clipboard, the keyboard, the shell
// and the notification area, recording what was asked.

#include "ports/clipboard.h"
#include "ports/shell.h"
#include "ports/tray_shell.h"
#include "ports/typing.h"
#include "ports/window_messaging.h"
#include "tests/fakes/fakes.h"

#include <cstring>

namespace omnitap::fakes {

struct FakePlayerWindow {
    std::string caption;
    ports::ProcessId process = 0;
    // Answers to WM_USER queries by (lParam, wParam); a query not listed answers 0.
    std::map<std::pair<std::intptr_t, std::uintptr_t>, std::intptr_t> answers;
    std::set<std::intptr_t> unanswered; // queries (lParam) that get no answer in time
};

// Winamp's windows; calls are written down in order: "send 7 1024 0 104" (window, message,
// wParam, lParam), "post 7 273 40045 0", "foreground 7", "read 4242 4096 256" (at, size).
class FakeWindowMessaging : public ports::WindowMessaging {
  public:
    std::map<ports::WindowId, FakePlayerWindow> windows;
    std::map<ports::ProcessId, std::map<std::uintptr_t, std::string>> memory;
    Calls calls;

    FakePlayerWindow& addPlayer(ports::WindowId id, std::string caption = "Winamp") {
        return windows[id] = FakePlayerWindow{.caption = std::move(caption)};
    }

    ports::WindowId findTopLevelWindow(const std::string& className) override {
        return className == "Winamp v1.x" && !windows.empty() ? windows.begin()->first : 0;
    }
    std::optional<std::intptr_t> sendWithTimeout(ports::WindowId window, std::uint32_t message,
                                                 std::uintptr_t wParam, std::intptr_t lParam,
                                                 std::chrono::milliseconds) override {
        record("send", {window, message, wParam, static_cast<std::uintptr_t>(lParam)});
        auto it = windows.find(window);
        if (it == windows.end() || it->second.unanswered.count(lParam)) return std::nullopt;
        auto answer = it->second.answers.find({lParam, wParam});
        return answer == it->second.answers.end() ? 0 : answer->second;
    }
    void post(ports::WindowId window, std::uint32_t message, std::uintptr_t wParam,
              std::intptr_t lParam) override {
        record("post", {window, message, wParam, static_cast<std::uintptr_t>(lParam)});
    }
    void bringToForeground(ports::WindowId window) override { record("foreground", {window}); }
    std::string caption(ports::WindowId window) override { return windows[window].caption; }
    ports::ProcessId owningProcess(ports::WindowId window) override {
        return windows.count(window) ? windows[window].process : 0;
    }
    // Like the system, a read that does not lie wholly inside readable memory copies nothing.
    std::size_t readProcessMemory(ports::ProcessId process, std::uintptr_t address,
                                  std::span<char> into) override {
        record("read", {process, address, into.size()});
        for (const auto& [start, bytes] : memory[process]) {
            if (address >= start && address - start + into.size() <= bytes.size()) {
                std::memcpy(into.data(), bytes.data() + (address - start), into.size());
                return into.size();
            }
        }
        return 0;
    }

  private:
    void record(const char* what, std::initializer_list<std::uintptr_t> numbers) {
        std::string call = what;
        for (std::uintptr_t number : numbers)
            call += " " + std::to_string(number);
        calls.push_back(call);
    }
};

class FakeClipboard : public ports::Clipboard {
  public:
    std::optional<std::string> text; // nothing = never set
    bool setText(ports::WindowId, const std::string& newText) override {
        text = newText;
        return true;
    }
};

class FakeTyping : public ports::Typing {
  public:
    // The text typed and the keys sent, in order: "type T", "down 164", "up 165e" (extended).
    Calls events;
    std::set<std::uint8_t> down; // keys held now
    void typeText(std::string_view text) override { events.push_back("type " + std::string(text)); }
    void sendKeys(std::span<const ports::KeyStroke> keys) override {
        for (const ports::KeyStroke& key : keys)
            events.push_back((key.up ? "up " : "down ") + std::to_string(key.vk) +
                             (key.extended ? "e" : ""));
    }
    void sendHeldKeys(std::span<const ports::KeyStroke> keys) override { sendKeys(keys); }
    bool isKeyDown(std::uint8_t vk) override { return down.count(vk) != 0; }
    RepeatSettings keyRepeat() override { return {}; }
    std::string keyName(std::uint16_t scan, bool extended) override {
        return scan == 0x4D ? (extended ? "Right" : "Num 6") : scan == 0x43 ? "F9" : "";
    }
    // A layout with the letters, the digits and "=+" alone: "A" and "+" need Shift.
    std::optional<CharacterKey> keyOfCharacter(char32_t c) override {
        const bool upper = c >= 'A' && c <= 'Z';
        if (c >= 'a' && c <= 'z') c -= 'a' - 'A';
        if (c == '=' || c == '+') return CharacterKey{{0xBB, 0x0D}, c == '+'};
        if ((c < 'A' || c > 'Z') && (c < '0' || c > '9')) return std::nullopt;
        return CharacterKey{{static_cast<std::uint8_t>(c), 0}, upper};
    }
};

class ShellRecorder : public ports::Shell {
  public:
    Calls requests; // "file parameters"
    ports::Result execute(ports::WindowId, const std::string&, const std::string& file,
                          const std::string& parameters, const std::string&, int) override {
        requests.push_back(file + " " + parameters);
        return {};
    }
    std::string systemProgram(const std::string& name) override { return "C:\\Windows\\" + name; }
    std::map<std::string, std::string> registered; // App Paths
    ports::ProgramFolders folders{"C:\\Windows\\System32", "C:\\Windows", "", "", "C:\\Users\\me"};
    std::string registeredProgram(const std::string& name) override { return registered[name]; }
    ports::ProgramFolders programFolders() override { return folders; }
};

// A notification area. The icons it shows are kept as (window, uID); the program examines only
// whether the version took, which the real one grants for an icon it shows.
class FakeTrayShell : public ports::TrayShell {
  public:
    struct Call {
        ports::TrayCommand command;
        ports::TrayIconRecord record;
    };
    bool takesVersion = true; // false: a shell that keeps the notifications of old
    std::vector<Call> calls;
    std::set<std::pair<ports::WindowId, std::uint32_t>> shown;

    bool notifyIcon(ports::TrayCommand command, const ports::TrayIconRecord& record) override {
        calls.push_back({command, record});
        const std::pair key{record.hWnd, record.uID};
        if (command == ports::TrayCommand::Add) shown.insert(key);
        if (command == ports::TrayCommand::Delete) shown.erase(key);
        return command != ports::TrayCommand::SetVersion || (takesVersion && shown.count(key));
    }
    unsigned taskbarCreatedMessage() override { return 0xC0A1; }
    ports::IconId applicationIcon() override { return 0x1C0; }
    ports::IconId greyedIcon() override { return 0x1C1; }
    std::optional<ports::ScreenRect> iconRect(const ports::TrayIconRecord&) override {
        return ports::ScreenRect{1200, 990, 1216, 1006};
    }
    void restartExplorer() { shown.clear(); } // every icon is gone
};

} // namespace omnitap::fakes

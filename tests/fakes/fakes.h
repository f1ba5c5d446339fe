#pragma once
// The system's seams in memory, with the failures real systems have, recording what was asked.

#include "hook/hook_channel.h"
#include "ports/app_info.h"
#include "ports/clipboard.h"
#include "ports/file_system.h"
#include "ports/indicator_window.h"
#include "ports/keyboard_hook.h"
#include "ports/message_box.h"
#include "ports/running_copies.h"
#include "ports/shell.h"
#include "ports/startup_list.h"
#include "ports/text_codec.h"
#include "ports/tray_shell.h"
#include "ports/typing.h"
#include "ports/volume_backend.h"
#include "ports/window_messaging.h"
#include "text/utf8.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace omnitap::fakes {

using Calls = std::vector<std::string>;

inline KeyDef key(std::string name, int code, int code2, int mapm = 0, std::string webs = {}) {
    return KeyDef{static_cast<std::int16_t>(code), static_cast<std::int16_t>(code2),
                  std::move(name), static_cast<std::int16_t>(mapm), std::move(webs)};
}
inline KeyTable table(std::initializer_list<KeyDef> keys) {
    KeyTable t;
    for (const KeyDef& key : keys)
        t.append(key);
    return t;
}

// Latin-1 stands in for the ANSI code page; characters beyond it become "?".
class FakeCodec : public ports::TextCodec {
  public:
    std::string ansiToUtf8(std::string_view ansi) override {
        std::string out;
        for (unsigned char c : ansi)
            appendUtf8(out, c);
        return out;
    }
    std::string utf8ToAnsi(std::string_view utf8) override {
        std::string out;
        for (std::size_t i = 0; i < utf8.size();) {
            char32_t c = nextCodePoint(utf8, i);
            out += c < 0x100 ? static_cast<char>(c) : '?';
        }
        return out;
    }
};

struct ShownMessage {
    ports::WindowId owner;
    std::string text, title;
    unsigned style;
};
class FakeMessageBoxes : public ports::MessageBoxes {
  public:
    std::vector<ShownMessage> shown;
    int answer = ports::mb::kAnswerOk;
    std::function<void()> onShow; // runs while the box is "up"
    int show(ports::WindowId owner, const std::string& text, const std::string& title,
             unsigned style) override {
        shown.push_back({owner, text, title, style});
        if (onShow) onShow();
        return answer;
    }
};

class FakeAppInfo : public ports::AppInfo {
  public:
    std::string folder = "C:\\Tools\\Omnitap", baseName = "omnitap";
    int endings = 0;
    std::string exeFolder() override { return folder; }
    std::string exeBaseName() override { return baseName; }
    std::string exePath() override { return folder + "\\" + baseName + ".exe"; }
    void endProgram() override { ++endings; }
};

// The names that running copies hold; several fakes may share it, as processes share them.
class FakeRunningCopies : public ports::RunningCopies {
  public:
    std::vector<std::string> running;
    ports::WindowId listening = 0;
    int asked = 0;
    bool claim(const std::string& name) override {
        if (std::count(running.begin(), running.end(), name)) return false;
        running.push_back(name);
        return true;
    }
    void listen(ports::WindowId window) override { listening = window; }
    void askFirstCopy() override { ++asked; }
};

// A write that fails after some bytes keeps what was written, as a full disk does.
class FakeFileSystem : public ports::FileSystem {
  public:
    std::map<std::string, std::string> files;
    int lockedReads = 0;   // reads that find the file held by another program
    std::string readError; // not empty: the file cannot be read, for this reason
    std::chrono::milliseconds waited{0};
    std::optional<std::size_t> failAfterBytes; // counted from the file's creation
    bool failCreate = false, failFlush = false, failReplace = false;
    std::set<Handle> openHandles;
    int replaces = 0; // files written whole and swapped in

    ports::FileContent read(const std::string& path) override {
        using Status = ports::FileContent::Status;
        auto it = files.find(path);
        if (it == files.end()) return {Status::Missing};
        if (lockedReads > 0 && lockedReads--)
            return {Status::Locked, {}, "The file is being used by another process."};
        if (!readError.empty()) return {Status::Failed, {}, readError};
        return {Status::Read, it->second, {}};
    }
    void wait(std::chrono::milliseconds time) override { waited += time; }
    std::string temporaryNameFor(const std::string& path) override { return path + ".tmp"; }
    ports::FileResult create(const std::string& path, Handle& handle) override {
        if (failCreate) return {false, "Access is denied."};
        handle = next_++;
        pathOf_[handle] = path;
        openHandles.insert(handle);
        files[path].clear();
        written_ = 0;
        return {};
    }
    ports::FileResult write(Handle handle, std::string_view bytes) override {
        bool full = failAfterBytes && written_ + bytes.size() > *failAfterBytes;
        if (full) bytes = bytes.substr(0, *failAfterBytes - written_);
        files[pathOf_.at(handle)].append(bytes);
        written_ += bytes.size();
        if (full) return {false, "There is not enough space on the disk."};
        return {};
    }
    ports::FileResult flush(Handle) override {
        if (failFlush) return {false, "The request failed because of an I/O device error."};
        return {};
    }
    void close(Handle handle) override { openHandles.erase(handle); }
    ports::FileResult replace(const std::string& from, const std::string& to) override {
        if (failReplace) return {false, "Access is denied."};
        files[to] = files.at(from);
        files.erase(from);
        ++replaces;
        return {};
    }
    void remove(const std::string& path) override { files.erase(path); }
    std::set<std::string> folders;
    ports::PathKind kindOf(const std::string& path) override {
        if (files.count(path)) return ports::PathKind::File;
        return folders.count(path) ? ports::PathKind::Folder : ports::PathKind::None;
    }

  private:
    std::map<Handle, std::string> pathOf_;
    Handle next_ = 1;
    std::size_t written_ = 0;
};

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
    Calls callsOf(const std::string& what) const {
        Calls out;
        std::copy_if(calls.begin(), calls.end(), std::back_inserter(out),
                     [&](const std::string& call) { return call.starts_with(what + " "); });
        return out;
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
    int requests = 0;
    bool setText(ports::WindowId, const std::string& newText) override {
        ++requests;
        text = newText;
        return true;
    }
};

class FakeTyping : public ports::Typing {
  public:
    Calls typed; // each text handed over
    // Both, in order: "type T", "down 164", "up 165e" (an extended key).
    Calls events;
    std::set<std::uint8_t> down; // keys held now
    void typeText(std::string_view text) override {
        typed.emplace_back(text);
        events.push_back("type " + typed.back());
    }
    void sendKeys(std::span<const ports::KeyStroke> keys) override {
        for (const ports::KeyStroke& key : keys)
            events.push_back((key.up ? "up " : "down ") + std::to_string(key.vk) +
                             (key.extended ? "e" : ""));
    }
    void sendHeldKeys(std::span<const ports::KeyStroke> keys) override { sendKeys(keys); }
    bool isKeyDown(std::uint8_t vk) override { return down.count(vk) != 0; }
    RepeatSettings keyRepeat() override { return {}; }
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
};

// A notification area. The icons it shows are kept as (window, uID); like the real one it
// refuses a second add of one and a delete of a missing one.
class FakeTrayShell : public ports::TrayShell {
  public:
    struct Call {
        ports::TrayCommand command;
        ports::TrayIconRecord record;
    };
    bool takesVersion = true; // false: a shell that keeps the notifications of old
    std::vector<Call> calls;
    std::vector<std::pair<ports::WindowId, std::uint32_t>> shown;

    bool notifyIcon(ports::TrayCommand command, const ports::TrayIconRecord& record) override {
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
    unsigned taskbarCreatedMessage() override { return 0xC0A1; }
    ports::IconId applicationIcon() override { return 0x1C0; }
    ports::IconId greyedIcon() override { return 0x1C1; }
    std::optional<ports::ScreenRect> iconRect(const ports::TrayIconRecord&) override {
        return ports::ScreenRect{1200, 990, 1216, 1006};
    }
    void restartExplorer() { shown.clear(); } // every icon is gone
};

class FakeVolumeBackend : public ports::VolumeBackend {
  public:
    bool hasDevice = true;      // open() finds one
    bool deviceChanged = false; // taken once
    ports::VolumeRange range{0, 65535};
    std::optional<double> volume = 0;     // nothing: the control cannot be read
    std::optional<std::int32_t> mute = 0; // nothing: there is no mute switch
    int opens = 0;
    std::vector<double> volumeWrites; // every value asked for
    std::vector<bool> muteWrites;

    bool open() override { return ++opens, hasDevice; }
    bool takeDeviceChange() override { return std::exchange(deviceChanged, false); }
    ports::VolumeRange volumeRange() const override { return range; }
    std::optional<double> readVolume() override { return volume; }
    bool writeVolume(double raw) override {
        volumeWrites.push_back(raw);
        return volume && (volume = raw);
    }
    std::optional<std::int32_t> readMute() override { return mute; }
    bool writeMute(bool muted) override {
        muteWrites.push_back(muted);
        return mute && (mute = muted ? 1 : 0);
    }
};

class FakeKeyboardHook : public ports::KeyboardHook {
  public:
    Calls calls;
    ports::WindowId notify = 0;
    ports::Result installs; // what the system answers each installation
    ports::Result hookKeyboard(ports::WindowId window) override {
        notify = window;
        calls.push_back("hook");
        return installs;
    }
    void unhookKeyboard() override { calls.push_back("unhook"); }
    void renewHook() override {}
    void loseHook() override {}
};

struct FakeHookOutput : HookOutput {
    int wakes = 0, refusals = 0; // the wake-ups asked for; how many of the next to refuse
    bool wake() override { return ++wakes, refusals-- <= 0; }
    void sendOn(std::span<const ports::KeyStroke>) override {}
};

// The entries Windows starts at log-on; every change fails with `refusal` while it is set.
class FakeStartupList : public ports::StartupList {
  public:
    std::map<std::string, std::string> entries;
    ports::Result refusal;
    std::optional<std::string> command(const std::string& name) override {
        auto it = entries.find(name);
        return it == entries.end() ? std::nullopt : std::optional(it->second);
    }
    ports::Result setCommand(const std::string& name, const std::string& command) override {
        if (refusal.ok) entries[name] = command;
        return refusal;
    }
    ports::Result remove(const std::string& name) override {
        if (refusal.ok) entries.erase(name);
        return refusal;
    }
};

// What the volume indicator showed, in order ("Volume 45 % [45]"), and whether it is up.
class FakeIndicatorWindow : public ports::IndicatorWindow {
  public:
    std::vector<std::string> shown;
    bool visible = false;
    void show(const std::string& text, std::optional<std::int32_t> level) override {
        shown.push_back(text + (level ? " [" + std::to_string(*level) + "]" : ""));
        visible = true;
    }
    void hide() override { visible = false; }
};

} // namespace omnitap::fakes

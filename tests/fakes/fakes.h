#pragma once
// The system's seams in memory, with the failures real systems have, recording what was asked.

#include "hook/hook_channel.h"
#include "ports/app_info.h"
#include "ports/file_system.h"
#include "ports/indicator_window.h"
#include "ports/keyboard_hook.h"
#include "ports/message_box.h"
#include "ports/running_copies.h"
#include "ports/session_end.h"
#include "ports/startup_list.h"
#include "ports/text_codec.h"
#include "ports/volume_backend.h"
#include "text/utf8.h"

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace omnitap::fakes {

using Calls = std::vector<std::string>;

// For the hook's decision: no key is physically down.
inline constexpr auto nothingHeld = [](std::uint8_t) { return false; };

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

struct FakeSessionEnd : ports::SessionEnd {
    std::string heldUpBy; // "reason|window"
    void holdUp(ports::WindowId w, const std::string& why) override {
        heldUpBy = why + "|" + std::to_string(w);
    }
    void allow(ports::WindowId) override { heldUpBy.clear(); }
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
    std::map<std::string, ports::FolderIdentity> identities; // by folder; else unknown
    ports::FolderIdentity identify(const std::string& folder) override {
        return identities[folder];
    }
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
    std::map<Handle, std::string> openFiles; // by handle, their paths
    int replaces = 0;                        // files written whole and swapped in
    int heldReplaces = 0;                    // replaces refused while another program holds it

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
        openFiles[handle] = path;
        files[path].clear();
        return {};
    }
    ports::FileResult write(Handle handle, std::string_view bytes) override {
        std::string& file = files[openFiles.at(handle)];
        bool full = failAfterBytes && file.size() + bytes.size() > *failAfterBytes;
        file.append(full ? bytes.substr(0, *failAfterBytes - file.size()) : bytes);
        return full ? ports::FileResult{false, "There is not enough space on the disk."}
                    : ports::FileResult{};
    }
    ports::FileResult flush(Handle) override {
        if (failFlush) return {false, "The request failed because of an I/O device error."};
        return {};
    }
    void close(Handle handle) override { openFiles.erase(handle); }
    ports::FileResult replace(const std::string& from, const std::string& to) override {
        if (failReplace) return {false, "Access is denied."};
        if (heldReplaces > 0 && heldReplaces--)
            return {false, "The process cannot access the file.", 32, true};
        files[to] = files.at(from);
        files.erase(from);
        ++replaces;
        return {};
    }
    std::string linkTarget(const std::string& path) override { return path; }
    void remove(const std::string& path) override { files.erase(path); }
    std::set<std::string> folders;
    ports::PathKind kindOf(const std::string& path) override {
        if (files.count(path)) return ports::PathKind::File;
        return folders.count(path) ? ports::PathKind::Folder : ports::PathKind::None;
    }
    std::string currentFolder;
    void setCurrentFolder(const std::string& path) override { currentFolder = path; }

  private:
    Handle next_ = 1;
};

class FakeVolumeBackend : public ports::VolumeBackend {
  public:
    bool hasDevice = true;      // open() finds one
    bool deviceChanged = false; // taken once
    bool lost = false;          // fails every call until opened again, as a restarted service
    ports::VolumeRange range{0, 65535};
    std::optional<double> volume = 0;     // nothing: the control cannot be read
    std::optional<std::int32_t> mute = 0; // nothing: there is no mute switch
    int opens = 0;
    std::vector<double> volumeWrites; // every value asked for
    std::vector<bool> muteWrites;

    bool open() override { return ++opens, lost = lost && !hasDevice, hasDevice; }
    bool takeDeviceChange() override { return std::exchange(deviceChanged, false); }
    ports::VolumeRange volumeRange() const override { return range; }
    std::optional<double> readVolume() override { return lost ? std::nullopt : volume; }
    bool writeVolume(double raw) override {
        volumeWrites.push_back(raw);
        return !lost && volume && (volume = raw);
    }
    std::optional<std::int32_t> readMute() override { return lost ? std::nullopt : mute; }
    bool writeMute(bool muted) override {
        muteWrites.push_back(muted);
        return !lost && mute && (mute = muted ? 1 : 0);
    }
};

class FakeKeyboardHook : public ports::KeyboardHook {
  public:
    Calls calls;
    ports::Result installs; // what the system answers each installation
    ports::Result hookKeyboard(ports::WindowId) override {
        calls.push_back("hook");
        return installs;
    }
    void unhookKeyboard() override { calls.push_back("unhook"); }
    void checkHook() override { calls.push_back("check"); }
    void loseHook() override {}
};

struct FakeHookOutput : HookOutput {
    int wakes = 0, refusals = 0; // the wake-ups asked for; how many of the next to refuse
    bool wake() override { return ++wakes, refusals-- <= 0; }
    void sendOn(std::span<const ports::KeyStroke>) override {}
    void sendOwn(std::span<const ports::KeyStroke>) override {}
};

// The entries Windows starts at log-on (changes fail with `refusal` while set), their switches.
class FakeStartupList : public ports::StartupList {
  public:
    std::map<std::string, std::string> entries;
    std::map<std::string, ports::Bytes> approvals;
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
    std::optional<ports::Bytes> approval(const std::string& name) override {
        return approvals.count(name) ? std::optional(approvals[name]) : std::nullopt;
    }
    ports::Result setApproval(const std::string& name, const ports::Bytes& value) override {
        return approvals[name] = value, ports::Result{};
    }
    ports::Result removeApproval(const std::string& name) override {
        return approvals.erase(name), ports::Result{};
    }
};

// What the volume indicator showed ("Volume 45 % [45]"), whether it is up, and where it went.
class FakeIndicatorWindow : public ports::IndicatorWindow {
  public:
    std::vector<std::string> shown;
    bool visible = false;
    std::optional<ports::Monitor> taskbar;
    std::vector<std::pair<ports::ScreenRect, std::uint32_t>> places;
    std::optional<ports::Monitor> taskbarMonitor() override { return taskbar; }
    ports::Monitor primaryMonitor() override { return {{0, 0, 1920, 1080}, {0, 0, 1920, 1040}}; }
    void place(const ports::ScreenRect& where, std::uint32_t dpi) override {
        places.emplace_back(where, dpi);
    }
    void show(const std::string& text, std::optional<std::int32_t> level) override {
        shown.push_back(text + (level ? " [" + std::to_string(*level) + "]" : ""));
        visible = true;
    }
    void hide() override { visible = false; }
};

} // namespace omnitap::fakes

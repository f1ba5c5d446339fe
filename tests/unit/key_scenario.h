#pragma once
// Scenarios: the learned keys of a keys.ini, key events through the hook thread's decision and
// the UI thread's handling, and what came out.
// keys: one learned key per ";": "[modifiers|]action code[/scan] [argument]".
// in:   "+vk[/scan][e]" a press (extended), "-vk[/scan]" a release, "vk[/scan]" both; "!" marks
//       the program's own input. "[" the UI thread is busy until "]". "tick" the repeat timer,
//       if it runs; "NNNms" time passes, and the hook thread's loop looks at the held keys if
//       it was asked to or its timer is due;
//       "back" the keys sent on so far come back through the hook; "full" the queue fills up;
//       "config" Edit Configuration opens; "finder" the Key Finder waits for a key; "~vk" a
//       key goes up or down where the hook cannot see it; "lock" the hook is checked after unlock.
// out:  in order, "pass <event>" for every event the hook passed on, and what the program did.

#include "actions/key_handler.h"
#include "keys/modifiers.h"
#include "tests/fakes/desktop_fakes.h"

#include <cstdio>
#include <optional>
#include <set>
#include <sstream>
#include <stdexcept>

namespace omnitap::scenario {

// One scenario's program: the hook's channel and the key handling over everything they act on,
// which is written down in one journal as readable lines.
struct ScenarioRun : PlayerControl,
                     VolumeControl,
                     fakes::ShellRecorder,
                     fakes::FakeTyping, // the keys repeat after 500 ms, then 30 times a second
                     ConfigurationView,
                     ControlSurface,
                     HookOutput {
    std::string journal;                    // its lines joined by ", "
    std::vector<ports::KeyStroke> onTheWay; // sent on, not yet back through the hook
    bool mute = false, finderLoaded = false, repeatTimer = false;
    void note(const std::string& line) { journal += (journal.empty() ? "" : ", ") + line; }
    // Noted as "sent +17 +86/30 -91e" (presses and releases by virtual-key code, scan code,
    // extended), a character typed as itself ("h").
    void sendOnward(std::string line, std::span<const ports::KeyStroke> keys) {
        for (const ports::KeyStroke& key : keys)
            if (key.text && !key.up)
                line += " " + std::string(1, static_cast<char>(key.scanCode));
            else if (!key.text)
                line += (key.up ? " -" : " +") + std::to_string(key.vk) +
                        (key.scanCode ? "/" + std::to_string(key.scanCode) : "") +
                        (key.extended ? "e" : "");
        note(line);
        onTheWay.insert(onTheWay.end(), keys.begin(), keys.end());
        for (const ports::KeyStroke& k : keys) // the system has them
            k.up ? (void)down.erase(k.vk) : (void)down.insert(k.vk);
    }

    void playPause() override { note("playPause"); }
    void sendPlayerCommand(PlayerCommand index) override {
        note("command " + std::to_string(static_cast<int>(index)));
    }
    void copyOrTypeTrack(bool typeIt, bool extraInfo) override {
        note(std::string(typeIt ? "type" : "copy") + (extraInfo ? " extra" : ""));
    }
    void showCurrentFile() override { note("showCurrentFile"); }
    void openMixer() override {}
    void refreshMixerState() override { note("refresh"); }
    bool currentMute() const override { return mute; }
    void setMute(bool state) override { note((mute = state) ? "mute on" : "mute off"); }
    void stepVolume(std::int32_t step) override { note("step " + std::to_string(step)); }
    ports::Result execute(ports::WindowId owner, const std::string& verb, const std::string& file,
                          const std::string& parameters, const std::string& directory,
                          int showCommand) override {
        note("shell " + std::to_string(owner) + " " + verb + " [" + file + "] [" + parameters +
             "] [" + directory + "] " + std::to_string(showCommand));
        if (file.ends_with("throw")) throw std::runtime_error(file);
        return file.ends_with("gone.exe") ? ports::Result{false, "Gone.", 404} : ports::Result{};
    }
    void sendHeldKeys(std::span<const ports::KeyStroke> keys) override { sendOnward("sent", keys); }
    bool keyFinderLoaded() const override { return finderLoaded; }
    void keyWasPressed(std::int32_t vk, std::int32_t sc, Modifiers mods,
                       const std::string& name) override {
        note("keyWasPressed " + std::to_string(vk) + " " + std::to_string(sc) +
             (mods.empty() ? "" : " " + shortcutText(mods, name)));
    }
    void showKeyEventReport(const std::string&) override { note("report"); }
    void findKey(int i) override { note("findKey " + std::to_string(i)); }
    ports::WindowId ownerWindow() const override { return 42; }
    void setCaption(const std::string&) override {}
    void setRepeatTimer(bool on) override {
        if (on != repeatTimer) note(on ? "timer on" : "timer off");
        repeatTimer = on;
    }
    void monitorsOff() override { note("monitorsOff"); }
    void showNotice(const Notice& n) override { note("notice " + n.title + ": " + n.text); }
    bool wake() override { return true; }
    void sendOn(std::span<const ports::KeyStroke> keys) override { sendOnward("hook sent", keys); }
    void sendOwn(std::span<const ports::KeyStroke> keys) override { sendOnward("own", keys); }
    void sendKeys(std::span<const ports::KeyStroke> keys) override { sendOnward("keys", keys); }
    bool isKeyDown(std::uint8_t vk) override { return down.count(vk) > 0; }

    ProgramState state;
    HookChannel channel{*this};
    fakes::FakeFileSystem disk; // holds the system's calc.exe alone
    KeyboardHandler handler{state, channel, *this, *this, *this, disk, *this, *this, *this};
    std::set<std::uint32_t> down; // as the system sees the keys
    std::uint32_t clock = 100000;
    bool busy = false;
    std::optional<std::uint32_t> timerAt; // when the hook thread's loop looks again, if at all
    void loop() {                         // as the hook thread's loop does, asked or at its timer
        const std::optional<std::uint32_t> wait = channel.idle(clock);
        timerAt = wait ? std::optional(clock + *wait) : std::nullopt;
    }

    explicit ScenarioRun(const std::string& keys) {
        disk.files["C:\\Windows\\calc.exe"];
        std::istringstream entries(keys);
        for (std::string entry; std::getline(entries, entry, ';');) {
            KeyDef key{0, 0, "k", 0, ""};
            if (auto bar = entry.find('|'); bar != std::string::npos) {
                key.mods = readModifiers(entry.substr(0, bar));
                entry.erase(0, bar + 1);
            }
            char webs[64] = "";
            if (std::sscanf(entry.c_str(), "%hd %hd/%hd %63[^\n]", &key.mapm, &key.code, &key.code2,
                            webs) == 2)
                std::sscanf(entry.c_str(), "%*d %*d %63[^\n]", webs);
            key.webs = webs;
            state.keyTable.append(key);
        }
        channel.publish(state.keyTable);
    }

    void step(const std::string& t) {
        if (t == "[" || t == "]") {
            busy = t == "[";
            if (!busy) drain();
        } else if (t == "tick") {
            if (repeatTimer) handler.repeatVolumeStep();
        } else if (t.ends_with("ms")) {
            clock += static_cast<std::uint32_t>(std::stoul(t));
            for (int turns = 0; timerAt && clock >= *timerAt && turns < 10; ++turns)
                loop();
        } else if (t == "back") {
            for (const ports::KeyStroke& k : std::exchange(onTheWay, {}))
                channel.onKeyEvent(
                    {k.vk, k.scanCode, k.up ? kKeyUpFlag : 0, clock, ports::kHeldKeyMarker},
                    fakes::nothingHeld);
        } else if (t == "full") { // with releases of the first key, which the hook queues
            while (channel.droppedEvents() == 0)
                channel.onKeyEvent(
                    {static_cast<std::uint32_t>(state.keyTable[1].code), 0, kKeyUpFlag, clock},
                    fakes::nothingHeld);
        } else if (t == "config" || t == "finder") {
            state.configOpen = true;
            state.findingKey = finderLoaded = t == "finder";
            channel.setFinderWaiting(t == "finder");
        } else if (t == "lock") {
            channel.refreshModifiers([this](std::uint8_t vk) { return down.count(vk) > 0; });
        } else if (t[0] == '~') {
            const auto vk = static_cast<std::uint32_t>(std::stoul(t.substr(1)));
            if (!down.erase(vk)) down.insert(vk);
        } else if (t[0] != '+' && t[0] != '-') {
            step("+" + t);
            step("-" + t);
        } else {
            key(t);
        }
    }

    void key(const std::string& t) {
        KeyEvent e;
        std::sscanf(t.c_str() + 1, "%u/%u", &e.vkCode, &e.scanCode);
        e.flags = (t[0] == '-' ? kKeyUpFlag : 0) | (t.find('e') != t.npos ? kExtendedKeyFlag : 0);
        e.time = clock += 10;
        if (t.ends_with("!")) {
            e.extraInfo = ports::kOwnInputMarker;
        } else if (e.released()) {
            down.erase(e.vkCode);
        } else {
            down.insert(e.vkCode);
        }
        auto isDown = [this](std::uint8_t vk) { return down.count(vk) > 0; };
        if (!channel.onKeyEvent(e, isDown)) note("pass " + t);
        if (channel.takeLoopRequest()) loop();
        if (!busy) drain();
    }
    void drain() { // as the message loop does, which reports a fault and goes on
        try {
            handler.keyEventsWaiting();
        } catch (const std::runtime_error&) {
            note("fault");
        }
    }
};

} // namespace omnitap::scenario

// Scenarios: the learned keys of a keys.ini, key events through the hook thread's decision and
// the UI thread's handling, and what came out.
// keys: one learned key per ";": "[modifiers|]action code[/scan] [argument]".
// in:   "+vk[/scan][e]" a press (extended), "-vk[/scan]" a release, "vk[/scan]" both; "!" marks
//       the program's own input. "[" the UI thread is busy until "]". "tick" the repeat timer,
//       if it runs; "NNNms" time passes, and the hook thread's loop looks at the held keys;
//       "back" the keys sent on so far come back through the hook; "full" the queue fills up;
//       "config" Edit Configuration opens; "finder" the Key Finder waits for a key; "~vk" a
//       key goes up or down where the hook cannot see it; "lock" the hook is checked after unlock.
// out:  in order, "pass <event>" for every event the hook passed on, and what the program did.

#include "actions/key_handler.h"
#include "keys/modifiers.h"
#include "tests/fakes/desktop_fakes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <stdexcept>

using namespace omnitap;

namespace {

struct Scenario {
    const char *name, *keys, *in, *out;
};

const Scenario kScenarios[] = {
    {"Code 255 also compares the scan code, other codes match whatever theirs; all entries of "
     "a key act, in table order; other keys pass",
     "31 255/110; 32 65/99; 33 65", "+255/111 +255/110 +65/30 68",
     "pass +255/111, command 1, command 0, command 3, pass +68, pass -68"},
    {"Only player actions with an argument that is a key code 1..254 take the modifier test; "
     "'abc', 0 and 255 name no key, so those keys act on every press",
     "60 112 C:\\17; 31 113 16; 32 114 abc; 33 115 0; 33 116 255", "112 113 114 115 116 +16 113",
     "shell 42 open [C:\\17] [] [] 1, pass +113, pass -113, command 0, command 3, command 3, "
     "pass +16, command 1"},
    {"A target that cannot be started is told from the tray, naming it and the system's reason; "
     "the key is still swallowed. A bare name is the system's program, started in its folder; "
     "one found nowhere is missing, and the shell is not asked",
     "60 112  C:\\gone.exe /x; 60 113 calc.exe; 60 114 mine.exe", "112 113 114",
     "shell 42 open [C:\\gone.exe] [/x] [] 1, notice Omnitap could not start a key's program: "
     "C:\\gone.exe /x\nGone., shell 42 open [C:\\Windows\\calc.exe] [] [C:\\Windows] 1, notice "
     "Omnitap could not start a key's program: mine.exe\nThere is no such file: it may have been "
     "moved, renamed or uninstalled, or the name is mistyped."},
    {"Every catalogue row reaches its target; nothing (0) and an unknown code do nothing; only "
     "player commands take a modifier",
     "35 65; 40 66; 42 67 17; 50 68 17; 51 69 17; 52 70 17; 53 71 17; 0 72; 999 73; 30 74",
     "65 66 67 68 69 70 71 72 73 74",
     "command 5, command 6, showCurrentFile, copy, type, copy extra, type extra, playPause"},
    {"Mute toggles from the state just read", "300 173 17", "173 173",
     "refresh, mute on, refresh, mute off"},
    {"A held volume key steps at once, then on the timer only, until any learned key's release",
     "301 175; 302 174; 0 65",
     "+175 +175 tick +175 tick +174 tick -65 tick -175 -174 +175 tick -175 tick",
     "timer on, step 5, step 5, step 5, step -5, step -5, pass -65, timer off, timer on, step 5, "
     "step 5, timer off"},
    {"A volume key steps until it stops repeating, whatever became of its release: once it "
     "repeated, for its rate (30 a second) and a margin; before, for the delay (500 ms) and a "
     "margin; a repeat never starts it again",
     "301 175", "+175 tick +175 tick +175 tick tick tick +175 tick -175 +175 tick tick tick tick",
     "timer on, step 5, step 5, step 5, step 5, step 5, timer off, timer on, step 5, step 5, "
     "step 5, step 5, timer off"},
    {"A key whose release was lost (the lock screen took it) acts when pressed again", "33 176",
     "+176 2000ms +176", "command 3, command 3"},
    {"The monitors go off on release; with Edit Configuration open a learned key selects its "
     "rows and runs nothing, but the monitors still go off",
     "400 19; 31 19", "19 config 19", "command 1, monitorsOff, findKey 1, findKey 2, monitorsOff"},
    {"The Key Finder catches the next new press, not a release or a repeat; a learned key is "
     "also selected",
     "31 65/30", "+13 finder +13 -13 65/30 27",
     "pass +13, pass +13, pass -13, keyWasPressed 65 30, report, findKey 1, pass +27, pass -27"},
    {"The program's own input passes unexamined, even by the waiting Key Finder", "31 65/30",
     "finder +65/30! -65/30! +66", "pass +65/30!, pass -65/30!, keyWasPressed 66 0, report"},
    {"Keys typed while a copy waits go on after it, in order; a learned key among them acts "
     "in its place; a key that reaches the hook before the keys sent on came back goes after "
     "them too",
     "50 115; 33 116", "[ 115 +17 +86 116 -86 -17 ] 65 back 66",
     "copy, sent +17 +86, command 3, sent -86 -17, sent +65, sent -65, pass +66, pass -66"},
    {"Keys held for a second by a slow action go on at once, sent by the hook thread", "51 115",
     "[ 115 66 500ms 67 600ms back 68 ]", "hook sent +66 -66 +67 -67, pass +68, pass -68, type"},
    {"A full queue (the UI thread stuck) never eats a key: a learned key passes, its release "
     "too, and the Key Finder waits on for the next key; the monitors key whose press passed "
     "does nothing on its release",
     "33 65; 400 19", "finder [ full 65 +19 ] 65 -19",
     "pass +65, pass -65, pass +19, keyWasPressed 65 0, report, findKey 1, pass -19"},
    {"The entries of one key act by their own gates: without Control the one that needs none",
     "31 65 17; 32 65", "65 +17 65 -17", "command 0, pass +17, command 1, command 0, pass -17"},
    {"A sided modifier is held on its side alone; either side will do for one without a side; "
     "a key with combinations alone passes without them",
     "lctrl|31 120; rctrl|32 120; alt+shift|33 120",
     "+163 120 -163 +162 120 +163 120 -163 -162 +165 120 +161 120",
     "pass +163, command 0, pass -163, pass +162, command 1, pass +163, pass +120, pass -120, "
     "pass -163, pass -162, pass +165, pass +120, pass -120, pass +161, command 3"},
    {"Shift, Ctrl and Alt reported without their side take it from the scan code or the "
     "extended flag",
     "rshift|31 120; ralt|32 121",
     "+16/54 120 -16/54 +16/42 120 -16/42 +18/56e 121 -18/56e +18/56 121",
     "pass +16/54, command 1, pass -16/54, pass +16/42, pass +120, pass -120, pass -16/42, pass "
     "+18/56e, command 0, own +232 -232 -18, pass +18/56, pass +121, pass -121"},
    {"The modifiers are those the hook saw go down, the program's own excluded, until the hook "
     "is checked; one let go before the key leaves its release to its press",
     "31 120; ctrl|32 120; shift|33 120",
     "+162! 120 +162 +120 -162 -120 +162 ~162 ~160 120 lock 120",
     "pass +162!, command 1, pass +162, command 0, pass -162, pass +162, command 0, command 3"},
    {"The release of Win or Alt after a swallowed combination comes after a no-op key, also "
     "behind a copy; not after a key that passes",
     "50 115; win|31 69", "+91 69 -91 +164 73 -164 [ +91 115 69 -91 ]",
     "pass +91, command 1, own +232 -232 -91, pass +164, pass +73, pass -73, pass -164, pass "
     "+91, copy, command 1, sent +232 -232 -91"},
    {"The waiting Key Finder catches a key with the modifiers held, and a modifier pressed and let "
     "go alone as itself, at its release",
     "", "finder +162 +163 +160 77/77 -160 -163 -162 finder +164 -164 +162 -162",
     "pass +162, pass +163, pass +160, keyWasPressed 77 77 Ctrl+Shift+Num 6, report, pass -160, "
     "pass -163, pass -162, pass +164, own "
     "+232 -232 -164, keyWasPressed 164 0, report, pass +162, pass -162"},
    {"An action that throws leaves the keys after it to the next wake-up",
     "60 112 C:\\throw; 33 113", "[ 112 113 ] 113",
     "shell 42 open [C:\\throw] [] [] 1, fault, command 3, command 3"},
};

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
    // Noted as "sent +17 +86 -86" (presses and releases by virtual-key code).
    void sendOnward(std::string line, std::span<const ports::KeyStroke> keys) {
        for (const ports::KeyStroke& key : keys)
            line += (key.up ? " -" : " +") + std::to_string(key.vk);
        note(line);
        onTheWay.insert(onTheWay.end(), keys.begin(), keys.end());
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

    ProgramState state;
    HookChannel channel{*this};
    fakes::FakeFileSystem disk; // holds the system's calc.exe alone
    KeyboardHandler handler{state, channel, *this, *this, *this, disk, *this, *this, *this};
    std::set<std::uint32_t> down; // physically
    std::uint32_t clock = 100000;
    bool busy = false;

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
            channel.idle(clock);
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

} // namespace

TEST(Keyboard, Scenarios) {
    for (const Scenario& s : kScenarios) {
        ScenarioRun run(s.keys);
        std::istringstream in(s.in);
        for (std::string token; in >> token;)
            run.step(token);
        EXPECT_EQ(run.journal, s.out) << s.name;
    }
}

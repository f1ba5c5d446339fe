// Scenarios of key handling, written in the notation of tests/unit/key_scenario.h.

#include "tests/unit/key_scenario.h"

#include <gtest/gtest.h>

using namespace omnitap;
using omnitap::scenario::ScenarioRun;

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
     "+18/56e, command 0, own +232 -232 -18/56e, pass +18/56, pass +121, pass -121"},
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
    {"A key acting as another is that key to the system, with its scan code and extended flag: "
     "its press, each repeat, its release; held, it is that modifier to combinations, not itself",
     "501 165 Right Ctrl; ctrl|33 65; 501 66 b; 501 67 Key 66 - 48", "+165 +165 65 -165 66 67",
     "sent +163/29e, sent +163/29e, command 3, sent -163/29e, sent +66/48, sent -66/48, sent "
     "+66/48, sent -66/48"},
    {"A key acting as another is let go when the hook is checked (its release may have been "
     "made on the lock screen), with the no-op key after a combination, and presses it again "
     "as it repeats; behind a copy, it waits its turn",
     "501 121 Alt; alt|31 69; 50 115", "+121 69 lock +121 -121 [ 115 +121 -121 ]",
     "sent +164/56, command 1, own +232 -232 -164/56, sent +164/56, sent -164/56, copy, sent "
     "+164/56 -164/56"},
    {"With the UI thread stuck, the hook thread sends the other key itself a second after it "
     "began to hold it, however the key goes on; and so for the next hold",
     "501 121 b", "[ 121 500ms 121 600ms ] [ 121 1100ms ]",
     "hook sent +66/48 -66/48 +66/48 -66/48, hook sent +66/48 -66/48"},
    {"A key string is sent whole between lifting the modifiers held and pressing them again, "
     "characters as text unless under a modifier; a string that does not read sends nothing; "
     "the keys typed after it wait for it",
     "500 120 ^a{DEL}hi~; 500 121 {x; 500 122 +(ab)c", "+162 120 -162 121 [ 122 66 ]",
     "pass +162, keys -162/29 +162/29 +65 -65 -162/29 +46/83e -46/83e h i +13/28 -13/28 "
     "+162/29, pass -162, keys +160/42 +65 -65 +66 -66 -160/42 c, sent +66 -66"},
    {"A combination sends its string with its modifiers lifted, Alt masked, and pressed again",
     "ctrl+alt|500 77 x", "+162 +164 77 -164 -162",
     "pass +162, pass +164, keys +232 -232 -162/29 -164/56 x +162/29 +164/56 +232 -232, own +232 "
     "-232 -164, pass -162"},
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

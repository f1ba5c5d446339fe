// Scenarios: a keys.ini, a sequence of key events through the hook and the UI thread, and
// what the program then did.

#include "actions/key_handler.h"
#include "hook/hook_channel.h"
#include "keys/keys_ini.h"
#include "tests/fakes/action_fakes.h"

#include <gtest/gtest.h>

#include <set>

using namespace omnitap;
using fakes::Journal;

namespace {

constexpr std::uint32_t kControl = 17;

// The windows and the control window as the key handling sees them, writing what they are
// asked into the journal.
struct RecordingWindows : ConfigurationView, ControlSurface {
    explicit RecordingWindows(Journal& j) : journal(j) {}
    Journal& journal;
    bool finderLoaded = false;
    bool repeatTimer = false;
    bool keyFinderLoaded() const override { return finderLoaded; }
    void keyWasPressed(std::int32_t vk, std::int32_t sc) override {
        journal.push_back("keyWasPressed " + std::to_string(vk) + " " + std::to_string(sc));
    }
    void showKeyEventReport(const std::string& r) override { journal.push_back("report " + r); }
    void findKey(int i) override { journal.push_back("findKey " + std::to_string(i)); }
    ports::WindowId ownerWindow() const override { return 42; }
    void setCaption(const std::string& c) override { journal.push_back("caption " + c); }
    void setRepeatTimer(bool on) override { repeatTimer = on; }
    void monitorsOff() override { journal.push_back("monitorsOff"); }
};

struct NoWake : Wake {
    void wake() override {}
};

class Keyboard : public ::testing::Test {
  protected:
    Journal journal;
    fakes::RecordingPlayer player{journal};
    fakes::RecordingVolume volume{journal};
    fakes::RecordingShell shell{journal};
    RecordingWindows windows{journal};
    KeyboardState state;
    NoWake wake;
    HookChannel channel{wake};
    std::set<std::uint32_t> held; // keys physically down
    bool& finderLoaded = windows.finderLoaded;
    bool& repeatTimer = windows.repeatTimer;
    KeyboardHandler handler{state, channel, player, volume, shell, windows, windows};

    void load(const std::string& ini) {
        state.keyTable = parseKeysIni(ini);
        channel.publish(state.keyTable);
    }

    // One event through the hook thread's decision and the UI thread's handling; returns
    // whether the hook swallowed it.
    bool event(std::uint32_t vk, std::uint32_t scan, bool up, std::uintptr_t extra = 0) {
        KeyEvent e;
        e.vkCode = vk;
        e.scanCode = scan;
        e.flags = up ? kKeyUpFlag : 0;
        e.extraInfo = extra;
        bool swallowed =
            channel.onKeyEvent(e, [this](std::uint8_t k) { return held.count(k) > 0; });
        handler.keyEventsWaiting();
        return swallowed;
    }
    bool press(std::uint32_t vk, std::uint32_t scan = 0) { return event(vk, scan, false); }
    bool release(std::uint32_t vk, std::uint32_t scan = 0) { return event(vk, scan, true); }

    Journal take() {
        Journal j;
        j.swap(journal);
        return j;
    }
};

std::string key(int n, const std::string& name, int mapm, int code, int code2,
                const std::string& webs) {
    std::string k = "key" + std::to_string(n);
    return k + "_name=" + name + "\n" + k + "_mapm=" + std::to_string(mapm) + "\n" + k +
           "_code=" + std::to_string(code) + "\n" + k + "_code2=" + std::to_string(code2) + "\n" +
           k + "_webs=\"" + webs + "\"\n";
}

} // namespace

TEST_F(Keyboard, TwoEntriesOfOneKeyBothActInTableOrder) {
    load("[keys]\nnumkeys=3\n" + key(1, "Stop", 31, 66, 48, "") + key(2, "Other", 33, 67, 46, "") +
         key(3, "Next", 33, 66, 0, ""));
    EXPECT_TRUE(press(66, 48));
    EXPECT_EQ(take(), (Journal{"caption 0", "command 1", "caption 0", "command 3"}));
    EXPECT_TRUE(release(66, 48));
    EXPECT_EQ(take(), (Journal{"caption 128", "caption 128"}));
    EXPECT_FALSE(press(68, 32));
}

TEST_F(Keyboard, CodeTwoFiftyFiveAlsoComparesTheScanCode) {
    load("[keys]\nnumkeys=2\n" + key(1, "Vendor A", 31, 255, 110, "") +
         key(2, "Letter", 32, 65, 99, ""));
    EXPECT_FALSE(press(255, 111));
    EXPECT_TRUE(press(255, 110));
    EXPECT_EQ(take(), (Journal{"caption 0", "command 1"}));
    // Any other code matches whatever its scan code or extended flag.
    EXPECT_TRUE(press(65, 30));
    EXPECT_EQ(take(), (Journal{"caption 0", "command 0"}));
}

TEST_F(Keyboard, ModifierEntryActsOnlyWhileTheModifierIsHeldButItsReleaseIsAlwaysSwallowed) {
    load("[keys]\nnumkeys=1\n" + key(1, "Next", 33, 190, 52, "17"));
    EXPECT_FALSE(press(190, 52)); // passed on to the application
    EXPECT_TRUE(take().empty());
    EXPECT_TRUE(release(190, 52));
    EXPECT_EQ(take(), (Journal{"caption 128"}));

    held.insert(kControl);
    EXPECT_TRUE(press(190, 52));
    EXPECT_EQ(take(), (Journal{"caption 0", "command 3"}));
}

TEST_F(Keyboard, ModifierTestOnlyForPlayerCodesWithAnArgumentThatIsAKeyCode) {
    load("[keys]\nnumkeys=5\n" + key(1, "Launch", 60, 112, 59, "17") +
         key(2, "Shift stop", 31, 113, 60, "16") + key(3, "Left over", 32, 114, 61, "notepad.exe") +
         key(4, "Zero", 33, 115, 62, "0") + key(5, "Too high", 33, 116, 63, "255"));
    EXPECT_TRUE(press(112, 59)); // 60 lies outside 30..40: no modifier test
    EXPECT_EQ(take(), (Journal{"caption 0", "shell 42 open [17] [] [] 1"}));
    EXPECT_FALSE(press(113, 60));
    for (std::uint32_t vk : {114, 115, 116}) // no key code 1..254: no modifier to wait for
        EXPECT_TRUE(press(vk, vk - 53)) << vk;
    held.insert(16);
    EXPECT_TRUE(press(113, 60));
}

// Nothing (0) and an unknown action (999) are swallowed and do nothing.
TEST_F(Keyboard, EveryCatalogueRowReachesItsTarget) {
    load("[keys]\nnumkeys=10\n" + key(1, "a", 35, 65, 0, "") + key(2, "b", 40, 66, 0, "") +
         key(3, "c", 42, 67, 0, "") + key(4, "d", 50, 68, 0, "") + key(5, "e", 51, 69, 0, "") +
         key(6, "f", 52, 70, 0, "") + key(7, "g", 53, 71, 0, "") + key(8, "h", 0, 72, 0, "") +
         key(9, "unknown", 999, 73, 0, "") + key(10, "i", 30, 74, 0, ""));
    for (std::uint32_t vk = 65; vk <= 74; ++vk)
        EXPECT_TRUE(press(vk));
    Journal j = take();
    std::erase(j, std::string("caption 0"));
    EXPECT_EQ(j, (Journal{"command 5", "command 6", "showCurrentFile", "copy", "type", "copy extra",
                          "type extra", "playPause"}));
}

TEST_F(Keyboard, MuteTogglesFromTheStateJustRead) {
    load("[keys]\nnumkeys=1\n" + key(1, "Mute", 300, 173, 0, ""));
    volume.mute = true; // switched on elsewhere
    press(173);
    press(173);
    EXPECT_EQ(take(),
              (Journal{"caption 0", "refresh", "mute off", "caption 0", "refresh", "mute on"}));
}

TEST_F(Keyboard, HeldVolumeKeyRepeatsUntilAnyLearnedKeyIsReleased) {
    load("[keys]\nnumkeys=3\n" + key(1, "Up", 301, 175, 0, "") + key(2, "Down", 302, 174, 0, "") +
         key(3, "Other", 0, 65, 0, ""));
    press(175);
    EXPECT_TRUE(repeatTimer);
    EXPECT_EQ(state.volumeStep, 5);
    handler.repeatVolumeStep(); // timer ticks
    handler.repeatVolumeStep();
    press(175); // the keyboard's own repeat
    press(174); // down pressed while up is held: the key pressed last decides
    handler.repeatVolumeStep();
    Journal j = take();
    std::erase(j, std::string("caption 0"));
    EXPECT_EQ(j, (Journal{"step 5", "step 5", "step 5", "step 5", "step -5", "step -5"}));

    release(65); // another learned key's release ends the repeat
    EXPECT_FALSE(repeatTimer);
    EXPECT_EQ(state.volumeStep, 0);
}

TEST_F(Keyboard, MonitorsGoOffOnReleaseEvenWithEditConfigurationOpen) {
    load("[keys]\nnumkeys=1\n" + key(1, "Sleep", 400, 19, 69, ""));
    press(19, 69);
    EXPECT_EQ(take(), (Journal{"caption 0"}));
    release(19, 69);
    EXPECT_EQ(take(), (Journal{"caption 128", "monitorsOff"}));
    state.configOpen = true;
    press(19, 69);
    release(19, 69);
    EXPECT_EQ(take(), (Journal{"caption 0", "findKey 1", "caption 128", "monitorsOff"}));
}

TEST_F(Keyboard, WithEditConfigurationOpenALearnedKeySelectsItsRowsAndRunsNothing) {
    load("[keys]\nnumkeys=2\n" + key(1, "Launch", 60, 112, 59, "calc.exe") +
         key(2, "Again", 31, 112, 59, ""));
    state.configOpen = true;
    EXPECT_TRUE(press(112, 59));
    EXPECT_EQ(take(), (Journal{"caption 0", "findKey 1", "caption 0", "findKey 2"}));
}

TEST_F(Keyboard, KeyFinderCatchesOnlyTheFirstEventAndTheKeyIsStillMatched) {
    load("[keys]\nnumkeys=1\n" + key(1, "Known", 31, 65, 30, ""));
    state.findingKey = finderLoaded = state.configOpen = true;
    channel.setFinderWaiting(true);
    EXPECT_TRUE(press(65, 30));
    EXPECT_EQ(take(), (Journal{"keyWasPressed 65 30",
                               "report vkCode: 65\r\nscanCode: 30\r\ndwExtraInfo: 0\r\nflags: 0\r\n"
                               "time: 0\r\n",
                               "caption 0", "findKey 1"}));
    // Unlearned keys reach the application again once a key was caught.
    EXPECT_FALSE(press(27, 1));
    EXPECT_TRUE(take().empty());
}

TEST_F(Keyboard, TextTheProgramTypesIsNeverExamined) {
    load("[keys]\nnumkeys=1\n" + key(1, "A", 31, 65, 30, ""));
    channel.setFinderWaiting(true);
    state.findingKey = finderLoaded = true;
    EXPECT_FALSE(event(65, 30, false, ports::kOwnInputMarker));
    EXPECT_FALSE(event(65, 30, true, ports::kOwnInputMarker));
    EXPECT_TRUE(take().empty());
    // The finder still waits for a real key; a release counts too (a key held when the
    // finder opened).
    EXPECT_TRUE(release(65, 30));
    EXPECT_EQ(take().front(), "keyWasPressed 65 30");
}

TEST_F(Keyboard, WithNoKeysEveryEventPassesUntilATableChangeReachesTheHook) {
    load("[keys]\nnumkeys=0\n");
    for (std::uint32_t vk : {13u, 27u, 65u, 255u}) {
        EXPECT_FALSE(press(vk, 30));
        EXPECT_FALSE(release(vk, 30));
    }
    EXPECT_TRUE(take().empty());
    state.keyTable.append(KeyDef{65, 30, "A", 31, ""});
    channel.publish(state.keyTable);
    EXPECT_TRUE(press(65, 30));
}

TEST(KeyEventReport, WritesSignedDecimalFields) {
    KeyEvent e;
    e.vkCode = 65;
    e.scanCode = 30;
    e.flags = 0x80;
    e.time = 0xFFFFFFFFu;
    e.extraInfo = 0x4F4D4E49;
    EXPECT_EQ(keyEventReport(e), "vkCode: 65\r\nscanCode: 30\r\ndwExtraInfo: 1330466377\r\n"
                                 "flags: 128\r\ntime: -1\r\n");
}

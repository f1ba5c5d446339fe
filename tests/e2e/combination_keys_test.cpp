// Keys taught with modifiers, pressed on the X server's keyboard as a user presses them.

#include "forms/config_windows.h"
#include "tests/e2e/support/x11_keys.h"
#include "win32/system_seams.h"

#include <algorithm>

using namespace omnitap;
using namespace e2e;

namespace {

KeyDef withMods(WORD vk, int action, const char* mods) {
    KeyDef key = learnedKey(vk, action);
    key.mods = readModifiers(mods);
    return key;
}
// The window's lines for modifiers pressed around a key it does not see: each one's press, then
// their releases in the order xdotool lets them go (the X server's: Shift, Ctrl, Alt, Win),
// the no-op key just before the first Alt or Win release where the program masks it.
Lines around(std::vector<int> mods, bool masked) {
    Lines lines;
    for (int vk : mods)
        lines.push_back("down " + std::to_string(vk));
    for (int vk : {VK_SHIFT, VK_CONTROL, VK_MENU, VK_LWIN}) {
        if (std::find(mods.begin(), mods.end(), vk) == mods.end()) continue;
        if (masked && vk >= VK_MENU) { // Alt or Win
            lines.insert(lines.end(), {"down 232", "up 232"});
            masked = false;
        }
        lines.push_back("up " + std::to_string(vk));
    }
    return lines;
}
constexpr int kNext = 33, kStop = 31, kPrevious = 32, kShuffle = 35, kNothing = 0;

} // namespace

TEST(CombinationKeys,
     ACombinationActsExactlyAKeyWithoutModifiersUnlessOneOfItDoesAndIsTaughtByPressing) {
    TempFolder folder;
    folder.write(L"keys.ini",
                 keysIni({withMods(VK_RIGHT, kNext, "ctrl+alt"), learnedKey(VK_F9, kStop),
                          learnedKey(VK_F8, kShuffle), withMods(VK_F8, kPrevious, "ctrl"),
                          withMods(VK_F7, kNothing, "alt"), withMods(VK_F7, kNothing, "win")}));
    PlayerSim sim(L"--caption \"1. A - B - Winamp\"");
    Omnitap app(folder);
    KeyLogWindow log;
    ASSERT_TRUE(waitUntilHooked(log));
    const struct {
        const char* keys;
        Lines passed; // what the focused window saw
    } presses[] = {
        {"ctrl+alt+Right", around({VK_CONTROL, VK_MENU}, true)}, // Next
        {"Right", {"down 39", "up 39"}},                         // the key alone passes
        {"ctrl+shift+Right", {"down 17", "down 16", "down 39", "up 16", "up 17", "up 39"}},
        {"ctrl+F9", around({VK_CONTROL}, false)},                // Stop: F9 acts whatever is held
        {"ctrl+F8", around({VK_CONTROL}, false)},                // Previous, not Shuffle
        {"F8", {}},                                              // Shuffle
        {"alt+F7", around({VK_MENU}, true)},                     // no menu bar
        {"super+F7", around({VK_LWIN}, true)},                   // no Start menu
        {"ctrl+alt+Right", around({VK_CONTROL, VK_MENU}, true)}, // Next
    };
    for (const auto& press : presses) {
        log.log.clear();
        ASSERT_TRUE(pressInX11(log, press.keys)) << press.keys;
        EXPECT_EQ(log.log, press.passed) << press.keys;
    }
    // Posted in order: one that should not have been would stand before the last.
    EXPECT_EQ(sim.logOf("command", 5), (Lines{"command 40048", "command 40047", "command 40044",
                                              "command 40023", "command 40048"}));
    // Taught in the Key Finder by pressing it.
    Omnitap again(folder, L"omnitap-e2e-again.exe"); // brings Edit Configuration forward
    HWND form2 = nullptr, editor = nullptr, finder = nullptr;
    ASSERT_TRUE(form2 = waitForWindow(app.pid(), L"OmnitapEditConfiguration"));
    PostMessageW(control(form2, Form2::layout(), Form2::Command3.name), BM_CLICK, 0, 0);
    ASSERT_TRUE(editor = waitForWindow(app.pid(), L"OmnitapKeyEditor"));
    PostMessageW(control(editor, frmKeyAssign::layout(), frmKeyAssign::Command1.name), BM_CLICK, 0,
                 0);
    ASSERT_TRUE(finder = waitForWindow(app.pid(), L"OmnitapKeyFinder"));
    HWND text2 = control(finder, Form3::layout(), Form3::Text2.name);
    ASSERT_TRUE(pressInX11("ctrl+alt+Left"));
    ASSERT_TRUE(waitFor([&] { return IsWindowVisible(text2) != FALSE; }));
    EXPECT_EQ(narrow(windowText(text2)), "Ctrl+Alt+Left");
    PostMessageW(control(finder, Form3::layout(), Form3::Command1.name), BM_CLICK, 0, 0);
    EXPECT_TRUE(waitFor([&] {
        return folder.read(L"keys.ini")
                   .find("key8_code=37\r\nkey8_code2=75\r\nkey8_webs=\"\"\r\n"
                         "key8_mods=ctrl+alt\r\n") != std::string::npos;
    })) << folder.read(L"keys.ini");
}

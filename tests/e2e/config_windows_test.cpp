// The configuration windows in the real program, driven as a new user would: the welcome box,
// Edit Configuration, the Key Editor, the Key Finder catching keys sent with their scan codes,
// names and a launch target typed in any language; boxes over the window that raised them;
// keys.ini as the system reads it; a restart, and a second start that brings the first copy's
// window forward.

#include "tests/e2e/support/e2e.h"
#include "windows/config_windows.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <thread>

using namespace e2e;
using omnitap::Form2;
using omnitap::Form3;
using omnitap::frmKeyAssign;

namespace {

constexpr WORD kF9 = VK_F9, kF9Scan = 0x43;
constexpr WORD kF8 = VK_F8, kF8Scan = 0x42;

// A control by its name: the control layer creates a window's controls in table order.
HWND control(HWND window, const std::vector<omnitap::ui::ControlDesign>& layout,
             const std::string& name) {
    HWND child = GetWindow(window, GW_CHILD);
    for (std::size_t i = 0; child && layout.at(i).name != name; ++i)
        child = GetWindow(child, GW_HWNDNEXT);
    return child;
}
void click(HWND button) {
    PostMessageW(button, BM_CLICK, 0, 0);
}
void tap(WORD vk) {
    tapKey(vk, static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)));
}
void typeText(const std::wstring& text) {
    for (wchar_t c : text) {
        INPUT input[2]{};
        for (INPUT& i : input) {
            i.type = INPUT_KEYBOARD;
            i.ki.wScan = c;
            i.ki.dwFlags = KEYEVENTF_UNICODE;
        }
        input[1].ki.dwFlags |= KEYEVENTF_KEYUP;
        SendInput(2, input, sizeof(INPUT));
    }
}
bool bringForward(HWND window) {
    SetForegroundWindow(window);
    return waitFor([&] { return GetForegroundWindow() == window; }, 3s);
}
bool focused(HWND window) {
    GUITHREADINFO gui{sizeof gui};
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &gui);
    return gui.hwndFocus == window;
}
// Tab until `target` has the keyboard focus, as a user would.
bool tabTo(HWND target) {
    for (int tabs = 0; tabs < 8; ++tabs, tap(VK_TAB))
        if (waitFor([&] { return focused(target); }, 100ms)) return true;
    return false;
}

int listViewSelected(HWND list) {
    return static_cast<int>(
        SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}
std::wstring profileValue(const std::wstring& file, const wchar_t* key) {
    wchar_t value[1024] = L"";
    DWORD n = GetPrivateProfileStringW(L"keys", key, L"", value, 1024, file.c_str());
    return {value, n};
}

class ConfigWindows : public ::testing::Test {
  protected:
    // The first run: no keys.ini, the welcome box, then Edit Configuration.
    void SetUp() override {
        HWND box = waitForWindow(app->pid(), L"#32770", L"Omnitap", 15s);
        ASSERT_NE(box, nullptr) << "no welcome box";
        const std::wstring text = messageBoxText(box); // its exact text: the unit tests
        EXPECT_EQ(text.substr(0, 21), L"Welcome to Omnitap!\r\n");
        EXPECT_EQ(text.substr(text.size() - 28), L"https://omnitap.example.org.");
        EXPECT_FALSE(folder.exists(L"keys.ini")); // nothing is written at start
        pressDialogButton(box, IDOK);
        ASSERT_NO_FATAL_FAILURE(showForm2(*app));
        click(control(form2, Form2::layout(), "Command3")); // "Add or Delete Keys..."
        editor = waitForWindow(app->pid(), L"OmnitapKeyEditor");
        ASSERT_NE(editor, nullptr) << "Key Editor did not open";
    }
    void showForm2(const Omnitap& program) {
        form2 = waitForWindow(program.pid(), L"OmnitapEditConfiguration");
        ASSERT_NE(form2, nullptr) << "Edit Configuration did not open";
        list = control(form2, Form2::layout(), "ListView1");
        combo = control(form2, Form2::layout(), "Combo1");
        text1 = control(form2, Form2::layout(), "Text1");
    }

    // "Add New Key..." (by Tab and Enter, whose release the Key Finder must not take for its
    // key, or by a click), the key, the name typed over the proposal, "Add This Key".
    void teachKey(WORD vk, WORD scan, const std::wstring& name, bool byKeyboard) {
        HWND add = control(editor, frmKeyAssign::layout(), "Command1");
        if (byKeyboard) {
            ASSERT_TRUE(bringForward(editor) && tabTo(add));
            sendKey(VK_RETURN, 0x1C, false); // the button acts on the press
        } else {
            click(add);
        }
        HWND finder = waitForWindow(app->pid(), L"OmnitapKeyFinder");
        ASSERT_NE(finder, nullptr) << "Key Finder did not open";
        HWND text2 = control(finder, Form3::layout(), "Text2");
        std::this_thread::sleep_for(200ms); // the hook hears that the finder waits
        if (byKeyboard) sendKey(VK_RETURN, 0x1C, true);
        tapKey(vk, scan);
        ASSERT_TRUE(waitFor([&] { return IsWindowVisible(text2) != FALSE; }));
        EXPECT_EQ(windowText(text2),
                  L"Key " + std::to_wstring(vk) + L" - " + std::to_wstring(scan));
        ASSERT_TRUE(bringForward(finder));
        typeText(name); // replaces the selected proposal
        ASSERT_TRUE(waitFor([&] { return windowText(text2) == name; }));
        click(control(finder, Form3::layout(), "Command1"));
        ASSERT_TRUE(waitFor([&] { return !IsWindow(finder); }));
    }

    // The key selects its own row (and runs nothing); Tab to the action list, End for
    // "Launch Application", Tab to the target, which is typed.
    void chooseLaunch(WORD vk, WORD scan, int row, const std::wstring& target) {
        ASSERT_TRUE(bringForward(form2));
        tapKey(vk, scan);
        ASSERT_TRUE(
            waitFor([&] { return IsWindowEnabled(combo) && listViewSelected(list) == row; }));
        ASSERT_TRUE(tabTo(combo));
        tap(VK_END);
        int launch = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0)) - 1;
        ASSERT_TRUE(waitFor([&] { return SendMessageW(combo, CB_GETCURSEL, 0, 0) == launch; }));
        ASSERT_TRUE(tabTo(text1));
        typeText(target);
        ASSERT_TRUE(waitFor([&] { return windowText(text1) == target; }));
    }

    // The lines launch-probe wrote so far, once it has had time to start.
    std::size_t launches(std::chrono::milliseconds wait) {
        Sleep(static_cast<DWORD>(wait.count()));
        const std::string log = folder.read(L"\u03a9mega\\launched.txt");
        return static_cast<std::size_t>(std::count(log.begin(), log.end(), '\n'));
    }

    TempFolder folder;
    std::unique_ptr<Omnitap> app = std::make_unique<Omnitap>(folder);
    HWND form2 = nullptr, list = nullptr, combo = nullptr, text1 = nullptr, editor = nullptr;
};

} // namespace

TEST_F(ConfigWindows, KeysNamedAndLaunchingInAnyLanguageSurviveAFailedSaveARestartAndASecondStart) {
    click(control(editor, frmKeyAssign::layout(), "Command3")); // "Remove All Keys"
    HWND question = waitForWindow(app->pid(), L"#32770", L"Remove All Keys");
    ASSERT_NE(question, nullptr);
    EXPECT_FALSE(IsWindowEnabled(editor)); // the box holds its window
    pressDialogButton(question, IDNO);
    ASSERT_TRUE(waitFor([&] { return IsWindowEnabled(editor) != FALSE; }));

    const std::wstring name = L"Lautst\u00e4rke \u03a9 \u0436";
    ASSERT_TRUE(CreateDirectoryW(folder.file(L"\u03a9mega").c_str(), nullptr));
    ASSERT_TRUE(folder.copy(L"launch-probe.exe", L"\u03a9mega\\launch-probe.exe"));
    const std::wstring target = L"\"" + folder.file(L"\u03a9mega\\launch-probe.exe") + L"\" \u0436";
    teachKey(kF9, kF9Scan, name, true); // "Key 120 - 67"
    teachKey(kF8, kF8Scan, L"Other", false);

    chooseLaunch(kF9, kF9Scan, 0, target);
    ASSERT_TRUE(tabTo(combo)); // another kind of action clears the target
    tap(VK_UP);
    EXPECT_TRUE(waitFor([&] { return windowText(text1).empty(); }));
    tap(VK_DOWN);
    ASSERT_TRUE(tabTo(text1));
    typeText(target);
    ASSERT_TRUE(waitFor([&] { return windowText(text1) == target; }));
    tapKey(kF8, kF8Scan); // while the window is open, a key selects its row and runs nothing
    ASSERT_TRUE(waitFor([&] { return listViewSelected(list) == 1; }));
    EXPECT_EQ(windowText(text1), L"");
    tapKey(kF9, kF9Scan);
    ASSERT_TRUE(waitFor([&] { return listViewSelected(list) == 0; }));
    EXPECT_EQ(windowText(text1), target);
    EXPECT_EQ(launches(1500ms), 0u);

    // keys.ini held open by another program: "Save && Close" reports it over the window. (The
    // focus is gone: a learned key that selects a row disables the frame for a moment.)
    HANDLE lock = CreateFileW(folder.file(L"keys.ini").c_str(), GENERIC_READ, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    click(control(form2, Form2::layout(), "Command1")); // "Save && Close"
    HWND box = waitForWindow(app->pid(), L"#32770", L"Omnitap");
    ASSERT_NE(box, nullptr);
    EXPECT_NE(messageBoxText(box).find(folder.file(L"keys.ini")), std::wstring::npos);
    EXPECT_FALSE(IsWindowEnabled(form2));
    pressDialogButton(box, IDOK);
    ASSERT_TRUE(waitFor([&] { return !IsWindow(box) && IsWindowEnabled(form2); }));
    EXPECT_EQ(windowText(text1), target);
    CloseHandle(lock);
    click(control(form2, Form2::layout(), "Command1")); // again, once the file is free
    ASSERT_TRUE(waitFor([&] { return !IsWindow(form2) && !IsWindow(editor); }));

    const std::wstring ini = folder.file(L"keys.ini");
    const std::string saved = folder.read(L"keys.ini");
    EXPECT_EQ(saved.substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(profileValue(ini, L"key1_name"), name);
    EXPECT_EQ(profileValue(ini, L"key1_mapm"), L"60");
    EXPECT_EQ(profileValue(ini, L"key1_webs"), target);

    app.reset(); // restarted: the old copy ends first
    app = std::make_unique<Omnitap>(folder);
    EXPECT_TRUE(waitFor([&] { return tapKey(kF9, kF9Scan), launches(500ms) > 0; }, 15s));
    EXPECT_NE(folder.read(L"\u03a9mega\\launched.txt").find("\xD0\xB6"), std::string::npos);

    // Started again: the first copy's Edit Configuration comes forward and the second ends.
    Omnitap second(folder, L"omnitap-e2e-again.exe");
    EXPECT_TRUE(second.waitForExit(5s));
    EXPECT_EQ(second.exitCode(), 0u);
    ASSERT_NO_FATAL_FAILURE(showForm2(*app));
    int controlWindows = 0;
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"OmnitapControlWindow", nullptr));)
        ++controlWindows;
    EXPECT_EQ(controlWindows, 1);
    // An edit, then the close box: the keys act as keys.ini says, once per press.
    ASSERT_TRUE(bringForward(form2));
    tapKey(kF9, kF9Scan);
    ASSERT_TRUE(waitFor([&] { return listViewSelected(list) == 0; }));
    ASSERT_TRUE(tabTo(combo));
    tap(VK_HOME); // "(nothing)"
    ASSERT_TRUE(waitFor([&] { return windowText(text1).empty(); }));
    PostMessageW(form2, WM_CLOSE, 0, 0);
    ASSERT_TRUE(waitFor([&] { return !IsWindow(form2); }));
    EXPECT_EQ(folder.read(L"keys.ini"), saved);
    const std::size_t before = launches(1000ms);
    tapKey(kF9, kF9Scan);
    EXPECT_EQ(launches(3000ms), before + 1);
}

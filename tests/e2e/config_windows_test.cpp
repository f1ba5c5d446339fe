// The configuration windows in the real program, driven as a new user would: the first run, the
// Key Finder, a name and a launch target in any language, boxes over the window that raised
// them, a restart and a second start; then the running program's tray icon and menu.

#include "tests/e2e/support/e2e.h"
#include "tray/tray_icon.h"
#include "win32/tray_shell.h"
#include "windows/config_windows.h"

#include <commctrl.h>

#include <memory>

using namespace omnitap;
using namespace e2e;
using ports::TrayCommand;

namespace {

void click(HWND button) {
    PostMessageW(button, BM_CLICK, 0, 0);
}
void typeText(const std::wstring& text) {
    for (wchar_t c : text)
        for (bool up : {false, true})
            sendKey(0, c, up, KEYEVENTF_UNICODE);
}
bool bringForward(HWND window) {
    SetForegroundWindow(window);
    return waitFor([&] { return GetForegroundWindow() == window; }, 3s);
}
// Tab until `target` has the keyboard focus, as a user would.
bool tabTo(HWND target) {
    GUITHREADINFO gui{sizeof gui};
    auto focused = [&] {
        return GetGUIThreadInfo(GetWindowThreadProcessId(target, nullptr), &gui) &&
               gui.hwndFocus == target;
    };
    for (int tabs = 0; tabs < 8; ++tabs, tapKey(VK_TAB))
        if (waitFor(focused, 100ms)) return true;
    return false;
}
// A list view's cell in another process: the item record and the text in that one's memory.
std::wstring cell(HWND list, int row, int column) {
    DWORD pid = 0;
    GetWindowThreadProcessId(list, &pid);
    HANDLE process =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    auto* item =
        static_cast<LVITEMW*>(VirtualAllocEx(process, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE));
    const LVITEMW ask{0, 0, column, 0, 0, reinterpret_cast<wchar_t*>(item + 1), 512};
    WriteProcessMemory(process, item, &ask, sizeof ask, nullptr);
    std::wstring text(SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(item)), 0);
    ReadProcessMemory(process, ask.pszText, text.data(), text.size() * 2, nullptr);
    VirtualFreeEx(process, item, 0, MEM_RELEASE);
    CloseHandle(process);
    return text;
}

} // namespace

TEST(ConfigWindows,
     AKeyNamedAndLaunchingInAnyLanguageSurvivesAFailedSaveARestartAndASecondStartThenTheTray) {
    TempFolder folder;
    auto app = std::make_unique<Omnitap>(folder);
    HWND form2 = nullptr, list = nullptr, combo = nullptr, text1 = nullptr;
    auto showForm2 = [&] {
        form2 = waitForWindow(app->pid(), L"OmnitapEditConfiguration");
        ASSERT_NE(form2, nullptr) << "Edit Configuration did not open";
        list = control(form2, Form2::layout(), "ListView1");
        combo = control(form2, Form2::layout(), "Combo1");
        text1 = control(form2, Form2::layout(), "Text1");
    };
    // F9 selects its row (and runs nothing); Tab to the action list, where `actionKey` chooses
    // (End: "Launch Application", Home: "(nothing)").
    auto choose = [&](WORD actionKey) {
        ASSERT_TRUE(bringForward(form2));
        tapKey(VK_F9);
        ASSERT_TRUE(waitFor([&] {
            return IsWindowEnabled(combo) && SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0) == 1;
        }));
        ASSERT_TRUE(tabTo(combo));
        tapKey(actionKey);
    };
    // The lines launch-probe wrote so far, once it has had time to start.
    auto launches = [&](std::chrono::milliseconds wait) {
        Sleep(static_cast<DWORD>(wait.count()));
        const std::string log = folder.read(L"\u03a9mega\\launched.txt");
        return static_cast<std::size_t>(std::count(log.begin(), log.end(), '\n'));
    };

    // The first run: the welcome box, nothing written, Edit Configuration, the Key Editor.
    HWND box = waitForWindow(app->pid(), L"#32770", L"Omnitap", 15s);
    ASSERT_NE(box, nullptr) << "no welcome box";
    EXPECT_EQ(messageBoxText(box).substr(0, 21), L"Welcome to Omnitap!\r\n");
    EXPECT_FALSE(folder.exists(L"keys.ini"));
    pressDialogButton(box, IDOK);
    ASSERT_NO_FATAL_FAILURE(showForm2());
    click(control(form2, Form2::layout(), "Command3")); // "Add or Delete Keys..."
    HWND editor = waitForWindow(app->pid(), L"OmnitapKeyEditor");
    ASSERT_NE(editor, nullptr) << "Key Editor did not open";
    click(control(editor, frmKeyAssign::layout(), "Command3")); // "Remove All Keys"
    HWND question = waitForWindow(app->pid(), L"#32770", L"Remove All Keys");
    ASSERT_NE(question, nullptr);
    EXPECT_FALSE(IsWindowEnabled(editor)); // the box holds its window
    pressDialogButton(question, IDNO);
    ASSERT_TRUE(waitFor([&] { return IsWindowEnabled(editor) != FALSE; }));

    // "Add New Key..." by Tab and Enter, which acts on the press: the release of Enter is not
    // the key the Key Finder catches. The name is typed over the proposal.
    ASSERT_TRUE(bringForward(editor) && tabTo(control(editor, frmKeyAssign::layout(), "Command1")));
    sendKey(VK_RETURN, 0x1C, false);
    HWND finder = waitForWindow(app->pid(), L"OmnitapKeyFinder");
    ASSERT_NE(finder, nullptr) << "Key Finder did not open";
    HWND text2 = control(finder, Form3::layout(), "Text2");
    Sleep(200); // the hook hears that the finder waits
    sendKey(VK_RETURN, 0x1C, true);
    tapKey(VK_F9);
    ASSERT_TRUE(waitFor([&] { return IsWindowVisible(text2) != FALSE; }));
    EXPECT_EQ(windowText(text2), L"Key 120 - 67");
    const std::wstring name = L"Lautst\u00e4rke \u03a9 \u0436";
    ASSERT_TRUE(bringForward(finder));
    typeText(name);
    ASSERT_TRUE(waitFor([&] { return windowText(text2) == name; }));
    click(control(finder, Form3::layout(), "Command1")); // "Add This Key"
    ASSERT_TRUE(waitFor([&] { return !IsWindow(finder); }));

    // A launch target in a folder outside the code page: the Mapping column follows the typing.
    ASSERT_TRUE(folder.copy(L"launch-probe.exe", L"\u03a9mega\\launch-probe.exe"));
    const std::wstring target = L"\"" + folder.file(L"\u03a9mega\\launch-probe.exe") + L"\" \u0436";
    ASSERT_NO_FATAL_FAILURE(choose(VK_END));
    ASSERT_TRUE(tabTo(text1));
    typeText(target);
    ASSERT_TRUE(waitFor([&] { return windowText(text1) == target; }));
    EXPECT_EQ(cell(list, 0, 1), L"Launch: " + target);

    // keys.ini held open by another program: "Save && Close" reports it over the window, which
    // stays with the edit, and saves once the file is free.
    HANDLE lock = CreateFileW(folder.file(L"keys.ini").c_str(), GENERIC_READ, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    click(control(form2, Form2::layout(), "Command1")); // "Save && Close"
    box = waitForWindow(app->pid(), L"#32770", L"Omnitap");
    ASSERT_NE(box, nullptr);
    EXPECT_NE(messageBoxText(box).find(folder.file(L"keys.ini")), std::wstring::npos);
    EXPECT_FALSE(IsWindowEnabled(form2));
    pressDialogButton(box, IDOK);
    ASSERT_TRUE(waitFor([&] { return !IsWindow(box) && IsWindowEnabled(form2); }));
    EXPECT_EQ(windowText(text1), target);
    CloseHandle(lock);
    click(control(form2, Form2::layout(), "Command1"));
    ASSERT_TRUE(waitFor([&] { return !IsWindow(form2) && !IsWindow(editor); }));
    const std::string saved = folder.read(L"keys.ini");

    app.reset(); // restarted: the old copy ends first
    app = std::make_unique<Omnitap>(folder);
    EXPECT_TRUE(waitFor([&] { return tapKey(VK_F9), launches(500ms) > 0; }, 15s));
    EXPECT_NE(folder.read(L"\u03a9mega\\launched.txt").find("\xD0\xB6"), std::string::npos);
    const std::size_t launched = launches(1000ms);

    // Started again: the first copy's Edit Configuration comes forward and the second ends.
    Omnitap second(folder, L"omnitap-e2e-again.exe");
    EXPECT_EQ(second.exitCode(5s), 0u);
    ASSERT_NO_FATAL_FAILURE(showForm2());
    EXPECT_EQ(cell(list, 0, 0), name);
    HWND control = FindWindowExW(nullptr, nullptr, L"OmnitapControlWindow", nullptr);
    EXPECT_FALSE(FindWindowExW(nullptr, control, L"OmnitapControlWindow", nullptr)); // one copy
    // An edit (another kind of action clears the target), then the close box: keys.ini is left
    // as it was, and the key acts as keys.ini says, once per press.
    ASSERT_NO_FATAL_FAILURE(choose(VK_HOME));
    ASSERT_TRUE(waitFor([&] { return windowText(text1).empty(); }));
    PostMessageW(form2, WM_CLOSE, 0, 0);
    ASSERT_TRUE(waitFor([&] { return !IsWindow(form2); }));
    EXPECT_EQ(folder.read(L"keys.ini"), saved);
    tapKey(VK_F9);
    EXPECT_EQ(launches(3000ms), launched + 1);

    // The tray. The program's icon goes, as when Explorer restarts (the shell refuses to delete
    // what is not there); each form of the record is added and deleted in its place; the icon
    // comes back when the shell announces itself.
    const auto window = reinterpret_cast<ports::WindowId>(control);
    win32::Win32TrayShell shell;
    const WindowsVersion v = getWindowsVersion(shell.versionWord());
    EXPECT_TRUE(v.ntFamily && chooseTrayRecord(v).trayShell5);
    const auto icon =
        makeTrayRecord(chooseTrayRecord(v), window, shell.applicationIcon(), "Omnitap");
    ASSERT_TRUE(shell.notifyIcon(TrayCommand::Delete, icon));
    for (TrayChoice choice : {TrayChoice{true, true}, TrayChoice{true, false},
                              TrayChoice{false, true}, TrayChoice{false, false}}) {
        SCOPED_TRACE(::testing::Message() << choice.trayUseWide << choice.trayShell5);
        const auto record = makeTrayRecord(choice, window, shell.applicationIcon(), "Omnitap");
        EXPECT_TRUE(shell.notifyIcon(TrayCommand::Add, record));
        EXPECT_TRUE(!choice.trayShell5 || shell.notifyIcon(TrayCommand::SetVersion, record));
        EXPECT_TRUE(shell.notifyIcon(TrayCommand::Delete, record));
        EXPECT_FALSE(shell.notifyIcon(TrayCommand::Delete, record));
    }
    PostMessageW(control, shell.taskbarCreatedMessage(), 0, 0);
    EXPECT_TRUE(waitFor([&] { return shell.notifyIcon(TrayCommand::Delete, icon); }));
    // The shell's WM_CONTEXTMENU opens the menu. Menus are private to their process under Wine:
    // its entries are checked by what choosing them does.
    auto menuShown = [] { return IsWindowVisible(FindWindowW(L"#32768", nullptr)) != FALSE; };
    PostMessageW(control, WM_APP + 1, 1, WM_CONTEXTMENU); // as the shell sends it
    ASSERT_TRUE(waitFor(menuShown));
    tapKey(VK_UP); // the last entry, Quit
    tapKey(VK_RETURN);
    EXPECT_EQ(app->exitCode(10s), 0u);
}

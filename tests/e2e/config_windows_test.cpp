// The configuration windows in the real program, driven as a new user would: the welcome box,
// Edit Configuration, the Key Editor, the Key Finder catching a key sent with its scan code, a
// name typed, an action chosen and its target typed; boxes over the window that raised them;
// keys.ini as the system reads it; and the key acting, also after a restart.

#include "tests/e2e/support/e2e.h"
#include "win32/unique_handle.h"
#include "windows/config_windows.h"

#include <commctrl.h>
#include <gtest/gtest.h>

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

void closeProcess(HANDLE h) {
    CloseHandle(h);
}
// A list view of another process reads and writes only its own memory: the record and the
// text go through a page borrowed in that process.
std::wstring listViewCell(DWORD pid, HWND list, int row, int column) {
    omnitap::win32::Unique<HANDLE, &closeProcess> process(
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
    char* page = process ? static_cast<char*>(VirtualAllocEx(process.get(), nullptr, 4096,
                                                             MEM_COMMIT, PAGE_READWRITE))
                         : nullptr;
    if (!page) return L"<cannot reach the program's memory>";
    LVITEMW item{};
    item.iSubItem = column;
    item.cchTextMax = 512;
    item.pszText = reinterpret_cast<wchar_t*>(page + sizeof item);
    WriteProcessMemory(process.get(), page, &item, sizeof item, nullptr);
    auto n = SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                          reinterpret_cast<LPARAM>(page));
    std::wstring text(static_cast<std::size_t>(n), L'\0');
    ReadProcessMemory(process.get(), item.pszText, text.data(), text.size() * 2, nullptr);
    VirtualFreeEx(process.get(), page, 0, MEM_RELEASE);
    return text;
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
    void SetUp() override {
        HWND box = waitForWindow(app->pid(), L"#32770", L"Omnitap", 15s, true);
        ASSERT_NE(box, nullptr) << "no welcome box";
        pressDialogButton(box, IDOK);
        form2 = waitForWindow(app->pid(), L"OmnitapEditConfiguration", nullptr, 5s, true);
        ASSERT_NE(form2, nullptr) << "Edit Configuration did not open";
        list = control(form2, Form2::layout(), "ListView1");
        combo = control(form2, Form2::layout(), "Combo1");
        text1 = control(form2, Form2::layout(), "Text1");
        click(control(form2, Form2::layout(), "Command3")); // "Add or Delete Keys..."
        editor = waitForWindow(app->pid(), L"OmnitapKeyEditor", nullptr, 5s, true);
        ASSERT_NE(editor, nullptr) << "Key Editor did not open";
    }

    // "Add New Key...", the key, the name typed over the proposal, "Add This Key".
    void teachKey(WORD vk, WORD scan, const std::wstring& name) {
        click(control(editor, frmKeyAssign::layout(), "Command1"));
        HWND finder = waitForWindow(app->pid(), L"OmnitapKeyFinder", nullptr, 5s, true);
        ASSERT_NE(finder, nullptr) << "Key Finder did not open";
        HWND text2 = control(finder, Form3::layout(), "Text2");
        std::this_thread::sleep_for(200ms); // the hook hears that the finder waits
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

    // Tab until `target` has the keyboard focus, as a user would.
    bool tabTo(HWND target) {
        auto focused = [&] {
            GUITHREADINFO gui{sizeof gui};
            GetGUIThreadInfo(GetWindowThreadProcessId(target, nullptr), &gui);
            return gui.hwndFocus == target;
        };
        for (int tabs = 0; tabs < 8; ++tabs, tap(VK_TAB))
            if (waitFor(focused, 100ms)) return true;
        return false;
    }

    // The key selects its own row; Tab to the action list, End for "Launch Application", Tab
    // to the target, which is typed.
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

    bool launched(const std::wstring& marker, std::chrono::milliseconds within) {
        return waitFor([&] { return folder.exists(marker); }, within);
    }

    TempFolder folder;
    std::unique_ptr<Omnitap> app = std::make_unique<Omnitap>(folder);
    HWND form2 = nullptr, list = nullptr, combo = nullptr, text1 = nullptr, editor = nullptr;
};

} // namespace

TEST_F(ConfigWindows, AKeyNamedAndLaunchingInAnyLanguageSurvivesAFailedSaveARestartAndActs) {
    const std::wstring name = L"Lautst\u00e4rke \u03a9 \u0436";
    ASSERT_TRUE(CreateDirectoryW(folder.file(L"\u03a9mega").c_str(), nullptr));
    const std::wstring probe = folder.file(L"\u03a9mega\\launch-probe.exe");
    ASSERT_TRUE(CopyFileW((binFolder() + L"\\launch-probe.exe").c_str(), probe.c_str(), FALSE));
    const std::wstring target = L"\"" + probe + L"\" \u0436";
    teachKey(kF9, kF9Scan, name);
    EXPECT_EQ(listViewCell(app->pid(), list, 0, 0), name);

    chooseLaunch(kF9, kF9Scan, 0, target);
    EXPECT_EQ(listViewCell(app->pid(), list, 0, 1), L"Launch: " + target); // follows the typing
    ASSERT_TRUE(tabTo(combo)); // another kind of action clears the target
    tap(VK_UP);
    EXPECT_TRUE(waitFor([&] { return windowText(text1).empty(); }));
    tap(VK_DOWN);
    ASSERT_TRUE(tabTo(text1));
    typeText(target);
    ASSERT_TRUE(waitFor([&] { return windowText(text1) == target; }));

    // keys.ini held open by another program: "Save && Close" reports it over the window.
    HANDLE lock = CreateFileW(folder.file(L"keys.ini").c_str(), GENERIC_READ, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    tap(VK_RETURN);
    HWND box = waitForWindow(app->pid(), L"#32770", L"Omnitap", 10s, true);
    ASSERT_NE(box, nullptr);
    EXPECT_NE(messageBoxText(box).find(folder.file(L"keys.ini")), std::wstring::npos);
    EXPECT_FALSE(IsWindowEnabled(form2));
    pressDialogButton(box, IDOK);
    ASSERT_TRUE(waitFor([&] { return !IsWindow(box) && IsWindowEnabled(form2); }));
    EXPECT_EQ(windowText(text1), target);
    CloseHandle(lock);
    ASSERT_TRUE(bringForward(form2));
    tap(VK_RETURN); // the same button, once the file is free
    ASSERT_TRUE(waitFor([&] { return !IsWindow(form2) && !IsWindow(editor); }));

    const std::wstring ini = folder.file(L"keys.ini");
    EXPECT_EQ(folder.read(L"keys.ini").substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(profileValue(ini, L"key1_name"), name);
    EXPECT_EQ(profileValue(ini, L"key1_mapm"), L"60");
    EXPECT_EQ(profileValue(ini, L"key1_webs"), target);

    app.reset(); // restarted: the old copy ends first
    app = std::make_unique<Omnitap>(folder);
    EXPECT_TRUE(waitFor(
        [&] {
            tapKey(kF9, kF9Scan);
            return launched(L"\u03a9mega\\launched.txt", 500ms);
        },
        15s));
    EXPECT_NE(folder.read(L"\u03a9mega\\launched.txt").find("\xD0\xB6"), std::string::npos);
}

TEST_F(ConfigWindows, QuestionsHoldTheirWindowAndClosingWithoutSavingDropsTheEditsForTheKeys) {
    click(control(editor, frmKeyAssign::layout(), "Command3")); // "Remove All Keys"
    HWND question = waitForWindow(app->pid(), L"#32770", L"Remove All Keys", 10s, true);
    ASSERT_NE(question, nullptr);
    EXPECT_FALSE(IsWindowEnabled(editor));
    pressDialogButton(question, IDNO);
    ASSERT_TRUE(waitFor([&] { return IsWindowEnabled(editor) != FALSE; }));

    teachKey(kF9, kF9Scan, L"Launcher");
    teachKey(kF8, kF8Scan, L"Other");
    const std::wstring marker = L"cmd /c echo launched>" + folder.file(L"marker.txt");
    ASSERT_EQ(folder.path().find(L' '), std::wstring::npos); // split at its first blank
    chooseLaunch(kF9, kF9Scan, 0, marker);
    tapKey(kF8, kF8Scan); // while the window is open, a key selects its row and runs nothing
    ASSERT_TRUE(waitFor([&] { return listViewSelected(list) == 1; }));
    EXPECT_EQ(windowText(text1), L"");
    tapKey(kF9, kF9Scan);
    ASSERT_TRUE(waitFor([&] { return listViewSelected(list) == 0; }));
    EXPECT_EQ(windowText(text1), marker);
    EXPECT_FALSE(launched(L"marker.txt", 1500ms));

    const std::string saved = folder.read(L"keys.ini");
    PostMessageW(form2, WM_CLOSE, 0, 0); // the close box: the keys act as keys.ini says
    ASSERT_TRUE(waitFor([&] { return !IsWindow(form2) && !IsWindow(editor); }));
    EXPECT_EQ(folder.read(L"keys.ini"), saved);
    EXPECT_NE(saved.find("key1_mapm=0\r\n"), std::string::npos);
    tapKey(kF9, kF9Scan);
    EXPECT_FALSE(launched(L"marker.txt", 3s));
}

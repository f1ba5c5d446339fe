// The configuration windows in the real program, driven as a new user would: the welcome
// box, Edit Configuration, the Key Editor, the Key Finder catching a key sent with its scan
// code, a name typed, an action chosen, and the key then launching its target.

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

// A control by its name: the control layer creates a window's controls in table order, so
// they follow each other in that order among the window's children.
HWND control(HWND window, const std::vector<omnitap::ui::ControlDesign>& layout,
             const std::string& name) {
    HWND child = GetWindow(window, GW_CHILD);
    for (const auto& design : layout) {
        if (!child) break;
        if (design.name == name) return child;
        child = GetWindow(child, GW_HWNDNEXT);
    }
    ADD_FAILURE() << "no control " << name;
    return nullptr;
}

void click(HWND button) {
    PostMessageW(button, BM_CLICK, 0, 0);
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

void tap(WORD vk) {
    tapKey(vk, static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)));
}

void clickAt(POINT screen) {
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input[3]{};
    for (INPUT& i : input) {
        i.type = INPUT_MOUSE;
        i.mi.dx = MulDiv(screen.x, 65535, width - 1);
        i.mi.dy = MulDiv(screen.y, 65535, height - 1);
        i.mi.dwFlags = MOUSEEVENTF_ABSOLUTE;
    }
    input[0].mi.dwFlags |= MOUSEEVENTF_MOVE;
    input[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
    input[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
    SendInput(3, input, sizeof(INPUT));
}

void closeProcessHandle(HANDLE h) {
    CloseHandle(h);
}
using ProcessHandle = omnitap::win32::Unique<HANDLE, &closeProcessHandle>;

// A list view of another process only reads and writes its own memory: the records go
// through a page borrowed in that process.
class RemotePage {
  public:
    explicit RemotePage(DWORD pid)
        : process_(
              OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid)) {
        if (process_)
            page_ = VirtualAllocEx(process_.get(), nullptr, 4096, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemotePage() {
        if (page_) VirtualFreeEx(process_.get(), page_, 0, MEM_RELEASE);
    }
    bool ok() const { return page_ != nullptr; }
    char* at(std::size_t offset) const { return static_cast<char*>(page_) + offset; }
    void write(std::size_t offset, const void* data, std::size_t size) const {
        WriteProcessMemory(process_.get(), at(offset), data, size, nullptr);
    }
    void read(std::size_t offset, void* data, std::size_t size) const {
        ReadProcessMemory(process_.get(), at(offset), data, size, nullptr);
    }

  private:
    ProcessHandle process_;
    void* page_ = nullptr;
};

std::wstring listViewCell(DWORD pid, HWND list, int row, int column) {
    RemotePage page(pid);
    if (!page.ok()) {
        ADD_FAILURE() << "cannot reach the program's memory";
        return {};
    }
    LVITEMW item{};
    item.iSubItem = column;
    item.cchTextMax = 512;
    item.pszText = reinterpret_cast<wchar_t*>(page.at(sizeof item));
    page.write(0, &item, sizeof item);
    auto n = SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                          reinterpret_cast<LPARAM>(page.at(0)));
    std::wstring text(static_cast<std::size_t>(n), L'\0');
    page.read(sizeof item, text.data(), text.size() * sizeof(wchar_t));
    return text;
}

POINT listViewRowCentre(DWORD pid, HWND list, int row) {
    RemotePage page(pid);
    if (!page.ok()) {
        ADD_FAILURE() << "cannot reach the program's memory";
        return {};
    }
    RECT rect{LVIR_LABEL, 0, 0, 0};
    page.write(0, &rect, sizeof rect);
    SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(page.at(0)));
    page.read(0, &rect, sizeof rect);
    POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(list, &centre);
    return centre;
}

int listViewSelected(HWND list) {
    return static_cast<int>(
        SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

std::wstring listBoxLine(HWND list, int line) {
    wchar_t buffer[512]{};
    auto n =
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(buffer));
    return n > 0 ? std::wstring(buffer, static_cast<std::size_t>(n)) : std::wstring();
}

bool bringForward(HWND window) {
    SetForegroundWindow(window);
    return waitFor([&] { return GetForegroundWindow() == window; }, 3s);
}

class ConfigWindowsFirstRun : public ::testing::Test {
  protected:
    void SetUp() override {
        HWND box = waitForWindow(app.pid(), L"#32770", L"Omnitap", 15s, true);
        ASSERT_NE(box, nullptr) << "no welcome box";
        pressDialogButton(box, IDOK);
        form2 = waitForWindow(app.pid(), L"OmnitapEditConfiguration",
                              L"Omnitap - Edit Configuration", 5s, true);
        ASSERT_NE(form2, nullptr) << "Edit Configuration did not open";
        click(control(form2, Form2::layout(), "Command3")); // "Add or Delete Keys..."
        editor = waitForWindow(app.pid(), L"OmnitapKeyEditor", L"Omnitap - Key Editor", 5s, true);
        ASSERT_NE(editor, nullptr) << "Key Editor did not open";
        // The marker's path goes into a target split at its first blank.
        ASSERT_EQ(folder.path().find(L' '), std::wstring::npos);
    }

    // "Add New Key...", the key, the name typed over the proposal, "Add This Key".
    void teachKey(WORD vk, WORD scan, const std::wstring& name) {
        click(control(editor, frmKeyAssign::layout(), "Command1"));
        HWND finder = waitForWindow(app.pid(), L"OmnitapKeyFinder", L"Omnitap KeyFinder", 5s, true);
        ASSERT_NE(finder, nullptr) << "Key Finder did not open";
        HWND text2 = control(finder, Form3::layout(), "Text2");
        std::this_thread::sleep_for(200ms); // the hook hears that the finder waits
        tapKey(vk, scan);
        ASSERT_TRUE(waitFor([&] { return IsWindowVisible(text2) != FALSE; }));
        EXPECT_EQ(windowText(text2),
                  L"Key " + std::to_wstring(vk) + L" - " + std::to_wstring(scan));
        ASSERT_TRUE(bringForward(finder));
        typeText(name); // replaces the selected proposal
        ASSERT_TRUE(waitFor([&] { return windowText(text2) == name; }))
            << narrow(windowText(text2));
        click(control(finder, Form3::layout(), "Command1"));
        ASSERT_TRUE(waitFor([&] { return !IsWindow(finder); }));
    }

    // A click on the key's row, Tab to the action list, End for "Launch Application", Tab to
    // the target, which is typed.
    void chooseLaunch(int row, const std::wstring& target) {
        HWND list = control(form2, Form2::layout(), "ListView1");
        ASSERT_TRUE(bringForward(form2));
        clickAt(listViewRowCentre(app.pid(), list, row));
        HWND combo = control(form2, Form2::layout(), "Combo1");
        ASSERT_TRUE(waitFor([&] { return IsWindowEnabled(combo) != FALSE; }));
        ASSERT_EQ(listViewSelected(list), row);
        tap(VK_TAB);
        tap(VK_END);
        int last = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0)) - 1;
        ASSERT_TRUE(waitFor([&] { return SendMessageW(combo, CB_GETCURSEL, 0, 0) == last; }));
        EXPECT_EQ(listViewCell(app.pid(), list, row, 1), L"Launch: ");
        tap(VK_TAB);
        typeText(target);
        HWND text1 = control(form2, Form2::layout(), "Text1");
        ASSERT_TRUE(waitFor([&] { return windowText(text1) == target; }));
    }

    std::wstring markerTarget() const {
        return L"cmd /c echo launched>" + folder.file(L"marker.txt");
    }
    bool launched(std::chrono::milliseconds within) {
        return waitFor([&] { return folder.exists(L"marker.txt"); }, within);
    }

    TempFolder folder;
    Omnitap app{folder};
    HWND form2 = nullptr;
    HWND editor = nullptr;
};

} // namespace

TEST_F(ConfigWindowsFirstRun, ANewUserTeachesAKeyGivesItATargetAndTheKeyLaunchesIt) {
    teachKey(kF9, kF9Scan, L"Launcher");

    std::string ini = folder.read(L"keys.ini");
    EXPECT_NE(ini.find("numkeys=1\r\nkey1_name=Launcher\r\nkey1_mapm=0\r\nkey1_code=120\r\n"
                       "key1_code2=67\r\n"),
              std::string::npos)
        << ini;
    HWND list1 = control(editor, frmKeyAssign::layout(), "List1");
    EXPECT_EQ(narrow(listBoxLine(list1, 0)), omnitap::keyListLine({120, 67, "Launcher", 0, ""}));
    HWND listView = control(form2, Form2::layout(), "ListView1");
    EXPECT_EQ(listViewCell(app.pid(), listView, 0, 0), L"Launcher");

    chooseLaunch(0, markerTarget());
    tap(VK_RETURN); // "Save && Close", the default button
    ASSERT_TRUE(waitFor([&] { return !IsWindow(form2) && !IsWindow(editor); }));
    ini = folder.read(L"keys.ini");
    EXPECT_NE(ini.find("key1_mapm=60\r\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("key1_webs=\"" + narrow(markerTarget()) + "\"\r\n"), std::string::npos)
        << ini;

    EXPECT_FALSE(folder.exists(L"marker.txt"));
    tapKey(kF9, kF9Scan);
    EXPECT_TRUE(launched(10s));
}

TEST_F(ConfigWindowsFirstRun, WhileEditConfigurationIsOpenALearnedKeySelectsItsRowAndRunsNothing) {
    teachKey(kF9, kF9Scan, L"Launcher");
    teachKey(kF8, kF8Scan, L"Other");
    chooseLaunch(0, markerTarget());
    HWND list = control(form2, Form2::layout(), "ListView1");
    HWND combo = control(form2, Form2::layout(), "Combo1");
    HWND text1 = control(form2, Form2::layout(), "Text1");

    tapKey(kF8, kF8Scan);
    ASSERT_TRUE(waitFor([&] { return listViewSelected(list) == 1; }));
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0); // "(nothing)"
    EXPECT_EQ(windowText(text1), L"");

    tapKey(kF9, kF9Scan);
    ASSERT_TRUE(waitFor([&] { return listViewSelected(list) == 0; }));
    EXPECT_EQ(windowText(text1), markerTarget());
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), SendMessageW(combo, CB_GETCOUNT, 0, 0) - 1);
    EXPECT_FALSE(launched(1500ms));

    // Closed with the close box: the mapping acts at once, but keys.ini keeps no action.
    PostMessageW(form2, WM_CLOSE, 0, 0);
    ASSERT_TRUE(waitFor([&] { return !IsWindow(form2) && !IsWindow(editor); }));
    EXPECT_NE(folder.read(L"keys.ini").find("key1_mapm=0\r\n"), std::string::npos);
    tapKey(kF9, kF9Scan);
    EXPECT_TRUE(launched(10s));
}

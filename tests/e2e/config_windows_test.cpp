// The configuration windows in the real program, driven as a new user would.

#include "forms/config_windows.h"
#include "tests/e2e/support/e2e.h"
#include "win32/system_seams.h"

#include <commctrl.h>

#include <memory>
#include <thread>

using namespace omnitap;
using namespace e2e;

namespace {

bool typeInto(HWND box, const std::wstring& text) {
    for (wchar_t c : text)
        for (bool up : {false, true})
            sendKey(0, c, up, KEYEVENTF_UNICODE);
    return waitFor([&] { return windowText(box) == text; });
}
bool bringForward(HWND window) {
    SetForegroundWindow(window);
    return waitFor([&] { return GetForegroundWindow() == window; }, 3s);
}
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

} // namespace

TEST(ConfigWindows, AKeyNamedAndLaunchingInAnyLanguageSurvivesAFailedSaveARestartAndASecondStart) {
    // keys.ini with no count (a hand edit) beside a backup; folders stand where the temporary
    // files go until the first key is taught. It is a Unix link, which Wine follows.
    TempFolder folder;
    std::string unread = keysIni({learnedKey(VK_F11, 0)});
    unread.erase(unread.find("numkeys"), 11);
    folder.write(L"synced\\keys.ini", unread);
    Process ln(L"Z:\\bin\\ln", L" -s synced/keys.ini keys.ini", folder.path());
    ASSERT_TRUE(waitFor([&] { return folder.exists(L"keys.ini"); }));
    folder.write(L"keys.ini.bak", "earlier");
    auto app = std::make_unique<Omnitap>(folder, L"omnitap-e2e.exe", CREATE_SUSPENDED);
    const std::wstring pid = std::to_wstring(app->pid());
    const wchar_t* const blockers[] = {L"keys.ini.tmp", L"keys.ini.2.bak.tmp"};
    for (const wchar_t* blocker : blockers)
        ASSERT_TRUE(CreateDirectoryW(folder.file(blocker + pid).c_str(), nullptr));
    app->resume();
    auto click = [](HWND button) { PostMessageW(button, BM_CLICK, 0, 0); };
    HWND form2 = nullptr, editor = nullptr, finder = nullptr, text2 = nullptr;
    auto in2 = [&](ui::ControlName name) { return control(form2, Form2::layout(), name.name); };
    // F9 selects its row; `actionKey` in the action list: End "Launch Application", Home none.
    auto choose = [&](WORD actionKey) {
        ASSERT_TRUE(bringForward(form2));
        tapKey(VK_F9);
        ASSERT_TRUE(waitFor([&] {
            return IsWindowEnabled(in2(Form2::Combo1)) &&
                   SendMessageW(in2(Form2::ListView1), LVM_GETSELECTEDCOUNT, 0, 0) == 1;
        }));
        ASSERT_TRUE(tabTo(in2(Form2::Combo1)));
        tapKey(actionKey);
    };

    const std::wstring welcome = answerBox(app->pid());
    for (const std::wstring& part : {L"kept as\r\n" + folder.file(L"keys.ini.2.bak"),
                                     L"cannot write in its folder\r\n" + folder.path() + L"\r\n"})
        EXPECT_NE(welcome.find(part), std::wstring::npos) << narrow(welcome);
    ASSERT_TRUE(form2 = waitForWindow(app->pid(), L"OmnitapEditConfiguration"));
    click(in2(Form2::Command3)); // "Add or Delete Keys..."
    ASSERT_TRUE(editor = waitForWindow(app->pid(), L"OmnitapKeyEditor"));

    click(control(editor, frmKeyAssign::layout(), frmKeyAssign::Command1.name));
    ASSERT_TRUE(finder = waitForWindow(app->pid(), L"OmnitapKeyFinder"));
    text2 = control(finder, Form3::layout(), Form3::Text2.name);
    Sleep(200);
    tapKey(VK_F9);
    ASSERT_TRUE(waitFor([&] { return IsWindowVisible(text2) != FALSE; }));
    const std::wstring name = L"Lautst\u00e4rke \u03a9 \u0436";
    ASSERT_TRUE(bringForward(finder));
    ASSERT_TRUE(typeInto(text2, name));
    click(control(finder, Form3::layout(), Form3::Command1.name)); // "Add This Key"
    // The old keys.ini cannot be kept aside: the key stays in effect, nothing is written.
    EXPECT_NE(answerBox(app->pid()).find(L"in effect until Omnitap ends. Nothing was written."),
              std::wstring::npos);
    ASSERT_TRUE(waitFor([&] { return IsWindowEnabled(finder) != FALSE; })); // the box went
    EXPECT_EQ(folder.read(L"keys.ini"), unread);
    for (const wchar_t* blocker : blockers)
        ASSERT_TRUE(RemoveDirectoryW(folder.file(blocker + pid).c_str()));

    // A launch target in a folder outside the code page.
    ASSERT_TRUE(folder.copy(L"launch-probe.exe", L"\u03a9mega\\launch-probe.exe"));
    const std::wstring target = L"\"" + folder.file(L"\u03a9mega\\launch-probe.exe") + L"\" \u0436";
    ASSERT_NO_FATAL_FAILURE(choose(VK_END));
    ASSERT_TRUE(tabTo(in2(Form2::Text1)));
    ASSERT_TRUE(typeInto(in2(Form2::Text1), target));

    // keys.ini held open for a second, readable but not to be replaced, as a virus scanner
    // holds it: "Save && Close" waits it out (a report would keep the window open).
    HANDLE lock = CreateFileW(folder.file(L"keys.ini").c_str(), GENERIC_READ, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    click(in2(Form2::Command1)); // and the Key Editor and the Key Finder with it
    Sleep(1000);
    CloseHandle(lock);
    ASSERT_TRUE(waitFor([&] { return !IsWindow(form2) && !IsWindow(finder); }, 15s));
    const std::string saved = folder.read(L"keys.ini");
    win32::Win32TextCodec codec;
    EXPECT_EQ(parseKeysIniBytes(saved, codec)[1].name, narrow(name));
    EXPECT_EQ(folder.read(L"keys.ini.2.bak") + folder.read(L"keys.ini.bak"), unread + "earlier");
    EXPECT_FALSE(folder.exists(L"keys.ini.3.bak")); // kept once

    app.reset(); // restarted: the old copy ends first
    app = std::make_unique<Omnitap>(folder);
    auto launched = [&] { return folder.read(L"\u03a9mega\\launched.txt"); };
    EXPECT_TRUE(waitFor([&] { return tapKey(VK_F9), Sleep(500), !launched().empty(); }, 15s));
    EXPECT_NE(launched().find("\xD0\xB6"), std::string::npos);

    // Started again: the first copy's Edit Configuration comes forward and the second ends.
    Omnitap second(folder, L"omnitap-e2e-again.exe");
    EXPECT_EQ(second.exitCode(5s), 0u);
    ASSERT_TRUE(form2 = waitForWindow(app->pid(), L"OmnitapEditConfiguration"));
    ASSERT_NO_FATAL_FAILURE(choose(VK_HOME)); // an edit left unsaved

    // Esc and the session's end ask (Cancel holds either up); ended meanwhile, keys.ini stays.
    DWORD_PTR mayEnd = TRUE;
    auto sessionEnds = [&, to = form2] { // as the system asks at log-off
        SendMessageTimeoutW(to, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 30000, &mayEnd);
    };
    tapKey(VK_ESCAPE);
    EXPECT_EQ(answerBox(app->pid(), IDCANCEL), L"Save the changes to your keys?");
    ASSERT_TRUE(waitFor([&] { return IsWindowEnabled(form2) != FALSE; })); // the box went
    std::thread asking(sessionEnds);
    answerBox(app->pid(), IDCANCEL);
    asking.join();
    EXPECT_EQ(mayEnd, 0u);
    asking = std::thread(sessionEnds);
    ASSERT_TRUE(waitForWindow(app->pid(), L"#32770", L"Omnitap"));
    PostMessageW(FindWindowW(L"OmnitapControlWindow", nullptr), WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(app->exitCode(10s), 0u);
    asking.join();
    EXPECT_EQ(folder.read(L"synced\\keys.ini"), saved); // written through the link
}

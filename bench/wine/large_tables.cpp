// large-tables: the configuration windows of the real program with large key tables. For each
// size it times Edit Configuration and the Key Editor opening, a key added with the Key Finder,
// one removed and "Save && Close": from the click (or the answer Yes) until the program has
// done it, shows it and answers again. Run it under Wine or Windows:
//   large-tables.exe [KEYS...]          (default: 100 2000 10000)

#include "forms/config_windows.h"
#include "ports/running_copies.h"
#include "tests/e2e/support/e2e.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>

using namespace omnitap;
using namespace e2e;

namespace {

double now() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return 1000.0 * double(counter.QuadPart) / double(frequency.QuadPart);
}

// Milliseconds from `act` until `done` holds and `window` is painted; -1 after 60 s.
double timed(const std::function<void()>& act, const std::function<bool()>& done, HWND& window) {
    const double start = now();
    act();
    while (!done()) {
        if (now() - start > 60000) return -1;
        Sleep(0);
    }
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return now() - start;
}

std::string rounded(double ms) {
    return ms < 0 ? "failed" : std::to_string(static_cast<int>(ms + 0.5)) + " ms";
}

int rows(HWND list, UINT message) {
    return list ? static_cast<int>(SendMessageW(list, message, 0, 0)) : -1;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {100, 2000, 10000};
    std::printf(
        "| keys | Edit Configuration opens | Key Editor opens | a key added | a key removed "
        "| Save && Close |\n|---|---|---|---|---|---|\n");
    for (int n : sizes) {
        // Keys of code 255 with scan codes no keyboard sends: none of them is pressed here.
        KeyTable table;
        for (int i = 1; i <= n; ++i)
            table.append({255, static_cast<std::int16_t>(1000 + i),
                          "Key number " + std::to_string(i), 60,
                          "\"C:\\Program Files\\Some App\\app.exe\" /open " + std::to_string(i)});
        TempFolder folder;
        folder.write(L"keys.ini", formatKeysIni(table));
        Omnitap app(folder);
        HWND control = waitForWindow(app.pid(), L"OmnitapControlWindow", nullptr, 30s, false);
        Sleep(1000); // started, and quiet
        HWND form2 = nullptr, editor = nullptr, finder = nullptr, list = nullptr, lines = nullptr;
        auto shown = [&](HWND& window, const wchar_t* className) {
            window = waitForWindow(app.pid(), className, nullptr, 0ms);
            return window != nullptr;
        };
        auto counts = [&](int expected) {
            return rows(list, LVM_GETITEMCOUNT) == expected && rows(lines, LB_GETCOUNT) == expected;
        };
        auto click = [](HWND window, const auto& layout, const char* name) {
            return [=] { PostMessageW(e2e::control(window, layout, name), BM_CLICK, 0, 0); };
        };

        const double opened =
            timed([&] { PostMessageW(control, ports::kShowEditConfigurationMessage, 0, 0); },
                  [&] {
                      return shown(form2, L"OmnitapEditConfiguration") &&
                             rows(list = e2e::control(form2, Form2::layout(), "ListView1"),
                                  LVM_GETITEMCOUNT) == n;
                  },
                  form2);
        const double editorOpened = timed(
            click(form2, Form2::layout(), "Command3"),
            [&] {
                return shown(editor, L"OmnitapKeyEditor") &&
                       (lines = e2e::control(editor, frmKeyAssign::layout(), "List1")) && counts(n);
            },
            editor);
        // A key for the Key Finder, then "Add This Key".
        click(editor, frmKeyAssign::layout(), "Command1")();
        if (!waitFor([&] { return shown(finder, L"OmnitapKeyFinder"); })) return 1;
        Sleep(300); // the hook hears that the finder waits
        tapKey(VK_F24);
        HWND text2 = e2e::control(finder, Form3::layout(), "Text2");
        if (!waitFor([&] { return IsWindowVisible(text2) != FALSE; })) return 1;
        const double added = timed(
            click(finder, Form3::layout(), "Command1"),
            [&] { return !IsWindow(finder) && counts(n + 1); }, editor);
        // The first line selected as a click would, then "Remove Key" and Yes.
        SendMessageW(lines, LB_SETCURSEL, 0, 0);
        SendMessageW(editor, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(lines), LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(lines));
        click(editor, frmKeyAssign::layout(), "Command2")();
        HWND question = waitForWindow(app.pid(), L"#32770", L"Remove Selected Key");
        const double removed =
            timed([&] { pressDialogButton(question, IDYES); }, [&] { return counts(n); }, editor);
        const double saved = timed(
            click(form2, Form2::layout(), "Command1"), [&] { return !IsWindow(form2); }, control);
        std::printf("| %d | %s | %s | %s | %s | %s |\n", n, rounded(opened).c_str(),
                    rounded(editorOpened).c_str(), rounded(added).c_str(), rounded(removed).c_str(),
                    rounded(saved).c_str());
        std::fflush(stdout);
    }
    return 0;
}

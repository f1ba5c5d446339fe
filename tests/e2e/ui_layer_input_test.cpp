// The control layer under the user's hands: keys through the message loop helper (Tab, Enter,
// Esc, arrows), mouse clicks, the close box, private messages, timers and the popup menu.

#include "tests/e2e/ui_layer_fixture.h"

#include <thread>
#include <tuple>

using namespace ui_layer;

namespace {

TEST_F(UiLayer, ListViewSelectionByKeyOrMouseRaisesItemClickThenClickOnce) {
    auto& list = window->listView("ListView1");
    HWND handle = child("ListView1");
    std::vector<std::string> events;
    list.onItemClick = [&] { events.push_back("item " + std::to_string(list.selected())); };
    list.onClick = [&] { events.push_back("click " + std::to_string(list.selected())); };
    for (const char* name : {"A", "B", "C"})
        list.addRow(name);
    list.setSelected(0);
    list.setFocus();
    pump();
    press(VK_DOWN, 0x50);
    EXPECT_EQ(events, (std::vector<std::string>{"item 1", "click 1"}));

    auto clickAt = [&](POINT at) {
        ClientToScreen(handle, &at);
        SetCursorPos(at.x, at.y);
        INPUT input[2]{};
        input[0].type = input[1].type = INPUT_MOUSE;
        input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(2, input, sizeof(INPUT));
        pump(300ms);
    };
    RECT row{LVIR_BOUNDS};
    SendMessageW(handle, LVM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&row));
    events.clear();
    clickAt({px(2000), (row.top + row.bottom) / 2}); // in the second column: full-row select
    EXPECT_EQ(events, (std::vector<std::string>{"item 2", "click 2"}));
    events.clear();
    clickAt({px(2000), row.bottom + px(600)}); // below the rows: the selection goes
    EXPECT_EQ(events, (std::vector<std::string>{"click -1"}));
}

TEST_F(UiLayer, TabFollowsTheTableAndSkipsTheControlsOfADisabledFrame) {
    window->control("ListView1").setFocus();
    pump();
    ASSERT_EQ(GetFocus(), child("ListView1"));
    press(VK_TAB, 0x0F);
    EXPECT_EQ(GetFocus(), child("List1"));

    window->control("Frame1").setEnabled(true);
    window->control("ListView1").setFocus();
    pump();
    press(VK_TAB, 0x0F);
    EXPECT_EQ(GetFocus(), child("Combo1"));
    press(VK_TAB, 0x0F);
    EXPECT_EQ(GetFocus(), child("Text1"));
    e2e::sendKey(VK_SHIFT, 0x2A, false);
    press(VK_TAB, 0x0F);
    e2e::sendKey(VK_SHIFT, 0x2A, true);
    pump();
    EXPECT_EQ(GetFocus(), child("Combo1"));
}

TEST_F(UiLayer, EnterPressesTheDefaultButtonAndEscTheCancelButton) {
    int saved = 0, cancelled = 0;
    window->control("Command1").onClick = [&] { ++saved; };
    window->control("Command2").onClick = [&] { ++cancelled; };
    window->control("Frame1").setEnabled(true);
    window->control("Text1").setFocus();
    pump();
    press(VK_RETURN, 0x1C);
    EXPECT_EQ(saved, 1);
    press(VK_ESCAPE, 0x01);
    EXPECT_EQ(cancelled, 1);
    EXPECT_EQ(saved, 1);

    window->control("Command1").setEnabled(false);
    window->control("Command2").setEnabled(false);
    press(VK_RETURN, 0x1C);
    press(VK_ESCAPE, 0x01);
    EXPECT_EQ(saved, 1);
    EXPECT_EQ(cancelled, 1);
}

TEST_F(UiLayer, CloseAsksTheFormWhichMayDestroyTheWindowFromInside) {
    HWND handle = hwnd();
    int asked = 0;
    window->onClose = [&] { ++asked; };
    SendMessageW(handle, WM_CLOSE, 0, 0);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(window->visible());

    window->onClose = [&] { window.reset(); };
    SendMessageW(handle, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(handle));

    window = factory.createWindow(kSpec, table);
    handle = hwnd();
    window->control("Command1").onClick = [&] { window.reset(); }; // "Save && Close"
    SendMessageW(child("Command1"), BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindow(handle));
    pump();
}

TEST_F(UiLayer, PrivateMessagesReachTheForm) {
    std::vector<std::tuple<UINT, WPARAM, LPARAM>> got;
    window->onPrivateMessage = [&](std::uint32_t m, std::uintptr_t w, std::intptr_t l) {
        got.emplace_back(m, w, l);
        return true;
    };
    UINT registered = RegisterWindowMessageW(L"OmnitapUiLayerTestMessage");
    SendMessageW(hwnd(), WM_APP + 7, 11, 22);
    PostMessageW(hwnd(), registered, 3, 4);
    SendMessageW(hwnd(), WM_USER + 1, 0, 0); // not private to the form
    pump();
    using Message = std::tuple<UINT, WPARAM, LPARAM>;
    EXPECT_EQ(got, (std::vector<Message>{{WM_APP + 7, 11, 22}, {registered, 3, 4}}));
}

TEST_F(UiLayer, TimerTicksOnTheUiThreadUntilDisabledOrDestroyed) {
    auto timer = factory.createTimer();
    int ticks = 0;
    DWORD thread = 0;
    timer->onTimer = [&] {
        ++ticks;
        thread = GetCurrentThreadId();
    };
    timer->setInterval(30);
    timer->setEnabled(true);
    EXPECT_TRUE(pumpUntil([&] { return ticks >= 3; }, 3s));
    EXPECT_EQ(thread, GetCurrentThreadId());
    timer->setEnabled(false);
    int stopped = ticks;
    pump(200ms);
    EXPECT_EQ(ticks, stopped);

    timer->onTimer = [&] {
        ++ticks;
        timer.reset(); // the volume repeat ends inside a tick
    };
    timer->setEnabled(true);
    pump(300ms);
    EXPECT_EQ(ticks, stopped + 1);
}

TEST_F(UiLayer, PopupMenuReturnsTheChosenIndexOrMinusOne) {
    const std::vector<ui::MenuItem> items{
        {"Omnitap, version 1.1.0"}, {"-"}, {"Edit Configuration"}, {"Quit"}};
    auto answer = [&](std::vector<WORD> keys) {
        std::thread user([keys] {
            e2e::waitFor([] { return IsWindowVisible(FindWindowW(L"#32768", nullptr)); }, 5s);
            for (WORD vk : keys) {
                e2e::tapKey(vk, static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)));
                Sleep(100);
            }
        });
        int chosen = factory.showPopupMenu(window->id(), items);
        user.join();
        return chosen;
    };
    EXPECT_EQ(answer({VK_ESCAPE}), -1);
    EXPECT_EQ(answer({VK_DOWN, VK_DOWN, VK_RETURN}), 2); // the separator is skipped
    EXPECT_EQ(factory.showPopupMenu(0, items), -1);      // no owner, no menu
}

} // namespace

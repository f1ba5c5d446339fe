// The control layer on the real system, as the forms see it: a window built from a small layout
// table (the shapes of the configuration windows), placed by twips at the screen's DPI, driven
// by keys through the message loop as the program runs it, and faults kept inside it.

#include "tests/e2e/support/e2e.h"
#include "win32/ui/factory.h"

#include <cmath>
#include <thread>

using namespace omnitap;
using namespace std::chrono_literals;

namespace {

std::vector<ui::ControlDesign> layout() {
    using ui::Kind;
    namespace f = ui::flag;
    std::vector<ui::ControlDesign> table{
        {"ListView1", Kind::ListView, "", {60, 60, 4455, 1995}},
        {"Frame1", Kind::Frame, "Key Mapping", {60, 2100, 4455, 1035}, {}, f::kDisabled},
        {"Combo1", Kind::ComboBox, "", {120, 240, 4215, 315}},
        {"Label3", Kind::Label, "Press the key now.", {60, 3200, 3555, 315}, {"Arial", 12}},
        {"List1", Kind::ListBox, "", {60, 3560, 3000, 700}, {"Lucida Console", 8.25}},
        {"Command1", Kind::Button, "Save && Close", {60, 4740, 1455, 375}, {}, f::kDefault},
        {"Command2", Kind::Button, "Cancel", {3060, 4740, 1455, 375}, {}, f::kCancel},
        // Below the client area, as the Key Finder keeps its report.
        {"Text2", Kind::MultiLineTextBox, "", {660, 5540, 2235, 1515}, {}, f::kNoTabStop},
    };
    table[0].columns = {{"Key", 1200}, {"Mapping", 2800}};
    table[2].parent = "Frame1";
    return table;
}

void press(WORD vk) {
    e2e::tapKey(vk);
    e2e::pump(150ms);
}

class UiLayer : public ::testing::Test {
  protected:
    void SetUp() override {
        window->show();
        e2e::pump(300ms);
        ASSERT_EQ(GetForegroundWindow(), hwnd());
    }
    HWND hwnd() const { return reinterpret_cast<HWND>(window->id()); }
    int px(int twips) const { return MulDiv(twips, static_cast<int>(dpi), 1440); }
    HWND child(const std::string& name) const { return e2e::control(hwnd(), table, name); }

    unsigned dpi = [] {
        HDC screen = GetDC(nullptr);
        int d = GetDeviceCaps(screen, LOGPIXELSX);
        ReleaseDC(nullptr, screen);
        return static_cast<unsigned>(d);
    }();
    std::vector<ui::ControlDesign> table = layout();
    win32::Win32UiFactory factory;
    std::unique_ptr<ui::Window> window = factory.createWindow(
        {"OmnitapUiLayerTest", "Layer test", 4575, 5145, ui::Placement::Centred}, table);
};

} // namespace

TEST_F(UiLayer, TheWindowAndItsControlsFollowTheTableInTwipsAtTheScreensDpiWithTheirFonts) {
    RECT client{}, outer{}, work{};
    GetClientRect(hwnd(), &client);
    EXPECT_EQ(client.right, px(4575));
    EXPECT_EQ(client.bottom, px(5145));
    GetWindowRect(hwnd(), &outer);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR(outer.left + outer.right, work.left + work.right, 1); // centred
    NONCLIENTMETRICSW metrics{sizeof metrics};
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    for (const ui::ControlDesign& design : table) {
        SCOPED_TRACE(design.name);
        ui::Twips at = design.rect;
        if (!design.parent.empty()) at = {at.left + 60, at.top + 2100, at.width, at.height};
        RECT r{};
        GetWindowRect(child(design.name), &r);
        MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, px(at.left));
        EXPECT_EQ(r.top, px(at.top));
        EXPECT_EQ(r.right - r.left, px(at.width));
        LOGFONTW font{};
        HGDIOBJ handle =
            reinterpret_cast<HGDIOBJ>(SendMessageW(child(design.name), WM_GETFONT, 0, 0));
        GetObjectW(handle, sizeof font, &font);
        const bool named = !design.font.face.empty();
        EXPECT_EQ(e2e::narrow(font.lfFaceName),
                  named ? design.font.face : e2e::narrow(metrics.lfMessageFont.lfFaceName));
        EXPECT_EQ(font.lfHeight, named ? -std::lround(design.font.points * dpi / 72)
                                       : metrics.lfMessageFont.lfHeight);
    }
}

TEST_F(UiLayer, TabPassesByADisabledFrameAndTheBoxOutOfViewEnterAndEscPressTheirButtons) {
    auto& rows = window->listView("ListView1");
    std::vector<std::string> events;
    rows.onItemClick = [&] { events.push_back("item " + std::to_string(rows.selected())); };
    rows.onClick = [&] { events.push_back("click " + std::to_string(rows.selected())); };
    window->button("Command1").onClick = [&] { events.push_back("default"); };
    window->button("Command2").onClick = [&] { events.push_back("cancel"); };
    rows.addRow("A");
    rows.addRow("B");
    rows.setSelected(0); // silently
    rows.setFocus();
    e2e::pump(150ms);
    for (WORD vk : {VK_DOWN, VK_RETURN, VK_ESCAPE, VK_TAB})
        press(vk);
    EXPECT_EQ(GetFocus(), child("List1"));
    for (int tab = 0; tab < 3; ++tab)
        press(VK_TAB);
    EXPECT_EQ(GetFocus(), child("ListView1"));
    window->frame("Frame1").setEnabled(true);
    press(VK_TAB);
    EXPECT_EQ(GetFocus(), child("Combo1"));
    EXPECT_EQ(events, (std::vector<std::string>{"item 1", "click 1", "default", "cancel"}));
}

TEST_F(UiLayer, AFaultInAHandlerDropsTheEventIsReportedOnceNamingItAndTheWindowGoesOn) {
    window->button("Command1").onClick = [&] { window->listBox("Combo1"); }; // the wrong kind
    std::wstring report;
    std::thread user([&] {
        HWND box = e2e::waitForWindow(GetCurrentProcessId(), L"#32770", L"Omnitap", 10s, true);
        report = e2e::messageBoxText(box);
        e2e::pressDialogButton(box, IDOK);
    });
    SendMessageW(child("Command1"), BM_CLICK, 0, 0); // returns once the box is closed
    user.join();
    EXPECT_NE(report.find(L"\"Layer test\""), std::wstring::npos) << e2e::narrow(report);
    EXPECT_NE(report.find(L"Combo1"), std::wstring::npos) << e2e::narrow(report);

    auto timer = factory.createTimer();
    int ticks = 0;
    timer->onTimer = [&] {
        if (++ticks == 1) throw std::runtime_error("a fault in a tick");
        timer.reset(); // the volume repeat ends inside a tick
    };
    timer->setInterval(30);
    timer->setEnabled(true);
    SendMessageW(child("Command1"), BM_CLICK, 0, 0); // no second box: this returns at once
    e2e::pump(500ms);
    EXPECT_EQ(ticks, 2);
    EXPECT_TRUE(IsWindowVisible(hwnd()));
}

// The control layer on the real system, as the forms see it: window and controls from a layout
// table, placed by twips at the window's DPI, with their fonts, frames, items and cells,
// checked with the system's own calls.

#include "tests/e2e/ui_layer_fixture.h"

#include <cmath>
#include <map>

using namespace ui_layer;

namespace {

TEST_F(UiLayer, WindowHasAFixedFrameAndTheClientSizeOfItsTwipsCentred) {
    EXPECT_EQ(FindWindowW(L"OmnitapUiLayerTest", L"Layer test"), hwnd());
    RECT client{}, outer{}, work{};
    GetClientRect(hwnd(), &client);
    EXPECT_EQ(client.right, px(4575));
    EXPECT_EQ(client.bottom, px(5145));
    EXPECT_EQ(GetWindowLongW(hwnd(), GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0);
    GetWindowRect(hwnd(), &outer);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR(outer.left + outer.right, work.left + work.right, 1);
    EXPECT_NEAR(outer.top + outer.bottom, work.top + work.bottom, 1);
}

TEST_F(UiLayer, ControlsFollowTheTableInOrderClassAndPlace) {
    const std::map<ui::Kind, std::wstring> classes{
        {ui::Kind::ListView, L"SysListView32"}, {ui::Kind::Frame, L"Button"},
        {ui::Kind::ComboBox, L"ComboBox"},      {ui::Kind::TextBox, L"Edit"},
        {ui::Kind::Label, L"Static"},           {ui::Kind::ListBox, L"ListBox"},
        {ui::Kind::Picture, L"Static"},         {ui::Kind::Button, L"Button"},
        {ui::Kind::MultiLineTextBox, L"Edit"}};
    auto kids = children();
    ASSERT_EQ(kids.size(), table.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        const auto& design = table[i];
        SCOPED_TRACE(design.name);
        wchar_t name[64];
        GetClassNameW(kids[i], name, 64);
        EXPECT_EQ(lstrcmpiW(name, classes.at(design.kind).c_str()), 0);
        ui::Twips at = design.rect;
        if (design.parent == "Frame1") {
            at.left += 60;
            at.top += 2100;
        }
        RECT r{};
        GetWindowRect(kids[i], &r);
        MapWindowPoints(nullptr, hwnd(), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, px(at.left));
        EXPECT_EQ(r.top, px(at.top));
        EXPECT_EQ(r.right - r.left, px(at.width));
        if (design.kind != ui::Kind::ComboBox) {
            EXPECT_EQ(r.bottom - r.top, px(at.height));
        }
    }
    EXPECT_EQ(GetWindowLongW(child("Command1"), GWL_STYLE) & 0xF, BS_DEFPUSHBUTTON);
    EXPECT_EQ(e2e::windowText(child("Command1")), L"Save && Close"); // shown with one "&"
    EXPECT_NE(SendMessageW(child("Image1"), STM_GETICON, 0, 0), 0);
}

TEST_F(UiLayer, FontsAreTheNamedFacesAtTheirSizeElseTheMessageFont) {
    auto height = [&](double points) { return -static_cast<LONG>(std::lround(points * dpi / 72)); };
    EXPECT_STREQ(fontOf("Label3").lfFaceName, L"Arial");
    EXPECT_EQ(fontOf("Label3").lfHeight, height(12));
    EXPECT_EQ(fontOf("Label2").lfHeight, height(11.25));
    EXPECT_STREQ(fontOf("List1").lfFaceName, L"Lucida Console");
    EXPECT_EQ(fontOf("List1").lfHeight, height(8.25));
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    EXPECT_STREQ(fontOf("Command1").lfFaceName, metrics.lfMessageFont.lfFaceName);
    EXPECT_EQ(fontOf("Command1").lfHeight, metrics.lfMessageFont.lfHeight);
}

TEST_F(UiLayer, AFrameDisablesAndHidesItsControlsWhichKeepTheirOwnState) {
    auto& frame = window->control("Frame1");
    auto& text = window->control("Text1");
    EXPECT_FALSE(IsWindowEnabled(child("Combo1")));
    EXPECT_TRUE(window->control("Combo1").enabled()); // its own state
    text.setEnabled(false);
    frame.setEnabled(true);
    EXPECT_TRUE(IsWindowEnabled(child("Combo1")));
    EXPECT_FALSE(IsWindowEnabled(child("Text1")));
    text.setEnabled(true);
    frame.setVisible(false);
    EXPECT_FALSE(IsWindowVisible(child("Combo1")));
    EXPECT_TRUE(text.visible());
    frame.setVisible(true);
    EXPECT_TRUE(IsWindowVisible(child("Text1")));
}

TEST_F(UiLayer, ItemListsKeepItemDataAndOnlyAComboRaisesClickOnSelection) {
    auto& combo = window->itemList("Combo1");
    int clicks = 0;
    combo.onClick = [&] { ++clicks; };
    for (auto [text, code] : {std::pair{"(nothing)", 0}, {"Winamp: Play", 30}, {"Launch", 60}})
        combo.setItemData(combo.addItem(text), code);
    EXPECT_EQ(SendMessageW(child("Combo1"), CB_GETITEMDATA, 1, 0), 30);
    EXPECT_EQ(combo.itemText(1), "Winamp: Play");
    combo.setSelected(1);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(SendMessageW(child("Combo1"), CB_GETCURSEL, 0, 0), 1);
    combo.setSelected(-1);
    EXPECT_EQ(combo.selected(), -1);
    EXPECT_EQ(clicks, 1);

    // The user moves the closed list with the keyboard.
    window->control("Frame1").setEnabled(true);
    combo.setSelected(0);
    combo.setFocus();
    pump();
    press(VK_DOWN, 0x50);
    EXPECT_EQ(combo.selected(), 1);
    EXPECT_EQ(clicks, 3);

    auto& list = window->itemList("List1");
    list.onClick = [&] { ++clicks; };
    list.setItemData(list.addItem("Grüße       65  30"), -5);
    EXPECT_EQ(list.itemData(0), -5);
    EXPECT_EQ(list.itemText(0), "Grüße       65  30");
    list.setSelected(0);
    EXPECT_EQ(SendMessageW(child("List1"), LB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(clicks, 3);
}

TEST_F(UiLayer, TextBoxesReportChangesAndSelectByteOffsets) {
    window->control("Frame1").setEnabled(true);
    auto& text = window->textBox("Text1");
    int changes = 0;
    text.onChange = [&] { ++changes; };
    text.setText("Grüße");
    text.setText("Grüße");
    EXPECT_EQ(changes, 1); // no change, no event
    EXPECT_EQ(e2e::windowText(child("Text1")), L"Gr\u00fc\u00dfe");
    text.select(0, 4); // "Grü" is four bytes, three characters
    DWORD from = 0, to = 0;
    SendMessageW(child("Text1"), EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                 reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(to, 3u);

    text.setText("");
    text.setFocus();
    pump();
    changes = 0;
    press('A', 0x1E);
    EXPECT_EQ(text.text(), "a");
    EXPECT_EQ(changes, 1);
}

TEST_F(UiLayer, ListViewHasColumnsRowsCellsAndASilentSelection) {
    auto& list = window->listView("ListView1");
    HWND handle = child("ListView1");
    int events = 0;
    list.onClick = list.onItemClick = [&] { ++events; };
    EXPECT_EQ(SendMessageW(handle, LVM_GETCOLUMNWIDTH, 1, 0), px(2800));
    for (const char* name : {"F12", "Media Next", "Caps"})
        list.addRow(name);
    std::string longText(1500, 'x');
    list.setCell(1, 1, longText);
    EXPECT_EQ(list.cell(1, 0), "Media Next");
    EXPECT_EQ(list.cell(1, 1), longText);
    EXPECT_EQ(list.cell(0, 1), "");
    list.setSelected(2);
    EXPECT_EQ(SendMessageW(handle, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 2);
    list.ensureVisible(2);
    list.clear();
    EXPECT_EQ(list.count(), 0);
    pump();
    EXPECT_EQ(events, 0);
}

} // namespace

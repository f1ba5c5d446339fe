#pragma once
// What the control layer's end-to-end tests share: a window built in the test process from a
// small layout table (the shapes of the configuration windows), the message loop as the
// program runs it, and a fixture that shows the window in front.

#include "tests/e2e/support/e2e.h"
#include "win32/ui/factory.h"
#include "win32/ui/message_loop.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ui_layer {

using namespace omnitap;
using namespace std::chrono_literals;

inline ui::ControlDesign inFrame(ui::ControlDesign design) {
    design.parent = "Frame1";
    return design;
}

inline std::vector<ui::ControlDesign> layout() {
    using ui::Kind;
    namespace f = ui::flag;
    // clang-format off
    static const ui::ControlDesign controls[]{
        {"ListView1", Kind::ListView, "", {60, 60, 4455, 1995}, {}, 0, "",
         {{"Key", 1200}, {"Mapping", 2800}}},
        {"Frame1", Kind::Frame, "Key Mapping", {60, 2100, 4455, 1035}, {}, f::kDisabled},
        inFrame({"Combo1", Kind::ComboBox, "", {120, 240, 4215, 315}}),
        inFrame({"Text1", Kind::TextBox, "", {120, 600, 4215, 315}}),
        {"Label3", Kind::Label, "Press the key now.", {60, 3200, 3555, 315}, {"Arial", 12},
         f::kCentred},
        {"List1", Kind::ListBox, "", {60, 3560, 3000, 700}, {"Lucida Console", 8.25}},
        {"Image1", Kind::Picture, "", {3600, 3560, 480, 480}},
        {"Command1", Kind::Button, "Save && Close", {60, 4740, 1455, 375}, {}, f::kDefault},
        {"Command3", Kind::Button, "Add...", {1560, 4740, 1455, 375}},
        {"Command2", Kind::Button, "Cancel", {3060, 4740, 1455, 375}, {}, f::kCancel},
        // Below the 5145-twip client area, as the Key Finder keeps its report controls.
        {"Label2", Kind::Label, "", {2640, 5220, 615, 255}, {"Arial", 11.25}, f::kCentred},
        {"Text2", Kind::MultiLineTextBox, "", {660, 5540, 2235, 1515}},
    };
    // clang-format on
    return {std::begin(controls), std::end(controls)};
}

inline const ui::WindowDesign kSpec{"OmnitapUiLayerTest", "Layer test", 4575, 5145,
                                    ui::Placement::Centred};

inline unsigned screenDpi() {
    HDC dc = GetDC(nullptr);
    int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(nullptr, dc);
    return static_cast<unsigned>(dpi);
}

// The thread's message loop as the program runs it, for a while or until something holds.
inline bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (win32::translateDialogMessage(msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done && done()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        Sleep(5);
    }
}
inline void pump(std::chrono::milliseconds time = 150ms) {
    pumpUntil(nullptr, time);
}
inline void press(WORD vk, WORD scan) {
    e2e::tapKey(vk, scan);
    pump();
}

class UiLayer : public ::testing::Test {
  protected:
    void SetUp() override {
        window->show();
        ASSERT_TRUE(pumpUntil([&] { return GetForegroundWindow() == hwnd(); }, 3s));
    }

    HWND hwnd() const { return reinterpret_cast<HWND>(window->id()); }
    int px(int twips) const { return MulDiv(twips, static_cast<int>(dpi), 1440); }
    // The window's controls in z-order, which is the order of creation and of Tab.
    std::vector<HWND> children() const {
        std::vector<HWND> all;
        for (HWND c = GetWindow(hwnd(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            all.push_back(c);
        return all;
    }
    HWND child(const std::string& name) const {
        for (std::size_t i = 0; i < table.size(); ++i)
            if (table[i].name == name) return children().at(i);
        return nullptr;
    }
    LOGFONTW fontOf(const std::string& name) const {
        LOGFONTW font{};
        auto handle = reinterpret_cast<HFONT>(SendMessageW(child(name), WM_GETFONT, 0, 0));
        GetObjectW(handle, sizeof font, &font);
        return font;
    }

    unsigned dpi = screenDpi();
    std::vector<ui::ControlDesign> table = layout();
    win32::Win32UiFactory factory;
    std::unique_ptr<ui::Window> window = factory.createWindow(kSpec, table);
};

} // namespace ui_layer

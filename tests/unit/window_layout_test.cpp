// The layout tables of the three configuration windows: what the Win32 layer relies on.

#include "windows/edit_configuration_window.h"
#include "windows/key_editor_window.h"
#include "windows/key_finder_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace omnitap;

namespace {

struct Layout {
    const ui::WindowDesign& window;
    const std::vector<ui::ControlDesign>& controls;
    std::set<std::string> outOfView; // written by the program, never seen
};

std::vector<Layout> layouts() {
    return {{Form2::windowDesign(), Form2::layout(), {}},
            {frmKeyAssign::windowDesign(), frmKeyAssign::layout(), {}},
            {Form3::windowDesign(), Form3::layout(), {"Label1", "Label2", "Text1"}}};
}

bool inside(const ui::Twips& r, int width, int height) {
    return r.left >= 0 && r.top >= 0 && r.left + r.width <= width && r.top + r.height <= height;
}

} // namespace

TEST(ConfigUiLayout, EveryControlFitsItsWindowOrItsFrame) {
    for (const Layout& l : layouts()) {
        SCOPED_TRACE(l.window.caption);
        std::set<std::string> names;
        for (const ui::ControlDesign& c : l.controls) {
            SCOPED_TRACE(c.name);
            EXPECT_TRUE(names.insert(c.name).second) << "name used twice";
            if (l.outOfView.count(c.name)) {
                EXPECT_GE(c.rect.top, l.window.clientHeight); // below the client area
            } else if (c.parent.empty()) {
                EXPECT_TRUE(inside(c.rect, l.window.clientWidth, l.window.clientHeight));
            } else {
                auto frame =
                    std::find_if(l.controls.begin(), l.controls.end(),
                                 [&](const ui::ControlDesign& f) { return f.name == c.parent; });
                ASSERT_NE(frame, l.controls.end());
                EXPECT_EQ(frame->kind, ui::Kind::Frame);
                EXPECT_LT(frame - l.controls.begin(), &c - l.controls.data()); // frame comes first
                EXPECT_TRUE(inside(c.rect, frame->rect.width, frame->rect.height));
            }
        }
    }
}

TEST(ConfigUiLayout, OneDefaultButtonAndAtMostOneCancelButton) {
    for (const Layout& l : layouts()) {
        SCOPED_TRACE(l.window.caption);
        auto withFlag = [&](unsigned f) {
            return std::count_if(l.controls.begin(), l.controls.end(),
                                 [&](const ui::ControlDesign& c) {
                                     return (c.flags & f) != 0 && c.kind == ui::Kind::Button;
                                 });
        };
        EXPECT_EQ(withFlag(ui::flag::kDefault), 1);
        EXPECT_LE(withFlag(ui::flag::kCancel), 1);
    }
}

TEST(ConfigUiLayout, ListViewColumnsFitTheList) {
    const ui::ControlDesign& list = Form2::layout().front();
    ASSERT_EQ(list.kind, ui::Kind::ListView);
    int total = 0;
    for (const ui::ListColumn& column : list.columns)
        total += column.widthTwips;
    EXPECT_LE(total, list.rect.width);
}

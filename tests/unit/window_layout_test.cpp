// The layout tables of the three configuration windows: what the Win32 layer relies on.

#include "forms/edit_configuration_window.h"
#include "forms/key_editor_window.h"
#include "forms/key_finder_window.h"
#include "tests/fakes/fake_ui.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace omnitap;

TEST(ConfigUiLayout, EveryControlFitsItsWindowOrFrameAndIsFoundOnlyUnderItsOwnKind) {
    const std::pair<const ui::WindowDesign&, const std::vector<ui::ControlDesign>&> layouts[] = {
        {Form2::windowDesign(), Form2::layout()},
        {frmKeyAssign::windowDesign(), frmKeyAssign::layout()},
        {Form3::windowDesign(), Form3::layout()}};
    for (const auto& [window, controls] : layouts) {
        SCOPED_TRACE(window.caption);
        int defaults = 0;
        for (const ui::ControlDesign& c : controls) {
            SCOPED_TRACE(c.name);
            defaults += c.kind == ui::Kind::Button && (c.flags & ui::flag::kDefault);
            ui::Twips area{0, 0, window.clientWidth, window.clientHeight};
            if (!c.parent.empty()) {
                auto frame = std::find_if(controls.begin(), controls.end(),
                                          [&](const auto& f) { return f.name == c.parent; });
                ASSERT_LT(frame - controls.begin(), &c - controls.data()); // frame comes first
                EXPECT_EQ(frame->kind, ui::Kind::Frame);
                area = {0, 0, frame->rect.width, frame->rect.height};
            }
            // Controls out of view (the Key Finder's report) sit below it and take no focus.
            if (c.rect.top >= window.clientHeight) {
                EXPECT_TRUE(c.kind == ui::Kind::Label || (c.flags & ui::flag::kNoTabStop));
                continue;
            }
            int columns = 0;
            for (const ui::ListColumn& column : c.columns)
                columns += column.widthTwips;
            EXPECT_TRUE(c.rect.left >= 0 && c.rect.top >= 0 && columns <= c.rect.width &&
                        c.rect.left + c.rect.width <= area.width &&
                        c.rect.top + c.rect.height <= area.height);
        }
        EXPECT_EQ(defaults, 1);
    }
    fakes::FakeWindow form2(Form2::windowDesign(), Form2::layout());
    EXPECT_NO_THROW(form2[Form2::Text1]);
    EXPECT_THROW(form2[ui::listBox("Combo1")], std::logic_error);
    EXPECT_THROW(form2[ui::button("Text1")], std::logic_error);
}

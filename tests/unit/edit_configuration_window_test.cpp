// The Edit Configuration window: the key list, the mapping frame, finding a pressed key.

#include "actions/actions.h"
#include "tests/unit/windows_fixture.h"

using namespace omnitap;
using namespace omnitap::testing;
using fakes::FakeWindow;

namespace {

class EditConfiguration : public ConfigUiTest {
  protected:
    FakeWindow& open() {
        windows.showEditConfiguration();
        return editConfiguration();
    }
    FakeWindow& select(int row) {
        FakeWindow& w = editConfiguration();
        w.get("ListView1").choose(row);
        return w;
    }
    std::string comboShows() {
        auto& combo = editConfiguration().get("Combo1");
        return combo.selected() < 0 ? "<none>" : combo.itemText(combo.selected());
    }
    bool frameUsable() {
        FakeWindow& w = editConfiguration();
        return w.get("Frame1").enabled() && w.get("Combo1").enabled() && w.get("Text1").enabled();
    }
    int comboPlaceOf(const char* label) {
        auto& combo = editConfiguration().get("Combo1");
        for (int p = 0; p < combo.count(); ++p)
            if (combo.itemText(p) == label) return p;
        return -1;
    }
};

} // namespace

TEST_F(EditConfiguration, LoadListsKeysWithTheirMappingsAndTheWholeCatalogue) {
    learned({key("Play", 179, 34, 30), key("Nothing", 65, 30, 0, "ignored"),
             key("Notes", 112, 59, 60, "notepad.exe")});
    FakeWindow& w = open();

    EXPECT_TRUE(state.configOpen);
    EXPECT_EQ(editConfigurationRows(),
              (std::vector<std::string>{"Play|Winamp: Play / Pause", "Nothing|",
                                        "Notes|Launch: notepad.exe"}));
    auto& combo = w.get("Combo1");
    auto catalogue = actionCatalogue();
    ASSERT_EQ(combo.count(), static_cast<int>(catalogue.size()));
    EXPECT_EQ(combo.itemData(combo.count() - 1), 60);
    EXPECT_EQ(combo.selected(), -1);
    EXPECT_FALSE(frameUsable());
    EXPECT_EQ(windows.editConfiguration().currentKey(), 0);
}

TEST_F(EditConfiguration, OpeningAnyWindowAgainOnlyBringsItForward) {
    open().get("Command3").click();
    keyEditor().get("Command1").click();
    pressKey(65, 30);
    windows.showEditConfiguration();
    editConfiguration().get("Command3").click();
    keyEditor().get("Command1").click();
    EXPECT_EQ(ui.windows.size(), 3u);
    EXPECT_EQ(editConfiguration().timesShown, 2);
    EXPECT_EQ(keyEditor().timesShown, 2);
    EXPECT_EQ(keyFinder().timesShown, 2);
    EXPECT_EQ(keyFinder().get("Text2").text(), "Key 65 - 30"); // still naming
}

TEST_F(EditConfiguration, SelectingAKeyShowsItsMappingInTheFrame) {
    learned({key("Play", 179, 34, 30, "17"), key("Notes", 112, 59, 60, "notepad.exe")});
    open();
    select(1);
    EXPECT_TRUE(frameUsable());
    EXPECT_EQ(windows.editConfiguration().currentKey(), 2);
    EXPECT_EQ(comboShows(), "Launch Application");
    EXPECT_EQ(editConfiguration().get("Text1").text(), "notepad.exe");
    select(0);
    EXPECT_EQ(comboShows(), "Winamp: Play / Pause");
    EXPECT_EQ(editConfiguration().get("Text1").text(), "17");
    EXPECT_EQ(hook.publications(), 0); // showing a mapping writes back the same values
}

TEST_F(EditConfiguration, ChoosingAnActionChangesTheKeyAndItsRowAtOnce) {
    learned({key("Notes", 112, 59, 0, "notepad.exe")});
    FakeWindow& w = open();
    select(0);
    w.get("Combo1").choose(comboPlaceOf("Launch Application"));
    EXPECT_EQ(state.keyTable[1].mapm, 60);
    EXPECT_EQ(editConfigurationRows()[0], "Notes|Launch: notepad.exe");
    EXPECT_EQ(hook.publications(), 1);

    w.get("Combo1").choose(comboPlaceOf("(nothing)"));
    EXPECT_EQ(state.keyTable[1].mapm, 0);
    EXPECT_EQ(state.keyTable[1].webs, "notepad.exe"); // the argument is left alone
    EXPECT_EQ(editConfigurationRows()[0], "Notes|");
}

TEST_F(EditConfiguration, TypingChangesTheArgumentOnEveryKeystrokeButNotTheRow) {
    learned({key("Notes", 112, 59, 60, "notepad.exe")});
    FakeWindow& w = open();
    select(0);
    w.get("Text1").type("c");
    w.get("Text1").type("calc.exe");
    EXPECT_EQ(state.keyTable[1].webs, "calc.exe");
    EXPECT_EQ(hook.publications(), 2);
    EXPECT_EQ(editConfigurationRows()[0], "Notes|Launch: notepad.exe");
}

TEST_F(EditConfiguration, SaveAndCloseWritesTheCloseBoxKeepsEditsInMemoryOnly) {
    learned({key("Notes", 112, 59, 0)});
    open();
    select(0).get("Combo1").choose(comboPlaceOf("Launch Application"));
    editConfiguration().get("Text1").type("notepad.exe");
    editConfiguration().userCloses();
    EXPECT_FALSE(state.configOpen);
    EXPECT_EQ(files.replaces, 0);
    EXPECT_EQ(state.keyTable[1], key("Notes", 112, 59, 60, "notepad.exe"));

    open().get("Command1").click();
    EXPECT_FALSE(isOpen(Form2::kCaption));
    EXPECT_FALSE(state.configOpen);
    EXPECT_EQ(fileTable(), state.keyTable);
}

TEST_F(EditConfiguration, AnUnknownActionShowsAsNothingAndBecomesZeroWhenSelected) {
    learned({key("Edited by hand", 65, 30, 77)});
    open();
    EXPECT_EQ(editConfigurationRows()[0], "Edited by hand|(nothing)");
    EXPECT_EQ(state.keyTable[1].mapm, 77); // listing alone changes nothing
    select(0);
    EXPECT_EQ(comboShows(), "(nothing)");
    EXPECT_EQ(state.keyTable[1].mapm, 0);
    EXPECT_EQ(editConfigurationRows()[0], "Edited by hand|");
    EXPECT_EQ(hook.publications(), 1);
}

TEST_F(EditConfiguration, AClickThatLeavesNoRowSelectedDisablesTheFrameOnly) {
    learned({key("Notes", 112, 59, 60, "notepad.exe")});
    FakeWindow& w = open();
    select(0);
    w.get("ListView1").selectedIndex = -1;
    w.get("ListView1").click();
    EXPECT_FALSE(frameUsable());
    EXPECT_EQ(windows.editConfiguration().currentKey(), 1);
    EXPECT_EQ(w.get("Text1").text(), "notepad.exe");
}

TEST_F(EditConfiguration, FindKeySelectsAndScrollsToTheLastOfSeveralEntries) {
    learned({key("A", 65, 30, 30), key("Other", 66, 48), key("A again", 65, 30, 60, "calc.exe")});
    FakeWindow& w = open();
    // A press matched entries 1 and 3: the key handler finds each in table order.
    windows.findKey(1);
    windows.findKey(3);
    EXPECT_EQ(w.get("ListView1").selected(), 2);
    EXPECT_EQ(w.get("ListView1").scrolledTo, 2);
    EXPECT_TRUE(frameUsable());
    EXPECT_EQ(comboShows(), "Launch Application");
    EXPECT_EQ(w.get("Text1").text(), "calc.exe");
    EXPECT_EQ(w.timesShown, 1); // not brought forward

    windows.findKey(4);
    windows.findKey(0);
    EXPECT_EQ(w.get("ListView1").selected(), 2);
}

TEST_F(EditConfiguration, AfterARemovalElsewhereAnEditCannotReachAKeyThatIsGone) {
    learned({key("One", 49, 2), key("Two", 50, 3), key("Three", 51, 4, 60, "three.exe")});
    FakeWindow& w = open();
    select(2); // editing key 3
    w.get("Command3").click();
    messages.answer = ports::mb::kAnswerYes;
    keyEditor().get("List1").choose(0);
    keyEditor().get("Command2").click(); // key 3 is now key 2; there is no key 3

    EXPECT_EQ(windows.editConfiguration().currentKey(), 0);
    EXPECT_FALSE(frameUsable());
    const KeyTable before = state.keyTable;
    const int changes = hook.publications();
    w.get("Text1").setText("edited"); // as a stray change notification would
    w.get("Combo1").setSelected(comboPlaceOf("System: Mute / Unmute"));
    EXPECT_EQ(state.keyTable, before);
    EXPECT_EQ(hook.publications(), changes);

    select(1);
    EXPECT_EQ(w.get("Text1").text(), "three.exe");
    w.get("Text1").type("edited");
    EXPECT_EQ(state.keyTable[2].webs, "edited");
}

TEST_F(EditConfiguration, AKeyAddedInTheKeyFinderClearsTheSelection) {
    learned({key("One", 49, 2, 60, "one.exe")});
    FakeWindow& w = open();
    select(0);
    w.get("Command3").click();
    keyEditor().get("Command1").click();
    pressKey(65, 30);
    keyFinder().get("Command1").click();
    EXPECT_EQ(editConfigurationRows(),
              (std::vector<std::string>{"One|Launch: one.exe", "Key 65 - 30|"}));
    EXPECT_EQ(windows.editConfiguration().currentKey(), 0);
    EXPECT_FALSE(frameUsable());
    EXPECT_EQ(comboShows(), "<none>");
}

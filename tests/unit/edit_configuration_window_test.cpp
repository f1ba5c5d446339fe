// The Edit Configuration window: the key list, the mapping frame, saving and closing.

#include "actions/actions.h"
#include "tests/unit/windows_fixture.h"

using namespace omnitap;
using namespace omnitap::testing;

namespace {

class EditConfiguration : public WindowsTest {
  protected:
    void chooseAction(const std::string& label) {
        for (int i = 0; i < form2("Combo1").count(); ++i)
            if (form2("Combo1").itemText(i) == label) return form2("Combo1").choose(i);
        FAIL() << "no action " << label;
    }
    // What the frame shows: "action|argument", or "off" while it cannot be used.
    std::string frame() {
        FakeControl& combo = form2("Combo1");
        if (!form2("Frame1").enabled() || !combo.enabled() || !form2("Text1").enabled())
            return "off";
        return (combo.selected() < 0 ? "" : combo.itemText(combo.selected())) + "|" +
               form2("Text1").text();
    }
};

} // namespace

TEST_F(EditConfiguration, ListsEveryKeyWithItsMappingAndShowsTheSelectedOneInTheFrame) {
    start({key("Play", 179, 34, 30, "17"), key("Nothing", 65, 30, 0, "ignored"),
           key("Notes", 112, 59, 60, "notepad.exe"), key("By hand", 66, 48, 34, "17")});
    EXPECT_TRUE(state.configOpen);
    EXPECT_EQ(lines(form2("ListView1")), (Lines{"Play|Winamp: Play / Pause", "Nothing|",
                                                "Notes|Launch: notepad.exe", "By hand|(nothing)"}));
    ASSERT_EQ(form2("Combo1").count(), static_cast<int>(actionCatalogue().size()));
    EXPECT_EQ(form2("Combo1").itemData(form2("Combo1").count() - 1), 60);
    EXPECT_EQ(frame(), "off");
    const std::pair<int, const char*> selections[] = {
        {2, "Launch Application|notepad.exe"}, {0, "Winamp: Play / Pause|17"}, {-1, "off"}};
    for (auto [row, shows] : selections) {
        form2("ListView1").choose(row);
        EXPECT_EQ(frame(), shows);
    }
    EXPECT_EQ(windows.editConfiguration().currentKey(), 1); // kept while no row is selected
    EXPECT_EQ(table[4].mapm, 34); // until selected, a code of no action stays as it is
    form2("ListView1").choose(3);
    EXPECT_EQ(frame(), "(nothing)|17"); // shown, not chosen: the argument stays
    EXPECT_EQ(table[4], key("By hand", 66, 48, 0, "17"));
}

// Each step acts on the table at once and the row follows. An action that reads its argument
// another way (a target, a modifier key, nothing) clears it.
TEST_F(EditConfiguration, ActionAndArgumentActAtOnceTheRowFollowsAndAnotherKindClearsTheArgument) {
    start({key("Notes", 112, 59, 60, "notepad.exe")});
    form2("ListView1").choose(0);
    const struct {
        const char* action; // else the argument is typed
        const char* typed;
        int mapm;
        const char* argument;
        const char* row;
    } steps[] = {
        {nullptr, "winver.exe", 60, "winver.exe", "Launch: winver.exe"},
        {"Winamp: Next Track", nullptr, 33, "", "Winamp: Next Track"},
        {nullptr, "17", 33, "17", "Winamp: Next Track"},
        {"Winamp: Stop", nullptr, 31, "17", "Winamp: Stop"},
        {"System: Mute / Unmute", nullptr, 300, "", "System: Mute / Unmute"},
        {nullptr, "kept", 300, "kept", "System: Mute / Unmute"},
        {"(nothing)", nullptr, 0, "kept", ""},
        {"Launch Application", nullptr, 60, "", "Launch: "},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.action ? s.action : s.typed);
        if (s.action) chooseAction(s.action);
        if (s.typed) form2("Text1").type(s.typed);
        EXPECT_EQ(table[1], key("Notes", 112, 59, s.mapm, s.argument));
        EXPECT_EQ(form2("Text1").text(), s.argument);
        EXPECT_EQ(lines(form2("ListView1"))[0], std::string("Notes|") + s.row);
    }
}

TEST_F(EditConfiguration, AFailedSaveKeepsTheWindowWithTheEditsInEffectUntilTheButtonSaves) {
    start({key("Notes", 112, 59)});
    form2("ListView1").choose(0);
    form2("Text1").type("notepad.exe");
    diskRefusesWrites();
    form2("Command1").click();
    ASSERT_TRUE(isOpen(Form2::kCaption));
    EXPECT_EQ(lastBox().owner, id(Form2::kCaption));
    EXPECT_NE(lastBox().text.find(p.iniPath()), std::string::npos);
    EXPECT_EQ(frame(), "(nothing)|notepad.exe");
    EXPECT_EQ(table[1].webs, "notepad.exe");
    diskRefusesWrites(false);
    form2("Command1").click();
    EXPECT_FALSE(isOpen(Form2::kCaption));
    EXPECT_FALSE(state.configOpen);
    EXPECT_EQ(fileTable(), table);
    EXPECT_EQ(table[1].webs, "notepad.exe");
}

TEST_F(EditConfiguration, ClosingAnyOtherWayReturnsToWhatKeysIniHoldsForTheHookToo) {
    start({key("Next", 176, 25, 33), key("Notes", 112, 59)});
    const KeyTable onDisk = table;
    for (bool failedSaveFirst : {false, true}) {
        SCOPED_TRACE(failedSaveFirst);
        windows.showEditConfiguration();
        form2("ListView1").choose(0);
        form2("Text1").type("17"); // now only with Control held: the hook passes a bare press
        EXPECT_FALSE(p.hookSwallowsPress(176));
        diskRefusesWrites(failedSaveFirst);
        if (failedSaveFirst) form2("Command1").click();
        p.ui.window(Form2::kCaption).userCloses();
        EXPECT_FALSE(state.configOpen);
        EXPECT_EQ(table, onDisk);
        EXPECT_TRUE(p.hookSwallowsPress(176));
    }
}

TEST_F(EditConfiguration, FindKeySelectsAndScrollsToTheLastOfSeveralEntriesWithoutComingForward) {
    start({key("A", 65, 30, 30), key("Other", 66, 48), key("A again", 65, 30, 60, "calc.exe")});
    for (int i : {1, 3, 4, 0}) // one press matched keys 1 and 3; 4 and 0 are no rows
        windows.findKey(i);
    EXPECT_EQ(form2("ListView1").selected(), 2);
    EXPECT_EQ(form2("ListView1").scrolledTo, 2);
    EXPECT_EQ(frame(), "Launch Application|calc.exe");
    EXPECT_EQ(p.ui.window(Form2::kCaption).timesShown, 1);
}

TEST_F(EditConfiguration, AfterTheKeyEditorRemovedAKeyAnEditCannotReachAKeyThatIsGone) {
    start({key("One", 49, 2), key("Two", 50, 3), key("Three", 51, 4, 60, "three.exe")});
    form2("ListView1").choose(2);
    p.messages.answer = ports::mb::kAnswerYes;
    openKeyEditor();
    editor("List1").choose(0);
    editor("Command2").click(); // key 3 is now key 2; there is no key 3
    EXPECT_EQ(frame(), "off");
    const KeyTable before = table;
    form2("Text1").setText("edited"); // as a stray change notification would
    form2("Combo1").setSelected(3);
    EXPECT_EQ(table, before);
}

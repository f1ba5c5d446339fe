// The Key Editor: the aligned key list and the removals.

#include "tests/unit/windows_fixture.h"

using namespace omnitap;
using namespace omnitap::testing;
using fakes::FakeWindow;

TEST(KeyListLine, CodesStandUnderTheHeadersTitles) {
    const std::string header = kKeyListHeader;
    EXPECT_EQ(header.substr(29, 1), "|");
    const std::string line = keyListLine(key("Play", 179, 34));
    EXPECT_EQ(line, "Play" + std::string(25, ' ') + "  179      34");
    EXPECT_EQ(header.find("Code 1"), line.find("179"));
    EXPECT_EQ(header.find("Code 2"), line.find("34"));
    EXPECT_EQ(keyListLine(key("Odd", -32768, -1)).substr(29), "  -32768   -1");
}

TEST(KeyListLine, LongNamesAreCutTo29CharactersNotBytesForDisplayOnly) {
    const KeyDef longKey = key(std::string(29, 'y') + "TAIL", 65, 30);
    EXPECT_EQ(keyListLine(longKey), std::string(29, 'y') + "  65       30");
    EXPECT_EQ(longKey.name.size(), 33u);
    std::string name, expected;
    for (int i = 0; i < 30; ++i)
        name += "\xC3\xA9"; // 30 times "é"
    for (int i = 0; i < 29; ++i)
        expected += "\xC3\xA9";
    EXPECT_EQ(keyListLine(key(name, 65, 30)), expected + "  65       30");
}

namespace {

class KeyEditor : public ConfigUiTest {
  protected:
    void threeKeys() {
        learned({key("Play", 179, 34, 30, "17"), key("Notes", 112, 59, 60, "notepad.exe"),
                 key("Mute", 173, 0, 300)});
    }
    FakeWindow& selectLine(int line) {
        FakeWindow& editor = keyEditor();
        editor.get("List1").choose(line);
        return editor;
    }
};

} // namespace

TEST_F(KeyEditor, ListsEveryKeyWithItsIndexAsItemData) {
    learned({key("Play", 179, 34), key("Play", 179, 34)}); // taught twice: two lines
    FakeWindow& editor = openKeyEditor();
    EXPECT_EQ(editor.get("Label1").text(), kKeyListHeader);
    auto& list = editor.get("List1");
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.itemData(0), 1);
    EXPECT_EQ(list.itemData(1), 2);
    EXPECT_EQ(list.selected(), -1);
}

TEST_F(KeyEditor, RemovingTheFirstOfThreeMovesTheOthersDownEverywhere) {
    threeKeys();
    openKeyEditor();
    messages.answer = ports::mb::kAnswerYes;
    selectLine(0).get("Command2").click();

    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Are you sure you want to remove this key?");
    EXPECT_EQ(messages.shown[0].title, "Remove Selected Key");
    EXPECT_EQ(messages.shown[0].style, 36u);

    KeyTable expected;
    expected.append(key("Notes", 112, 59, 60, "notepad.exe"));
    expected.append(key("Mute", 173, 0, 300));
    EXPECT_EQ(state.keyTable, expected);
    EXPECT_EQ(fileTable(), expected);
    EXPECT_EQ(keyEditorLines(),
              (std::vector<std::string>{keyListLine(expected[1]), keyListLine(expected[2])}));
    EXPECT_EQ(keyEditor().get("List1").itemData(1), 2);
    EXPECT_EQ(keyEditor().get("List1").selected(), -1);
    EXPECT_EQ(editConfigurationRows(), (std::vector<std::string>{"Notes|Launch: notepad.exe",
                                                                 "Mute|System: Mute / Unmute"}));
    EXPECT_EQ(hook.publications(), 1);
}

TEST_F(KeyEditor, RemoveKeyWithoutASelectedLineDoesNothing) {
    threeKeys();
    openKeyEditor().get("Command2").click();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(state.keyTable.numKeys(), 3);
    EXPECT_EQ(files.replaces, 0);
}

TEST_F(KeyEditor, AnsweringNoChangesNothing) {
    threeKeys();
    const KeyTable before = state.keyTable;
    openKeyEditor();
    messages.answer = ports::mb::kAnswerNo;
    selectLine(1).get("Command2").click();
    keyEditor().get("Command3").click();

    EXPECT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(state.keyTable, before);
    EXPECT_EQ(files.replaces, 0);
    EXPECT_EQ(keyEditorLines().size(), 3u);
    EXPECT_EQ(keyEditor().get("List1").selected(), 1);
    EXPECT_EQ(hook.publications(), 0);
}

TEST_F(KeyEditor, RemoveAllKeysAsksThenEmptiesTableFileAndBothListsEvenWhenEmpty) {
    for (bool withKeys : {true, false}) {
        if (withKeys) threeKeys();
        messages.shown.clear();
        openKeyEditor();
        messages.answer = ports::mb::kAnswerYes;
        keyEditor().get("Command3").click();
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, "Are you sure you want to remove all keys?");
        EXPECT_EQ(messages.shown[0].title, "Remove All Keys");
        EXPECT_TRUE(state.keyTable.empty());
        EXPECT_EQ(files.files.at(iniPath), "[keys]\r\nnumkeys=0\r\n");
        EXPECT_TRUE(keyEditorLines().empty());
        EXPECT_TRUE(editConfigurationRows().empty());
    }
}

TEST_F(KeyEditor, AKeyAddedWhileTheQuestionIsUpIsNotTheOneRemoved) {
    threeKeys();
    openKeyEditor().get("Command1").click();
    messages.answer = ports::mb::kAnswerYes;
    messages.onShow = [this] {
        messages.onShow = nullptr;
        pressKey(65, 30);
        keyFinder().get("Command1").click(); // selects the new last line
    };
    selectLine(0).get("Command2").click();

    ASSERT_EQ(state.keyTable.numKeys(), 3);
    EXPECT_EQ(state.keyTable[1].name, "Notes");
    EXPECT_EQ(state.keyTable[3].name, "Key 65 - 30");
    EXPECT_EQ(fileTable(), state.keyTable);
}

TEST_F(KeyEditor, EditingAndClosingWhileTheQuestionIsUpStillRemovesTheKeyAskedAbout) {
    threeKeys();
    openKeyEditor();
    messages.answer = ports::mb::kAnswerYes;
    messages.onShow = [this] {
        editConfiguration().get("ListView1").choose(0);
        editConfiguration().get("Combo1").choose(0); // key 1 now has no action
        editConfiguration().userCloses();
    };
    selectLine(0).get("Command2").click();

    EXPECT_FALSE(isOpen(frmKeyAssign::kCaption));
    EXPECT_FALSE(isOpen(Form2::kCaption));
    // The user did say Yes to that key.
    ASSERT_EQ(state.keyTable.numKeys(), 2);
    EXPECT_EQ(state.keyTable[1].name, "Notes");
    EXPECT_EQ(fileTable(), state.keyTable);
}

TEST_F(KeyEditor, DoneAndTheEditConfigurationWindowCloseTheKeyFinderToo) {
    openKeyFinder();
    keyEditor().get("Command4").click();
    EXPECT_FALSE(isOpen(frmKeyAssign::kCaption));
    EXPECT_FALSE(isOpen(Form3::kCaption));
    EXPECT_FALSE(state.findingKey);
    EXPECT_TRUE(isOpen(Form2::kCaption));

    editConfiguration().get("Command3").click();
    keyEditor().get("Command1").click();
    editConfiguration().userCloses();
    EXPECT_TRUE(ui.windows.empty());
    EXPECT_FALSE(state.findingKey);
    EXPECT_FALSE(state.configOpen);
}

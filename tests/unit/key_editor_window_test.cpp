// The Key Editor: the aligned key list and the removals.

#include "tests/unit/windows_fixture.h"

using namespace omnitap;
using namespace omnitap::testing;

TEST(KeyListLine, CodesStandUnderTheHeadersTitlesAndNamesAreCutTo29CharactersForDisplay) {
    const std::string header = kKeyListHeader, line = keyListLine(key("Play", 179, 34));
    EXPECT_EQ(line, "Play" + std::string(25, ' ') + "  179      34");
    EXPECT_EQ(header.find('|'), 29u);
    EXPECT_EQ(header.find("Code 1"), line.find("179"));
    EXPECT_EQ(header.find("Code 2"), line.find("34"));
    EXPECT_EQ(keyListLine(key("Odd", -32768, -1)).substr(29), "  -32768   -1");
    std::string e30; // characters, not bytes: "é" is two
    for (int i = 0; i < 30; ++i)
        e30 += "\xC3\xA9";
    EXPECT_EQ(keyListLine(key(e30, 65, 30)), e30.substr(2) + "  65       30");
}

namespace {

class KeyEditor : public WindowsTest {
  protected:
    void SetUp() override {
        start({key("Play", 179, 34, 30, "17"), key("Notes", 112, 59, 60, "notepad.exe"),
               key("Mute", 173, 0, 300)});
        openKeyEditor();
    }
    KeyTable without(int index) {
        KeyTable t = fileTable();
        t.removeAt(index);
        return t;
    }
};

} // namespace

TEST_F(KeyEditor, RemovalsAskOverTheEditorThenMoveTheOthersDownEverywhereAndSave) {
    const KeyTable before = table, expected = without(1);
    editor("Command2").click(); // no line selected: no question
    p.messages.answer = ports::mb::kAnswerNo;
    editor("List1").choose(0);
    editor("Command2").click();
    EXPECT_EQ(table, before);
    EXPECT_EQ(editor("List1").selected(), 0);
    p.messages.answer = ports::mb::kAnswerYes;
    editor("Command2").click();
    ASSERT_EQ(p.messages.shown.size(), 2u);
    EXPECT_EQ(lastBox().text + "|" + lastBox().title,
              "Are you sure you want to remove this key?|Remove Selected Key");
    EXPECT_EQ(lastBox().style, 36u);
    EXPECT_EQ(lastBox().owner, id(frmKeyAssign::kCaption));
    EXPECT_EQ(table, expected);
    EXPECT_EQ(fileTable(), expected);
    EXPECT_EQ(lines(editor("List1")), (Lines{keyListLine(expected[1]), keyListLine(expected[2])}));
    EXPECT_EQ(editor("List1").itemData(1), 2);
    EXPECT_EQ(editor("List1").selected(), -1);
    EXPECT_EQ(lines(form2("ListView1")),
              (Lines{"Notes|Launch: notepad.exe", "Mute|System: Mute / Unmute"}));

    for (int round = 0; round < 2; ++round) { // asked even when there is nothing to remove
        editor("Command3").click();
        EXPECT_EQ(lastBox().text + "|" + lastBox().title,
                  "Are you sure you want to remove all keys?|Remove All Keys");
        EXPECT_TRUE(table.empty());
        EXPECT_EQ(p.files.files.at(p.iniPath()), "[keys]\r\nnumkeys=0\r\n");
        EXPECT_TRUE(lines(editor("List1")).empty() && lines(form2("ListView1")).empty());
    }
    diskRefusesWrites();
    p.files.files[p.iniPath()] = "kept";
    editor("Command3").click();
    EXPECT_EQ(lastBox().owner, id(frmKeyAssign::kCaption));
    EXPECT_NE(lastBox().text.find(p.iniPath()), std::string::npos);
    EXPECT_TRUE(isOpen(frmKeyAssign::kCaption));
    EXPECT_EQ(p.files.files.at(p.iniPath()), "kept");
}

TEST_F(KeyEditor, WhateverHappensWhileTheQuestionIsUpOnlyTheKeyAskedAboutGoes) {
    p.messages.answer = ports::mb::kAnswerYes;
    editor("Command1").click(); // the Key Finder waits
    KeyTable expected = without(1);
    expected.append(key("Key 65 - 30", 65, 30));
    p.messages.onShow = [this] {
        p.messages.onShow = nullptr;
        pressKey(65, 30);
        finder("Command1").click(); // a key added: its line is selected now
    };
    editor("List1").choose(0);
    editor("Command2").click();
    EXPECT_EQ(table, expected);
    expected.removeAt(1);
    p.messages.onShow = [this] {
        form2("ListView1").choose(0);
        form2("Combo1").choose(0); // an edit, dropped when the window closes
        p.ui.window(Form2::kCaption).userCloses();
    };
    editor("List1").choose(0);
    editor("Command2").click();
    EXPECT_FALSE(isOpen(frmKeyAssign::kCaption));
    EXPECT_EQ(table, expected);
    EXPECT_EQ(fileTable(), expected);
}

TEST_F(KeyEditor, DoneAndEditConfigurationCloseTheKeyFinderToo) {
    for (bool done : {true, false}) {
        if (!done) openKeyEditor();
        editor("Command1").click();
        if (done)
            editor("Command4").click();
        else
            p.ui.window(Form2::kCaption).userCloses();
        EXPECT_FALSE(isOpen(frmKeyAssign::kCaption) || isOpen(Form3::kCaption));
        EXPECT_FALSE(state.findingKey);
        EXPECT_EQ(isOpen(Form2::kCaption), done);
    }
}

// The Key Finder in the whole program over fakes: opened from the Key Editor, it waits for a
// key, proposes a name, and adds the key to the table, the file and both lists.

#include "tests/unit/config_windows_fixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace omnitap;
using namespace omnitap::fakes;
using ::testing::HasSubstr;

namespace {

class KeyFinder : public WindowsTest {
  protected:
    // "Waiting", or what the window shows while naming: "label3|text2|code|scan".
    std::string state() {
        const bool waiting =
            finder(Form3::Label3).text() == "Press the key now." &&
            !finder(Form3::Text2).visible() && !finder(Form3::Command3).visible() &&
            !finder(Form3::Command1).enabled() && finder(Form3::Label1).text().empty() &&
            finder(Form3::Label2).text().empty();
        EXPECT_EQ(windows.keyFinderWaiting(), waiting);
        EXPECT_EQ(p.channel.finderWaiting(), waiting);
        if (waiting) return "Waiting";
        EXPECT_TRUE(finder(Form3::Text2).visible() && finder(Form3::Command3).visible());
        return finder(Form3::Label3).text() + "|" + finder(Form3::Text2).text() + "|" +
               finder(Form3::Label1).text() + "|" + finder(Form3::Label2).text();
    }
};

} // namespace

TEST_F(KeyFinder, WaitsThenProposesANameForTheFirstKeyCaughtUntilTryAgain) {
    start({});
    openKeyFinder();
    EXPECT_TRUE(WindowsTest::state.findingKey);
    EXPECT_EQ(state(), "Waiting");
    windows.keyWasPressed(65, 30, {}, "");
    windows.keyWasPressed(66, 48, {}, ""); // while naming: changes nothing
    openKeyFinder();                       // only brought forward
    EXPECT_EQ(state(), "Please give this key a name:|Key 65 - 30|65|30");
    EXPECT_TRUE(finder(Form3::Text2).hasFocus);
    EXPECT_EQ(finder(Form3::Text2).selectionEnd, 11);
    finder(Form3::Command3).click();
    EXPECT_EQ(state(), "Waiting");
    windows.keyWasPressed(66, 48, {}, "");
    EXPECT_EQ(state(), "Please give this key a name:|Key 66 - 48|66|48");
}

TEST_F(KeyFinder, AddThisKeyAppendsTheTrimmedNameWritesRefreshesBothListsAndCloses) {
    start({key("Play", 179, 34, 30)});
    openKeyFinder();
    windows.keyWasPressed(112, 59, {}, "");
    windows.showKeyEventReport("vkCode: 112\r\n");
    EXPECT_EQ(finder(Form3::Text1).text(), "vkCode: 112\r\n");
    finder(Form3::Text2).type("  Notes ");
    finder(Form3::Command1).click();
    EXPECT_EQ(table, fakes::table({key("Play", 179, 34, 30), key("Notes", 112, 59)}));
    EXPECT_EQ(fileTable(), table);
    EXPECT_TRUE(p.hookSwallowsPress(112));
    EXPECT_FALSE(isOpen(Form3::kCaption) || WindowsTest::state.findingKey);
    EXPECT_FALSE(p.channel.finderWaiting());
    EXPECT_EQ(editor(frmKeyAssign::List1).selected(), 1); // the new key
    EXPECT_TRUE(editor(frmKeyAssign::Command2).enabled());
    EXPECT_EQ(lines(form2(Form2::ListView1)), (Lines{"Play|Winamp: Play / Pause", "Notes|"}));
    windows.keyWasPressed(65, 30, {}, ""); // after the window closed
    windows.showKeyEventReport("late");
    EXPECT_EQ(table.numKeys(), 2);
}

TEST_F(KeyFinder, EscCancelsABlankNameTakesTheProposedOneAndAKeyTaughtAgainIsAskedAbout) {
    start({key("Play", 179, 34, 30)});
    openKeyFinder();
    windows.keyWasPressed(27, 1, {}, ""); // Esc, while waiting
    EXPECT_FALSE(isOpen(Form3::kCaption) || WindowsTest::state.findingKey);
    editor(frmKeyAssign::Command1).click();
    // Only synthesised input reports such a scan code: clamped.
    windows.keyWasPressed(255, 70000, {}, "");
    finder(Form3::Text2).type("  ");
    finder(Form3::Command1).click();
    EXPECT_EQ(table[2], key("Key 255 - 70000", 255, 32767));
    EXPECT_EQ(p.messages.shown.size(), 0u);
    for (int answer : {ports::mb::kAnswerNo, ports::mb::kAnswerYes}) {
        p.messages.answer = answer;
        editor(frmKeyAssign::Command1).click();
        windows.keyWasPressed(179, 99, {}, ""); // the scan code counts only for code 255
        finder(Form3::Command1).click();
        EXPECT_EQ(lastBox(Form3::kCaption),
                  "This key is already taught as \"Play\".\r\n\r\nAdd it anyway? Then both entries "
                  "act on it.|Omnitap KeyFinder|36");
        EXPECT_EQ(isOpen(Form3::kCaption), answer == ports::mb::kAnswerNo);
    }
    EXPECT_EQ(table.numKeys(), 3);
}

// Where keys.ini cannot be written, the key added stays in effect whatever window is closed.
TEST_F(KeyFinder, AFailedSaveKeepsItNamingTheSameButtonKeepsOneKeyAndClosingDropsNothing) {
    start({}, false);
    openKeyFinder();
    windows.keyWasPressed(65, 30, {}, "");
    p.files.failReplace = true;
    for (const char* name : {"", "Renamed"}) {
        if (*name) finder(Form3::Text2).type(name);
        finder(Form3::Command1).click();
        ASSERT_TRUE(isOpen(Form3::kCaption));
        EXPECT_THAT(
            lastBox(Form3::kCaption),
            HasSubstr("The change stays in effect until Omnitap ends. Nothing was written."));
        EXPECT_EQ(lines(editor(frmKeyAssign::List1)).size(), 1u);
    }
    editor(frmKeyAssign::Command4).click(); // "Done", and the Key Finder with it
    EXPECT_FALSE(isOpen(frmKeyAssign::kCaption) || isOpen(Form3::kCaption) ||
                 WindowsTest::state.findingKey);
    p.ui.window(Form2::kCaption).onClose();
    EXPECT_EQ(table, fakes::table({key("Renamed", 65, 30)}));
    EXPECT_TRUE(p.hookSwallowsPress(65));
}

// A combination is another key than its key alone; the system may have no name for its key;
// Esc with modifiers is a shortcut, not Cancel.
TEST_F(KeyFinder, ACombinationIsNotItsKeyAloneAndEscWithModifiersIsTaught) {
    start({key("Right", 39, 77)});
    const Modifiers ctrlAlt = readModifiers("ctrl+alt");
    for (const char* systemName : {"Right", ""}) {
        openKeyFinder();
        windows.keyWasPressed(39, 77, ctrlAlt, systemName);
        finder(Form3::Command1).click();
    }
    EXPECT_THAT(lastBox(Form3::kCaption), HasSubstr("already taught as \"Ctrl+Alt+Right\""));
    ASSERT_EQ(p.messages.shown.size(), 1u); // not for Right alone
    EXPECT_EQ(finder(Form3::Text2).text(), "Ctrl+Alt+Key 39");
    finder(Form3::Command3).click();
    windows.keyWasPressed(27, 1, ctrlAlt, "Esc");
    EXPECT_EQ(state(), "Please give this key a name:|Ctrl+Alt+Esc|27|1");
}

// The Key Finder: catching a key, naming it, adding it.

#include "tests/unit/windows_fixture.h"

using namespace omnitap;
using namespace omnitap::testing;

namespace {

class KeyFinder : public WindowsTest {
  protected:
    // "Waiting", or what the window shows while naming: "label3|text2|code|scan".
    std::string state() {
        const bool waiting = finder("Label3").text() == "Press the key now." &&
                             !finder("Text2").visible() && !finder("Command3").visible() &&
                             !finder("Command1").enabled() && finder("Label1").text().empty() &&
                             finder("Label2").text().empty();
        EXPECT_EQ(windows.keyFinderWaiting(), waiting);
        EXPECT_EQ(p.channel.finderWaiting(), waiting);
        if (waiting) return "Waiting";
        EXPECT_TRUE(finder("Text2").visible() && finder("Command3").visible());
        return finder("Label3").text() + "|" + finder("Text2").text() + "|" +
               finder("Label1").text() + "|" + finder("Label2").text();
    }
    // "Add New Key...", a key, "Add This Key".
    void teach(int vk, int scan) {
        editor("Command1").click();
        pressKey(vk, scan);
        finder("Command1").click();
    }
};

} // namespace

TEST_F(KeyFinder, WaitsThenProposesANameForTheFirstKeyCaughtUntilTryAgain) {
    start({});
    openKeyFinder();
    EXPECT_TRUE(WindowsTest::state.findingKey);
    EXPECT_EQ(state(), "Waiting");
    pressKey(65, 30);
    pressKey(66, 48); // while naming: changes nothing
    openKeyFinder();  // only brought forward
    EXPECT_EQ(state(), "Please give this key a name:|Key 65 - 30|65|30");
    EXPECT_TRUE(finder("Text2").hasFocus);
    EXPECT_EQ(finder("Text2").selectionStart + finder("Text2").selectionLength, 11);
    EXPECT_TRUE(table.empty()); // nothing is learned before "Add This Key"
    finder("Command3").click();
    EXPECT_EQ(state(), "Waiting");
    pressKey(66, 48);
    EXPECT_EQ(state(), "Please give this key a name:|Key 66 - 48|66|48");
}

TEST_F(KeyFinder, AddThisKeyAppendsTheTrimmedNameWritesRefreshesBothListsAndCloses) {
    start({key("Play", 179, 34, 30)});
    openKeyFinder();
    pressKey(112, 59);
    windows.showKeyEventReport("vkCode: 112\r\n");
    EXPECT_EQ(finder("Text1").text(), "vkCode: 112\r\n");
    finder("Text2").type("  Notes ");
    finder("Command1").click();
    ASSERT_EQ(table.numKeys(), 2);
    EXPECT_EQ(table[2], key("Notes", 112, 59)); // no action, no argument
    EXPECT_EQ(fileTable(), table);
    EXPECT_TRUE(p.hookSwallowsPress(112));
    EXPECT_FALSE(isOpen(Form3::kCaption) || WindowsTest::state.findingKey);
    EXPECT_FALSE(p.channel.finderWaiting());
    EXPECT_EQ(editor("List1").selected(), 1); // the new key
    EXPECT_EQ(editor("List1").itemData(1), 2);
    EXPECT_EQ(lines(form2("ListView1")), (Lines{"Play|Winamp: Play / Pause", "Notes|"}));
    pressKey(65, 30); // after the window closed
    windows.showKeyEventReport("late");
    EXPECT_EQ(table.numKeys(), 2);
}

TEST_F(KeyFinder, EscAndEnterAreTaughtWhileWaitingAndABlankNameCancelAndCloseAddNothing) {
    start({});
    openKeyEditor();
    teach(27, 1); // Esc does not cancel
    teach(13, 28);
    teach(255, 70000); // only synthesised input reports such a scan code: clamped
    EXPECT_EQ(table[1], key("Key 27 - 1", 27, 1));
    EXPECT_EQ(table[2], key("Key 13 - 28", 13, 28));
    EXPECT_EQ(table[3].code2, 32767);
    editor("Command1").click();
    pressKey(65, 30);
    finder("Text2").type("    ");
    finder("Command1").click(); // refused silently
    finder("Command2").click();
    editor("Command1").click();
    p.ui.window(Form3::kCaption).userCloses();
    EXPECT_FALSE(isOpen(Form3::kCaption) || WindowsTest::state.findingKey);
    EXPECT_EQ(table.numKeys(), 3);
    EXPECT_EQ(p.files.replaces, 3);
    EXPECT_EQ(p.messages.shown.size(), 1u); // the welcome only
}

TEST_F(KeyFinder, AFailedSaveKeepsItNamingAndTheSameButtonThenSavesTheKeyOnce) {
    start({});
    openKeyFinder();
    pressKey(65, 30);
    diskRefusesWrites();
    finder("Command1").click();
    ASSERT_TRUE(isOpen(Form3::kCaption));
    EXPECT_EQ(lastBox().owner, id(Form3::kCaption));
    EXPECT_EQ(finder("Text2").text(), "Key 65 - 30");
    EXPECT_EQ(lines(editor("List1")).size(), 1u); // in effect meanwhile
    EXPECT_TRUE(p.hookSwallowsPress(65));
    diskRefusesWrites(false);
    finder("Text2").type("Renamed");
    finder("Command1").click();
    EXPECT_FALSE(isOpen(Form3::kCaption));
    ASSERT_EQ(table.numKeys(), 1);
    EXPECT_EQ(table[1], key("Renamed", 65, 30));
    EXPECT_EQ(fileTable(), table);
}

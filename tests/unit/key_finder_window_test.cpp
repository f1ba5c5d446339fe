// The Key Finder: catching a key, naming it, adding it.

#include "tests/unit/windows_fixture.h"

using namespace omnitap;
using namespace omnitap::testing;
using fakes::FakeControl;
using fakes::FakeWindow;

namespace {

class KeyFinder : public ConfigUiTest {
  protected:
    void expectWaiting(FakeWindow& w) {
        EXPECT_EQ(w.get("Label3").text(), "Press the key now.");
        EXPECT_FALSE(w.get("Text2").visible());
        EXPECT_FALSE(w.get("Command3").visible());
        EXPECT_FALSE(w.get("Command1").enabled());
        EXPECT_EQ(w.get("Label1").text(), "");
        EXPECT_EQ(w.get("Label2").text(), "");
        EXPECT_TRUE(windows.keyFinderWaiting());
    }
};

} // namespace

TEST_F(KeyFinder, OpensWaitingAndTellsTheHookToCatchTheNextKey) {
    FakeWindow& finder = openKeyFinder();
    EXPECT_TRUE(state.findingKey);
    EXPECT_TRUE(windows.keyFinderLoaded());
    EXPECT_TRUE(hook.finderWaiting());
    expectWaiting(finder);
}

TEST_F(KeyFinder, CaughtKeyProposesItsNameSelectedForTyping) {
    FakeWindow& finder = openKeyFinder();
    pressKey(65, 30);

    FakeControl& text2 = finder.get("Text2");
    EXPECT_TRUE(text2.visible());
    EXPECT_EQ(text2.text(), "Key 65 - 30");
    EXPECT_TRUE(text2.hasFocus);
    EXPECT_EQ(text2.selectionStart, 0);
    EXPECT_EQ(text2.selectionLength, 11);
    EXPECT_TRUE(finder.get("Command1").enabled());
    EXPECT_TRUE(finder.get("Command3").visible());
    EXPECT_EQ(finder.get("Label3").text(), "Please give this key a name:");
    EXPECT_EQ(finder.get("Label1").text(), "65");
    EXPECT_EQ(finder.get("Label2").text(), "30");
    EXPECT_FALSE(windows.keyFinderWaiting());
    EXPECT_FALSE(hook.finderWaiting());
    EXPECT_TRUE(state.keyTable.empty()); // nothing is learned before "Add This Key"
}

TEST_F(KeyFinder, EscAndEnterAreTaughtWhileWaitingLikeAnyOtherKey) {
    openKeyFinder();
    pressKey(27, 1);
    EXPECT_TRUE(isOpen(Form3::kCaption)); // Esc did not cancel
    keyFinder().get("Command1").click();

    keyEditor().get("Command1").click();
    pressKey(13, 28); // the main Enter key, caught on its release when held at opening
    EXPECT_EQ(keyFinder().get("Text2").text(), "Key 13 - 28");
    keyFinder().get("Command1").click();

    ASSERT_EQ(state.keyTable.numKeys(), 2);
    EXPECT_EQ(state.keyTable[1], key("Key 27 - 1", 27, 1));
    EXPECT_EQ(state.keyTable[2], key("Key 13 - 28", 13, 28));
}

TEST_F(KeyFinder, AddThisKeyAppendsWritesRefreshesBothListsAndCloses) {
    learned({key("Play", 179, 34, 30)});
    openKeyFinder();
    pressKey(112, 59);
    keyFinder().get("Text2").type("  Notes ");
    keyFinder().get("Command1").click();

    ASSERT_EQ(state.keyTable.numKeys(), 2);
    EXPECT_EQ(state.keyTable[2], key("Notes", 112, 59)); // trimmed, no action, no argument
    EXPECT_EQ(fileTable(), state.keyTable);
    EXPECT_EQ(hook.publications(), 1);
    EXPECT_FALSE(isOpen(Form3::kCaption));
    EXPECT_FALSE(state.findingKey);
    EXPECT_FALSE(hook.finderWaiting());

    auto& list = keyEditor().get("List1");
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.selected(), 1); // the new key, selected
    EXPECT_EQ(list.itemData(1), 2);
    EXPECT_EQ(editConfigurationRows(),
              (std::vector<std::string>{"Play|Winamp: Play / Pause", "Notes|"}));
}

TEST_F(KeyFinder, ASecondKeyWhileNamingChangesNothing) {
    FakeWindow& finder = openKeyFinder();
    pressKey(65, 30);
    finder.get("Text2").type("My A");
    pressKey(66, 48);

    EXPECT_EQ(finder.get("Text2").text(), "My A");
    finder.get("Command1").click();
    EXPECT_EQ(state.keyTable[1], key("My A", 65, 30));
}

TEST_F(KeyFinder, TryAgainWaitsAgainAndTheNextKeyReplacesEverything) {
    FakeWindow& finder = openKeyFinder();
    pressKey(65, 30);
    finder.get("Command3").click();
    expectWaiting(finder);
    EXPECT_TRUE(hook.finderWaiting());

    pressKey(66, 48);
    EXPECT_EQ(finder.get("Label1").text(), "66");
    finder.get("Command1").click();
    EXPECT_EQ(state.keyTable[1], key("Key 66 - 48", 66, 48));
}

TEST_F(KeyFinder, ANameOfOnlyBlanksIsRefusedSilently) {
    FakeWindow& finder = openKeyFinder();
    pressKey(65, 30);
    finder.get("Text2").type("    ");
    finder.get("Command1").click();

    EXPECT_TRUE(isOpen(Form3::kCaption));
    EXPECT_TRUE(state.keyTable.empty());
    EXPECT_EQ(files.replaces, 0);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(KeyFinder, CancelAndTheCloseBoxAddNothing) {
    FakeWindow& finder = openKeyFinder();
    pressKey(65, 30);
    finder.get("Command2").click();
    EXPECT_FALSE(isOpen(Form3::kCaption));
    EXPECT_FALSE(state.findingKey);

    keyEditor().get("Command1").click();
    EXPECT_TRUE(state.findingKey);
    keyFinder().userCloses();
    EXPECT_FALSE(state.findingKey);
    EXPECT_FALSE(hook.finderWaiting());
    EXPECT_TRUE(state.keyTable.empty());
    EXPECT_EQ(files.replaces, 0);
}

TEST_F(KeyFinder, TheEventReportGoesToTheHiddenTextBoxAndLateEventsAreIgnored) {
    FakeWindow& finder = openKeyFinder();
    pressKey(65, 30);
    windows.showKeyEventReport("vkCode: 65\r\n");
    EXPECT_EQ(finder.get("Text1").text(), "vkCode: 65\r\n");

    finder.get("Command2").click();
    pressKey(65, 30);
    windows.showKeyEventReport("vkCode: 65\r\n");
    EXPECT_FALSE(isOpen(Form3::kCaption));
    EXPECT_TRUE(state.keyTable.empty());
}

TEST_F(KeyFinder, CodesWiderThanTheTableAreClamped) {
    openKeyFinder();
    pressKey(255, 70000); // only synthesised input reports such a scan code
    keyFinder().get("Command1").click();
    EXPECT_EQ(state.keyTable[1].code2, 32767);
}

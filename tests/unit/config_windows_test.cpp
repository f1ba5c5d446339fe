// The configuration windows in the whole program over fakes: a keys.ini to start from, the
// windows as the user reaches them (Edit Configuration, the Key Editor, the Key Finder), and
// what the table, the file and the lists then hold.

#include "catalogue/action_catalogue.h"
#include "keys/keys_ini.h"
#include "tests/fakes/fake_program.h"

#include <gtest/gtest.h>

using namespace omnitap;
using fakes::FakeControl;
using fakes::FakeWindow;
using Lines = std::vector<std::string>;

namespace {

inline KeyDef key(std::string name, int code, int code2, int mapm = 0, std::string webs = {}) {
    return KeyDef{static_cast<std::int16_t>(code), static_cast<std::int16_t>(code2),
                  std::move(name), static_cast<std::int16_t>(mapm), std::move(webs)};
}

class WindowsTest : public ::testing::Test {
  protected:
    fakes::FakeProgram p;
    KeyboardState& state = p.program.state();
    KeyTable& table = state.keyTable;
    ConfigWindows& windows = p.program.configWindows();

    // The program started over a keys.ini with `keys`, and Edit Configuration opened.
    void start(std::initializer_list<KeyDef> keys) {
        KeyTable file;
        for (const KeyDef& k : keys)
            file.append(k);
        p.files.files[p.iniPath()] = keysIniBytes(file, p.codec);
        p.program.Main();
        windows.showEditConfiguration();
    }
    FakeControl& form2(const char* control) { return p.ui.window(Form2::kCaption).get(control); }
    FakeControl& editor(const char* control) {
        return p.ui.window(frmKeyAssign::kCaption).get(control);
    }
    FakeControl& finder(const char* control) { return p.ui.window(Form3::kCaption).get(control); }
    ui::WindowId id(const char* caption) { return p.ui.window(caption).id(); }
    bool isOpen(const char* caption) const { return p.ui.find(caption) != nullptr; }
    // "Add or Delete Keys...", then "Add New Key...".
    void openKeyEditor() { form2("Command3").click(); }
    void openKeyFinder() {
        openKeyEditor();
        editor("Command1").click();
    }
    // A key event caught for the Key Finder, as the key handler hands it over.
    void pressKey(int vk, int scan) { windows.keyWasPressed(vk, scan); }

    KeyTable fileTable() { return parseKeysIniBytes(p.files.files.at(p.iniPath()), p.codec); }
    // The lines of a list: the Edit Configuration rows as "name|mapping".
    Lines lines(FakeControl& list) {
        Lines out;
        for (int i = 0; i < list.count(); ++i)
            out.push_back(list.cell(i, 0) +
                          (list.items[i].cells.size() > 1 ? "|" + list.cell(i, 1) : ""));
        return out;
    }
    void diskRefusesWrites(bool refuse = true) { p.files.failReplace = refuse; }
    const fakes::ShownMessage& lastBox() {
        return p.messages.shown.at(p.messages.shown.size() - 1);
    }
};

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
    form2("ListView1").choose(1); // an edit under way, of a key that becomes another
    p.messages.answer = ports::mb::kAnswerYes;
    editor("Command2").click();
    EXPECT_FALSE(form2("Frame1").enabled());
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

TEST_F(KeyFinder, AScanCodeWiderThanTheTableKeepsIsClamped) {
    start({});
    openKeyEditor();
    teach(255, 70000); // only synthesised input reports such a scan code
    EXPECT_EQ(table[1].code2, 32767);
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

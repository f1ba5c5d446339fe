// The configuration windows in the whole program over fakes: a keys.ini to start from, the
// windows as the user reaches them (Edit Configuration, the Key Editor, the Key Finder), and
// what the table, the file and the lists then hold.

#include "catalogue/action_catalogue.h"
#include "keys/keys_ini.h"
#include "tests/fakes/fake_program.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace omnitap;
using namespace omnitap::fakes;
using ::testing::HasSubstr;

namespace {

using Lines = std::vector<std::string>;

class WindowsTest : public ::testing::Test {
  protected:
    FakeProgram p;
    ProgramState& state = p.program.state();
    KeyTable& table = state.keyTable;
    ConfigWindows& windows = p.program.configWindows();

    // The program started over a keys.ini with `keys` (or none), and Edit Configuration opened.
    void start(std::initializer_list<KeyDef> keys, bool withFile = true) {
        if (withFile) p.files.files[p.iniPath()] = keysIniBytes(fakes::table(keys), p.codec);
        p.program.Main();
        windows.showEditConfiguration();
    }
    FakeControl& form2(ui::ControlName c) { return p.ui.window(Form2::kCaption).get(c.name); }
    FakeControl& editor(ui::ControlName c) {
        return p.ui.window(frmKeyAssign::kCaption).get(c.name);
    }
    FakeControl& finder(ui::ControlName c) { return p.ui.window(Form3::kCaption).get(c.name); }
    ui::WindowId id(const char* caption) { return p.ui.window(caption).id(); }
    bool isOpen(const char* caption) const { return p.ui.find(caption) != nullptr; }
    // "Add or Delete Keys...", then "Add New Key...".
    void openKeyEditor() { form2(Form2::Command3).click(); }
    void openKeyFinder() {
        openKeyEditor();
        editor(frmKeyAssign::Command1).click();
    }

    KeyTable fileTable() { return parseKeysIniBytes(p.files.files.at(p.iniPath()), p.codec); }
    // The lines of a list: the Edit Configuration rows as "name|mapping".
    Lines lines(FakeControl& list) {
        Lines out;
        for (const FakeControl::Item& item : list.items)
            out.push_back(item.cells[0] + (item.cells.size() > 1 ? "|" + item.cells[1] : ""));
        return out;
    }
    // The last message box, "text|title|style", which `owner` holds (if it is open still).
    std::string lastBox(const char* owner) {
        const ShownMessage& box = p.messages.shown.at(p.messages.shown.size() - 1);
        EXPECT_TRUE(!isOpen(owner) || box.owner == id(owner));
        return box.text + "|" + box.title + "|" + std::to_string(box.style);
    }
};

class EditConfiguration : public WindowsTest {
  protected:
    void chooseAction(const std::string& label) {
        for (int i = 0; i < form2(Form2::Combo1).count(); ++i)
            if (form2(Form2::Combo1).itemText(i) == label) return form2(Form2::Combo1).choose(i);
        FAIL() << "no action " << label;
    }
    // What the frame shows: "action|argument", or "off" while it cannot be used.
    std::string frame() {
        FakeControl& combo = form2(Form2::Combo1);
        if (!form2(Form2::Frame1).enabled() || !combo.enabled() || !form2(Form2::Text1).enabled())
            return "off";
        return (combo.selected() < 0 ? "" : combo.itemText(combo.selected())) + "|" +
               form2(Form2::Text1).text();
    }
};

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

TEST_F(EditConfiguration, ListsEveryKeyWithItsMappingAndShowsTheSelectedOneInTheFrame) {
    start({key("Play", 179, 34, 30, "17"), key("Nothing", 65, 30, 0, "ignored"),
           key("Notes", 112, 59, 60, "notepad.exe"), key("By hand", 66, 48, 34, "17")});
    EXPECT_TRUE(state.configOpen);
    EXPECT_THROW(p.ui.window(Form2::kCaption)[ui::listBox(Form2::Combo1.name)], std::logic_error);
    EXPECT_EQ(lines(form2(Form2::ListView1)),
              (Lines{"Play|Winamp: Play / Pause", "Nothing|", "Notes|Launch: notepad.exe",
                     "By hand|(nothing)"}));
    ASSERT_EQ(form2(Form2::Combo1).count(), static_cast<int>(actionCatalogue().size()));
    EXPECT_EQ(form2(Form2::Combo1).itemData(form2(Form2::Combo1).count() - 1), 60);
    EXPECT_EQ(frame(), "off");
    const std::pair<int, const char*> selections[] = {
        {2, "Launch Application|notepad.exe"}, {0, "Winamp: Play / Pause|17"}, {-1, "off"}};
    for (auto [row, shows] : selections) {
        form2(Form2::ListView1).choose(row);
        EXPECT_EQ(frame(), shows);
    }
    EXPECT_EQ(windows.editConfiguration().currentKey(), 1); // kept while no row is selected
    EXPECT_EQ(table[4].mapm, 34); // until selected, a code of no action stays as it is
    form2(Form2::ListView1).choose(3);
    EXPECT_EQ(frame(), "(nothing)|17"); // shown, not chosen: the argument stays
    EXPECT_EQ(table[4], key("By hand", 66, 48, 0, "17"));
}

// Each step acts on the table at once and the row follows. An action that reads its argument
// another way (a target, a modifier key, nothing) clears it.
TEST_F(EditConfiguration, ActionAndArgumentActAtOnceTheRowFollowsAndAnotherKindClearsTheArgument) {
    start({key("Notes", 112, 59, 60, "notepad.exe")});
    form2(Form2::ListView1).choose(0);
    // An action chosen or an argument typed; then the key's code and argument, and its row.
    const std::tuple<const char*, const char*, int, const char*, const char*> steps[] = {
        {nullptr, "winver.exe", 60, "winver.exe", "Launch: winver.exe"},
        {"Winamp: Next Track", nullptr, 33, "", "Winamp: Next Track"},
        {nullptr, "17", 33, "17", "Winamp: Next Track"},
        {"Winamp: Stop", nullptr, 31, "17", "Winamp: Stop"},
        {"System: Mute / Unmute", nullptr, 300, "", "System: Mute / Unmute"},
        {nullptr, "kept", 300, "kept", "System: Mute / Unmute"},
        {"(nothing)", nullptr, 0, "kept", ""},
        {"Launch Application", nullptr, 60, "", "Launch: "},
    };
    for (auto [action, typed, mapm, argument, row] : steps) {
        SCOPED_TRACE(action ? action : typed);
        if (action) chooseAction(action);
        if (typed) form2(Form2::Text1).type(typed);
        EXPECT_EQ(table[1], key("Notes", 112, 59, mapm, argument));
        EXPECT_EQ(form2(Form2::Text1).text(), argument);
        EXPECT_EQ(lines(form2(Form2::ListView1))[0], std::string("Notes|") + row);
    }
}

// Edits act at once; closing any other way than "Save && Close" drops them, for the hook too,
// and Quit asks about them (Yes saves them, unless the disk fails).
TEST_F(EditConfiguration, EditsNotSavedGoWithTheCloseBoxAndQuitAsksAboutThem) {
    start({key("Next", 176, 25, 33), key("Notes", 112, 59)});
    const KeyTable onDisk = table;
    auto quit = [&](int answer, bool diskFails = false) {
        p.messages.answer = answer;
        p.files.failReplace = diskFails;
        p.messages.shown.clear();
        p.program.controlWindow().mnuItems_Click(1);
        return p.appInfo.endings;
    };
    auto edit = [&] {
        windows.showEditConfiguration();
        form2(Form2::ListView1).choose(0);
        form2(Form2::Text1).type("17"); // now only with Control held: the hook passes a bare press
        EXPECT_FALSE(p.hookSwallowsPress(176));
    };
    using namespace ports::mb;
    EXPECT_EQ(quit(kAnswerCancel), 1); // nothing to save: nothing asked
    EXPECT_TRUE(p.messages.shown.empty());
    edit();
    EXPECT_EQ(quit(kAnswerCancel), 1);
    EXPECT_EQ(lastBox(Form2::kCaption), "Save the changes to your keys?|Omnitap|35");
    EXPECT_EQ(quit(kAnswerYes, true), 1);
    EXPECT_EQ(p.messages.shown.size(), 2u); // and the failure
    openKeyEditor();
    p.ui.window(Form2::kCaption).onClose(); // and the Key Editor with it
    EXPECT_FALSE(state.configOpen || isOpen(frmKeyAssign::kCaption));
    EXPECT_EQ(table, onDisk);
    EXPECT_TRUE(p.hookSwallowsPress(176));
    edit();
    EXPECT_EQ(quit(kAnswerNo), 2);
    EXPECT_EQ(fileTable(), onDisk);
    EXPECT_EQ(quit(kAnswerYes), 3);
    EXPECT_EQ(fileTable(), table);
    EXPECT_NE(table, onDisk);
}

TEST_F(EditConfiguration, FindKeySelectsAndScrollsToTheLastOfSeveralEntriesWithoutComingForward) {
    start({key("A", 65, 30, 30), key("Other", 66, 48), key("A again", 65, 30, 60, "calc.exe")});
    for (int i : {1, 3, 4, 0}) // one press matched keys 1 and 3; 4 and 0 are no rows
        windows.findKey(i);
    EXPECT_EQ(form2(Form2::ListView1).selected(), 2);
    EXPECT_EQ(form2(Form2::ListView1).scrolledTo, 2);
    EXPECT_EQ(frame(), "Launch Application|calc.exe");
    EXPECT_EQ(p.ui.window(Form2::kCaption).timesShown, 1);
}

using KeyEditor = WindowsTest;

TEST_F(KeyEditor, RemovalsAskOverTheEditorThenMoveTheOthersDownEverywhereAndSave) {
    start({key("Play", 179, 34, 30, "17"), key("Notes", 112, 59, 60, "notepad.exe"),
           key("Mute", 173, 0, 300)});
    openKeyEditor();
    const KeyTable before = table;
    KeyTable expected = fileTable();
    expected.removeAt(1);
    EXPECT_FALSE(editor(frmKeyAssign::Command2).enabled()); // no line selected
    p.messages.answer = ports::mb::kAnswerNo;
    editor(frmKeyAssign::List1).choose(0);
    editor(frmKeyAssign::Command2).click();
    EXPECT_EQ(table, before);
    EXPECT_EQ(editor(frmKeyAssign::List1).selected(), 0);
    form2(Form2::ListView1).choose(1); // an edit under way, not saved by the removal
    form2(Form2::Text1).type("edited");
    p.messages.answer = ports::mb::kAnswerYes;
    editor(frmKeyAssign::Command2).click();
    EXPECT_EQ(windows.editConfiguration().currentKey(), 1); // the edit follows its key
    ASSERT_EQ(p.messages.shown.size(), 2u);
    EXPECT_EQ(lastBox(frmKeyAssign::kCaption),
              "Are you sure you want to remove this key?|Remove Selected Key|36");
    EXPECT_EQ(fileTable(), expected);
    expected[1].webs = "edited";
    EXPECT_EQ(table, expected);
    EXPECT_EQ(lines(editor(frmKeyAssign::List1)),
              (Lines{keyListLine(expected[1]), keyListLine(expected[2])}));
    EXPECT_EQ(editor(frmKeyAssign::List1).selected(), -1);
    EXPECT_FALSE(editor(frmKeyAssign::Command2).enabled());
    EXPECT_EQ(lines(form2(Form2::ListView1)),
              (Lines{"Notes|Launch: edited", "Mute|System: Mute / Unmute"}));

    for (int round = 0; round < 2; ++round) { // asked even when there is nothing to remove
        editor(frmKeyAssign::Command3).click();
        EXPECT_EQ(lastBox(frmKeyAssign::kCaption),
                  "Are you sure you want to remove all keys?|Remove All Keys|36");
        EXPECT_TRUE(table.empty());
        EXPECT_EQ(p.files.files.at(p.iniPath()), "[keys]\r\nnumkeys=0\r\n");
        EXPECT_TRUE(lines(editor(frmKeyAssign::List1)).empty() &&
                    lines(form2(Form2::ListView1)).empty());
    }
    p.files.failReplace = true;
    p.files.files[p.iniPath()] = "kept";
    editor(frmKeyAssign::Command3).click();
    EXPECT_THAT(lastBox(frmKeyAssign::kCaption), HasSubstr(p.iniPath()));
    EXPECT_TRUE(isOpen(frmKeyAssign::kCaption));
    EXPECT_EQ(p.files.files.at(p.iniPath()), "kept");
}

TEST_F(KeyFinder, WaitsThenProposesANameForTheFirstKeyCaughtUntilTryAgain) {
    start({});
    openKeyFinder();
    EXPECT_TRUE(WindowsTest::state.findingKey);
    EXPECT_EQ(state(), "Waiting");
    windows.keyWasPressed(65, 30);
    windows.keyWasPressed(66, 48); // while naming: changes nothing
    openKeyFinder();               // only brought forward
    EXPECT_EQ(state(), "Please give this key a name:|Key 65 - 30|65|30");
    EXPECT_TRUE(finder(Form3::Text2).hasFocus);
    EXPECT_EQ(finder(Form3::Text2).selectionEnd, 11);
    EXPECT_TRUE(table.empty()); // nothing is learned before "Add This Key"
    finder(Form3::Command3).click();
    EXPECT_EQ(state(), "Waiting");
    windows.keyWasPressed(66, 48);
    EXPECT_EQ(state(), "Please give this key a name:|Key 66 - 48|66|48");
}

TEST_F(KeyFinder, AddThisKeyAppendsTheTrimmedNameWritesRefreshesBothListsAndCloses) {
    start({key("Play", 179, 34, 30)});
    openKeyFinder();
    windows.keyWasPressed(112, 59);
    windows.showKeyEventReport("vkCode: 112\r\n");
    EXPECT_EQ(finder(Form3::Text1).text(), "vkCode: 112\r\n");
    finder(Form3::Text2).type("  Notes ");
    finder(Form3::Command1).click();
    ASSERT_EQ(table.numKeys(), 2);
    EXPECT_EQ(table[2], key("Notes", 112, 59)); // no action, no argument
    EXPECT_EQ(fileTable(), table);
    EXPECT_TRUE(p.hookSwallowsPress(112));
    EXPECT_FALSE(isOpen(Form3::kCaption) || WindowsTest::state.findingKey);
    EXPECT_FALSE(p.channel.finderWaiting());
    EXPECT_EQ(editor(frmKeyAssign::List1).selected(), 1); // the new key
    EXPECT_TRUE(editor(frmKeyAssign::Command2).enabled());
    EXPECT_EQ(lines(form2(Form2::ListView1)), (Lines{"Play|Winamp: Play / Pause", "Notes|"}));
    windows.keyWasPressed(65, 30); // after the window closed
    windows.showKeyEventReport("late");
    EXPECT_EQ(table.numKeys(), 2);
}

TEST_F(KeyFinder, EscCancelsABlankNameTakesTheProposedOneAndAKeyTaughtAgainIsAskedAbout) {
    start({key("Play", 179, 34, 30)});
    openKeyFinder();
    windows.keyWasPressed(27, 1); // Esc, while waiting
    EXPECT_FALSE(isOpen(Form3::kCaption) || WindowsTest::state.findingKey);
    editor(frmKeyAssign::Command1).click();
    windows.keyWasPressed(255, 70000); // only synthesised input reports such a scan code: clamped
    finder(Form3::Text2).type("  ");
    finder(Form3::Command1).click();
    EXPECT_EQ(table[2], key("Key 255 - 70000", 255, 32767));
    EXPECT_EQ(p.messages.shown.size(), 0u);
    for (int answer : {ports::mb::kAnswerNo, ports::mb::kAnswerYes}) {
        p.messages.answer = answer;
        editor(frmKeyAssign::Command1).click();
        windows.keyWasPressed(179, 99); // the scan code counts only for code 255
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
    windows.keyWasPressed(65, 30);
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
    EXPECT_FALSE(p.files.files.count(p.iniPath()));
}

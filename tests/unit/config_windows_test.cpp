// The configuration windows in the whole program over fakes: a keys.ini to start from,
// Edit Configuration and the Key Editor as the user reaches them, and what the table, the file
// and the lists then hold.

#include "catalogue/action_catalogue.h"
#include "tests/unit/config_windows_fixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace omnitap;
using namespace omnitap::fakes;
using ::testing::HasSubstr;

namespace {

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

// A key string or a key name that does not read is refused where it is typed, saying where and
// why, and the key keeps its argument; "Press a key..." names the next key pressed.
TEST_F(EditConfiguration, AnArgumentThatDoesNotReadIsRefusedAndPressAKeyNamesTheNextKey) {
    start({key("Copy", 120, 67, 500, "^c")});
    form2(Form2::ListView1).choose(0);
    EXPECT_FALSE(form2(Form2::CommandPressKey).visible());
    // Typed, or an action chosen; then the key's argument, its row and the label.
    const std::tuple<const char*, const char*, const char*, const char*> steps[] = {
        {"^v{x", "^c", "Send Keys: ^c", "At character 3: this { is never closed"},
        {"^v", "^v", "Send Keys: ^v", ""},
        {"Keyboard: Act as Key", "", "Act as: ", ""},
        {"Ctlr", "",
         "Act as: ", "No key is named \"Ctlr\": press one, or type Ctrl, Esc, F5, A ..."},
        {"esc", "esc", "Act as: esc", ""},
    };
    for (auto [step, argument, row, label] : steps) {
        SCOPED_TRACE(step);
        if (std::string_view(step).starts_with("Keyboard"))
            chooseAction(step);
        else
            form2(Form2::Text1).type(step);
        EXPECT_EQ(table[1].webs, argument);
        EXPECT_EQ(lines(form2(Form2::ListView1))[0], std::string("Copy|") + row);
        EXPECT_EQ(form2(Form2::LabelArgument).text(), label);
    }
    ASSERT_TRUE(form2(Form2::CommandPressKey).visible());
    form2(Form2::CommandPressKey).click();
    EXPECT_EQ(form2(Form2::CommandPressKey).text(), "Waiting...");
    EXPECT_TRUE(p.channel.finderWaiting());
    windows.keyWasPressed(0x14, 0x3A, Modifiers().set(ModifierKind::Ctrl, Side::Either), "");
    EXPECT_EQ(form2(Form2::CommandPressKey).text(), "Press a key...");
    EXPECT_FALSE(p.channel.finderWaiting());
    EXPECT_EQ(lines(form2(Form2::ListView1))[0], "Copy|Act as: Caps Lock");
    // At once for the hook: the key is Caps Lock to the system.
    EXPECT_TRUE(p.hookSwallowsPress(120));
    p.message(ports::kKeyEventsMessage);
    EXPECT_EQ(p.typing.events, (Calls{"down 20", "up 20"}));
}

// A key's four modifier lists show and change its combination, at once, for the hook as well.
TEST_F(EditConfiguration, TheModifierListsShowAndChangeTheSelectedKeysCombinationAtOnce) {
    KeyDef next = key("Next", 39, 77, 33);
    next.mods = readModifiers("rctrl+alt");
    start({key("F9", 120, 67, 31), next});
    form2(Form2::ListView1).choose(1);
    const auto shown = [this](ui::ControlName list) {
        return form2(list).itemText(form2(list).selected());
    };
    EXPECT_EQ(shown(Form2::ComboCtrl) + shown(Form2::ComboAlt) + shown(Form2::ComboShift) +
                  shown(Form2::ComboWin),
              "Right CtrlAltNo ShiftNo Win");
    EXPECT_EQ(lines(form2(Form2::ListView1))[1], "Right Ctrl+Alt: Next|Winamp: Next Track");
    form2(Form2::ComboCtrl).choose(0);
    form2(Form2::ComboWin).choose(2);
    EXPECT_EQ(modifiersValue(table[2].mods), "lwin+alt");
    EXPECT_EQ(lines(form2(Form2::ListView1))[1], "Left Win+Alt: Next|Winamp: Next Track");
    EXPECT_EQ(keyListLine(table[2]), "Left Win+Alt: Next             39       77");
    p.channel.onKeyEvent({0x5B}, nothingHeld);
    p.channel.onKeyEvent({0xA4}, nothingHeld);
    EXPECT_TRUE(p.hookSwallowsPress(39));
    form2(Form2::Command1).click();
    EXPECT_EQ(fileTable()[2].mods, table[2].mods);
}

// Edits act at once. Closing the window, Quit and the end of the session (held up, saying why)
// ask about them: Yes saves them (unless the disk fails), No returns to keys.ini, Cancel stays.
TEST_F(EditConfiguration, EditsNotSavedAreAskedAboutWhenTheWindowTheProgramOrTheSessionEnds) {
    start({key("Next", 176, 25, 33), key("Notes", 112, 59)});
    const KeyTable onDisk = table;
    std::string heldUp; // while the question is up; and whether it could be asked again
    bool askedAgain = false;
    auto answer = [&](int answer, bool diskFails = false) {
        p.messages.answer = answer;
        p.files.failReplace = diskFails;
        p.messages.shown.clear();
    };
    auto quit = [&] { return p.program.controlWindow().mnuItems_Click(1), p.appInfo.endings; };
    auto form = [&]() -> FakeWindow& { return p.ui.window(Form2::kCaption); };
    auto edit = [&] {
        windows.showEditConfiguration();
        form2(Form2::ListView1).choose(0);
        form2(Form2::Text1).type("17"); // now only with Control held: the hook passes a bare press
        EXPECT_FALSE(p.hookSwallowsPress(176));
    };
    using namespace ports::mb;
    answer(kAnswerCancel);
    EXPECT_EQ(quit(), 1); // nothing to save: nothing asked (Cancel would stay)
    edit();
    p.messages.onShow = [&] {
        heldUp = p.sessionEnd.heldUpBy;
        askedAgain |= p.messages.shown.size() == 1 && (form().onQueryEndSession() || quit() > 1);
    };
    EXPECT_EQ(quit(), 1);
    EXPECT_EQ(lastBox(Form2::kCaption), "Save the changes to your keys?|Omnitap|35");
    EXPECT_FALSE(askedAgain || p.messages.shown.size() > 1);
    form().onClose();
    EXPECT_TRUE(heldUp.empty() && !form().onQueryEndSession());
    EXPECT_EQ(heldUp, "Your key changes are not saved|" + std::to_string(id(Form2::kCaption)));
    answer(kAnswerYes, true);
    form().onClose();
    EXPECT_FALSE(form().onQueryEndSession() || quit() > 1);
    EXPECT_EQ(p.messages.shown.size(), 6u);     // each with the failure
    EXPECT_TRUE(p.sessionEnd.heldUpBy.empty()); // once answered
    answer(kAnswerNo);
    EXPECT_TRUE(form().onQueryEndSession()); // nothing saved, the window stays until it ends
    openKeyEditor();
    form().onClose(); // and the Key Editor with it
    EXPECT_FALSE(state.configOpen || isOpen(frmKeyAssign::kCaption));
    EXPECT_TRUE(table == onDisk && p.hookSwallowsPress(176));
    edit();
    answer(kAnswerYes);
    form().onClose();
    EXPECT_TRUE(fileTable() == table && !isOpen(Form2::kCaption));
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
    editor(frmKeyAssign::Command3).click();
    EXPECT_THAT(lastBox(frmKeyAssign::kCaption), HasSubstr(p.iniPath()));
    EXPECT_TRUE(isOpen(frmKeyAssign::kCaption));
}

// Over a keys.ini changed elsewhere a save asks: Cancel, Yes (that file kept), No (its keys).
TEST_F(KeyEditor, AKeysIniChangedElsewhereIsWrittenOverOnlyWhenTheUserSaysSoAndKeptAside) {
    start({key("Play", 179, 34, 30), key("Notes", 112, 59, 60, "notepad.exe")});
    std::string& onDisk = p.files.files[p.iniPath()];
    const std::string synced = onDisk = formatKeysIni(fakes::table({key("Synced", 65, 30, 31)}));
    form2(Form2::ListView1).choose(1);
    form2(Form2::Text1).type("edited");
    const KeyTable edited = table;
    p.messages.answer = ports::mb::kAnswerCancel;
    form2(Form2::Command1).click();
    EXPECT_THAT(
        lastBox(Form2::kCaption),
        HasSubstr(
            "now is kept as\r\n" + p.iniPath() +
            ".bak\r\nNo: Omnitap takes the keys the file holds now; the changes Omnitap has not "
            "saved are lost.\r\nCancel: nothing is written, nothing is taken.|Omnitap|51"));
    p.files.readError = "Access is denied.";
    form2(Form2::Command1).click();
    EXPECT_THAT(lastBox(Form2::kCaption), HasSubstr("read, to save over it,\r\n" + p.iniPath()));
    EXPECT_TRUE(isOpen(Form2::kCaption) && table == edited && onDisk == synced);
    p.files.readError.clear();
    p.messages.answer = ports::mb::kAnswerYes;
    form2(Form2::Command1).click();
    EXPECT_TRUE(!isOpen(Form2::kCaption) && fileTable() == edited);
    EXPECT_EQ(p.files.files.at(p.iniPath() + ".bak"), synced);

    // Changed again: a removal (Yes) asks as well, and No takes the file's keys.
    windows.showEditConfiguration();
    openKeyEditor();
    onDisk = synced;
    p.messages.onShow = [&] { p.messages.answer = p.messages.shown.size() > 4 ? 7 : 6; };
    editor(frmKeyAssign::List1).choose(1);
    editor(frmKeyAssign::Command2).click();
    EXPECT_EQ(lines(editor(frmKeyAssign::List1)), Lines{keyListLine(table[1])});
    EXPECT_EQ(lines(form2(Form2::ListView1)), Lines{"Synced|Winamp: Stop"});
    EXPECT_TRUE(p.hookSwallowsPress(65) && !p.hookSwallowsPress(179));
    form2(Form2::Command1).click(); // now the file Omnitap read: no question, nothing kept
    EXPECT_EQ(p.messages.shown.size(), 5u);
    EXPECT_EQ(p.files.files.size(), 2u);
}

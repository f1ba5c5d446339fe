// The program's seams in-process against the real system: the control layer (keys through the
// message loop as the program runs it, faults kept inside it), keys.ini against the profile
// functions, and the volume backends (the system's volume and mute are put back).

#include "keys/keys_ini.h"
#include "tests/e2e/support/e2e.h"
#include "tests/e2e/support/profile_reference.h"
#include "volume/mixer.h"
#include "win32/core_audio_volume.h"
#include "win32/legacy_mixer_volume.h"
#include "win32/system_seams.h"
#include "win32/ui/factory.h"

#include <commctrl.h>
#include <objbase.h>

#include <thread>

using namespace omnitap;
using namespace e2e;

namespace {

win32::Win32TextCodec codec;

const std::pair<const char*, std::string> trickyFiles[] = {
    {"quotes", "[keys]\nnumkeys=6\nkey1_webs='single'\nkey2_webs=\"mixed'\nkey3_webs=\"\n"
               "key4_webs=''\nkey5_name=\"in\"side\"\nkey6_webs= \" kept \" \n"},
    {"sections, case, blanks, repeats and comments",
     "; c\n[Other]\nnumkeys=9\n  [KEYS]  \n\t NUMKEYS \t=\t 2.5 \nKey1_Name =  Right ; no "
     "comment \nkey1_name=second\n;key2_name=c\nkEy2_CODE=  65abc\n[keys]\nkey2_name=x\n"},
    {"odd lines and line ends", "numkeys=3\r\n[ keys ]\rnumkeys=2\n[keys\n[keys]x]\r"
                                "numkeys=1\r\nkey1_name\nkey1_mapm=-40000\r"},
    {"long values", "[keys]\nnumkeys=3\nkey1_name=" + std::string(10000, 'v') + "\nkey2_webs=\"" +
                        std::string(1023, 'x') + "\"\nkey3_webs=\"" + std::string(1500, 'x') +
                        "\"\n"},
    {"code page and marks", "[keys]\nnumkeys=1\nkey1_name=Caf\xE9 \xC3\xA9\xA0\x1A\n"},
    {"utf-8 with a mark", "\xEF\xBB\xBF[keys]\nnumkeys=1\nkey1_name=Caf\xC3\xA9\n"},
};

constexpr auto ListView1 = ui::listView("ListView1");
constexpr auto Frame1 = ui::frame("Frame1");
constexpr auto Combo1 = ui::comboBox("Combo1");
constexpr auto List1 = ui::listBox("List1");
constexpr auto Command1 = ui::button("Command1"), Command2 = ui::button("Command2");
constexpr auto Text2 = ui::multiLineTextBox("Text2");

void press(WORD vk) {
    tapKey(vk);
    pump(150ms);
}

class UiLayer : public ::testing::Test {
  protected:
    void SetUp() override {
        window->show();
        pump(300ms);
        ASSERT_EQ(GetForegroundWindow(), hwnd());
    }
    HWND hwnd() const { return reinterpret_cast<HWND>(window->id()); }
    HWND child(const std::string& name) const { return control(hwnd(), table, name); }
    // A cell of ListView1 as the control shows it: it asks the window for the text.
    std::wstring shown(int row, int column) const {
        wchar_t text[32] = L"";
        LVITEMW item{0, 0, column, 0, 0, text, 32};
        SendMessageW(child(ListView1.name), LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        return text;
    }

    std::vector<ui::ControlDesign> table{
        {ListView1, "", {60, 60, 4455, 1995}, {}, 0, {}, {{"Key", 1200}, {"Mapping", 2800}}},
        {Frame1, "Key Mapping", {60, 2100, 4455, 1035}, {}, ui::flag::kDisabled},
        {Combo1, "", {120, 240, 4215, 315}, {}, 0, Frame1},
        {List1, "", {60, 3560, 3000, 700}},
        {Command1, "Save && Close", {60, 4740, 1455, 375}, {}, ui::flag::kDefault},
        {Command2, "Cancel", {3060, 4740, 1455, 375}, {}, ui::flag::kCancel},
        // Below the client area, as the Key Finder keeps its report.
        {Text2, "", {660, 5540, 2235, 1515}, {}, ui::flag::kNoTabStop},
    };
    win32::Win32UiFactory factory;
    std::unique_ptr<ui::Window> window = factory.createWindow(
        {"OmnitapUiLayerTest", "Layer test", 4575, 5145, ui::Placement::Centred}, table);
    ui::Window& w = *window;
};

} // namespace

TEST_F(UiLayer, TheListShowsAnyTextTabPassesByWhatItMustEnterAndEscPressTheirButtons) {
    auto& rows = w[ListView1];
    std::vector<std::string> events;
    rows.onItemClick = [&] { events.push_back("item " + std::to_string(rows.selected())); };
    rows.onClick = [&] { events.push_back("click " + std::to_string(rows.selected())); };
    w[Command1].onClick = [&] { events.push_back("default"); };
    w[Command2].onClick = [&] { events.push_back("cancel"); };
    rows.setRows({{"A \xCE\xA9"}, {"B"}}); // outside the code page
    rows.setCell(0, 1, "\xD0\xB6");
    EXPECT_EQ(shown(0, 0) + L"|" + shown(0, 1), L"A \u03a9|\u0436");
    rows.setSelected(0); // silently
    rows.setFocus();
    pump(150ms);
    for (WORD vk : {VK_DOWN, VK_RETURN, VK_ESCAPE, VK_TAB})
        press(vk);
    EXPECT_EQ(GetFocus(), child(List1.name));
    for (int tab = 0; tab < 3; ++tab)
        press(VK_TAB);
    EXPECT_EQ(GetFocus(), child(ListView1.name));
    w[Frame1].setEnabled(true);
    press(VK_TAB);
    EXPECT_EQ(GetFocus(), child(Combo1.name));
    EXPECT_EQ(events, (std::vector<std::string>{"item 1", "click 1", "default", "cancel"}));
}

TEST_F(UiLayer, AFaultInAHandlerDropsTheEventIsReportedOnceNamingItAndTheWindowGoesOn) {
    // Combo1 asked for as a list box: the wrong kind.
    w[Command1].onClick = [&] { w[ui::listBox(Combo1.name)]; };
    std::wstring report;
    std::thread user([&] { report = answerBox(GetCurrentProcessId()); });
    SendMessageW(child(Command1.name), BM_CLICK, 0, 0); // returns once the box is closed
    user.join();
    EXPECT_NE(report.find(L"\"Layer test\""), std::wstring::npos) << narrow(report);
    EXPECT_NE(report.find(L"Combo1"), std::wstring::npos) << narrow(report);

    auto timer = factory.createTimer();
    int ticks = 0;
    timer->onTimer = [&] {
        if (++ticks == 1) throw std::runtime_error("a fault in a tick");
        timer.reset(); // the volume repeat ends inside a tick
    };
    timer->setInterval(30);
    timer->setEnabled(true);
    SendMessageW(child(Command1.name), BM_CLICK, 0, 0); // no second box: this returns at once
    pump(500ms);
    EXPECT_EQ(ticks, 2);
    EXPECT_TRUE(IsWindowVisible(hwnd()));
}

TEST(ProfileDifferential, EveryValueTheProgramReadsAgreesWithTheSystem) {
    TempFolder folder;
    for (const auto& [name, bytes] : trickyFiles) {
        SCOPED_TRACE(name);
        folder.write(L"keys.ini", bytes);
        EXPECT_EQ(parseKeysIniBytes(bytes, codec),
                  profileLoad(narrow(folder.file(L"keys.ini")), codec));
    }
}

TEST(MixerBackend, TheLegacyMixerTakesWhatTheKeysWriteWithTheSystemsWinmm) {
    // The first legacy mixer opened loads winmm, from the system folder even while a folder
    // that holds another winmm.dll is searched before it.
    ASSERT_EQ(GetModuleHandleW(L"winmm.dll"), nullptr);
    TempFolder planted;
    ASSERT_TRUE(planted.copy(L"planted-dll.dll", L"winmm.dll"));
    SetDllDirectoryW(planted.path().c_str());
    VolumeBackends legacy;
    legacy.push_back(std::make_unique<win32::LegacyMixerVolume>());
    Mixer mixer(std::move(legacy));
    mixer.openMixer();
    SetDllDirectoryW(nullptr);
    EXPECT_FALSE(planted.exists(L"winmm.dll.loaded"));
    ASSERT_NE(mixer.activeBackend(), nullptr) << "no mixer device";
    const std::int32_t volume = mixer.currentVolume();
    const bool muted = mixer.currentMute();
    mixer.setVolume(55);
    EXPECT_EQ(mixer.currentVolume(), 55);
    for (bool mute : {!muted, muted}) {
        mixer.setMute(mute);
        EXPECT_EQ(mixer.currentMute(), mute);
    }
    mixer.setVolume(volume);
}

TEST(MixerBackend, TheEndpointHearsOfANewDefaultDeviceAndLeavesTheThreadsComAsItFoundIt) {
    std::thread([] {
        {
            win32::CoreAudioVolume backend;
            ASSERT_TRUE(backend.open()) << "no playback device";
            EXPECT_FALSE(backend.takeDeviceChange());
            // Wine reports a new default device when its driver's setting for it changes. Under
            // load a single change went unheard (Wine may not watch the setting yet), so it
            // changes until it is heard.
            const wchar_t* drivers = L"Software\\Wine\\Drivers\\winealsa.drv";
            const wchar_t devices[2][8] = {L"e2e-one", L"e2e-two"};
            int changes = 0;
            const bool heard = waitFor([&] {
                if (backend.takeDeviceChange()) return true;
                RegSetKeyValueW(HKEY_CURRENT_USER, drivers, L"DefaultOutput", REG_SZ,
                                devices[++changes % 2], sizeof devices[0]);
                return false;
            });
            EXPECT_TRUE(heard) << "not heard after " << changes << " changes";
            RegDeleteKeyValueW(HKEY_CURRENT_USER, drivers, L"DefaultOutput");
            EXPECT_TRUE(backend.open()); // the default device again
        }
        // Our own apartment was left again: the thread may still choose another one.
        HRESULT result = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        EXPECT_EQ(result, S_OK);
        if (SUCCEEDED(result)) CoUninitialize();
    }).join();
}

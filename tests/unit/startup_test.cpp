#include "app/startup.h"
#include "keyboard/keyboard_state.h"
#include "tests/fakes/fake_system.h"

#include <gtest/gtest.h>

using namespace omnitap;

namespace {

class Startup : public ::testing::Test {
  protected:
    fakes::FakeFiles files;
    fakes::FakeCodec codec;
    fakes::FakeMessageBoxes messages;
    fakes::FakeAppInfo appInfo;
    KeyboardState state;
    std::vector<std::string> steps;

    void run() {
        messages.onShow = [this] { steps.push_back("welcome"); };
        Main(state, KeyFileIo{files, codec, messages}, appInfo,
             StartupSteps{[this] { steps.push_back("mixer"); },
                          [this] { steps.push_back("control window"); },
                          [this] { steps.push_back("edit configuration"); }});
    }
    std::string iniFile() const { return appInfo.folder + "\\keys.ini"; }
};

} // namespace

// The welcome text itself is checked word for word on the real system.
TEST_F(Startup, FirstRunWelcomesThenOpensEditConfiguration) {
    for (bool emptyFile : {false, true}) {
        if (emptyFile) files.content[iniFile()] = "[keys]\r\nnumkeys=0\r\n";
        steps.clear();
        messages.shown.clear();
        run();
        EXPECT_EQ(state.iniPath, "C:\\Tools\\Omnitap\\keys.ini");
        EXPECT_EQ(steps, (std::vector<std::string>{"mixer", "control window", "welcome",
                                                   "edit configuration"}));
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].title, "Omnitap");
        EXPECT_EQ(messages.shown[0].style, platform::mb::kIconInformation);
    }
}

TEST_F(Startup, WithOneKeyNothingIsShown) {
    files.content[iniFile()] = "[keys]\r\nnumkeys=1\r\nkey1_name=A\r\nkey1_code=65\r\n";
    run();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(steps, (std::vector<std::string>{"mixer", "control window"}));
    EXPECT_EQ(state.keyTable[1].code, 65);
}

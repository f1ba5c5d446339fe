#include "keyboard/actions.h"

#include <gtest/gtest.h>

using omnitap::LaunchTarget;
using omnitap::splitLaunchTarget;

TEST(LaunchTarget, QuotedPathWithBlanksAndASwitch) {
    EXPECT_EQ(splitLaunchTarget("\"C:\\Program Files\\App\\app.exe\" /switch"),
              (LaunchTarget{"C:\\Program Files\\App\\app.exe", "/switch"}));
    EXPECT_EQ(splitLaunchTarget("\"C:\\My Files\\a.exe\"   two  words  "),
              (LaunchTarget{"C:\\My Files\\a.exe", "two  words"}));
}

TEST(LaunchTarget, QuotedPathWithNothingAfter) {
    EXPECT_EQ(splitLaunchTarget("\"C:\\My Files\\a.exe\""),
              (LaunchTarget{"C:\\My Files\\a.exe", ""}));
    EXPECT_EQ(splitLaunchTarget("\"C:\\a.exe\"x"), (LaunchTarget{"C:\\a.exe", ""}));
}

TEST(LaunchTarget, ProgramAndDocument) {
    EXPECT_EQ(splitLaunchTarget("notepad.exe C:\\notes.txt"),
              (LaunchTarget{"notepad.exe", "C:\\notes.txt"}));
    EXPECT_EQ(splitLaunchTarget("notepad.exe   C:\\notes.txt  "),
              (LaunchTarget{"notepad.exe", "C:\\notes.txt"}));
}

TEST(LaunchTarget, WholeTargetWhenThereIsNoSplitPoint) {
    EXPECT_EQ(splitLaunchTarget("calc.exe"), (LaunchTarget{"calc.exe", ""}));
    EXPECT_EQ(splitLaunchTarget(" calc.exe"), (LaunchTarget{" calc.exe", ""}));
    EXPECT_EQ(splitLaunchTarget(""), (LaunchTarget{"", ""}));
    EXPECT_EQ(splitLaunchTarget("\""), (LaunchTarget{"\"", ""}));
}

TEST(LaunchTarget, AQuoteAfterOtherTextSplitsThereUntrimmed) {
    EXPECT_EQ(splitLaunchTarget("run me\"now please"), (LaunchTarget{"run me", "ow please"}));
    EXPECT_EQ(splitLaunchTarget(" x \" y"), (LaunchTarget{" x ", "y"}));
}

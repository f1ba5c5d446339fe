#include "actions/actions.h"

#include <gtest/gtest.h>

using omnitap::LaunchTarget;
using omnitap::splitLaunchTarget;

TEST(LaunchTarget, SplitsAtTheClosingQuoteOrTheFirstBlank) {
    const std::pair<const char*, LaunchTarget> cases[] = {
        {"\"C:\\Program Files\\App\\app.exe\" /switch",
         {"C:\\Program Files\\App\\app.exe", "/switch"}},
        {"\"C:\\My Files\\a.exe\"   two  words  ", {"C:\\My Files\\a.exe", "two  words"}},
        {"\"C:\\My Files\\a.exe\"", {"C:\\My Files\\a.exe", ""}},
        {"\"C:\\a.exe\"x", {"C:\\a.exe", ""}},
        {"notepad.exe   C:\\notes.txt  ", {"notepad.exe", "C:\\notes.txt"}},
        {"calc.exe", {"calc.exe", ""}},
        {" calc.exe", {" calc.exe", ""}},
        {"", {"", ""}},
        {"\"", {"\"", ""}},
        // A quote after other text splits there, untrimmed.
        {"run me\"now please", {"run me", "ow please"}},
        {" x \" y", {" x ", "y"}}};
    for (const auto& [target, split] : cases)
        EXPECT_EQ(splitLaunchTarget(target), split) << target;
}

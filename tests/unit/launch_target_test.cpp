#include "actions/actions.h"

#include <gtest/gtest.h>

using omnitap::LaunchTarget;
using omnitap::splitLaunchTarget;

TEST(LaunchTarget, SplitsTheWayACommandLineIs) {
    const std::pair<const char*, LaunchTarget> cases[] = {
        {"\"C:\\Program Files\\App\\app.exe\" /switch",
         {"C:\\Program Files\\App\\app.exe", "/switch"}},
        {"  \"C:\\My Files\\a.exe\"   two  \"words\"  ", {"C:\\My Files\\a.exe", "two  \"words\""}},
        {"\"C:\\a.exe\"/s", {"C:\\a.exe", "/s"}},
        {"\"C:\\My Files\\a.exe", {"C:\\My Files\\a.exe", ""}}, // never closed: to the end
        {"notepad.exe \"C:\\my notes.txt\"", {"notepad.exe", "\"C:\\my notes.txt\""}},
        {" notepad.exe   C:\\notes.txt  ", {"notepad.exe", "C:\\notes.txt"}},
        {"run me\"now please", {"run", "me\"now please"}},
        {"calc.exe", {"calc.exe", ""}},
        {"\"\"", {"", ""}},
        {"  ", {"", ""}}};
    for (const auto& [target, split] : cases)
        EXPECT_EQ(splitLaunchTarget(target), split) << target;
}

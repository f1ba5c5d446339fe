// The real program under load: a burst of key events against a large table. (Its idle
// behaviour is measured from outside, by scripts/idle-check.sh.)

#include "tests/e2e/support/omnitap_keys.h"
#include "tests/e2e/support/player_sim_process.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace e2e;

namespace {

constexpr WORD kStopA = VK_F13, kStopAScan = 0x64;
constexpr WORD kStopB = VK_F14, kStopBScan = 0x65;

// 1,000 learned keys: two stop keys, the rest vendor keys (code 255) that never come.
std::string thousandKeys() {
    omnitap::KeyTable table;
    table.append(learnedKey(kProbeKey, kProbeScan, 0, "", "Probe"));
    table.append(learnedKey(kStopA, kStopAScan, 31));
    table.append(learnedKey(kStopB, kStopBScan, 31));
    for (int i = 0; table.numKeys() < 1000; ++i)
        table.append(learnedKey(255, static_cast<WORD>(1000 + i), 0));
    return omnitap::formatKeysIni(table);
}

} // namespace

TEST(Load, ABurstOfTenThousandEventsLosesNothingAndKeepsTheOrder) {
    TempFolder folder;
    folder.write(L"keys.ini", thousandKeys());
    PlayerSim sim(folder, {L"--caption", L"1. A - B - Winamp"});
    Omnitap app(folder);
    KeyLogWindow log;
    ASSERT_TRUE(waitUntilHooked(log));

    // 5,000 taps: every other one a learned stop key, the others letters that must pass.
    std::vector<INPUT> inputs;
    std::vector<std::string> expected;
    int learnedPresses = 0;
    for (int i = 0; i < 5000; ++i) {
        WORD vk, scan;
        if (i % 2 == 0) {
            vk = i % 4 == 0 ? kStopA : kStopB;
            scan = i % 4 == 0 ? kStopAScan : kStopBScan;
            ++learnedPresses;
        } else {
            vk = static_cast<WORD>('A' + (i / 2) % 26);
            scan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
            expected.push_back("down " + std::to_string(vk));
            expected.push_back("up " + std::to_string(vk));
        }
        inputs.push_back(keyInput(vk, scan, false));
        inputs.push_back(keyInput(vk, scan, true));
    }
    ASSERT_EQ(inputs.size(), 10000u);
    ASSERT_EQ(SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)), 10000u);

    EXPECT_TRUE(waitFor(
        [&] {
            log.pump(20);
            return log.log.size() >= expected.size();
        },
        120s));
    log.pump(300);
    EXPECT_EQ(log.log.size(), expected.size());
    EXPECT_TRUE(log.log == expected) << "unlearned keys arrived out of order or changed";

    // Every learned press reached the UI thread exactly once: one stop command each.
    auto stops = [&] {
        auto commands = sim.logOf("command");
        return std::count(commands.begin(), commands.end(), "command 40047");
    };
    EXPECT_TRUE(waitFor([&] { return stops() >= learnedPresses; }, 120s));
    Sleep(500);
    EXPECT_EQ(stops(), learnedPresses);
}

// The volume: its percentage arithmetic, the mixer against fake devices that are missing,
// changed elsewhere, or replaced by another default device, and the indicator of each change.

#include "tests/fakes/fake_ui.h"
#include "tests/fakes/fakes.h"
#include "volume/mixer.h"
#include "volume/volume_arithmetic.h"
#include "volume/volume_indicator.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

using namespace omnitap;
using fakes::FakeVolumeBackend;
using ports::VolumeRange;
using Writes = std::vector<double>;

namespace {

constexpr VolumeRange kLevel{0.0, 1.0, false}; // the endpoint's level

class MixerTest : public ::testing::Test {
  protected:
    FakeVolumeBackend* endpoint = new FakeVolumeBackend;
    FakeVolumeBackend* legacy = new FakeVolumeBackend;
    Mixer mixer{backends(endpoint, legacy)};

    static VolumeBackends backends(FakeVolumeBackend* first, FakeVolumeBackend* second) {
        VolumeBackends list;
        list.emplace_back(first);
        list.emplace_back(second);
        return list;
    }
    void toggleMute() { // what the mute key does
        mixer.refreshMixerState();
        mixer.setMute(!mixer.currentMute());
    }
};

} // namespace

TEST(VolumeArithmetic, PercentagesSurviveTheRawValueStayInRangeAndHalvesGoToEven) {
    for (VolumeRange range : {VolumeRange{0, 65535}, VolumeRange{100, 1100}, kLevel}) {
        for (std::int32_t p = 0; p <= 100; ++p) {
            auto raw = volumeRaw(p, range);
            ASSERT_TRUE(raw);
            EXPECT_EQ(volumePercentage(*raw, range), p);
            EXPECT_EQ(volumePercentage(static_cast<float>(*raw), range), p); // a float level
        }
    }
    const std::tuple<std::int32_t, VolumeRange, std::optional<double>> toRaw[] = {
        {150, {100, 1100}, 1100}, {-5, {100, 1100}, 100}, {75, {0, 2}, 2},
        {37, kLevel, 0.37},       {50, {500, 500}, {}},   {50, {10, 0}, {}}};
    for (auto [percentage, range, raw] : toRaw)
        EXPECT_EQ(volumeRaw(percentage, range), raw) << percentage;
    const std::tuple<double, VolumeRange, std::optional<std::int32_t>> toPercentage[] = {
        {50, {100, 1100}, 0}, {1.5, kLevel, 100},   {5, {0, 200}, 2},
        {0.375, kLevel, 38},  {10, {500, 500}, {}}, {std::nan(""), kLevel, {}}};
    for (auto [raw, range, percentage] : toPercentage)
        EXPECT_EQ(volumePercentage(raw, range), percentage) << raw;
    EXPECT_EQ(steppedVolume(98, 5), 100);
    EXPECT_EQ(steppedVolume(3, -5), 0);
    EXPECT_EQ(steppedVolume(0, INT_MIN), 0);
}

TEST_F(MixerTest, StepsFromTheVolumeReadBackAndMutesFromTheSwitchJustRead) {
    endpoint->range = {100, 1100};
    endpoint->volume = 600;
    endpoint->mute = 2; // only 1 counts as muted
    mixer.openMixer();
    mixer.stepVolume(5);
    endpoint->volume = 200; // changed elsewhere since: the next step starts from there
    mixer.stepVolume(-5);
    endpoint->volume = 1100;
    mixer.stepVolume(5);
    endpoint->volume.reset(); // the control stops answering: no step from 0
    mixer.stepVolume(5);
    EXPECT_EQ(endpoint->volumeWrites, (Writes{650, 150, 1100}));
    toggleMute();
    endpoint->mute = 0; // another mixer panel unmuted it
    toggleMute();
    EXPECT_EQ(endpoint->muteWrites, (std::vector<bool>{true, true}));
    EXPECT_TRUE(legacy->volumeWrites.empty() && legacy->muteWrites.empty());
}

// A device that appears later is opened when a key needs it, and kept; one that changed
// (reported on another thread, taken by the next action) or stopped answering is opened again.
TEST_F(MixerTest, ADeviceThatAppearsChangesOrFailsIsOpenedForTheAction) {
    endpoint->hasDevice = legacy->hasDevice = false;
    mixer.openMixer();
    mixer.stepVolume(5);
    toggleMute();
    legacy->hasDevice = true; // a headset connects, which only the legacy mixer answers for
    mixer.stepVolume(5);
    mixer.stepVolume(5);                                   // kept, not looked for again
    EXPECT_EQ(legacy->volumeWrites, (Writes{3277, 6554})); // 5 % and 10 % of 65535
    EXPECT_EQ(legacy->opens, 4); // looked for by each action while there was none
    endpoint->hasDevice = endpoint->deviceChanged = true;
    mixer.stepVolume(5);
    EXPECT_EQ(mixer.activeBackend(), endpoint);
    endpoint->deviceChanged = true; // another device: the endpoint finds it on opening again
    toggleMute();
    EXPECT_EQ(endpoint->opens, 6);
    EXPECT_EQ(endpoint->muteWrites, std::vector<bool>{true});
    // The audio service restarted, no notice: a failed call reopens, once, and is made again.
    endpoint->lost = true;
    mixer.stepVolume(5); // fails at the read
    endpoint->lost = true;
    mixer.setVolume(40);
    endpoint->lost = true;
    endpoint->hasDevice = false; // gone for good: the legacy mixer takes the call
    mixer.setMute(true);
    EXPECT_EQ(endpoint->volumeWrites, (Writes{3277, 6554, 26214, 26214}));
    EXPECT_EQ(legacy->muteWrites, std::vector<bool>{true});
    EXPECT_EQ(endpoint->opens, 9);
}

// By the clock, whichever monitor the pointer is on: on the taskbar's monitor, in the corner by
// its notification area, sized for that monitor; on the primary one without a taskbar.
TEST_F(MixerTest, EachChangeShowsTheIndicatorByTheClockUntilOneAndAHalfSecondsAfterTheLast) {
    fakes::FakeIndicatorWindow window;
    auto timer = std::make_unique<fakes::FakeTimer>();
    fakes::FakeTimer& hide = *timer;
    ShownVolume keys(mixer, window, std::move(timer));
    endpoint->range = kLevel;
    endpoint->volume = 0.4;
    keys.openMixer();
    window.taskbar = {{-2880, 0, 0, 1620}, {-2800, 40, 0, 1620}, 144}; // on its left and top
    keys.stepVolume(5);
    keys.stepVolume(5); // held: the same indicator, its time counted afresh
    EXPECT_TRUE(window.visible && hide.isEnabled);
    EXPECT_EQ(hide.interval, 1500);
    EXPECT_EQ(hide.starts, 2);
    hide.tick();
    EXPECT_FALSE(window.visible || hide.isEnabled);
    window.taskbar.reset(); // Explorer is not running
    keys.refreshMixerState();
    keys.setMute(!keys.currentMute());
    endpoint->volume.reset(); // a device whose volume cannot be read
    keys.setMute(false);
    endpoint->hasDevice = legacy->hasDevice = false;
    endpoint->deviceChanged = true; // and then none at all
    keys.stepVolume(-5);
    EXPECT_EQ(window.shown, (fakes::Calls{"Volume 45 % [45]", "Volume 50 % [50]", "Muted",
                                          "No audio device", "No audio device"}));
    using Place = std::pair<ports::ScreenRect, std::uint32_t>;
    EXPECT_EQ(window.places,
              (std::vector<Place>{{{-2782, 58, -2452, 154}, 144}, {{1688, 964, 1908, 1028}, 96}}));
}

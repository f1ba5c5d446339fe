// The mixer against a fake device: stepping, mute toggling, and devices that are missing,
// incomplete or coarse.

#include "tests/fakes/volume_fakes.h"
#include "volume/mixer.h"

#include <gtest/gtest.h>

using namespace omnitap;
using fakes::FakeVolumeBackend;
using Writes = std::vector<double>;

namespace {

class MixerTest : public ::testing::Test {
  protected:
    // The device is set up by each test before `open` hands it to the mixer.
    std::unique_ptr<FakeVolumeBackend> pending = std::make_unique<FakeVolumeBackend>();
    FakeVolumeBackend* device = pending.get();
    std::unique_ptr<Mixer> mixer;

    void open() {
        VolumeBackends backends;
        backends.push_back(std::move(pending));
        mixer = std::make_unique<Mixer>(std::move(backends));
        mixer->openMixer();
    }
    // What the mute key does.
    void toggleMute() {
        mixer->refreshMixerState();
        mixer->setMute(!mixer->currentMute());
    }
};

} // namespace

TEST_F(MixerTest, OpeningReadsTheVolumeAndMuteWithoutWriting) {
    device->volume = 34078;
    device->mute = 1;
    open();
    EXPECT_EQ(mixer->currentVolume(), 52);
    EXPECT_TRUE(mixer->currentMute());
    EXPECT_TRUE(device->volumeWrites.empty());
    EXPECT_TRUE(device->muteWrites.empty());
}

TEST_F(MixerTest, StepsFromTheVolumeReadBackAndWriteTheMaximumAgainAtTheTop) {
    device->range = {100, 1100};
    device->volume = 600;
    open();
    mixer->stepVolume(5);
    EXPECT_EQ(mixer->currentVolume(), 55);
    device->volume = 200; // changed elsewhere since: the next step starts from there
    mixer->stepVolume(-5);
    EXPECT_EQ(mixer->currentVolume(), 5);
    device->volume = 1100;
    mixer->stepVolume(5);
    mixer->stepVolume(5);
    EXPECT_EQ(device->volumeWrites, (Writes{650, 150, 1100, 1100}));
    EXPECT_EQ(mixer->currentVolume(), 100);
}

TEST_F(MixerTest, SetVolumeWritesTheRawValueOfThePercentage) {
    device->range = {100, 1100};
    open();
    mixer->setVolume(50);
    mixer->setVolume(130); // held to 100 %
    EXPECT_EQ(device->volumeWrites, (Writes{600, 1100}));
    EXPECT_EQ(mixer->getVolume(), 100);
}

TEST_F(MixerTest, CoarseDriverStepsFromWhatItKept) {
    device->range = {0, 100};
    device->granularity = 4; // keeps 0, 4, 8, ...
    device->volume = 40;
    open();
    mixer->stepVolume(5); // asks 45, gets 44
    mixer->stepVolume(5); // asks 49 (from 44, not from 45), gets 48
    EXPECT_EQ(device->volumeWrites, (Writes{45, 49}));
    EXPECT_EQ(mixer->currentVolume(), 48);
}

TEST_F(MixerTest, MuteTogglesFromTheSwitchJustReadWhereOnlyOneCountsAsMuted) {
    device->mute = 2;
    open();
    EXPECT_FALSE(mixer->getMute());
    toggleMute();
    EXPECT_TRUE(mixer->currentMute());
    device->mute = 0; // another mixer panel unmuted it
    toggleMute();
    EXPECT_EQ(device->muteWrites, (std::vector<bool>{true, true}));
    EXPECT_TRUE(mixer->currentMute());
}

TEST_F(MixerTest, WithoutADeviceNothingIsWrittenAndAllReadsAreZero) {
    device->hasDevice = false;
    device->volume = 32768;
    device->mute = 1;
    open();
    EXPECT_EQ(mixer->activeBackend(), nullptr);
    mixer->stepVolume(5);
    mixer->setVolume(40);
    toggleMute();
    EXPECT_TRUE(device->volumeWrites.empty());
    EXPECT_TRUE(device->muteWrites.empty());
    EXPECT_EQ(mixer->getVolume(), 0);
    EXPECT_FALSE(mixer->currentMute());
}

TEST_F(MixerTest, EmptyRangeLeavesTheVolumeAloneButMuteStillWorks) {
    device->range = {9, 3};
    open();
    mixer->stepVolume(5);
    mixer->setVolume(50);
    EXPECT_TRUE(device->volumeWrites.empty());
    EXPECT_EQ(mixer->currentVolume(), 0);
    toggleMute();
    EXPECT_TRUE(mixer->currentMute());
}

TEST_F(MixerTest, UnreadableVolumeIsNotSteppedFromZero) {
    device->volume = 52428; // 80 %
    open();
    device->volume.reset(); // the control stops answering
    mixer->stepVolume(5);
    EXPECT_TRUE(device->volumeWrites.empty());
    EXPECT_EQ(mixer->currentVolume(), 0);
}

TEST_F(MixerTest, MissingMuteSwitchReadsNotMutedAndVolumeStillWorks) {
    device->mute.reset();
    device->volume = 32768;
    open();
    toggleMute();
    EXPECT_FALSE(mixer->currentMute());
    mixer->stepVolume(5);
    EXPECT_EQ(mixer->currentVolume(), 55);
}

TEST(MixerChoice, TheFirstCandidateThatOpensIsUsedForTheWholeRun) {
    VolumeBackends backends;
    backends.push_back(nullptr);
    for (int i = 0; i < 3; ++i)
        backends.push_back(std::make_unique<FakeVolumeBackend>());
    auto* refusing = static_cast<FakeVolumeBackend*>(backends[1].get());
    auto* working = static_cast<FakeVolumeBackend*>(backends[2].get());
    auto* spare = static_cast<FakeVolumeBackend*>(backends[3].get());
    refusing->hasDevice = false;
    Mixer mixer(std::move(backends));
    mixer.openMixer();
    mixer.openMixer(); // a second call keeps the device it has
    EXPECT_EQ(mixer.activeBackend(), working);
    EXPECT_EQ(refusing->opens, 1);
    EXPECT_EQ(working->opens, 1);
    EXPECT_EQ(spare->opens, 0);
    mixer.stepVolume(5);
    mixer.setMute(true);
    EXPECT_TRUE(refusing->volumeWrites.empty() && refusing->muteWrites.empty());
    EXPECT_EQ(working->volumeWrites.size(), 1u);
    EXPECT_EQ(working->muteWrites, std::vector<bool>{true});

    Mixer none{VolumeBackends{}};
    none.openMixer();
    none.stepVolume(-5);
    none.setMute(true);
    EXPECT_EQ(none.activeBackend(), nullptr);
    EXPECT_FALSE(none.currentMute());
}

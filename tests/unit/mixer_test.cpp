// The mixer against a fake device: stepping, mute toggling, and devices that are missing,
// incomplete or coarse.

#include "mixer/mixer.h"
#include "tests/fakes/mixer_fakes.h"

#include <gtest/gtest.h>

using namespace omnitap;
using fakes::FakeVolumeBackend;

namespace {

class MixerTest : public ::testing::Test {
  protected:
    // The device is set up by each test before `open` hands it to the mixer.
    FakeVolumeBackend* device = nullptr;
    std::unique_ptr<FakeVolumeBackend> pending = std::make_unique<FakeVolumeBackend>();
    std::unique_ptr<Mixer> mixer;

    MixerTest() { device = pending.get(); }

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

TEST_F(MixerTest, OpeningReadsTheVolumeAndMute) {
    device->volume = 34078;
    device->mute = 1;
    open();
    EXPECT_EQ(mixer->activeBackend(), device);
    EXPECT_EQ(mixer->currentVolume(), 52);
    EXPECT_TRUE(mixer->currentMute());
    EXPECT_TRUE(device->volumeWrites.empty());
    EXPECT_TRUE(device->muteWrites.empty());
}

TEST_F(MixerTest, StepsUpAndDownFromTheVolumeReadBack) {
    device->range = {100, 1100};
    device->volume = 600;
    open();
    mixer->stepVolume(5);
    EXPECT_EQ(device->volume, 650);
    EXPECT_EQ(mixer->currentVolume(), 55);
    // Changed elsewhere since: the next step starts from there.
    device->volume = 200;
    mixer->stepVolume(-5);
    EXPECT_EQ(device->volume, 150);
    EXPECT_EQ(mixer->currentVolume(), 5);
}

TEST_F(MixerTest, StepsStopAtBothEnds) {
    device->volume = 64224; // 98 %
    open();
    ASSERT_EQ(mixer->currentVolume(), 98);
    mixer->stepVolume(5);
    EXPECT_EQ(device->volumeWrites.back(), 65535);
    EXPECT_EQ(mixer->currentVolume(), 100);

    device->volume = 1966; // 3 %
    mixer->stepVolume(-5);
    EXPECT_EQ(device->volumeWrites.back(), 0);
    EXPECT_EQ(mixer->currentVolume(), 0);
}

TEST_F(MixerTest, HoldingVolumeUpAtTheTopWritesTheMaximumAgain) {
    device->range = {100, 1100};
    device->volume = 1100;
    open();
    for (int tick = 0; tick < 3; ++tick)
        mixer->stepVolume(5);
    EXPECT_EQ(device->volumeWrites, (std::vector<std::int64_t>{1100, 1100, 1100}));
    EXPECT_EQ(mixer->currentVolume(), 100);
}

TEST_F(MixerTest, SetVolumeWritesTheRawValueOfThePercentage) {
    device->range = {100, 1100};
    open();
    mixer->setVolume(50);
    mixer->setVolume(100);
    mixer->setVolume(130); // held to 100 %
    EXPECT_EQ(device->volumeWrites, (std::vector<std::int64_t>{600, 1100, 1100}));
    EXPECT_EQ(mixer->getVolume(), 100);
}

TEST_F(MixerTest, CoarseDriverStepsFromWhatItKept) {
    device->range = {0, 100};
    device->granularity = 4; // keeps 0, 4, 8, ...
    device->volume = 40;
    open();
    mixer->stepVolume(5); // asks 45, gets 44
    mixer->stepVolume(5); // asks 49 (from 44, not from 45), gets 48
    EXPECT_EQ(device->volumeWrites, (std::vector<std::int64_t>{45, 49}));
    EXPECT_EQ(mixer->currentVolume(), 48);
}

TEST_F(MixerTest, TogglingMuteTwiceRestoresTheState) {
    for (std::int32_t start : {0, 1}) {
        pending = std::make_unique<FakeVolumeBackend>();
        device = pending.get();
        device->mute = start;
        open();
        toggleMute();
        EXPECT_EQ(device->mute, 1 - start);
        EXPECT_EQ(mixer->currentMute(), start == 0);
        toggleMute();
        EXPECT_EQ(device->mute, start);
        EXPECT_EQ(mixer->currentMute(), start == 1);
    }
}

TEST_F(MixerTest, MuteSwitchedElsewhereIsUndoneByTheNextToggle) {
    open();
    ASSERT_FALSE(mixer->currentMute());
    device->mute = 1; // another mixer panel muted it
    toggleMute();
    EXPECT_EQ(device->muteWrites, std::vector<bool>{false});
    EXPECT_FALSE(mixer->currentMute());
}

TEST_F(MixerTest, OnlyASwitchValueOfOneCountsAsMuted) {
    device->mute = 2;
    open();
    EXPECT_FALSE(mixer->getMute());
    EXPECT_FALSE(mixer->currentMute());
    toggleMute();
    EXPECT_EQ(device->muteWrites, std::vector<bool>{true});
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
    EXPECT_FALSE(mixer->getMute());
    EXPECT_EQ(mixer->currentVolume(), 0);
    EXPECT_FALSE(mixer->currentMute());
}

TEST_F(MixerTest, EmptyRangeLeavesTheVolumeAloneButMuteStillWorks) {
    for (platform::VolumeRange range : {platform::VolumeRange{0, 0}, platform::VolumeRange{9, 3}}) {
        pending = std::make_unique<FakeVolumeBackend>();
        device = pending.get();
        device->range = range;
        device->volume = 0;
        open();
        mixer->stepVolume(5);
        mixer->setVolume(50);
        EXPECT_TRUE(device->volumeWrites.empty());
        EXPECT_EQ(mixer->currentVolume(), 0);
        toggleMute();
        EXPECT_TRUE(mixer->currentMute());
    }
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
    auto refusing = std::make_unique<FakeVolumeBackend>();
    auto working = std::make_unique<FakeVolumeBackend>();
    auto spare = std::make_unique<FakeVolumeBackend>();
    refusing->hasDevice = false;
    FakeVolumeBackend* r = refusing.get();
    FakeVolumeBackend* w = working.get();
    FakeVolumeBackend* s = spare.get();
    VolumeBackends backends;
    backends.push_back(nullptr);
    backends.push_back(std::move(refusing));
    backends.push_back(std::move(working));
    backends.push_back(std::move(spare));
    Mixer mixer(std::move(backends));
    mixer.openMixer();
    mixer.openMixer(); // a second call keeps the device it has
    EXPECT_EQ(mixer.activeBackend(), w);
    EXPECT_EQ(r->opens, 1);
    EXPECT_EQ(w->opens, 1);
    EXPECT_EQ(s->opens, 0);
    mixer.stepVolume(5);
    mixer.setMute(true);
    EXPECT_TRUE(r->volumeWrites.empty());
    EXPECT_TRUE(r->muteWrites.empty());
    EXPECT_EQ(w->volumeWrites.size(), 1u);
    EXPECT_EQ(w->muteWrites, std::vector<bool>{true});
}

TEST(MixerChoice, WithNoCandidateAtAllTheMixerStillAnswers) {
    Mixer mixer{VolumeBackends{}};
    mixer.openMixer();
    mixer.stepVolume(-5);
    mixer.setMute(true);
    EXPECT_EQ(mixer.activeBackend(), nullptr);
    EXPECT_EQ(mixer.currentVolume(), 0);
    EXPECT_FALSE(mixer.currentMute());
}

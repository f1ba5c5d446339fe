// The volume backends against the real system. Whatever the system offers, no operation may
// crash or throw; what it does offer is printed, and whatever a backend reports as done must
// read back as done. The system's volume and mute are put back as they were.

#include "mixer/mixer.h"
#include "mixer/volume_arithmetic.h"
#include "platform/win32/core_audio_volume.h"
#include "platform/win32/legacy_mixer_volume.h"
#include "platform/win32/volume_backends.h"
#include "tests/e2e/support/e2e.h"

#include <objbase.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <thread>

using namespace omnitap;

namespace {

template <typename T> std::string show(const std::optional<T>& value) {
    return value ? std::to_string(*value) : std::string("(no answer)");
}

void note(const std::string& backend, const std::string& what) {
    std::cout << "[ observed ] " << backend << ": " << what << std::endl;
}

// Opens a backend and tries each of its operations once.
void probe(platform::VolumeBackend& backend, const std::string& name) {
    bool opened = backend.open();
    note(name, opened ? "opens" : "does not open (no device, or it refuses)");
    platform::VolumeRange range = backend.volumeRange();
    auto volume = backend.readVolume();
    auto mute = backend.readMute();
    note(name, "range " + std::to_string(range.minimum) + ".." + std::to_string(range.maximum) +
                   ", volume " + show(volume) + ", mute " + show(mute));
    if (!opened) {
        EXPECT_FALSE(backend.writeVolume(0));
        EXPECT_FALSE(backend.writeMute(true));
        return;
    }

    // A level away from the present one, so that a write that does nothing shows.
    std::int32_t before = volume ? volumePercentage(*volume, range).value_or(0) : 0;
    std::int32_t wanted = before == 40 ? 60 : 40;
    if (auto raw = volumeRaw(wanted, range)) {
        bool written = backend.writeVolume(*raw);
        auto after = backend.readVolume();
        note(name, "write " + std::to_string(wanted) + " % " + (written ? "taken" : "refused") +
                       ", reads back " + show(after));
        if (written) {
            ASSERT_TRUE(after);
            // Drivers may keep coarser steps than one percent, never a different level.
            EXPECT_NEAR(volumePercentage(*after, range).value_or(-1), wanted, 2);
        }
        if (volume) backend.writeVolume(*volume);
    } else {
        note(name, "has no usable volume range: volume does nothing");
    }

    bool flipped = mute != 1;
    bool written = backend.writeMute(flipped);
    auto after = backend.readMute();
    note(name, std::string("write mute ") + (flipped ? "on " : "off ") +
                   (written ? "taken" : "refused") + ", reads back " + show(after));
    if (written) {
        EXPECT_EQ(after, flipped ? 1 : 0);
    }
    backend.writeMute(mute == 1);
}

std::string nameOf(const platform::VolumeBackend* backend) {
    if (dynamic_cast<const win32::CoreAudioVolume*>(backend)) return "endpoint volume (Core Audio)";
    if (dynamic_cast<const win32::LegacyMixerVolume*>(backend)) return "legacy mixer, device 0";
    return "none";
}

// What the keys do: a volume set, a step up and a step down, the mute key twice. Where the
// backend takes the writes, each lands exactly; where it does not, nothing leaves 0..100.
// Either way the mute key twice gives the first state back.
void exercise(Mixer& mixer) {
    mixer.openMixer();
    note("mixer", "uses " + nameOf(mixer.activeBackend()));
    const std::int32_t volume = mixer.currentVolume();
    const bool muted = mixer.currentMute();
    note("mixer", "volume " + std::to_string(volume) + " %, " + (muted ? "muted" : "not muted"));

    // A level away from the present one: if the volume moves at all, it must land there.
    const std::int32_t target = volume == 50 ? 60 : 50;
    mixer.setVolume(target);
    const std::int32_t set = mixer.currentVolume();
    mixer.stepVolume(5);
    const std::int32_t up = mixer.currentVolume();
    mixer.stepVolume(-5);
    const std::int32_t down = mixer.currentVolume();
    note("mixer", "set " + std::to_string(target) + " % reads " + std::to_string(set) +
                      ", then up " + std::to_string(up) + ", then down " + std::to_string(down));
    if (set != volume) {
        EXPECT_EQ(set, target);
        EXPECT_EQ(up, target + 5);
        EXPECT_EQ(down, target);
    }
    for (std::int32_t v : {set, up, down}) {
        EXPECT_GE(v, 0);
        EXPECT_LE(v, 100);
    }

    for (int press = 0; press < 2; ++press) {
        mixer.refreshMixerState();
        mixer.setMute(!mixer.currentMute());
        note("mixer", std::string("mute key: ") + (mixer.currentMute() ? "muted" : "not muted"));
    }
    EXPECT_EQ(mixer.currentMute(), muted);

    mixer.setVolume(volume);
    mixer.setMute(muted);
}

} // namespace

TEST(MixerBackend, EndpointVolumeAnswersOrRefusesCleanly) {
    win32::CoreAudioVolume backend;
    probe(backend, "endpoint volume");
}

TEST(MixerBackend, LegacyMixerAnswersOrRefusesCleanly) {
    win32::LegacyMixerVolume backend;
    probe(backend, "legacy mixer");
}

TEST(MixerBackend, UnopenedBackendsDoNothing) {
    win32::CoreAudioVolume endpoint;
    win32::LegacyMixerVolume legacy;
    for (platform::VolumeBackend* backend : {static_cast<platform::VolumeBackend*>(&endpoint),
                                             static_cast<platform::VolumeBackend*>(&legacy)}) {
        EXPECT_EQ(backend->volumeRange().maximum, 0);
        EXPECT_EQ(backend->readVolume(), std::nullopt);
        EXPECT_EQ(backend->readMute(), std::nullopt);
        EXPECT_FALSE(backend->writeVolume(50));
        EXPECT_FALSE(backend->writeMute(true));
    }
}

TEST(MixerBackend, EndpointLeavesTheThreadsComAsItFoundIt) {
    // A thread of its own, so that nothing else here has touched its COM state.
    std::thread([] {
        {
            win32::CoreAudioVolume backend;
            backend.open();
            backend.readVolume();
        }
        // Our own apartment was left again: the thread may still choose another one.
        HRESULT result = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        EXPECT_EQ(result, S_OK);
        if (SUCCEEDED(result)) CoUninitialize();
    }).join();

    std::thread([] {
        // A thread already in the multithreaded apartment keeps using it, and stays in it.
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        {
            win32::CoreAudioVolume backend;
            bool opened = backend.open();
            note("endpoint volume", std::string("from a multithreaded apartment: ") +
                                        (opened ? "opens" : "does not open"));
        }
        HRESULT again = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        EXPECT_EQ(again, S_FALSE);
        if (SUCCEEDED(again)) CoUninitialize();
        CoUninitialize();
    }).join();
}

TEST(MixerBackend, MixerOnTheSystemBackends) {
    Mixer mixer(win32::systemVolumeBackends());
    exercise(mixer);
}

TEST(MixerBackend, MixerOnTheLegacyMixerAlone) {
    VolumeBackends legacy;
    legacy.push_back(std::make_unique<win32::LegacyMixerVolume>());
    Mixer mixer(std::move(legacy));
    exercise(mixer);
}

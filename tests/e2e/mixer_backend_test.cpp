// The volume backends against the real system. Whatever the system offers, no operation may
// crash or throw, and whatever a backend reports as done must read back as done. What the
// system offers is printed; its volume and mute are put back as they were.

#include "mixer/mixer.h"
#include "mixer/volume_arithmetic.h"
#include "platform/win32/core_audio_volume.h"
#include "platform/win32/legacy_mixer_volume.h"
#include "platform/win32/volume_backends.h"
#include "tests/e2e/support/e2e.h"

#include <objbase.h>

#include <gtest/gtest.h>

#include <iostream>
#include <thread>

using namespace omnitap;

namespace {

template <typename T> std::string show(const std::optional<T>& value) {
    return value ? std::to_string(*value) : std::string("-");
}

// Opens a backend and tries each of its operations once, unopened and opened.
void probe(platform::VolumeBackend& backend, const std::string& name) {
    EXPECT_EQ(backend.readVolume(), std::nullopt);
    EXPECT_FALSE(backend.writeMute(true));
    bool opened = backend.open();
    platform::VolumeRange range = backend.volumeRange();
    auto volume = backend.readVolume();
    auto mute = backend.readMute();
    std::cout << "[ observed ] " << name << (opened ? " opens" : " does not open") << ", range "
              << range.minimum << ".." << range.maximum << ", volume " << show(volume) << ", mute "
              << show(mute) << std::endl;
    if (!opened) {
        EXPECT_FALSE(backend.writeVolume(0));
        return;
    }
    // A level away from the present one, so that a write that does nothing shows.
    std::int32_t wanted = volume && volumePercentage(*volume, range) == 40 ? 60 : 40;
    if (auto raw = volumeRaw(wanted, range); raw && backend.writeVolume(*raw)) {
        auto after = backend.readVolume();
        ASSERT_TRUE(after);
        // Drivers may keep coarser steps than one percent, never a different level.
        EXPECT_NEAR(volumePercentage(*after, range).value_or(-1), wanted, 2);
        if (volume) backend.writeVolume(*volume);
    }
    bool flipped = mute != 1;
    if (backend.writeMute(flipped)) {
        EXPECT_EQ(backend.readMute(), flipped ? 1 : 0);
    }
    backend.writeMute(mute == 1);
}

// What the keys do: a volume set, a step up and a step down, the mute key twice. Where the
// backend takes the writes, each lands exactly; either way the mute key twice gives the
// first state back.
void exercise(Mixer& mixer) {
    mixer.openMixer();
    const std::int32_t volume = mixer.currentVolume();
    const bool muted = mixer.currentMute();
    const std::int32_t target = volume == 50 ? 60 : 50;
    mixer.setVolume(target);
    const std::int32_t set = mixer.currentVolume();
    mixer.stepVolume(5);
    const std::int32_t up = mixer.currentVolume();
    mixer.stepVolume(-5);
    std::cout << "[ observed ] mixer: " << (mixer.activeBackend() ? "a backend" : "none")
              << ", volume " << volume << " set " << set << " up " << up << std::endl;
    if (set != volume) {
        EXPECT_EQ(set, target);
        EXPECT_EQ(up, target + 5);
        EXPECT_EQ(mixer.currentVolume(), target);
    }
    for (int press = 0; press < 2; ++press) {
        mixer.refreshMixerState();
        mixer.setMute(!mixer.currentMute());
    }
    EXPECT_EQ(mixer.currentMute(), muted);
    mixer.setVolume(volume);
    mixer.setMute(muted);
}

} // namespace

TEST(MixerBackend, EachBackendAnswersOrRefusesCleanly) {
    win32::CoreAudioVolume endpoint;
    probe(endpoint, "endpoint volume");
    // The first legacy mixer opened loads winmm, from the system folder even while a folder
    // that holds another winmm.dll is searched before it.
    e2e::TempFolder planted;
    ASSERT_TRUE(CopyFileW((e2e::binFolder() + L"\\planted-dll.dll").c_str(),
                          planted.file(L"winmm.dll").c_str(), FALSE));
    SetDllDirectoryW(planted.path().c_str());
    win32::LegacyMixerVolume legacy;
    probe(legacy, "legacy mixer");
    SetDllDirectoryW(nullptr);
    EXPECT_FALSE(planted.exists(L"winmm.dll.loaded"));
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
            backend.open();
        }
        HRESULT again = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        EXPECT_EQ(again, S_FALSE);
        if (SUCCEEDED(again)) CoUninitialize();
        CoUninitialize();
    }).join();
}

TEST(MixerBackend, MixerOnTheSystemBackendsAndOnTheLegacyMixerAlone) {
    Mixer system(win32::systemVolumeBackends());
    exercise(system);
    VolumeBackends legacy;
    legacy.push_back(std::make_unique<win32::LegacyMixerVolume>());
    Mixer legacyOnly(std::move(legacy));
    exercise(legacyOnly);
}

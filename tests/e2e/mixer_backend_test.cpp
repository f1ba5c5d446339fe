// The volume backends against the real system: what a backend reports as done reads back as
// done, winmm comes from the system folder only, and the endpoint hears of a new default
// device. The system's volume and mute are put back as they were.

#include "tests/e2e/support/e2e.h"
#include "volume/mixer.h"
#include "win32/core_audio_volume.h"
#include "win32/legacy_mixer_volume.h"

#include <objbase.h>

#include <thread>

using namespace omnitap;

TEST(MixerBackend, TheLegacyMixerTakesWhatTheKeysWriteWithTheSystemsWinmm) {
    // The first legacy mixer opened loads winmm, from the system folder even while a folder
    // that holds another winmm.dll is searched before it.
    e2e::TempFolder planted;
    ASSERT_TRUE(planted.copy(L"planted-dll.dll", L"winmm.dll"));
    SetDllDirectoryW(planted.path().c_str());
    VolumeBackends legacy;
    legacy.push_back(std::make_unique<win32::LegacyMixerVolume>());
    Mixer mixer(std::move(legacy));
    mixer.openMixer();
    SetDllDirectoryW(nullptr);
    EXPECT_FALSE(planted.exists(L"winmm.dll.loaded"));
    ASSERT_NE(mixer.activeBackend(), nullptr) << "no mixer device";
    const std::int32_t volume = mixer.currentVolume();
    const bool muted = mixer.currentMute();
    mixer.setVolume(50);
    mixer.stepVolume(5);
    EXPECT_EQ(mixer.currentVolume(), 55);
    for (bool mute : {!muted, muted}) {
        mixer.setMute(mute);
        EXPECT_EQ(mixer.currentMute(), mute);
    }
    mixer.setVolume(volume);
}

TEST(MixerBackend, TheEndpointHearsOfANewDefaultDeviceAndLeavesTheThreadsComAsItFoundIt) {
    std::thread([] {
        {
            win32::CoreAudioVolume backend;
            ASSERT_TRUE(backend.open()) << "no playback device";
            EXPECT_FALSE(backend.takeDeviceChange());
            // Wine reports a new default device when its driver's setting for it changes.
            const wchar_t* drivers = L"Software\\Wine\\Drivers\\winealsa.drv";
            const wchar_t device[] = L"omnitap-e2e";
            ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, drivers, L"DefaultOutput", REG_SZ, device,
                                      sizeof device),
                      ERROR_SUCCESS);
            EXPECT_TRUE(e2e::waitFor([&] { return backend.takeDeviceChange(); }));
            RegDeleteKeyValueW(HKEY_CURRENT_USER, drivers, L"DefaultOutput");
            EXPECT_TRUE(backend.open()); // the default device again
        }
        // Our own apartment was left again: the thread may still choose another one.
        HRESULT result = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        EXPECT_EQ(result, S_OK);
        if (SUCCEEDED(result)) CoUninitialize();
    }).join();
}

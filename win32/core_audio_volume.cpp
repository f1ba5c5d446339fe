#include "win32/core_audio_volume.h"

#include "win32/unique_handle.h"

#include <windows.h>

#include <endpointvolume.h>
#include <mmdeviceapi.h>
#include <objbase.h>

#include <string>

namespace omnitap::win32 {
namespace {

// {BCDE0395-E52F-467C-8E3D-C4579291692E}
constexpr GUID kClsidMMDeviceEnumerator{
    0xbcde0395, 0xe52f, 0x467c, {0x8e, 0x3d, 0xc4, 0x57, 0x92, 0x91, 0x69, 0x2e}};
// {A95664D2-9614-4F35-A746-DE8DB63617E6}
constexpr GUID kIidIMMDeviceEnumerator{
    0xa95664d2, 0x9614, 0x4f35, {0xa7, 0x46, 0xde, 0x8d, 0xb6, 0x36, 0x17, 0xe6}};
// {5CDF2C82-841E-4546-9722-0CF74078229A}
constexpr GUID kIidIAudioEndpointVolume{
    0x5cdf2c82, 0x841e, 0x4546, {0x97, 0x22, 0x0c, 0xf7, 0x40, 0x78, 0x22, 0x9a}};

template <typename T> void release(T* object) {
    object->Release();
}
template <typename T> T* noInterface() {
    return nullptr;
}
// The "no handle" value is spelled out: a default one does not survive the alias template.
template <typename T> using ComPtr = Unique<T*, &release<T>, &noInterface<T>>;

void freeTaskMemory(wchar_t* text) {
    CoTaskMemFree(text);
}
using TaskString = Unique<wchar_t*, &freeTaskMemory>;

// COM on this thread for as long as the object lives. A thread already in the multithreaded
// apartment can use the endpoint objects as it is; only an entry of our own is undone.
class ComApartment {
  public:
    ComApartment() = default;
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (entered_) CoUninitialize();
    }
    bool enter() {
        if (usable_) return true;
        HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        entered_ = SUCCEEDED(result);
        usable_ = entered_ || result == RPC_E_CHANGED_MODE;
        return usable_;
    }

  private:
    bool entered_ = false;
    bool usable_ = false;
};

} // namespace

struct CoreAudioVolume::State {
    ComApartment apartment; // first member: left last, after every interface is released
    ComPtr<IMMDeviceEnumerator> enumerator;
    ComPtr<IAudioEndpointVolume> volume;
    std::wstring endpointId; // the endpoint `volume` belongs to

    // The endpoint volume of the current default device. The default changes when the user
    // plugs in headphones or picks another device, so it is looked up on every call; the
    // activated object is kept while the default stays the same device.
    IAudioEndpointVolume* endpoint() {
        if (!enumerator) return nullptr;
        IMMDevice* rawDevice = nullptr;
        if (FAILED(enumerator.get()->GetDefaultAudioEndpoint(eRender, eConsole, &rawDevice)) ||
            !rawDevice) {
            forget();
            return nullptr;
        }
        ComPtr<IMMDevice> device(rawDevice);
        std::wstring id;
        wchar_t* rawId = nullptr;
        if (SUCCEEDED(device.get()->GetId(&rawId)) && rawId) {
            TaskString owned(rawId);
            id = owned.get();
        }
        if (volume && !id.empty() && id == endpointId) return volume.get();

        forget();
        void* rawVolume = nullptr;
        if (FAILED(device.get()->Activate(kIidIAudioEndpointVolume, CLSCTX_ALL, nullptr,
                                          &rawVolume)) ||
            !rawVolume)
            return nullptr;
        volume.reset(static_cast<IAudioEndpointVolume*>(rawVolume));
        endpointId = id;
        return volume.get();
    }

    void forget() {
        volume.reset();
        endpointId.clear();
    }
};

CoreAudioVolume::CoreAudioVolume() : state_(std::make_unique<State>()) {}
CoreAudioVolume::~CoreAudioVolume() = default;

bool CoreAudioVolume::open() {
    if (state_->enumerator) return state_->endpoint() != nullptr;
    if (!state_->apartment.enter()) return false;
    void* rawEnumerator = nullptr;
    if (FAILED(CoCreateInstance(kClsidMMDeviceEnumerator, nullptr, CLSCTX_ALL,
                                kIidIMMDeviceEnumerator, &rawEnumerator)) ||
        !rawEnumerator)
        return false;
    state_->enumerator.reset(static_cast<IMMDeviceEnumerator*>(rawEnumerator));
    if (state_->endpoint()) return true;
    // No playback device: this backend refuses, so the caller may try another.
    state_->enumerator.reset();
    return false;
}

ports::VolumeRange CoreAudioVolume::volumeRange() const {
    // The endpoint's level runs from 0.0 to 1.0.
    return state_->enumerator ? ports::VolumeRange{0.0, 1.0, false} : ports::VolumeRange{};
}

std::optional<double> CoreAudioVolume::readVolume() {
    IAudioEndpointVolume* volume = state_->endpoint();
    float level = 0;
    if (!volume || FAILED(volume->GetMasterVolumeLevelScalar(&level))) return std::nullopt;
    return level;
}

bool CoreAudioVolume::writeVolume(double raw) {
    IAudioEndpointVolume* volume = state_->endpoint();
    return volume &&
           SUCCEEDED(volume->SetMasterVolumeLevelScalar(static_cast<float>(raw), nullptr));
}

std::optional<std::int32_t> CoreAudioVolume::readMute() {
    IAudioEndpointVolume* volume = state_->endpoint();
    BOOL muted = FALSE;
    if (!volume || FAILED(volume->GetMute(&muted))) return std::nullopt;
    return static_cast<std::int32_t>(muted);
}

bool CoreAudioVolume::writeMute(bool muted) {
    IAudioEndpointVolume* volume = state_->endpoint();
    return volume && SUCCEEDED(volume->SetMute(muted ? TRUE : FALSE, nullptr));
}

} // namespace omnitap::win32

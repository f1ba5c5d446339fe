#include "win32/core_audio_volume.h"

#include "win32/unique_handle.h"

#include <windows.h>

#include <endpointvolume.h>
#include <mmdeviceapi.h>
#include <objbase.h>

#include <atomic>

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
// {00000000-0000-0000-C000-000000000046}
constexpr GUID kIidIUnknown{0, 0, 0, {0xc0, 0, 0, 0, 0, 0, 0, 0x46}};
// {7991EEC9-7E89-4D85-8390-6C703CEC60C0}
constexpr GUID kIidIMMNotificationClient{
    0x7991eec9, 0x7e89, 0x4d85, {0x83, 0x90, 0x6c, 0x70, 0x3c, 0xec, 0x60, 0xc0}};

template <typename T> void release(T* object) {
    object->Release();
}
template <typename T> T* noInterface() {
    return nullptr;
}
// The "no handle" value is spelled out: a default one does not survive the alias template.
template <typename T> using ComPtr = Unique<T*, &release<T>, &noInterface<T>>;

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

// Told by the system when the default playback device changes. The call comes on a thread
// of the system's own, so it only raises a flag, which the UI thread takes on its next
// volume action; nothing else is shared.
class DeviceWatch final : public IMMNotificationClient {
  public:
    std::atomic<bool> changed{false};

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid != kIidIUnknown && iid != kIidIMMNotificationClient) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IMMNotificationClient*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }
    // The console role's render device is the one the taskbar's speaker shows.
    HRESULT STDMETHODCALLTYPE OnDefaultDeviceChanged(EDataFlow flow, ERole role, LPCWSTR) override {
        if (flow == eRender && role == eConsole) changed = true;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnDeviceStateChanged(LPCWSTR, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDeviceAdded(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDeviceRemoved(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnPropertyValueChanged(LPCWSTR, const PROPERTYKEY) override {
        return S_OK;
    }

  private:
    std::atomic<ULONG> references_{1};
};

} // namespace

struct CoreAudioVolume::State {
    ComApartment apartment; // first member: left last, after every interface is released
    ComPtr<IMMDeviceEnumerator> enumerator;
    ComPtr<DeviceWatch> watch;           // registered with `enumerator` while both live
    ComPtr<IAudioEndpointVolume> volume; // of the default device as last opened

    State() = default;
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    ~State() {
        if (enumerator && watch)
            enumerator.get()->UnregisterEndpointNotificationCallback(watch.get());
    }
};

CoreAudioVolume::CoreAudioVolume() : state_(std::make_unique<State>()) {}
CoreAudioVolume::~CoreAudioVolume() = default;

bool CoreAudioVolume::open() {
    State& s = *state_;
    s.volume.reset();
    if (!s.enumerator) {
        if (!s.apartment.enter()) return false;
        void* rawEnumerator = nullptr;
        if (FAILED(CoCreateInstance(kClsidMMDeviceEnumerator, nullptr, CLSCTX_ALL,
                                    kIidIMMDeviceEnumerator, &rawEnumerator)) ||
            !rawEnumerator)
            return false;
        s.enumerator.reset(static_cast<IMMDeviceEnumerator*>(rawEnumerator));
        // Kept even while there is no device, so that the one plugged in later is reported.
        s.watch.reset(new DeviceWatch);
        if (FAILED(s.enumerator.get()->RegisterEndpointNotificationCallback(s.watch.get())))
            s.watch.reset();
    }
    IMMDevice* rawDevice = nullptr;
    if (FAILED(s.enumerator.get()->GetDefaultAudioEndpoint(eRender, eConsole, &rawDevice)) ||
        !rawDevice)
        return false; // no playback device: the caller may try another backend
    ComPtr<IMMDevice> device(rawDevice);
    void* rawVolume = nullptr;
    if (FAILED(device.get()->Activate(kIidIAudioEndpointVolume, CLSCTX_ALL, nullptr, &rawVolume)) ||
        !rawVolume)
        return false;
    s.volume.reset(static_cast<IAudioEndpointVolume*>(rawVolume));
    return true;
}

bool CoreAudioVolume::takeDeviceChange() {
    return state_->watch && state_->watch.get()->changed.exchange(false);
}

ports::VolumeRange CoreAudioVolume::volumeRange() const {
    // The endpoint's level runs from 0.0 to 1.0.
    return state_->volume ? ports::VolumeRange{0.0, 1.0, false} : ports::VolumeRange{};
}

std::optional<double> CoreAudioVolume::readVolume() {
    IAudioEndpointVolume* volume = state_->volume.get();
    float level = 0;
    if (!volume || FAILED(volume->GetMasterVolumeLevelScalar(&level))) return std::nullopt;
    return level;
}

bool CoreAudioVolume::writeVolume(double raw) {
    IAudioEndpointVolume* volume = state_->volume.get();
    return volume &&
           SUCCEEDED(volume->SetMasterVolumeLevelScalar(static_cast<float>(raw), nullptr));
}

std::optional<std::int32_t> CoreAudioVolume::readMute() {
    IAudioEndpointVolume* volume = state_->volume.get();
    BOOL muted = FALSE;
    if (!volume || FAILED(volume->GetMute(&muted))) return std::nullopt;
    return static_cast<std::int32_t>(muted);
}

bool CoreAudioVolume::writeMute(bool muted) {
    IAudioEndpointVolume* volume = state_->volume.get();
    return volume && SUCCEEDED(volume->SetMute(muted ? TRUE : FALSE, nullptr));
}

} // namespace omnitap::win32

#include "win32/legacy_mixer_volume.h"

#include "win32/system_library.h"
#include "win32/unique_handle.h"

#include <windows.h>

#include <mmsystem.h>

#include <algorithm>
#include <optional>

namespace omnitap::win32 {
namespace {

constexpr UINT kMixerDevice = 0;

// winmm is not one of the system's known DLLs: imported, it would be looked for beside the exe
// first, where anything may sit. It is loaded from the system folder only, the first time a
// mixer is opened, and stays loaded for the run.
struct MixerFunctions {
    decltype(&mixerOpen) open = nullptr;
    decltype(&mixerClose) close = nullptr;
    decltype(&mixerGetLineInfoA) getLineInfo = nullptr;
    decltype(&mixerGetLineControlsA) getLineControls = nullptr;
    decltype(&mixerGetControlDetailsA) getControlDetails = nullptr;
    decltype(&mixerSetControlDetails) setControlDetails = nullptr;
};

template <typename Function> bool find(HMODULE module, const char* name, Function& function) {
    function = functionIn<Function>(module, name);
    return function != nullptr;
}

// Null when the system has no winmm or it lacks one of the functions.
const MixerFunctions* mixerFunctions() {
    static const std::optional<MixerFunctions> loaded = []() -> std::optional<MixerFunctions> {
        HMODULE winmm = systemLibrary(L"winmm.dll");
        MixerFunctions f;
        if (winmm && find(winmm, "mixerOpen", f.open) && find(winmm, "mixerClose", f.close) &&
            find(winmm, "mixerGetLineInfoA", f.getLineInfo) &&
            find(winmm, "mixerGetLineControlsA", f.getLineControls) &&
            find(winmm, "mixerGetControlDetailsA", f.getControlDetails) &&
            find(winmm, "mixerSetControlDetails", f.setControlDetails))
            return f;
        return std::nullopt;
    }();
    return loaded ? &*loaded : nullptr;
}

// The helpers below run only on a mixer that was opened, so the functions are there.
void closeMixer(HMIXER mixer) {
    mixerFunctions()->close(mixer);
}
using UniqueMixer = Unique<HMIXER, &closeMixer>;

// A control of the speakers line, as found when the mixer was opened.
struct Control {
    bool found = false;
    DWORD id = 0;
};

HMIXEROBJ object(HMIXER mixer) {
    return reinterpret_cast<HMIXEROBJ>(mixer);
}

// The first control of the given type on the speakers destination line.
bool findSpeakersControl(HMIXER mixer, DWORD controlType, MIXERCONTROLA& control) {
    const MixerFunctions& mm = *mixerFunctions();
    MIXERLINEA line{};
    line.cbStruct = sizeof line;
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
    if (mm.getLineInfo(object(mixer), &line,
                       MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) != MMSYSERR_NOERROR)
        return false;
    control = MIXERCONTROLA{};
    control.cbStruct = sizeof control;
    MIXERLINECONTROLSA controls{};
    controls.cbStruct = sizeof controls;
    controls.dwLineID = line.dwLineID;
    controls.dwControlType = controlType;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof control;
    controls.pamxctrl = &control;
    return mm.getLineControls(object(mixer), &controls,
                              MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) ==
           MMSYSERR_NOERROR;
}

// One value for all channels: the control's details with a single channel, so a stereo
// balance is not kept when writing. Volume values are DWORDs, switch values LONGs; both are
// four bytes.
template <typename Value> MIXERCONTROLDETAILS details(const Control& control, Value& value) {
    static_assert(sizeof(Value) == 4);
    MIXERCONTROLDETAILS d{};
    d.cbStruct = sizeof d;
    d.dwControlID = control.id;
    d.cChannels = 1;
    d.cbDetails = sizeof value;
    d.paDetails = &value;
    return d;
}

template <typename Value> bool readValue(HMIXER mixer, const Control& control, Value& value) {
    if (!mixer || !control.found) return false;
    MIXERCONTROLDETAILS d = details(control, value);
    return mixerFunctions()->getControlDetails(
               object(mixer), &d, MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE) ==
           MMSYSERR_NOERROR;
}

template <typename Value> bool writeValue(HMIXER mixer, const Control& control, Value value) {
    if (!mixer || !control.found) return false;
    MIXERCONTROLDETAILS d = details(control, value);
    return mixerFunctions()->setControlDetails(
               object(mixer), &d, MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE) ==
           MMSYSERR_NOERROR;
}

} // namespace

struct LegacyMixerVolume::State {
    UniqueMixer mixer;
    Control volume;
    Control mute;
    ports::VolumeRange range; // 0..0 while the volume control is missing
};

LegacyMixerVolume::LegacyMixerVolume() : state_(std::make_unique<State>()) {}
LegacyMixerVolume::~LegacyMixerVolume() = default;

bool LegacyMixerVolume::open() {
    if (state_->mixer) return true;
    const MixerFunctions* mm = mixerFunctions();
    if (!mm) return false;
    HMIXER mixer = nullptr;
    if (mm->open(&mixer, kMixerDevice, 0, 0, MIXER_OBJECTF_MIXER) != MMSYSERR_NOERROR || !mixer)
        return false;
    state_->mixer.reset(mixer);

    MIXERCONTROLA control{};
    if (findSpeakersControl(mixer, MIXERCONTROL_CONTROLTYPE_VOLUME, control)) {
        state_->volume = {true, control.dwControlID};
        // Volume controls count in unsigned units, so the unsigned bounds are the true ones.
        state_->range = {static_cast<double>(control.Bounds.dwMinimum),
                         static_cast<double>(control.Bounds.dwMaximum), true};
    }
    if (findSpeakersControl(mixer, MIXERCONTROL_CONTROLTYPE_MUTE, control))
        state_->mute = {true, control.dwControlID};
    return true;
}

ports::VolumeRange LegacyMixerVolume::volumeRange() const {
    return state_->range;
}

std::optional<double> LegacyMixerVolume::readVolume() {
    DWORD value = 0;
    if (!readValue(state_->mixer.get(), state_->volume, value)) return std::nullopt;
    return static_cast<double>(value);
}

bool LegacyMixerVolume::writeVolume(double raw) {
    return writeValue(state_->mixer.get(), state_->volume, static_cast<DWORD>(raw));
}

std::optional<std::int32_t> LegacyMixerVolume::readMute() {
    LONG value = 0;
    if (!readValue(state_->mixer.get(), state_->mute, value)) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

bool LegacyMixerVolume::writeMute(bool muted) {
    LONG value = muted ? 1 : 0;
    return writeValue(state_->mixer.get(), state_->mute, value);
}

} // namespace omnitap::win32

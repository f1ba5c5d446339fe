#include "tray/tray_icon.h"

#include "text/utf8.h"
#include "tray/tray_messages.h"

#include <algorithm>
#include <string>
#include <utility>

namespace omnitap {

namespace {

constexpr std::string_view kTrayTip = "Omnitap";
// szTip holds 128 characters, except in the wide first layout, where it holds 64.
constexpr std::int32_t kTipCharacters = 128;
constexpr std::int32_t kWideFirstLayoutTipCharacters = 64;

} // namespace

std::string_view trayTip(KeysState state) {
    switch (state) {
    case KeysState::Paused:
        return "Omnitap - keys paused";
    case KeysState::Off:
        return "Omnitap - keys off (hook could not be installed)";
    case KeysState::On:
        break;
    }
    return kTrayTip;
}

WindowsVersion getWindowsVersion(std::uint32_t versionWord) {
    return {static_cast<int>(versionWord & 0xFF), static_cast<int>((versionWord >> 8) & 0xFF),
            (versionWord & 0x80000000u) == 0};
}

TrayChoice chooseTrayRecord(const WindowsVersion& version) {
    if (version.ntFamily) return {true, version.major >= 5};
    return {false, version.major == 4 && version.minor == 90};
}

std::int32_t notifyIconDataSize(const TrayChoice& choice) {
    using namespace ports;
    if (choice.trayShell5)
        return choice.trayUseWide ? kWideExtendedLayoutSize : kNarrowExtendedLayoutSize;
    return choice.trayUseWide ? kWideFirstLayoutSize : kNarrowFirstLayoutSize;
}

std::int32_t tipByteCount(const TrayChoice& choice, std::int32_t count) {
    return choice.trayUseWide ? count * 2 : count;
}

void copyToFixedBuffer(std::string_view text, std::span<std::uint8_t> buffer, std::int32_t n) {
    if (text.empty() || n < 2) return;
    const auto size = std::min(static_cast<std::size_t>(n), buffer.size());
    const std::string bytes = utf16leBytes(text);
    const std::size_t kept = std::min(bytes.size(), size - 2);
    std::copy_n(bytes.begin(), kept, buffer.begin());
    std::fill(buffer.begin() + kept, buffer.begin() + size, std::uint8_t{0});
}

void fillNarrowTip(std::string_view text, std::span<std::uint8_t> field) {
    if (field.empty()) return;
    std::size_t at = 0;
    for (std::size_t i = 0; i < text.size() && at + 1 < field.size(); ++at) {
        char32_t cp = nextCodePoint(text, i);
        field[at] = cp < 0x80 ? static_cast<std::uint8_t>(cp) : std::uint8_t{'?'};
    }
    field[at] = 0;
    std::fill(field.begin() + at + 1, field.end(), std::uint8_t{' '});
}

ports::TrayIconRecord makeTrayRecord(const TrayChoice& choice, ports::WindowId window,
                                     ports::IconId icon, std::string_view tip) {
    ports::TrayIconRecord r;
    r.wide = choice.trayUseWide;
    r.cbSize = static_cast<std::uint32_t>(notifyIconDataSize(choice));
    r.hWnd = window;
    r.uID = kTrayIconId;
    r.uFlags = kTrayFlags;
    r.uCallbackMessage = kTrayCallbackMessage;
    r.hIcon = icon;
    if (choice.trayUseWide) {
        copyToFixedBuffer(tip, r.szTip,
                          tipByteCount(choice, choice.trayShell5 ? kTipCharacters
                                                                 : kWideFirstLayoutTipCharacters));
    } else {
        fillNarrowTip(tip, std::span(r.szTip).first(kTipCharacters));
    }
    if (choice.trayShell5) r.uVersion = kNotifyIconVersion;
    return r;
}

TrayIconFs::TrayIconFs(ports::TrayShell& shell)
    : shell_(shell), taskbarCreated_(shell.taskbarCreatedMessage()) {}

TrayIconFs::~TrayIconFs() {
    removeTrayIcon();
}

void TrayIconFs::addTrayIcon(ports::WindowId window) {
    removeTrayIcon(); // a second add replaces the first icon rather than leaving it behind
    choice_ = chooseTrayRecord(getWindowsVersion(shell_.versionWord()));
    window_ = window;
    record_ = recordFor(state_);
    wanted_ = true;
    sendAdd();
}

ports::TrayIconRecord TrayIconFs::recordFor(KeysState state) {
    if (!(choice_.trayUseWide && choice_.trayShell5)) state = KeysState::On;
    const ports::IconId icon =
        state == KeysState::On ? shell_.applicationIcon() : shell_.greyedIcon();
    return makeTrayRecord(choice_, window_, icon, trayTip(state));
}

void TrayIconFs::showKeysState(KeysState state) {
    state_ = state;
    if (!wanted_) return; // the icon, when added, says it
    ports::TrayIconRecord changed = recordFor(state);
    if (changed == record_) return;
    record_ = changed;
    shell_.notifyIcon(ports::TrayCommand::Modify, record_);
}

void TrayIconFs::removeTrayIcon() {
    if (!wanted_) return;
    wanted_ = false;
    shell_.notifyIcon(ports::TrayCommand::Delete, record_);
}

TrayRequest TrayIconFs::handleTrayMessage(int code) {
    const bool afterRightButtonUp = std::exchange(rightButtonUp_, code == kTrayRightButtonUp);
    if (!versionTaken_)
        return code == kTrayRightButtonUp ? TrayRequest::Menu : TrayRequest::Nothing;
    switch (code) {
    case kTrayContextMenu:
        return afterRightButtonUp ? TrayRequest::Menu : TrayRequest::MenuAtIcon;
    case kTraySelect:
    case kTrayKeySelect:
    case kTrayDoubleClick:
        return TrayRequest::EditConfiguration;
    default:
        return TrayRequest::Nothing;
    }
}

std::optional<ports::ScreenPoint> TrayIconFs::iconCentre() {
    std::optional<ports::ScreenRect> r = shell_.iconRect(record_);
    if (!r) return std::nullopt;
    return ports::ScreenPoint{r->left + (r->right - r->left) / 2,
                              r->top + (r->bottom - r->top) / 2};
}

void TrayIconFs::showBalloon(std::string_view title, std::string_view text) {
    if (!wanted_ || !(choice_.trayUseWide && choice_.trayShell5)) return;
    // Sent once, never kept in the record: a later change of the tip must not show it again.
    ports::TrayIconRecord balloon = record_;
    balloon.uFlags |= kBalloonFlag;
    copyToFixedBuffer(text, balloon.szInfo, static_cast<std::int32_t>(balloon.szInfo.size()));
    copyToFixedBuffer(title, balloon.szInfoTitle,
                      static_cast<std::int32_t>(balloon.szInfoTitle.size()));
    balloon.uVersion = kBalloonTimeoutMs;
    balloon.dwInfoFlags = kBalloonWarning;
    shell_.notifyIcon(ports::TrayCommand::Modify, balloon);
}

void TrayIconFs::returnFocus() {
    if (versionTaken_) shell_.notifyIcon(ports::TrayCommand::SetFocus, record_);
}

void TrayIconFs::reAddTrayIcon() {
    if (wanted_) sendAdd();
}

void TrayIconFs::sendAdd() {
    // Whether the icon was added is not examined: without it the program still works, and the
    // next "TaskbarCreated" tries again. Whether the version took says what notifications come;
    // a shell that took it once takes it again (a refusal then means the icon went meanwhile).
    shell_.notifyIcon(ports::TrayCommand::Add, record_);
    if (!choice_.trayShell5) return;
    const bool taken = shell_.notifyIcon(ports::TrayCommand::SetVersion, record_);
    // Windows Me's narrow record keeps the right-button release of old.
    if (taken && choice_.trayUseWide) versionTaken_ = true;
}

} // namespace omnitap

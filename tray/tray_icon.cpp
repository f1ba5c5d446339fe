#include "tray/tray_icon.h"

#include "text/utf8.h"

#include <algorithm>
#include <span>
#include <string>
#include <utility>

namespace omnitap {

namespace {

constexpr std::string_view kTrayTip = "Omnitap";

// Copies the UTF-16LE bytes of `text` (UTF-8) into the zeroed `buffer`, all but its last two
// bytes at most: a UTF-16 terminator always follows.
void copyToFixedBuffer(std::string_view text, std::span<std::uint8_t> buffer) {
    const std::string bytes = utf16leBytes(text);
    std::copy_n(bytes.begin(), std::min(bytes.size(), buffer.size() - 2), buffer.begin());
}

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

ports::TrayIconRecord makeTrayRecord(ports::WindowId window, ports::IconId icon,
                                     std::string_view tip) {
    ports::TrayIconRecord r;
    r.hWnd = window;
    r.uID = kTrayIconId;
    r.uFlags = kTrayFlags;
    r.uCallbackMessage = ports::kTrayCallbackMessage;
    r.hIcon = icon;
    copyToFixedBuffer(tip, r.szTip);
    r.uVersion = kNotifyIconVersion;
    return r;
}

TrayIconFs::TrayIconFs(ports::TrayShell& shell)
    : shell_(shell), taskbarCreated_(shell.taskbarCreatedMessage()) {}

TrayIconFs::~TrayIconFs() {
    removeTrayIcon();
}

void TrayIconFs::addTrayIcon(ports::WindowId window) {
    removeTrayIcon(); // a second add replaces the first icon rather than leaving it behind
    window_ = window;
    record_ = recordFor(state_);
    wanted_ = true;
    sendAdd();
}

ports::TrayIconRecord TrayIconFs::recordFor(KeysState state) {
    const ports::IconId icon =
        state == KeysState::On ? shell_.applicationIcon() : shell_.greyedIcon();
    return makeTrayRecord(window_, icon, trayTip(state));
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
    if (!wanted_) return;
    // Sent once, never kept in the record: a later change of the tip must not show it again.
    ports::TrayIconRecord balloon = record_;
    balloon.uFlags |= kBalloonFlag;
    copyToFixedBuffer(text, balloon.szInfo);
    copyToFixedBuffer(title, balloon.szInfoTitle);
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
    if (shell_.notifyIcon(ports::TrayCommand::SetVersion, record_)) versionTaken_ = true;
}

} // namespace omnitap

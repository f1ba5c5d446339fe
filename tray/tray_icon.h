#pragma once
// The notification-area icon (module TrayIconFs): adds the icon with the tip "Omnitap",
// deletes it with the very record that added it, re-adds it when Explorer restarts, says what
// the mouse and the keyboard ask of it, tells whether the keys act, and shows balloons.

#include "ports/private_messages.h"
#include "ports/tray_shell.h"

#include <cstdint>
#include <string_view>

namespace omnitap {

constexpr std::uint32_t kTrayIconId = 1;        // uID, the same for the whole run
constexpr std::uint32_t kTrayFlags = 7;         // NIF_MESSAGE | NIF_ICON | NIF_TIP
constexpr std::uint32_t kNotifyIconVersion = 3; // NOTIFYICON_VERSION
constexpr std::uint32_t kBalloonFlag = 0x10;    // NIF_INFO
constexpr std::uint32_t kBalloonWarning = 2;    // NIIF_WARNING
constexpr std::uint32_t kBalloonTimeoutMs = 10000;

// The record that adds the icon for `window`.
ports::TrayIconRecord makeTrayRecord(ports::WindowId window, ports::IconId icon,
                                     std::string_view tip);

// The notification codes that arrive in the low word of kTrayCallbackMessage's lParam and mean
// something to us. Once the shell took NOTIFYICON_VERSION, it follows a right-button release
// with WM_CONTEXTMENU, which Shift+F10 and the menu key send alone, and a left-button release
// with NIN_SELECT; Enter and Space on the icon send NIN_KEYSELECT.
constexpr int kTrayRightButtonUp = 0x0205; // WM_RBUTTONUP
constexpr int kTrayDoubleClick = 0x0203;   // WM_LBUTTONDBLCLK
constexpr int kTrayContextMenu = 0x007B;   // WM_CONTEXTMENU
constexpr int kTraySelect = 0x0400;        // NIN_SELECT
constexpr int kTrayKeySelect = 0x0401;     // NIN_KEYSELECT

// What a notification from the icon asks for.
enum class TrayRequest {
    Nothing,
    Menu,              // at the mouse position: the mouse asked
    MenuAtIcon,        // the keyboard asked
    EditConfiguration, // the icon's default action
};

// What the keys do now, as the icon tells it: greyed, with its tip, unless they act.
enum class KeysState {
    On,
    Paused, // "Pause Keys" in the tray menu
    Off,    // the keyboard hook could not be installed
};
// "Omnitap", "Omnitap - keys paused", "Omnitap - keys off (hook could not be installed)".
std::string_view trayTip(KeysState state);

class TrayIconFs {
  public:
    explicit TrayIconFs(ports::TrayShell& shell);
    // Deletes the icon if it is still there.
    ~TrayIconFs();
    TrayIconFs(const TrayIconFs&) = delete;
    TrayIconFs& operator=(const TrayIconFs&) = delete;

    // Adds the icon with the tip "Omnitap"; its notifications go to `window` as
    // ports::kTrayCallbackMessage. A failure is ignored: the program runs on without an icon.
    void addTrayIcon(ports::WindowId window);
    // Deletes the icon with the record that added it.
    void removeTrayIcon();
    // `code`: the low word of the callback message's lParam. A shell that took
    // NOTIFYICON_VERSION asks for the menu with WM_CONTEXTMENU (after a right-button release,
    // at the mouse; alone, from the keyboard) and activates the icon with NIN_SELECT,
    // NIN_KEYSELECT or a double-click; one that refused it asks for the menu with a
    // right-button release.
    TrayRequest handleTrayMessage(int code);
    // The centre of the icon, where the shell can tell it.
    std::optional<ports::ScreenPoint> iconCentre();
    // The keyboard's focus back to the icons, after a menu the keyboard opened was closed.
    void returnFocus();
    // A warning balloon from the icon, which takes no focus.
    void showBalloon(std::string_view title, std::string_view text);
    // The registered message by which Explorer announces that it (re)started.
    std::uint32_t taskbarCreatedMessage() const { return taskbarCreated_; }
    // Explorer has restarted (the "TaskbarCreated" message): adds the icon again if it was
    // added and not removed.
    void reAddTrayIcon();
    // The icon and its tip tell `state` from now on.
    void showKeysState(KeysState state);

  private:
    void sendAdd();
    ports::TrayIconRecord recordFor(KeysState state);

    ports::TrayShell& shell_;
    std::uint32_t taskbarCreated_;
    ports::WindowId window_ = 0;
    KeysState state_ = KeysState::On;
    ports::TrayIconRecord record_;
    bool wanted_ = false;        // added and not removed, whether or not the shell accepted it
    bool versionTaken_ = false;  // the shell took NOTIFYICON_VERSION for the icon
    bool rightButtonUp_ = false; // the last notification was a right-button release
};

} // namespace omnitap

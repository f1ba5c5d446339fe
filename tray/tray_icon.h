#pragma once
// The notification-area icon (module TrayIconFs): chooses the shell's record from the
// system version, adds the icon with the tip "Omnitap", deletes it with the very record
// that added it, re-adds it when Explorer restarts, and says what the mouse and the keyboard
// ask of it. On Windows 2000 and later it also tells whether the keys act, and shows
// balloons.

#include "ports/tray_shell.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace omnitap {

struct WindowsVersion {
    int major = 0;
    int minor = 0;
    bool ntFamily = false;
};

// Decodes a GetVersion word: major in the lowest byte, minor in the next; the NT family
// when bit 31 is clear.
WindowsVersion getWindowsVersion(std::uint32_t versionWord);

// Which record the shell gets: wide on the NT family; the extended layout (and
// NIM_SETVERSION) on Windows 2000 and later and on Windows Me.
struct TrayChoice {
    bool trayUseWide = false;
    bool trayShell5 = false;
};
TrayChoice chooseTrayRecord(const WindowsVersion& version);

std::int32_t notifyIconDataSize(const TrayChoice& choice);
// Bytes taken by `count` characters of the chosen record's text.
std::int32_t tipByteCount(const TrayChoice& choice, std::int32_t count);

// Copies the UTF-16LE bytes of `text` (UTF-8) into the first `n` bytes of `buffer`: at
// most n - 2 bytes of text, then zeros up to the end, so the last two bytes are always a
// UTF-16 terminator. An empty text leaves the buffer untouched; so does n < 2.
void copyToFixedBuffer(std::string_view text, std::span<std::uint8_t> buffer, std::int32_t n);

// The narrow record's tip: the text, one NUL, the rest of the field spaces. The text is
// cut so that the NUL always fits; characters beyond ASCII become "?" (the tip is the
// program's name, the same in every code page).
void fillNarrowTip(std::string_view text, std::span<std::uint8_t> field);

constexpr std::uint32_t kTrayIconId = 1;        // uID, the same for the whole run
constexpr std::uint32_t kTrayFlags = 7;         // NIF_MESSAGE | NIF_ICON | NIF_TIP
constexpr std::uint32_t kNotifyIconVersion = 3; // NOTIFYICON_VERSION
constexpr std::uint32_t kBalloonFlag = 0x10;    // NIF_INFO
constexpr std::uint32_t kBalloonWarning = 2;    // NIIF_WARNING
constexpr std::uint32_t kBalloonTimeoutMs = 10000;

// The record that adds the icon for `window`.
ports::TrayIconRecord makeTrayRecord(const TrayChoice& choice, ports::WindowId window,
                                     ports::IconId icon, std::string_view tip);

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
    // kTrayCallbackMessage. A failure is ignored: the program runs on without an icon.
    void addTrayIcon(ports::WindowId window);
    // Deletes the icon with the record that added it.
    void removeTrayIcon();
    // `code`: the low word of the callback message's lParam. A shell that took
    // NOTIFYICON_VERSION asks for the menu with WM_CONTEXTMENU (after a right-button release,
    // at the mouse; alone, from the keyboard) and activates the icon with NIN_SELECT,
    // NIN_KEYSELECT or a double-click; an older one asks for the menu with a right-button
    // release.
    TrayRequest handleTrayMessage(int code);
    // The centre of the icon, where the shell can tell it.
    std::optional<ports::ScreenPoint> iconCentre();
    // The keyboard's focus back to the icons, after a menu the keyboard opened was closed.
    void returnFocus();
    // A warning balloon from the icon, which takes no focus (Windows 2000 and later; the older
    // systems show nothing).
    void showBalloon(std::string_view title, std::string_view text);
    // The registered message by which Explorer announces that it (re)started.
    std::uint32_t taskbarCreatedMessage() const { return taskbarCreated_; }
    // Explorer has restarted (the "TaskbarCreated" message): adds the icon again if it was
    // added and not removed.
    void reAddTrayIcon();
    // The icon and its tip tell `state` from now on. Only the record of Windows 2000 and
    // later changes: the older systems keep the first icon and "Omnitap".
    void showKeysState(KeysState state);

    TrayChoice choice() const { return choice_; }
    bool wanted() const { return wanted_; }

  private:
    void sendAdd();
    ports::TrayIconRecord recordFor(KeysState state);

    ports::TrayShell& shell_;
    std::uint32_t taskbarCreated_;
    TrayChoice choice_;
    ports::WindowId window_ = 0;
    KeysState state_ = KeysState::On;
    ports::TrayIconRecord record_;
    bool wanted_ = false;        // added and not removed, whether or not the shell accepted it
    bool versionTaken_ = false;  // the shell took NOTIFYICON_VERSION for the icon
    bool rightButtonUp_ = false; // the last notification was a right-button release
};

} // namespace omnitap

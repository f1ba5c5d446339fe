#pragma once
// Every private message of the program, in one list: who posts it, and to whom. The numbers
// are WM_APP and up, which no system message uses.

#include <cstdint>

namespace omnitap::ports {

inline constexpr std::uint32_t kFirstPrivateMessage = 0x8000; // WM_APP

// To the control window.
// From the shell, about the tray icon: the low word of lParam carries what happened over the
// icon (TrayIconFs::handleTrayMessage).
inline constexpr std::uint32_t kTrayCallbackMessage = kFirstPrivateMessage + 1;
// From the hook thread: key events wait in the hook channel.
inline constexpr std::uint32_t kKeyEventsMessage = kFirstPrivateMessage + 2;
// From the hook thread, the hook having been quiet for a while: listen to raw input, to learn
// whether the system dropped the hook. The hook's edge handles it before the window.
inline constexpr std::uint32_t kListenToRawInputMessage = kFirstPrivateMessage + 3;
// From a later copy of the program: show and bring forward the Edit Configuration window.
inline constexpr std::uint32_t kShowEditConfigurationMessage = kFirstPrivateMessage + 8;
// From a test, in test mode: remove the hook the way the system drops one, silently.
inline constexpr std::uint32_t kLoseHookMessage = kFirstPrivateMessage + 32;

// To the hook thread's own queue, from the UI thread; no window receives them.
// Install a fresh hook, then remove the old one.
inline constexpr std::uint32_t kRenewHookRequest = kFirstPrivateMessage + 1;
// Remove the hook and tell nobody (kLoseHookMessage).
inline constexpr std::uint32_t kLoseHookRequest = kFirstPrivateMessage + 2;
// Probe the hook; renew it if it does not see the probe.
inline constexpr std::uint32_t kCheckHookRequest = kFirstPrivateMessage + 3;

} // namespace omnitap::ports

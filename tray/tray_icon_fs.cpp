#include "tray/tray_icon_fs.h"

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

// Decodes one UTF-8 sequence at `i` and moves past it; U+FFFD for a malformed one.
char32_t nextCodePoint(std::string_view s, std::size_t& i) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char lead = byte(i++);
    if (lead < 0x80) return lead;
    int extra = lead >= 0xF0 && lead < 0xF5 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : -1;
    if (extra < 0 || lead >= 0xF5) return U'\uFFFD';
    char32_t cp = lead & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) {
        if (i >= s.size() || (byte(i) & 0xC0) != 0x80) return U'\uFFFD';
        cp = (cp << 6) | (byte(i++) & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kSmallest[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return U'\uFFFD';
    return cp;
}

std::string utf16leBytes(std::string_view utf8) {
    std::string out;
    auto unit = [&](char32_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    };
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t cp = nextCodePoint(utf8, i);
        if (cp >= 0x10000) {
            unit(0xD800 + ((cp - 0x10000) >> 10));
            unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            unit(cp);
        }
    }
    return out;
}

} // namespace

WindowsVersion getWindowsVersion(std::uint32_t versionWord) {
    return {static_cast<int>(versionWord & 0xFF), static_cast<int>((versionWord >> 8) & 0xFF),
            (versionWord & 0x80000000u) == 0};
}

TrayChoice chooseTrayRecord(const WindowsVersion& version) {
    if (version.ntFamily) return {true, version.major >= 5};
    return {false, version.major == 4 && version.minor == 90};
}

std::int32_t notifyIconDataSize(const TrayChoice& choice) {
    using namespace platform;
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

platform::TrayIconRecord makeTrayRecord(const TrayChoice& choice, platform::WindowId window,
                                        platform::IconId icon, std::string_view tip) {
    platform::TrayIconRecord r;
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

TrayIconFs::TrayIconFs(platform::TrayShell& shell, std::function<void()> openMenu)
    : shell_(shell), openMenu_(std::move(openMenu)) {}

TrayIconFs::~TrayIconFs() {
    removeTrayIcon();
}

void TrayIconFs::addTrayIcon(platform::WindowId window, platform::IconId icon) {
    removeTrayIcon(); // a second add replaces the first icon rather than leaving it behind
    choice_ = chooseTrayRecord(getWindowsVersion(shell_.versionWord()));
    record_ = makeTrayRecord(choice_, window, icon, kTrayTip);
    wanted_ = true;
    sendAdd();
}

void TrayIconFs::removeTrayIcon() {
    if (!wanted_) return;
    wanted_ = false;
    shell_.notifyIcon(platform::TrayCommand::Delete, record_);
}

void TrayIconFs::handleTrayMessage(int code) {
    if (code == kTrayRightButtonUp && openMenu_) openMenu_();
}

void TrayIconFs::reAddTrayIcon() {
    if (wanted_) sendAdd();
}

void TrayIconFs::sendAdd() {
    // The shell's answers are not examined: without an icon the program still works, and
    // the next "TaskbarCreated" tries again.
    shell_.notifyIcon(platform::TrayCommand::Add, record_);
    if (choice_.trayShell5) shell_.notifyIcon(platform::TrayCommand::SetVersion, record_);
}

} // namespace omnitap

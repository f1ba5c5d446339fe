#include "forms/control_window.h"

#include "hook/hook_watch.h"
#include "ports/running_copies.h"

namespace omnitap {
namespace {

const ui::WindowDesign kWindow{"OmnitapControlWindow", "omnitap control window", 4680, 2220,
                               ui::Placement::SystemDefault};

// The controls, each named once: the layout and the code use these.
constexpr auto Picture1 = ui::picture("Picture1");
constexpr auto Command2 = ui::button("Command2");
constexpr auto Command4 = ui::button("Command4");
constexpr auto Command1 = ui::button("Command1");
constexpr auto Label1 = ui::label("Label1");
constexpr auto Label2 = ui::label("Label2");
constexpr auto Label3 = ui::label("Label3");

const std::vector<ui::ControlDesign> kControls = {
    {Picture1, "", {120, 120, 480, 480}},
    {Command2, "HOOK", {720, 120, 1215, 375}},
    {Command4, "Edit Keys", {2040, 120, 1215, 375}},
    {Command1, "Command1", {3360, 120, 1215, 375}},
    {Label1, "Label1", {720, 720, 3855, 255}},
    {Label2, "Label1", {720, 1080, 3855, 255}},
    {Label3, "Label1", {720, 1440, 3855, 255}},
};

// The tray menu's entries, in their order; the two after "Edit Configuration" are checked
// while they are on, and "Turn Keys On" is there only while the hook is missing.
enum class MenuEntry {
    mnuSuper,
    mnuNothing,
    EditConfiguration,
    TurnKeysOn,
    PauseKeys,
    StartWithWindows,
    Quit
};

std::string hookRefusedText(const std::string& reason) {
    return "Omnitap cannot watch the keyboard, so your keys do nothing for now.\r\n\r\n" + reason +
           "\r\n\r\nOmnitap tries again when the computer is unlocked or wakes up, and when you "
           "choose \"Turn Keys On\" in its menu in the notification area.";
}

} // namespace

constexpr std::uintptr_t kMonitorPower = 0xF170; // SC_MONITORPOWER
constexpr std::intptr_t kPowerOff = 2;

frmControl::frmControl(ControlParts parts, ConfigWindows& config, KeyboardHandler& keys,
                       std::string versionText)
    : ui_(parts.ui), messages_(parts.messages), appInfo_(parts.appInfo), hook_(parts.hook),
      channel_(parts.channel), tray_(parts.tray), startWithWindows_(parts.startWithWindows),
      config_(config), keys_(keys), versionText_(std::move(versionText)) {}

bool frmControl::testMode() const {
    return appInfo_.exeBaseName() == "Omnitap";
}

void frmControl::Form_Load() {
    window_ = ui_.createWindow(kWindow, kControls);
    captionShown_ = testMode();
    (*window_)[Command2].onClick = [this] { Command2_Click(); };
    (*window_)[Command4].onClick = [this] { Command4_Click(); };
    (*window_)[Command1].onClick = [this] { Command1_Click(); };
    window_->onClose = [this] { Form_Unload(); };
    // The session ends: nothing is saved now, and keys.ini stays as it was.
    window_->onEndSession = [this](bool ending) {
        if (ending) endProgram();
    };
    window_->onPrivateMessage = [this](std::uint32_t m, std::uintptr_t w, std::intptr_t l) {
        return onPrivateMessage(m, w, l);
    };
    Timer1_ = ui_.createTimer();
    Timer1_->setInterval(VolumeRepeat::kTickMs);
    Timer1_->setEnabled(false);
    Timer1_->onTimer = [this] { Timer1_Timer(); };

    ports::Result hooked;
    if (!testMode()) {
        hooked = installHook();
    } else {
        window_->show();
    }
    tray_.addTrayIcon(id());
    mnuSuperCaption_ = versionText_;
    // Once the icon says so; the box runs the message loop, so the program runs meanwhile.
    reportRefusal(hooked);
}

ports::Result frmControl::installHook() {
    ports::Result installed = hook_.hookKeyboard(id());
    hookMissing_ = !installed.ok;
    showKeysState();
    return installed;
}

void frmControl::reportRefusal(const ports::Result& hooked) {
    if (!hooked.ok)
        messages_.show(0, hookRefusedText(hooked.error), "Omnitap", ports::mb::kIconWarning);
}

void frmControl::showKeysState() {
    tray_.showKeysState(hookMissing_        ? KeysState::Off
                        : channel_.paused() ? KeysState::Paused
                                            : KeysState::On);
}

void frmControl::Form_Unload() {
    // Edits not saved are asked about first; the user may keep the program running.
    if (config_.mayEnd()) endProgram();
}

void frmControl::endProgram() {
    // The hook goes whichever way it was installed (the unhook does nothing without one).
    hook_.unhookKeyboard();
    tray_.removeTrayIcon();
    appInfo_.endProgram();
}

void frmControl::Command2_Click() {
    reportRefusal(installHook());
    hookedByButton_ = true;
}

void frmControl::Command4_Click() {
    config_.showEditConfiguration();
}

void frmControl::mnuItems_Click(int index) {
    if (index == 1) {
        Form_Unload();
    } else {
        config_.showEditConfiguration();
    }
}

void frmControl::mnuSuper_Click() {
    messages_.show(0, versionText_, "Omnitap", ports::mb::kIconInformation);
}

void frmControl::mnuTurnKeysOn_Click() {
    reportRefusal(installHook());
}

void frmControl::mnuPauseKeys_Click() {
    const bool pause = !channel_.paused();
    channel_.setPaused(pause);
    if (pause) keys_.endVolumeRepeat(); // its key's release would no longer be seen
    showKeysState();
}

void frmControl::Timer1_Timer() {
    keyEventsWaiting(); // the UI thread is awake anyway: no event waits for its message
    keys_.repeatVolumeStep();
}

void frmControl::keyEventsWaiting() {
    keys_.keyEventsWaiting();
    // The test mode shows what the hook could not hand over.
    if (window_ && testMode())
        (*window_)[Label2].setText("dropped events: " + std::to_string(keys_.droppedEvents()));
}

void frmControl::setCaption(const std::string& caption) {
    // Only where it can be seen: a caption costs the system a round trip per key, which a
    // key acting as another pays on every press and release.
    if (window_ && captionShown_) window_->setCaption(caption);
}

void frmControl::setRepeatTimer(bool enabled) {
    if (Timer1_) Timer1_->setEnabled(enabled);
    if (window_ && testMode())
        (*window_)[Label3].setText(enabled ? "volume repeat: on" : "volume repeat: off");
}

void frmControl::monitorsOff() {
    if (window_) window_->sendSystemCommand(kMonitorPower, kPowerOff);
}

void frmControl::PopupMenu_mnuPop(bool byKeyboard) {
    std::vector<ui::MenuItem> items;
    std::vector<MenuEntry> entries;
    auto add = [&](MenuEntry entry, std::string text, bool checked = false) {
        // What activating the icon does is the menu's default.
        items.push_back({std::move(text), checked, entry == MenuEntry::EditConfiguration});
        entries.push_back(entry);
    };
    add(MenuEntry::mnuSuper, mnuSuperCaption_);
    add(MenuEntry::mnuNothing, "-");
    add(MenuEntry::EditConfiguration, "Edit Configuration");
    if (hookMissing_) add(MenuEntry::TurnKeysOn, "Turn Keys On");
    add(MenuEntry::PauseKeys, "Pause Keys", channel_.paused());
    add(MenuEntry::StartWithWindows, "Start with Windows", startWithWindows_.checked());
    add(MenuEntry::Quit, "Quit");
    const int choice =
        ui_.showPopupMenu(id(), items, byKeyboard ? tray_.iconCentre() : std::nullopt);
    if (choice < 0 || choice >= static_cast<int>(entries.size())) {
        if (byKeyboard) tray_.returnFocus(); // Esc: the keyboard goes on among the icons
        return;
    }
    switch (entries[static_cast<std::size_t>(choice)]) {
    case MenuEntry::mnuSuper:
        mnuSuper_Click();
        break;
    case MenuEntry::EditConfiguration:
        mnuItems_Click(0);
        break;
    case MenuEntry::TurnKeysOn:
        mnuTurnKeysOn_Click();
        break;
    case MenuEntry::PauseKeys:
        mnuPauseKeys_Click();
        break;
    case MenuEntry::StartWithWindows:
        mnuStartWithWindows_Click();
        break;
    case MenuEntry::Quit:
        mnuItems_Click(1);
        break;
    case MenuEntry::mnuNothing:
        break;
    }
}

bool frmControl::onPrivateMessage(std::uint32_t message, std::uintptr_t wParam,
                                  std::intptr_t lParam) {
    // Whatever woke the UI thread, no key event waits for its own message.
    keyEventsWaiting();
    if (message == ports::kKeyEventsMessage) return true;
    // A held volume key may be let go where the hook cannot see it.
    if (mayLoseReleases(message, wParam)) keys_.endVolumeRepeat();
    if (needsHookCheck(message, wParam)) {
        if (hookMissing_)
            installHook(); // the system may take it now: no box, the tray tells how it went
        else
            hook_.checkHook();
        return false; // the system's notification: its default handling follows
    }
    if (message == ports::kLoseHookMessage && testMode()) {
        hook_.loseHook();
        return true;
    }
    if (message == ports::kShowEditConfigurationMessage) { // the program was started again
        config_.showEditConfiguration();
        return true;
    }
    if (message == ports::kTrayCallbackMessage) {
        const TrayRequest request = tray_.handleTrayMessage(static_cast<int>(lParam & 0xFFFF));
        switch (request) {
        case TrayRequest::Menu:
        case TrayRequest::MenuAtIcon:
            PopupMenu_mnuPop(request == TrayRequest::MenuAtIcon);
            break;
        case TrayRequest::EditConfiguration:
            config_.showEditConfiguration();
            break;
        case TrayRequest::Nothing:
            break;
        }
        return true;
    }
    if (message == tray_.taskbarCreatedMessage()) {
        tray_.reAddTrayIcon();
        return false; // other windows may want to hear it as well
    }
    return false;
}

} // namespace omnitap

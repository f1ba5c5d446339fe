#include "windows/control_window.h"

#include "hook/hook_watch.h"
#include "ports/running_copies.h"
#include "tray/tray_messages.h"

namespace omnitap {
namespace {

const ui::WindowDesign kWindow{"OmnitapControlWindow", "omnitap control window", 4680, 2220,
                               ui::Placement::SystemDefault};

const std::vector<ui::ControlDesign> kControls = {
    {"Picture1", ui::Kind::Picture, "", {120, 120, 480, 480}},
    {"Command2", ui::Kind::Button, "HOOK", {720, 120, 1215, 375}},
    {"Command4", ui::Kind::Button, "Edit Keys", {2040, 120, 1215, 375}},
    {"Command1", ui::Kind::Button, "Command1", {3360, 120, 1215, 375}},
    {"Label1", ui::Kind::Label, "Label1", {720, 720, 3855, 255}},
    {"Label2", ui::Kind::Label, "Label1", {720, 1080, 3855, 255}},
    {"Label3", ui::Kind::Label, "Label1", {720, 1440, 3855, 255}},
};

enum MenuEntry { mnuSuper = 0, mnuNothing = 1, mnuItemsEditConfiguration = 2, mnuItemsQuit = 3 };

} // namespace

constexpr std::uintptr_t kMonitorPower = 0xF170; // SC_MONITORPOWER
constexpr std::intptr_t kPowerOff = 2;

frmControl::frmControl(ui::UiFactory& ui, ports::MessageBoxes& messages, ports::AppInfo& appInfo,
                       ports::KeyboardHook& hook, TrayIconFs& tray, ConfigWindows& config,
                       KeyboardHandler& keys, AboutText about)
    : ui_(ui), messages_(messages), appInfo_(appInfo), hook_(hook), tray_(tray), config_(config),
      keys_(keys), about_(std::move(about)) {}

bool frmControl::testMode() const {
    return appInfo_.exeBaseName() == "Omnitap";
}

void frmControl::Form_Load() {
    window_ = ui_.createWindow(kWindow, kControls);
    window_->button("Command2").onClick = [this] { Command2_Click(); };
    window_->button("Command4").onClick = [this] { Command4_Click(); };
    window_->button("Command1").onClick = [this] { Command1_Click(); };
    window_->onClose = [this] { Form_Unload(); };
    window_->onPrivateMessage = [this](std::uint32_t m, std::uintptr_t w, std::intptr_t l) {
        return onPrivateMessage(m, w, l);
    };
    Timer1_ = ui_.createTimer();
    Timer1_->setInterval(VolumeRepeat::kTickMs);
    Timer1_->setEnabled(false);
    Timer1_->onTimer = [this] { Timer1_Timer(); };

    if (!testMode()) {
        hook_.hookKeyboard(id());
    } else {
        window_->show();
    }
    tray_.addTrayIcon(id());
    mnuSuperCaption_ = about_.versionText;
}

void frmControl::Form_Unload() {
    // The hook goes whichever way it was installed (the unhook does nothing without one).
    hook_.unhookKeyboard();
    tray_.removeTrayIcon();
    appInfo_.endProgram();
}

void frmControl::Command2_Click() {
    hook_.hookKeyboard(id());
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
    messages_.show(0, about_.versionText + "\r\n" + about_.webSite, "Omnitap",
                   ports::mb::kIconInformation);
}

void frmControl::Timer1_Timer() {
    keyEventsWaiting(); // the UI thread is awake anyway: no event waits for its message
    keys_.repeatVolumeStep();
}

void frmControl::keyEventsWaiting() {
    keys_.keyEventsWaiting();
    // The test mode shows what the hook could not hand over.
    if (window_ && testMode())
        window_->label("Label2").setText("dropped events: " +
                                         std::to_string(keys_.droppedEvents()));
}

void frmControl::setCaption(const std::string& caption) {
    if (window_) window_->setCaption(caption);
}

void frmControl::setRepeatTimer(bool enabled) {
    if (Timer1_) Timer1_->setEnabled(enabled);
    if (window_ && testMode())
        window_->label("Label3").setText(enabled ? "volume repeat: on" : "volume repeat: off");
}

void frmControl::monitorsOff() {
    if (window_) window_->sendSystemCommand(kMonitorPower, kPowerOff);
}

void frmControl::PopupMenu_mnuPop() {
    int choice =
        ui_.showPopupMenu(id(), {{mnuSuperCaption_}, {"-"}, {"Edit Configuration"}, {"Quit"}});
    switch (choice) {
    case mnuSuper:
        mnuSuper_Click();
        break;
    case mnuItemsEditConfiguration:
        mnuItems_Click(0);
        break;
    case mnuItemsQuit:
        mnuItems_Click(1);
        break;
    default:
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
    if (needsFreshHook(message, wParam)) {
        hook_.renewHook();
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
    if (message == kTrayCallbackMessage) {
        if (tray_.handleTrayMessage(static_cast<int>(lParam & 0xFFFF))) PopupMenu_mnuPop();
        return true;
    }
    if (message == tray_.taskbarCreatedMessage()) {
        tray_.reAddTrayIcon();
        return false; // other windows may want to hear it as well
    }
    return false;
}

} // namespace omnitap

#include "platform/win32/omnitap_app.h"

#include "app/startup.h"
#include "platform/win32/volume_backends.h"
#include "tray/tray_messages.h"

#include <windows.h>

namespace omnitap::win32 {

OmnitapApp::OmnitapApp()
    : mixer_(systemVolumeBackends()), winamp_(messaging_, clipboard_, typing_, shell_, codec_),
      handler_(state_, &winamp_, &mixer_, shell_, keyHandlerLinks()),
      configContext_{state_,
                     KeyFileIo{files_, codec_, messages_},
                     ui_,
                     messages_,
                     [this] { channel_.publish(state_.keyTable); },
                     [this](bool waiting) { channel_.setFinderWaiting(waiting); }},
      control_(ui_, messages_, appInfo_, controlWindowLinks()),
      tray_(trayShell_, [this] { control_.PopupMenu_mnuPop(); }) {}

KeyHandlerLinks OmnitapApp::keyHandlerLinks() {
    KeyHandlerLinks links;
    links.keyFinderLoaded = [this] { return config_.keyFinderLoaded(); };
    links.keyWasPressed = [this](std::int32_t vk, std::int32_t scan) {
        config_.keyWasPressed(vk, scan);
    };
    links.showKeyEventReport = [this](const std::string& report) {
        config_.showKeyEventReport(report);
    };
    links.findKey = [this](int index) { config_.findKey(index); };
    links.setControlCaption = [this](const std::string& caption) { control_.setCaption(caption); };
    links.setRepeatTimer = [this](bool on) { control_.Timer1().setEnabled(on); };
    links.monitorsOff = [this] { monitorsOff(); };
    links.controlWindow = [this] { return control_.id(); };
    return links;
}

ControlWindowLinks OmnitapApp::controlWindowLinks() {
    ControlWindowLinks links;
    links.hookKeyboard = [this] {
        HWND window = reinterpret_cast<HWND>(control_.id());
        channel_.wake = [window] { PostMessageW(window, kKeyEventsMessage, 0, 0); };
        channel_.publish(state_.keyTable);
        hook_.hookKeyboard();
    };
    links.unhookKeyboard = [this] { hook_.unhookKeyboard(); };
    links.addTrayIcon = [this](ui::WindowId window) {
        winamp_.setOwnerWindow(window);
        tray_.addTrayIcon(window, trayShell_.applicationIcon());
    };
    links.removeTrayIcon = [this] { tray_.removeTrayIcon(); };
    links.handleTrayMessage = [this](int code) { tray_.handleTrayMessage(code); };
    links.reAddTrayIcon = [this] { tray_.reAddTrayIcon(); };
    links.trayCallbackMessage = kTrayCallbackMessage;
    links.taskbarCreatedMessage = trayShell_.taskbarCreatedMessage();
    links.keyEventsWaiting = [this] {
        channel_.drain([this](const KeyEvent& event) { handler_.handleKey(event); });
    };
    links.showEditConfiguration = [this] { config_.showEditConfiguration(); };
    links.stepVolume = [this] { handler_.repeatVolumeStep(); };
    // Open windows close without their own unload handling; nothing is saved at exit.
    links.endProgram = [] { ExitProcess(0); };
    return links;
}

void OmnitapApp::monitorsOff() {
    // The control window's default handling passes the request on to the system.
    SendMessageW(reinterpret_cast<HWND>(control_.id()), WM_SYSCOMMAND, SC_MONITORPOWER, 2);
}

void OmnitapApp::Main() {
    StartupSteps steps;
    steps.openMixer = [this] { mixer_.openMixer(); };
    steps.loadControlWindow = [this] { control_.Form_Load(); };
    steps.showEditConfiguration = [this] { config_.showEditConfiguration(); };
    omnitap::Main(state_, KeyFileIo{files_, codec_, messages_}, appInfo_, steps);
}

} // namespace omnitap::win32

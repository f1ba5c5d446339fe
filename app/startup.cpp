#include "app/startup.h"

#include "keyboard/keyboard_state.h"

namespace omnitap {

std::string welcomeText() {
    const char* lines[] = {
        "Welcome to Omnitap!",
        "",
        "I can see this is your first time running Omnitap.",
        "Once you click OK, you will see the Edit Configuration window. You'll need to add some "
        "of your keyboard keys to the list in order to use Omnitap. ",
        "Click \"Add or Delete Keys\" and then \"Add New Key\". Follow the directions. After "
        "you've done this, you'll be able to assign functions to your new keys!",
        "",
    };
    std::string text;
    for (const char* line : lines) {
        text += line;
        text += "\r\n";
    }
    text += "Enjoy Omnitap! Please report any problems to ";
    text += kWebSite;
    text += ".";
    return text;
}

std::string versionText() {
    return "Omnitap, version " + std::to_string(OMNITAP_VERSION_MAJOR) + "." +
           std::to_string(OMNITAP_VERSION_MINOR) + "." + std::to_string(OMNITAP_VERSION_PATCH);
}

void Main(KeyboardState& state, KeyFileIo io, platform::AppInfo& appInfo,
          const StartupSteps& steps) {
    state.iniPath = iniPathFor(appInfo.exeFolder());
    state.keyTable.clear();
    loadKeys(io, state.iniPath, state.keyTable);
    if (steps.openMixer) steps.openMixer();
    if (steps.loadControlWindow) steps.loadControlWindow();
    if (state.keyTable.empty()) {
        io.messages.show(welcomeText(), "Omnitap",
                         platform::mb::kOk | platform::mb::kIconInformation);
        if (steps.showEditConfiguration) steps.showEditConfiguration();
    }
}

} // namespace omnitap

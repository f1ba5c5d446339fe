#pragma once
// Start-up: from the executable's folder to a running program with its keys loaded.

#include "keyboard/keys_ini.h"
#include "platform/app_info.h"

#include <functional>
#include <string>

namespace omnitap {

struct KeyboardState;

inline constexpr const char* kWebSite = "https://omnitap.example.org";

// The welcome text shown when no key has been learned yet.
std::string welcomeText();
// "Omnitap, version 1.1.0"
std::string versionText();

// The steps that other parts of the program provide.
struct StartupSteps {
    std::function<void()> openMixer;
    std::function<void()> loadControlWindow;
    std::function<void()> showEditConfiguration;
};

// Sets the ini path, loads the keys, opens the mixer, loads the control window and, when no
// key is learned, welcomes the user and opens the Edit Configuration window.
void Main(KeyboardState& state, KeyFileIo io, platform::AppInfo& appInfo,
          const StartupSteps& steps);

} // namespace omnitap

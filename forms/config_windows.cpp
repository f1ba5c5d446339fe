#include "forms/config_windows.h"

namespace omnitap {

ConfigWindows::ConfigWindows(ConfigContext context)
    : context_(context), form2_(context_, *this), keyAssign_(context_, *this),
      form3_(context_, *this) {
    context_.keysLoaded = [this] {
        form2_.fillList();
        keyAssign_.fillList();
    };
}

} // namespace omnitap

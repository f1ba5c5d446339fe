#include "config_ui/config_windows.h"

namespace omnitap {

ConfigWindows::ConfigWindows(ConfigContext& context)
    : form2_(context, *this), keyAssign_(context, *this), form3_(context, *this) {}

} // namespace omnitap

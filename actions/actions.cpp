#include "actions/actions.h"

#include "text/trim.h"

namespace omnitap {

LaunchTarget splitLaunchTarget(std::string_view target) {
    std::string_view w = trimSpaces(target);
    bool quoted = !w.empty() && w.front() == '"';
    if (quoted) w.remove_prefix(1);
    std::size_t end = w.find(quoted ? '"' : ' ');
    std::string_view rest = end == std::string_view::npos ? std::string_view() : w.substr(end + 1);
    return {std::string(w.substr(0, end)), std::string(trimSpaces(rest))};
}

} // namespace omnitap

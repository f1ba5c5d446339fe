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

LaunchTarget resolveLaunchTarget(std::string_view target, ports::FileSystem& files) {
    std::string_view w = trimSpaces(target);
    if (w.empty() || w.front() == '"') return splitLaunchTarget(w);
    using ports::PathKind;
    if (files.kindOf(std::string(w)) != PathKind::None) return {std::string(w), {}};
    // w is trimmed, so every blank in it has something before it.
    for (std::size_t blank = w.rfind(' '); blank != std::string_view::npos && blank > 0;
         blank = w.rfind(' ', blank - 1)) {
        std::string program(trimSpaces(w.substr(0, blank)));
        if (files.kindOf(program) == PathKind::File)
            return {std::move(program), std::string(trimSpaces(w.substr(blank + 1)))};
    }
    return splitLaunchTarget(w);
}

} // namespace omnitap

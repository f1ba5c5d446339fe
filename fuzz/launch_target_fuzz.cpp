// Any launch target: the split never fails, takes its pieces from the target, and splits
// where a command line would: after a quoted file name, or else at the first blank.

#include "actions/actions.h"
#include "fuzz/fuzz_check.h"
#include "text/trim.h"

FUZZ_TEXT(target) {
    omnitap::LaunchTarget t = omnitap::splitLaunchTarget(target);
    FUZZ_CHECK(t.file.size() + t.parameters.size() <= target.size());
    FUZZ_CHECK(target.find(t.file) != std::string_view::npos);
    FUZZ_CHECK(target.find(t.parameters) != std::string_view::npos);
    FUZZ_CHECK(omnitap::trimSpaces(t.parameters) == t.parameters);
    std::string_view w = omnitap::trimSpaces(target);
    if (!w.empty() && w.front() == '"') {
        FUZZ_CHECK(t.file.find('"') == std::string::npos);
    } else {
        FUZZ_CHECK(t.file.find(' ') == std::string::npos);
        if (w.find(' ') == std::string_view::npos) FUZZ_CHECK(t.file == w && t.parameters.empty());
    }
}

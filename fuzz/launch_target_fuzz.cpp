// Any launch target: the split never fails, takes its pieces from the target, and leaves no
// blanks around the parameters.

#include "actions/actions.h"
#include "fuzz/fuzz_check.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view target(reinterpret_cast<const char*>(data), size);
    omnitap::LaunchTarget t = omnitap::splitLaunchTarget(target);
    FUZZ_CHECK(t.file.size() + t.parameters.size() <= target.size());
    FUZZ_CHECK(target.find(t.file) != std::string_view::npos);
    FUZZ_CHECK(target.find(t.parameters) != std::string_view::npos);
    if (!t.parameters.empty()) {
        FUZZ_CHECK(t.parameters.front() != ' ' && t.parameters.back() != ' ');
    }
    if (t.parameters.empty() && target.find('"', 1) == std::string_view::npos &&
        target.find(' ', 1) == std::string_view::npos) {
        FUZZ_CHECK(t.file == target); // nothing to split at: opened whole
    }
    return 0;
}

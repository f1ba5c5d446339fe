#include "platform/atomic_files.h"

#include <algorithm>

namespace omnitap::platform {

namespace {
constexpr std::size_t kChunk = 64 * 1024;
} // namespace

WriteResult AtomicFiles::replaceAtomically(const std::string& path, const std::string& bytes) {
    const std::string temporary = fs_.temporaryNameFor(path);
    FileSystem::Handle handle = 0;
    FileResult result = fs_.create(temporary, handle);
    if (!result.ok) {
        fs_.remove(temporary);
        return {false, result.error};
    }
    for (std::size_t done = 0; result.ok && done < bytes.size(); done += kChunk)
        result = fs_.write(handle, std::string_view(bytes).substr(done, kChunk));
    if (result.ok) result = fs_.flush(handle);
    fs_.close(handle);
    if (result.ok) result = fs_.replace(temporary, path);
    if (!result.ok) fs_.remove(temporary);
    return {result.ok, result.error};
}

} // namespace omnitap::platform

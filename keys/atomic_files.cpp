#include "keys/atomic_files.h"

#include "base/retry.h"

#include <algorithm>

namespace omnitap {

namespace {
constexpr std::size_t kChunk = std::size_t{64} * 1024;
} // namespace

ports::FileContent AtomicFiles::read(const std::string& path) {
    return retryFor(
        kLockedFilePatience, [this](std::chrono::milliseconds time) { wait(time); },
        [&] { return fs_.read(path); },
        [](const ports::FileContent& content) {
            return content.status != ports::FileContent::Status::Locked;
        });
}

ports::FileResult AtomicFiles::replaceAtomically(const std::string& link,
                                                 const std::string& bytes) {
    // A file swapped in at a link's own name would replace the link, and leave the file it
    // leads to (in a synced folder, say) as it was.
    const std::string path = fs_.linkTarget(link);
    const std::string temporary = fs_.temporaryNameFor(path);
    ports::FileSystem::Handle handle = 0;
    ports::FileResult result = fs_.create(temporary, handle);
    if (!result.ok) {
        fs_.remove(temporary);
        return result;
    }
    for (std::size_t done = 0; result.ok && done < bytes.size(); done += kChunk)
        result = fs_.write(handle, std::string_view(bytes).substr(done, kChunk));
    if (result.ok) result = fs_.flush(handle);
    fs_.close(handle);
    if (result.ok)
        result = retryFor(
            kLockedFilePatience, [this](std::chrono::milliseconds time) { wait(time); },
            [&] { return fs_.replace(temporary, path); },
            [](const ports::FileResult& replaced) { return replaced.ok || !replaced.held; });
    if (!result.ok) fs_.remove(temporary);
    return result;
}

ports::FileResult AtomicFiles::probeBeside(const std::string& path) {
    const std::string temporary = fs_.temporaryNameFor(path);
    ports::FileSystem::Handle handle = 0;
    ports::FileResult result = fs_.create(temporary, handle);
    if (result.ok) fs_.close(handle);
    fs_.remove(temporary);
    return result;
}

} // namespace omnitap

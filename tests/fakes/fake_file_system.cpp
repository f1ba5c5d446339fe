#include "tests/fakes/fake_file_system.h"

namespace omnitap::fakes {

ports::FileContent FakeFileSystem::read(const std::string& path) {
    using Status = ports::FileContent::Status;
    auto it = files.find(path);
    if (it == files.end()) return {Status::Missing};
    if (lockedReads > 0 && lockedReads--)
        return {Status::Locked, {}, "The file is being used by another process."};
    if (!readError.empty()) return {Status::Failed, {}, readError};
    return {Status::Read, it->second, {}};
}

ports::FileResult FakeFileSystem::create(const std::string& path, Handle& handle) {
    if (failCreate) return {false, "Access is denied."};
    handle = next_++;
    pathOf_[handle] = path;
    openHandles.insert(handle);
    files[path].clear();
    written_ = 0;
    return {};
}

ports::FileResult FakeFileSystem::write(Handle handle, std::string_view bytes) {
    std::string& file = files[pathOf_.at(handle)];
    bool full = failAfterBytes && written_ + bytes.size() > *failAfterBytes;
    if (full) bytes = bytes.substr(0, *failAfterBytes - written_);
    file.append(bytes);
    written_ += bytes.size();
    if (full) return {false, "There is not enough space on the disk."};
    return {};
}

ports::FileResult FakeFileSystem::flush(Handle) {
    if (failFlush) return {false, "The request failed because of an I/O device error."};
    return {};
}

ports::FileResult FakeFileSystem::replace(const std::string& from, const std::string& to) {
    if (failReplace) return {false, "Access is denied."};
    files[to] = files.at(from);
    files.erase(from);
    ++replaces;
    return {};
}

} // namespace omnitap::fakes

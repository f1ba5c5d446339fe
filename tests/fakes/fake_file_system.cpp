#include "tests/fakes/fake_file_system.h"

namespace omnitap::fakes {

std::optional<std::string> FakeFileSystem::readAll(const std::string& path) {
    auto it = files.find(path);
    if (it == files.end()) return std::nullopt;
    return it->second;
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
    if (failAfterBytes && written_ + bytes.size() > *failAfterBytes) {
        file.append(bytes.substr(0, *failAfterBytes - written_));
        written_ = *failAfterBytes;
        return {false, "There is not enough space on the disk."};
    }
    file.append(bytes);
    written_ += bytes.size();
    return {};
}

ports::FileResult FakeFileSystem::flush(Handle) {
    if (failFlush)
        return {false, "The request could not be performed because of an I/O device error."};
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

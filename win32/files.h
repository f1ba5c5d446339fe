#pragma once
// Files on Windows: the file operations that an atomic replace is made of, with the system's
// calls.

#include "ports/file_system.h"

namespace omnitap::win32 {

class Win32FileSystem final : public ports::FileSystem {
  public:
    ports::FileContent read(const std::string& path) override;
    void wait(std::chrono::milliseconds time) override;
    std::string temporaryNameFor(const std::string& path) override;
    ports::FileResult create(const std::string& path, Handle& handle) override;
    ports::FileResult write(Handle handle, std::string_view bytes) override;
    ports::FileResult flush(Handle handle) override;
    void close(Handle handle) override;
    ports::FileResult replace(const std::string& from, const std::string& to) override;
    std::string linkTarget(const std::string& path) override;
    void remove(const std::string& path) override;
    ports::PathKind kindOf(const std::string& path) override;
    void setCurrentFolder(const std::string& path) override;
};

} // namespace omnitap::win32

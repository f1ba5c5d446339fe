#pragma once
// Files on Windows: the file operations with the system's calls, and the program's Files seam
// (atomic replace) built on them.

#include "platform/atomic_files.h"
#include "platform/file_system.h"

namespace omnitap::win32 {

class Win32FileSystem final : public platform::FileSystem {
  public:
    bool exists(const std::string& path) override;
    std::optional<std::string> readAll(const std::string& path) override;
    std::string temporaryNameFor(const std::string& path) override;
    platform::FileResult create(const std::string& path, Handle& handle) override;
    platform::FileResult write(Handle handle, std::string_view bytes) override;
    platform::FileResult flush(Handle handle) override;
    void close(Handle handle) override;
    platform::FileResult replace(const std::string& from, const std::string& to) override;
    void remove(const std::string& path) override;
};

// The program's files: Win32FileSystem below AtomicFiles.
class Win32Files final : public platform::AtomicFiles {
  public:
    // The base only keeps the reference; it is not used before the member exists.
    Win32Files() : AtomicFiles(fileSystem_) {}

  private:
    Win32FileSystem fileSystem_;
};

} // namespace omnitap::win32

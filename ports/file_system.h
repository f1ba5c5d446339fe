#pragma once
// The file operations that keys.ini's reading and its atomic replace are made of, and the one
// question a launch target asks of the disk. AtomicFiles (keys/) builds on them, so that what
// happens on each failure is decided (and tested) once, whatever system lies below. Paths are
// UTF-8.

#include "ports/result.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace omnitap::ports {

using FileResult = Result;

struct FileContent {
    enum class Status {
        Read,    // bytes holds the whole file
        Missing, // there is no such file
        Locked,  // another program holds it (a sharing or lock violation): may pass
        Failed,  // it exists and cannot be read
    };
    Status status = Status::Read;
    std::string bytes;
    std::string error; // the system's reason when Locked or Failed
};

// What a path names.
enum class PathKind { None, File, Folder };

class FileSystem {
  public:
    using Handle = std::uintptr_t;

    virtual ~FileSystem() = default;
    virtual FileContent read(const std::string& path) = 0;
    // Waits before a locked file is tried again.
    virtual void wait(std::chrono::milliseconds time) = 0;
    // A name for a temporary file beside `path`, on the same volume.
    virtual std::string temporaryNameFor(const std::string& path) = 0;
    // Creates `path` (or empties it) for writing.
    virtual FileResult create(const std::string& path, Handle& handle) = 0;
    virtual FileResult write(Handle handle, std::string_view bytes) = 0;
    // Makes what was written durable before the file is swapped in.
    virtual FileResult flush(Handle handle) = 0;
    virtual void close(Handle handle) = 0;
    // Renames `from` to `to` in one step, replacing `to` if it exists.
    virtual FileResult replace(const std::string& from, const std::string& to) = 0;
    // The file that `path` leads to when it is a symbolic link, else `path`.
    virtual std::string linkTarget(const std::string& path) = 0;
    virtual void remove(const std::string& path) = 0;
    // Whether `path` names an existing file or folder (relative paths: from the current folder).
    virtual PathKind kindOf(const std::string& path) = 0;
    // The folder that relative paths start from, and that programs inherit.
    virtual void setCurrentFolder(const std::string& path) = 0;
};

} // namespace omnitap::ports

#pragma once
// keys.ini's files: read whole, and replaced atomically. The new content goes to a temporary
// file beside the target, is flushed, and is then renamed over the target in one step.
// Whatever fails on the way, the temporary file is removed and the target keeps its old
// content.

#include "ports/file_system.h"

#include <optional>
#include <string>

namespace omnitap {

class AtomicFiles {
  public:
    explicit AtomicFiles(ports::FileSystem& fileSystem) : fs_(fileSystem) {}

    bool exists(const std::string& path) { return fs_.exists(path); }
    // The whole file, or nothing when it cannot be read.
    std::optional<std::string> readAll(const std::string& path) { return fs_.readAll(path); }
    ports::FileResult replaceAtomically(const std::string& path, const std::string& bytes);

  private:
    ports::FileSystem& fs_;
};

} // namespace omnitap

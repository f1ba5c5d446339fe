#pragma once
// keys.ini's files: read whole, and replaced atomically. A file that another program holds for
// a moment (a virus scanner, a backup or sync client) is tried again (kLockedFilePatience),
// for a read as for the replace. The new content goes to a temporary file beside the target,
// is flushed, and is then renamed over the target in one step. Whatever fails on the way, the
// temporary file is removed and the target keeps its old content. A target that is a symbolic
// link is written where it leads, and stays a link.

#include "ports/file_system.h"

#include <string>

namespace omnitap {

class AtomicFiles {
  public:
    explicit AtomicFiles(ports::FileSystem& fileSystem) : fs_(fileSystem) {}

    ports::FileContent read(const std::string& path);
    ports::FileResult replaceAtomically(const std::string& path, const std::string& bytes);
    // Whether a file can be created beside `path`: a temporary one is created and removed.
    ports::FileResult probeBeside(const std::string& path);

  private:
    void wait(std::chrono::milliseconds time) { fs_.wait(time); }

    ports::FileSystem& fs_;
};

} // namespace omnitap

#pragma once
// Files whose replacement is atomic: the new content goes to a temporary file beside the
// target, is flushed, and is then renamed over the target in one step. Whatever fails on the
// way, the temporary file is removed and the target keeps its old content.

#include "platform/file_system.h"
#include "platform/files.h"

namespace omnitap::platform {

class AtomicFiles : public Files {
  public:
    explicit AtomicFiles(FileSystem& fileSystem) : fs_(fileSystem) {}

    bool exists(const std::string& path) override { return fs_.exists(path); }
    std::optional<std::string> readAll(const std::string& path) override {
        return fs_.readAll(path);
    }
    WriteResult replaceAtomically(const std::string& path, const std::string& bytes) override;

  private:
    FileSystem& fs_;
};

} // namespace omnitap::platform

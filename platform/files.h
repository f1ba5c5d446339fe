#pragma once
// Files as the program needs them. Paths are UTF-8.

#include <optional>
#include <string>

namespace omnitap::platform {

struct WriteResult {
    bool ok = true;
    std::string error; // the system's reason when !ok
};

class Files {
  public:
    virtual ~Files() = default;
    virtual bool exists(const std::string& path) = 0;
    // The whole file, or nothing when it cannot be read.
    virtual std::optional<std::string> readAll(const std::string& path) = 0;
    // Writes `bytes` to a temporary file beside `path`, flushes it and swaps it in with one
    // atomic rename. On any failure the old file is left as it was.
    virtual WriteResult replaceAtomically(const std::string& path, const std::string& bytes) = 0;
};

} // namespace omnitap::platform

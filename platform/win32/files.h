#pragma once
#include "platform/files.h"

namespace omnitap::win32 {

class Win32Files final : public platform::Files {
  public:
    bool exists(const std::string& path) override;
    std::optional<std::string> readAll(const std::string& path) override;
    platform::WriteResult replaceAtomically(const std::string& path,
                                            const std::string& bytes) override;
};

} // namespace omnitap::win32

#pragma once
// One running copy per keys.ini on Windows: the folder's volume serial number and file index
// say which folder it is, a named mutex in the session's namespace is the
// claim, and a small named shared memory beside it tells later copies the first one's window.

#include "ports/running_copies.h"
#include "win32/unique_handle.h"

#include <windows.h>

#include <string>

namespace omnitap::win32 {

void closeKernelObject(HANDLE object);
using KernelObject = Unique<HANDLE, &closeKernelObject>;

class Win32RunningCopies final : public ports::RunningCopies {
  public:
    ports::FolderIdentity identify(const std::string& folder) override;
    bool claim(const std::string& name) override;
    void listen(ports::WindowId window) override;
    void askFirstCopy() override;

  private:
    std::wstring name_;
    KernelObject mutex_;
    KernelObject window_; // the shared memory that holds the first copy's window
};

} // namespace omnitap::win32

#include "win32/running_copies.h"

#include "base/retry.h"
#include "win32/sleep.h"
#include "win32/wide.h"

#include <cstdint>

namespace omnitap::win32 {
namespace {

HWND announcedWindow(const std::wstring& name) {
    KernelObject mapping(OpenFileMappingW(FILE_MAP_READ, FALSE, name.c_str()));
    if (!mapping) return nullptr;
    std::uint64_t value = 0;
    if (const void* view = MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, sizeof value)) {
        value = *static_cast<const volatile std::uint64_t*>(view);
        UnmapViewOfFile(view);
    }
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(value));
}

} // namespace

void closeKernelObject(HANDLE object) {
    CloseHandle(object);
}

ports::FolderIdentity Win32RunningCopies::identify(const std::string& folder) {
    // A folder opens only with backup semantics; its attributes are all this asks to read.
    HANDLE opened = CreateFileW(widen(folder).c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (opened == INVALID_HANDLE_VALUE) return {};
    KernelObject handle(opened);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle.get(), &info)) return {};
    return {true, info.dwVolumeSerialNumber,
            std::uint64_t{info.nFileIndexHigh} << 32 | info.nFileIndexLow};
}

bool Win32RunningCopies::claim(const std::string& name) {
    name_ = L"Local\\" + widen(name);
    HANDLE mutex = CreateMutexW(nullptr, FALSE, name_.c_str());
    const bool another = mutex && GetLastError() == ERROR_ALREADY_EXISTS;
    mutex_.reset(mutex);
    // Without a mutex (no rights, no memory) this copy runs on: better two copies than none.
    return !another;
}

void Win32RunningCopies::listen(ports::WindowId window) {
    window_.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                     sizeof(std::uint64_t), (name_ + L"-window").c_str()));
    if (!window_) return;
    if (void* view = MapViewOfFile(window_.get(), FILE_MAP_WRITE, 0, 0, sizeof(std::uint64_t))) {
        *static_cast<volatile std::uint64_t*>(view) = window;
        UnmapViewOfFile(view);
    }
}

void Win32RunningCopies::askFirstCopy() {
    // The first copy announces its window once it exists; it may still be starting.
    HWND first = retryFor(kFirstCopyPatience, sleepFor,
                          [this] { return announcedWindow(name_ + L"-window"); });
    if (!first) return;
    // The first copy may take the foreground: the user started this one just now.
    DWORD process = 0;
    GetWindowThreadProcessId(first, &process);
    AllowSetForegroundWindow(process);
    PostMessageW(first, ports::kShowEditConfigurationMessage, 0, 0);
}

} // namespace omnitap::win32

#include "win32/files.h"

#include "win32/sleep.h"
#include "win32/unique_handle.h"
#include "win32/wide.h"

#include <windows.h>

#include <algorithm>

namespace omnitap::win32 {
namespace {

void closeFile(HANDLE h) {
    CloseHandle(h);
}
HANDLE noFile() {
    return INVALID_HANDLE_VALUE;
}
using UniqueFile = Unique<HANDLE, &closeFile, &noFile>;

ports::FileResult failure(DWORD code) {
    code = code ? code : ERROR_WRITE_FAULT;
    // Access is denied, too, while a scanner holds the file open without sharing its deletion.
    const bool held = code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION ||
                      code == ERROR_ACCESS_DENIED;
    return {false, errorText(code), static_cast<std::uint32_t>(code), held};
}
HANDLE toHandle(ports::FileSystem::Handle h) {
    return reinterpret_cast<HANDLE>(h);
}

} // namespace

ports::FileContent Win32FileSystem::read(const std::string& path) {
    using Status = ports::FileContent::Status;
    auto failed = [](DWORD code) {
        bool locked = code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION;
        return ports::FileContent{locked ? Status::Locked : Status::Failed, {}, errorText(code)};
    };
    UniqueFile file(CreateFileW(widen(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return {Status::Missing};
        return failed(code);
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) return failed(GetLastError());
    // Far beyond the largest keys.ini the program writes: not a file of ours.
    if (size.QuadPart > 256LL * 1024 * 1024)
        return {Status::Failed, {}, "The file is larger than any keys.ini can be."};
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        if (!ReadFile(file.get(), bytes.data() + done, want, &got, nullptr))
            return failed(GetLastError());
        if (got == 0) break;
        done += got;
    }
    bytes.resize(done);
    return {Status::Read, std::move(bytes), {}};
}

void Win32FileSystem::wait(std::chrono::milliseconds time) {
    sleepFor(time);
}

std::string Win32FileSystem::temporaryNameFor(const std::string& path) {
    return path + ".tmp" + std::to_string(GetCurrentProcessId());
}

ports::FileResult Win32FileSystem::create(const std::string& path, Handle& handle) {
    HANDLE file = CreateFileW(widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return failure(GetLastError());
    handle = reinterpret_cast<Handle>(file);
    return {};
}

ports::FileResult Win32FileSystem::write(Handle handle, std::string_view bytes) {
    DWORD wrote = 0;
    if (!WriteFile(toHandle(handle), bytes.data(), static_cast<DWORD>(bytes.size()), &wrote,
                   nullptr) ||
        wrote != bytes.size())
        return failure(GetLastError());
    return {};
}

ports::FileResult Win32FileSystem::flush(Handle handle) {
    if (!FlushFileBuffers(toHandle(handle))) return failure(GetLastError());
    return {};
}

void Win32FileSystem::close(Handle handle) {
    CloseHandle(toHandle(handle));
}

ports::FileResult Win32FileSystem::replace(const std::string& from, const std::string& to) {
    if (!MoveFileExW(widen(from).c_str(), widen(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return failure(GetLastError());
    return {};
}

std::string Win32FileSystem::linkTarget(const std::string& path) {
    // Opened without asking for access, a link is followed to the file it names. Every file is
    // asked, not only one marked as a reparse point: Wine shows a Unix link as a plain file.
    UniqueFile file(CreateFileW(widen(path).c_str(), 0,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) return path;
    constexpr DWORD kFlags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
    DWORD length = GetFinalPathNameByHandleW(file.get(), nullptr, 0, kFlags); // with the NUL
    if (length == 0) return path;
    std::wstring target(length, L'\0');
    length = GetFinalPathNameByHandleW(file.get(), target.data(), length, kFlags);
    if (length == 0 || length >= target.size()) return path;
    target.resize(length);
    // "\\?\C:\..." or "\\?\UNC\server\share\..."
    if (target.rfind(L"\\\\?\\UNC\\", 0) == 0) return narrow(L"\\\\" + target.substr(8));
    if (target.rfind(L"\\\\?\\", 0) == 0) return narrow(target.substr(4));
    return narrow(target);
}

void Win32FileSystem::remove(const std::string& path) {
    DeleteFileW(widen(path).c_str());
}

ports::PathKind Win32FileSystem::kindOf(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(widen(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return ports::PathKind::None;
    return attributes & FILE_ATTRIBUTE_DIRECTORY ? ports::PathKind::Folder : ports::PathKind::File;
}

void Win32FileSystem::setCurrentFolder(const std::string& path) {
    SetCurrentDirectoryW(widen(path).c_str());
}

} // namespace omnitap::win32

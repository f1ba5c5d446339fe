#include "platform/win32/files.h"

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide.h"

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

platform::WriteResult failure(DWORD code) {
    return {false, errorText(code)};
}

} // namespace

bool Win32Files::exists(const std::string& path) {
    DWORD attributes = GetFileAttributesW(widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::string> Win32Files::readAll(const std::string& path) {
    UniqueFile file(CreateFileW(widen(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > 256LL * 1024 * 1024)
        return std::nullopt;
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        if (!ReadFile(file.get(), bytes.data() + done, want, &got, nullptr)) return std::nullopt;
        if (got == 0) break;
        done += got;
    }
    bytes.resize(done);
    return bytes;
}

platform::WriteResult Win32Files::replaceAtomically(const std::string& path,
                                                    const std::string& bytes) {
    std::wstring target = widen(path);
    // The temporary file sits beside the target, so the final rename stays on one volume.
    std::wstring temp = target + L".tmp" + std::to_wstring(GetCurrentProcessId());
    {
        UniqueFile file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return failure(GetLastError());
        std::size_t done = 0;
        while (done < bytes.size()) {
            DWORD wrote = 0;
            DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
            if (!WriteFile(file.get(), bytes.data() + done, want, &wrote, nullptr) || wrote == 0) {
                DWORD code = GetLastError();
                file.reset();
                DeleteFileW(temp.c_str());
                return failure(code ? code : ERROR_WRITE_FAULT);
            }
            done += wrote;
        }
        if (!FlushFileBuffers(file.get())) {
            DWORD code = GetLastError();
            file.reset();
            DeleteFileW(temp.c_str());
            return failure(code);
        }
    }
    if (!MoveFileExW(temp.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DWORD code = GetLastError();
        DeleteFileW(temp.c_str());
        return failure(code);
    }
    return {};
}

} // namespace omnitap::win32

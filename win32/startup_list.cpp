#include "win32/startup_list.h"

#include "win32/wide.h"

#include <windows.h>

#include <cwchar>

namespace omnitap::win32 {
namespace {

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kApprovedKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

ports::Result resultOf(LSTATUS status) {
    if (status == ERROR_SUCCESS) return {};
    const auto code = static_cast<std::uint32_t>(status);
    return {false, errorText(code), code};
}

ports::Result removeValue(const wchar_t* key, const std::string& name) {
    LSTATUS status = RegDeleteKeyValueW(HKEY_CURRENT_USER, key, widen(name).c_str());
    // A key that is not there holds no value either.
    return resultOf(status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND ? ERROR_SUCCESS
                                                                                     : status);
}

} // namespace

std::optional<std::string> Win32StartupList::command(const std::string& name) {
    const std::wstring value = widen(name);
    // A value another program wrote with %variables% comes back expanded, as Windows runs it.
    for (;;) {
        DWORD bytes = 0;
        if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, value.c_str(), RRF_RT_REG_SZ, nullptr, nullptr,
                         &bytes) != ERROR_SUCCESS)
            return std::nullopt;
        std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
        bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, kRunKey, value.c_str(), RRF_RT_REG_SZ,
                                      nullptr, text.data(), &bytes);
        if (status == ERROR_MORE_DATA) continue; // it grew in between
        if (status != ERROR_SUCCESS) return std::nullopt;
        text.resize(wcsnlen(text.c_str(), text.size()));
        return narrow(text);
    }
}

ports::Result Win32StartupList::setCommand(const std::string& name, const std::string& command) {
    const std::wstring text = widen(command);
    return resultOf(RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, widen(name).c_str(), REG_SZ,
                                    text.c_str(),
                                    static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))));
}

ports::Result Win32StartupList::remove(const std::string& name) {
    return removeValue(kRunKey, name);
}

std::optional<ports::Bytes> Win32StartupList::approval(const std::string& name) {
    const std::wstring value = widen(name);
    // The switches are 12 bytes; a longer value of another program's is read whole.
    ports::Bytes bytes(64);
    for (;;) {
        DWORD size = static_cast<DWORD>(bytes.size());
        LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, kApprovedKey, value.c_str(),
                                      RRF_RT_REG_BINARY, nullptr, bytes.data(), &size);
        if (status == ERROR_MORE_DATA) {
            bytes.resize(size);
            continue;
        }
        if (status != ERROR_SUCCESS) return std::nullopt;
        bytes.resize(size);
        return bytes;
    }
}

ports::Result Win32StartupList::setApproval(const std::string& name, const ports::Bytes& value) {
    return resultOf(RegSetKeyValueW(HKEY_CURRENT_USER, kApprovedKey, widen(name).c_str(),
                                    REG_BINARY, value.data(), static_cast<DWORD>(value.size())));
}

ports::Result Win32StartupList::removeApproval(const std::string& name) {
    return removeValue(kApprovedKey, name);
}

} // namespace omnitap::win32

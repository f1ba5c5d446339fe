// launch-probe: started by the program under test, it appends its command line to
// "launched.txt" and its working folder to "launched-in.txt" beside itself, so that a test can
// see what was launched and how.

#include <windows.h>

#include <string>

namespace {

void append(const std::wstring& file, const std::wstring& line) {
    int bytes = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()),
                                    nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), utf8.data(), bytes,
                        nullptr, nullptr);
    HANDLE log = CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) return;
    DWORD wrote = 0;
    WriteFile(log, utf8.data(), static_cast<DWORD>(utf8.size()), &wrote, nullptr);
    CloseHandle(log);
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring exe(path, n);
    const std::wstring folder = exe.substr(0, exe.find_last_of(L"\\/"));
    // The working folder first: a test that sees the command line finds it written.
    n = GetCurrentDirectoryW(MAX_PATH, path);
    append(folder + L"\\launched-in.txt", std::wstring(path, n) + L"\n");
    append(folder + L"\\launched.txt", std::wstring(GetCommandLineW()) + L"\n");
    return 0;
}

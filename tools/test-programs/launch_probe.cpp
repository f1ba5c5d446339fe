// launch-probe: started by the program under test, it appends its command line and working
// folder to "launched.txt" beside itself, so that a test can see what was launched and how.

#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring exe(path, n);
    std::wstring log = exe.substr(0, exe.find_last_of(L"\\/")) + L"\\launched.txt";
    std::wstring line = std::wstring(GetCommandLineW()) + L"\n";
    int bytes = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()),
                                    nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), utf8.data(), bytes,
                        nullptr, nullptr);
    HANDLE file = CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD wrote = 0;
    WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &wrote, nullptr);
    CloseHandle(file);
    return 0;
}

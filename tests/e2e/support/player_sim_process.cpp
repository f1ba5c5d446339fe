#include "tests/e2e/support/player_sim_process.h"

#include <gtest/gtest.h>

#include <sstream>

namespace e2e {

// An argument as CommandLineToArgvW reads it back.
static std::wstring commandLineArgument(const std::wstring& arg) {
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

PlayerSim::PlayerSim(const TempFolder& folder, const std::vector<std::wstring>& options) {
    static int started = 0;
    log_ = folder.file(L"sim-" + std::to_wstring(++started) + L".log");
    std::wstring exe = binFolder() + L"\\player-sim.exe";
    std::wstring command = commandLineArgument(exe) + L" --log " + commandLineArgument(log_);
    for (const std::wstring& option : options)
        command += L" " + commandLineArgument(option);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &si, &pi_)) {
        ADD_FAILURE() << "cannot start player-sim: " << GetLastError();
        return;
    }
    window_ = waitForWindow(pi_.dwProcessId, L"Winamp v1.x", nullptr);
    EXPECT_NE(window_, nullptr) << "player-sim shows no window";
}

PlayerSim::~PlayerSim() {
    if (!pi_.hProcess) return;
    TerminateProcess(pi_.hProcess, 0);
    WaitForSingleObject(pi_.hProcess, 5000);
    CloseHandle(pi_.hProcess);
    CloseHandle(pi_.hThread);
}

Lines PlayerSim::logOf(const std::string& kind) const {
    Lines lines;
    std::istringstream in(readWholeFile(log_));
    for (std::string line; std::getline(in, line);)
        if (line.rfind(kind + " ", 0) == 0) lines.push_back(line);
    return lines;
}

Lines PlayerSim::waitForCommands(std::size_t count) const {
    waitFor([&] { return logOf("command").size() >= count; });
    return logOf("command");
}

std::optional<std::wstring> clipboardText() {
    if (!OpenClipboard(nullptr)) return std::nullopt;
    std::optional<std::wstring> text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

} // namespace e2e

// player-sim: a stand-in for the Winamp media player, for tests and demos.
//
// It opens one top-level window of Winamp's class, "Winamp v1.x", with the caption given,
// takes the player's WM_COMMAND ids and answers its WM_USER queries from the values given
// on the command line:
//
//   player-sim.exe --caption "12. Some Artist - Some Song - Winamp" --status 1
//                  --rate 44 --bitrate 128 --channels 2 --position 83000 --length 296
//                  --playlist-pos 11 --path "C:\Music\Some Song.mp3" --log sim.log
//
//   --caption TEXT      window caption (default "Winamp")
//   --status N          answer to query 104, play status: 1 playing, 3 paused, 0 stopped
//   --rate/--bitrate/--channels N   answers to query 126 with wParam 0/1/2
//   --position MS, --length S       answers to query 105 with wParam 0/1
//   --playlist-pos N    answer to query 125, the current playlist entry
//   --path TEXT         the current entry's file; query 211 for that entry answers the
//                       address of this path (ANSI, NUL-terminated) in the sim's memory.
//                       The path sits at the start of a 4 KiB block of non-NUL bytes, so a
//                       path of 256 bytes or more has no NUL within its first 256 bytes.
//   --bad-address       query 211 answers an address that cannot be read (reserved memory)
//   --hang-ms N         sleep N ms inside every query (the player seems hung) ...
//   --delay N           the same: every query answers after N ms (a slow player)
//   --hang-query L      ... or only inside query L
//   --log FILE          one line per message, written at once: "command 40045",
//                       "query 104 0" (lParam, then wParam)
//
// Play, pause and stop change the play status as the real player does, so a Play / Pause
// key toggles it. The window shows its state, so it also serves to try the program by hand.

#include <windows.h>

#include <shellapi.h>

#include <cstdint>
#include <cstring>
#include <cwchar>
#include <string>

namespace {

constexpr wchar_t kWindowClass[] = L"Winamp v1.x";

// The player's command ids (wParam of WM_COMMAND).
constexpr WORD kPrevTrack = 40044, kPlay = 40045, kPause = 40046, kStop = 40047, kNextTrack = 40048,
               kToggleShuffle = 40023, kJumpToSong = 40194;
// The player's queries (lParam of WM_USER).
constexpr LPARAM kPlayStatus = 104, kOutputTime = 105, kPlaylistPosition = 125, kStreamInfo = 126,
                 kPlaylistFile = 211;

struct Options {
    std::wstring caption = L"Winamp";
    int status = 0;
    int rate = 44, bitrate = 128, channels = 2;
    int positionMs = 0, lengthSeconds = 0;
    int playlistPos = 0;
    std::wstring path;
    bool badAddress = false;
    int hangMs = 0;
    int hangQuery = -1; // -1: every query
    std::wstring logFile;
};

// The player's state, owned by its one window.
struct Player {
    Options options;
    HANDLE log = INVALID_HANDLE_VALUE;
    char pathBlock[4096];       // the current entry's path, NUL, then filler
    void* unreadable = nullptr; // reserved, never committed
    bool shuffle = false;
    std::wstring lastMessage = L"(none yet)";
};

Player player;

struct NumberOption {
    const wchar_t* name;
    int Options::*field;
};
constexpr NumberOption kNumberOptions[] = {
    {L"--status", &Options::status},
    {L"--rate", &Options::rate},
    {L"--bitrate", &Options::bitrate},
    {L"--channels", &Options::channels},
    {L"--position", &Options::positionMs},
    {L"--length", &Options::lengthSeconds},
    {L"--playlist-pos", &Options::playlistPos},
    {L"--hang-ms", &Options::hangMs},
    {L"--delay", &Options::hangMs},
    {L"--hang-query", &Options::hangQuery},
};

struct TextOption {
    const wchar_t* name;
    std::wstring Options::*field;
};
constexpr TextOption kTextOptions[] = {
    {L"--caption", &Options::caption}, {L"--path", &Options::path}, {L"--log", &Options::logFile}};

// Unknown options are ignored, so that scripts written for a newer sim still run.
Options parseOptions() {
    Options o;
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; i < count; ++i) {
        std::wstring name = args[i];
        std::wstring value = i + 1 < count ? args[i + 1] : L"";
        if (name == L"--bad-address") o.badAddress = true;
        for (const NumberOption& option : kNumberOptions) {
            if (name != option.name) continue;
            o.*option.field = static_cast<int>(std::wcstol(value.c_str(), nullptr, 10));
            ++i;
        }
        for (const TextOption& option : kTextOptions) {
            if (name != option.name) continue;
            o.*option.field = value;
            ++i;
        }
    }
    LocalFree(args);
    return o;
}

void logLine(const std::string& line) {
    if (player.log == INVALID_HANDLE_VALUE) return;
    std::string text = line + "\n";
    DWORD written = 0;
    // No buffering of our own: the line is in the file as soon as WriteFile returns.
    WriteFile(player.log, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

void preparePath() {
    // Filler that is not NUL, so only the path's own terminator ends it.
    std::memset(player.pathBlock, '#', sizeof player.pathBlock);
    const std::wstring& path = player.options.path;
    int n = WideCharToMultiByte(CP_ACP, 0, path.c_str(), static_cast<int>(path.size()),
                                player.pathBlock, sizeof player.pathBlock - 1, nullptr, nullptr);
    player.pathBlock[n] = '\0';
    if (player.options.badAddress)
        player.unreadable = VirtualAlloc(nullptr, 65536, MEM_RESERVE, PAGE_NOACCESS);
}

LRESULT answerQuery(WPARAM wParam, LPARAM lParam) {
    const Options& o = player.options;
    switch (lParam) {
    case kPlayStatus:
        return o.status;
    case kOutputTime:
        return wParam == 0 ? o.positionMs : wParam == 1 ? o.lengthSeconds : -1;
    case kPlaylistPosition:
        return o.playlistPos;
    case kStreamInfo:
        return wParam == 0 ? o.rate : wParam == 1 ? o.bitrate : o.channels;
    case kPlaylistFile:
        // One entry has a file: the current one.
        if (static_cast<int>(wParam) != o.playlistPos) return 0;
        return reinterpret_cast<LRESULT>(o.badAddress ? player.unreadable : player.pathBlock);
    default:
        return 0;
    }
}

void obeyCommand(WORD id) {
    int& status = player.options.status;
    switch (id) {
    case kPlay:
        status = 1;
        break;
    case kPause:
        status = status == 1 ? 3 : status == 3 ? 1 : status;
        break;
    case kStop:
        status = 0;
        break;
    case kPrevTrack:
        --player.options.playlistPos;
        break;
    case kNextTrack:
        ++player.options.playlistPos;
        break;
    case kToggleShuffle:
        player.shuffle = !player.shuffle;
        break;
    case kJumpToSong:
        break; // the real player opens its jump dialog
    default:
        break;
    }
}

void paint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    const Options& o = player.options;
    const wchar_t* state = o.status == 1 ? L"playing" : o.status == 3 ? L"paused" : L"stopped";
    std::wstring text = o.caption + L"\n\nStatus: " + state + L" (" + std::to_wstring(o.status) +
                        L"), entry " + std::to_wstring(o.playlistPos) +
                        (player.shuffle ? L", shuffle on" : L"") + L"\nLast message: " +
                        player.lastMessage;
    RECT area;
    GetClientRect(window, &area);
    InflateRect(&area, -8, -8);
    DrawTextW(dc, text.c_str(), -1, &area, DT_LEFT | DT_WORDBREAK);
    EndPaint(window, &ps);
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: {
        WORD id = LOWORD(wParam);
        logLine("command " + std::to_string(id));
        obeyCommand(id);
        player.lastMessage = L"command " + std::to_wstring(id);
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    }
    case WM_USER: {
        logLine("query " + std::to_string(lParam) + " " + std::to_string(wParam));
        const Options& o = player.options;
        if (o.hangMs > 0 && (o.hangQuery == -1 || o.hangQuery == lParam))
            Sleep(static_cast<DWORD>(o.hangMs));
        player.lastMessage = L"query " + std::to_wstring(lParam) + L" " + std::to_wstring(wParam);
        InvalidateRect(window, nullptr, TRUE);
        return answerQuery(wParam, lParam);
    }
    case WM_PAINT:
        paint(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    player.options = parseOptions();
    if (!player.options.logFile.empty())
        player.log = CreateFileW(player.options.logFile.c_str(), FILE_APPEND_DATA,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    preparePath();

    WNDCLASSW wc{};
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kWindowClass;
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, kWindowClass, player.options.caption.c_str(),
                                  WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 420, 180,
                                  nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    // Shown without taking the focus from whatever the user (or a test) is typing into.
    ShowWindow(window, SW_SHOWNOACTIVATE);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (player.log != INVALID_HANDLE_VALUE) CloseHandle(player.log);
    return 0;
}

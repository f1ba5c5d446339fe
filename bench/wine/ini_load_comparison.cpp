// ini-load-comparison: the same keys.ini read the old way (one profile look-up per value,
// 1 + 5n look-ups) and by the program's reader (the file read once and parsed in memory).
// Prints both times and their ratio; run it under Wine or Windows:
//   ini-load-comparison.exe [KEYS]

#include "bench/launch_key_table.h"
#include "keyboard/keys_ini.h"
#include "keyboard/lenient_number.h"
#include "platform/win32/files.h"
#include "platform/win32/system_seams.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace omnitap;

namespace {

double seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

std::string read(const char* file, const std::string& key) {
    char buffer[1024];
    DWORD n = GetPrivateProfileStringA("keys", key.c_str(), "", buffer, 1024, file);
    return std::string(buffer, n);
}

KeyTable loadTheOldWay(const char* file) {
    KeyTable table;
    int count = readKeyCount(read(file, "numkeys"));
    table.resize(count);
    for (int n = 1; n <= count; ++n) {
        std::string k = "key" + std::to_string(n);
        table[n].name = read(file, k + "_name");
        table[n].mapm = readInt16(read(file, k + "_mapm"));
        table[n].code = readInt16(read(file, k + "_code"));
        table[n].code2 = readInt16(read(file, k + "_code2"));
        table[n].webs = read(file, k + "_webs");
    }
    return table;
}

} // namespace

int main(int argc, char** argv) {
    int keys = argc > 1 ? std::atoi(argv[1]) : 10000;
    KeyTable table = launchKeyTable(keys);
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string path = std::string(temp) + "ini-load-comparison.ini";
    win32::Win32Files files;
    win32::Win32TextCodec codec;
    win32::Win32MessageBoxes messages;
    KeyFileIo io{files, codec, messages};
    if (!saveKeys(io, path, table)) return 2;

    LARGE_INTEGER t0, t1, t2;
    QueryPerformanceCounter(&t0);
    KeyTable ours;
    loadKeys(io, path, ours);
    QueryPerformanceCounter(&t1);
    KeyTable old = loadTheOldWay(path.c_str());
    QueryPerformanceCounter(&t2);
    DeleteFileA(path.c_str());

    double oursSeconds = seconds(t0, t1), oldSeconds = seconds(t1, t2);
    std::printf(
        "%d keys: the program's reader %.1f ms, one look-up per value %.1f ms, ratio %.0f\n", keys,
        oursSeconds * 1000, oldSeconds * 1000, oldSeconds / oursSeconds);
    if (!(ours == old)) {
        std::printf("the two readers disagree\n");
        return 1;
    }
    return 0;
}

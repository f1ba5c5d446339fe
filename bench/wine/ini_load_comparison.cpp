// ini-load-comparison: the same keys.ini read the old way (one profile look-up per value,
// 1 + 5n look-ups) and by the program's reader (the file read once and parsed in memory).
// Prints both times and their ratio; run it under Wine or Windows:
//   ini-load-comparison.exe [KEYS]

#include "bench/key_tables.h"
#include "keys/keys_ini.h"
#include "tests/e2e/support/profile_reference.h"
#include "win32/files.h"
#include "win32/system_seams.h"

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

} // namespace

int main(int argc, char** argv) {
    int keys = argc > 1 ? std::atoi(argv[1]) : 10000;
    KeyTable table = launchKeyTable(keys);
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string path = std::string(temp) + "ini-load-comparison.ini";
    win32::Win32FileSystem fileSystem;
    AtomicFiles files{fileSystem};
    win32::Win32TextCodec codec;
    win32::Win32MessageBoxes messages;
    KeyFileIo io{files, codec, messages};
    if (!saveKeys(io, path, table)) return 2;

    LARGE_INTEGER t0, t1, t2;
    QueryPerformanceCounter(&t0);
    KeyTable ours;
    loadKeys(io, path, ours);
    QueryPerformanceCounter(&t1);
    KeyTable old = e2e::profileLoad(path, codec, 1024); // the old way's buffer
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

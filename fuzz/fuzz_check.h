#pragma once
// A failed check ends the run with a message, so that libFuzzer keeps the input. A fuzzer's
// entry reads its input as text: FUZZ_TEXT(text) { ... }.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__);    \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

#define FUZZ_TEXT(text)                                                                            \
    static void fuzzText(std::string_view text);                                                   \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {            \
        fuzzText(std::string_view(reinterpret_cast<const char*>(data), size));                     \
        return 0;                                                                                  \
    }                                                                                              \
    static void fuzzText(std::string_view text)

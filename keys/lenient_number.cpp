#include "keys/lenient_number.h"

#include "base/rounding.h"

#include <cmath>
#include <limits>

namespace omnitap {

double readLeadingNumber(std::string_view text) {
    auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && isBlank(text[i]))
            ++i;
    };
    skipBlanks();
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    double whole = 0;
    double scale = 1;
    bool seenPoint = false;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (isBlank(c)) continue;
        if (c == '.' && !seenPoint) {
            seenPoint = true;
        } else if (c >= '0' && c <= '9') {
            if (seenPoint) {
                scale /= 10;
                whole += (c - '0') * scale;
            } else {
                whole = whole * 10 + (c - '0');
            }
        } else {
            break;
        }
    }
    return negative ? -whole : whole;
}

namespace {
template <typename T> T clampedRound(double value, double low, double high) {
    double r = roundHalfEven(value);
    if (std::isnan(r)) return 0;
    if (r < low) r = low;
    if (r > high) r = high;
    return static_cast<T>(r);
}
} // namespace

std::int32_t readInt32(std::string_view text) {
    return clampedRound<std::int32_t>(readLeadingNumber(text),
                                      std::numeric_limits<std::int32_t>::min(),
                                      std::numeric_limits<std::int32_t>::max());
}

std::int16_t readInt16(std::string_view text) {
    return clampedRound<std::int16_t>(readLeadingNumber(text), -32768, 32767);
}

std::int32_t readKeyCount(std::string_view text) {
    return clampedRound<std::int32_t>(readLeadingNumber(text), 0, 32767);
}

} // namespace omnitap

#pragma once
// Numbers in keys.ini (and the modifier key in an argument) are read leniently: the leading
// decimal number of the text, blanks and tabs skipped wherever they stand, an optional sign,
// digits and one decimal point; no number gives 0. Rounded to the nearest integer, halves to
// the even neighbour (roundHalfEven). Out-of-range values are clamped so that no file can end
// the program.

#include <cstdint>
#include <string_view>

namespace omnitap {

double readLeadingNumber(std::string_view text);

std::int32_t readInt32(std::string_view text);    // clamped to the 32-bit range
std::int16_t readInt16(std::string_view text);    // clamped to the 16-bit range
std::int32_t readKeyCount(std::string_view text); // clamped to 0..32767

} // namespace omnitap

#pragma once
// The player's current file, read out of the player's own memory: it answers the file query
// with the address of a NUL-terminated ANSI path, of which a fixed block is copied.

#include <cstddef>
#include <string>
#include <string_view>

namespace omnitap {

// The block copied from the player, filled with spaces beforehand so that a failed read
// leaves no NUL and so no path.
inline constexpr std::size_t kPathBufferSize = 256;

// The bytes before the block's first NUL; empty when there is no NUL in the block (a path of
// 256 bytes or more, or nothing read) or the path itself is empty.
std::string pathFromPlayerMemory(std::string_view block);

// Whether a path (UTF-8) can name a file at all, and so may go to Explorer. The path is the
// player's playlist entry, which anyone who can hand the user a playlist chooses: a double
// quote in it would end Explorer's argument and let the rest of the entry add arguments of
// its own. No Windows path holds one, nor a character that file names forbid (< > | ? *),
// a colon other than the drive's, or a control character; such a path is no file, and a
// stream's address (http://...) is none either.
bool isFilePath(std::string_view path);

} // namespace omnitap

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

// Explorer's switches to open the folder of `path` with the file selected.
std::string explorerSelectParameters(std::string_view path);

} // namespace omnitap

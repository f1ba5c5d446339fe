#include "player/current_file.h"

namespace omnitap {

std::string pathFromPlayerMemory(std::string_view block) {
    std::size_t end = block.find('\0');
    if (end == std::string_view::npos) return {};
    return std::string(block.substr(0, end));
}

bool isFilePath(std::string_view path) {
    if (path.empty()) return false;
    auto isAsciiLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    // Checked on UTF-8, where every byte of a character beyond ASCII is 0x80 or above: the
    // ANSI bytes of a double-byte code page may hold a "|" or a "\" as a character's second
    // half, the UTF-8 text never does.
    for (std::size_t i = 0; i < path.size(); ++i) {
        auto byte = static_cast<unsigned char>(path[i]);
        if (byte < 0x20 || byte == 0x7F) return false;
        // The C1 control characters, U+0080 to U+009F, are 0xC2 0x80 to 0xC2 0x9F.
        if (byte == 0xC2 && i + 1 < path.size() && static_cast<unsigned char>(path[i + 1]) < 0xA0)
            return false;
        if (std::string_view("\"<>|?*").find(path[i]) != std::string_view::npos) return false;
        if (path[i] == ':' && !(i == 1 && isAsciiLetter(path[0]))) return false;
    }
    return true;
}

} // namespace omnitap

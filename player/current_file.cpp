#include "player/current_file.h"

namespace omnitap {

std::string pathFromPlayerMemory(std::string_view block) {
    std::size_t end = block.find('\0');
    if (end == std::string_view::npos) return {};
    return std::string(block.substr(0, end));
}

std::string explorerSelectParameters(std::string_view path) {
    // Quoted, so that a path with blanks reaches Explorer whole; no blank after the comma.
    std::string parameters = "/select,\"";
    parameters += path;
    parameters += '"';
    return parameters;
}

} // namespace omnitap

#pragma once
// Text in the system's ANSI code page, as keys.ini keeps it while it can; inside the program
// text is UTF-8.

#include <string>
#include <string_view>

namespace omnitap::ports {

class TextCodec {
  public:
    virtual ~TextCodec() = default;
    virtual std::string ansiToUtf8(std::string_view ansi) = 0;
    // Characters the code page cannot hold become "?".
    virtual std::string utf8ToAnsi(std::string_view utf8) = 0;
};

} // namespace omnitap::ports

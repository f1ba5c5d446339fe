#pragma once
// keys.ini is text in the system's ANSI code page; inside the program text is UTF-8.
// Characters the code page cannot hold are written as "?".

#include <string>
#include <string_view>

namespace omnitap::ports {

class TextCodec {
  public:
    virtual ~TextCodec() = default;
    virtual std::string ansiToUtf8(std::string_view ansi) = 0;
    virtual std::string utf8ToAnsi(std::string_view utf8) = 0;
};

} // namespace omnitap::ports

#include "keys/key_file.h"

namespace omnitap {

LoadResult KeyFile::load(const std::string& iniPath, KeyTable& table) {
    path_ = iniPath;
    LoadResult result = loadKeys(io_, iniPath, table);
    if (!result.ok) return result;
    kept_ = table;
    onDisk_ = !result.bytes.empty();
    return result;
}

bool KeyFile::save(const KeyTable& table, ports::WindowId owner) {
    if (!write(table, owner, "Your changes stay in the window, so that you can try again."))
        return false;
    kept_ = table;
    return true;
}

bool KeyFile::saveKept(ports::WindowId owner) {
    return write(kept_, owner, "The change stays in effect until Omnitap ends.");
}

bool KeyFile::write(const KeyTable& table, ports::WindowId owner, std::string_view stays) {
    const std::string nothing = std::string(stays) + " Nothing was written.";
    if (!saveKeys(io_, path_, table, owner,
                  onDisk_ ? std::string(stays) + " " + kFileKept : nothing))
        return false;
    onDisk_ = true;
    return true;
}

} // namespace omnitap

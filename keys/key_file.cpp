#include "keys/key_file.h"

namespace omnitap {

LoadResult KeyFile::load(const std::string& iniPath, KeyTable& table) {
    path_ = iniPath;
    LoadResult result = loadKeys(io_, iniPath, table);
    if (!result.ok) return result;
    kept_ = table;
    onDisk_ = !result.bytes.empty();
    if (result.found == KeysFound::Unreadable) {
        oldBytes_ = result.bytes;
        backupName_ = freeBackupName();
    }
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
    if (!backupName_.empty()) {
        // Whatever the file held is kept before anything is written over it.
        const std::string name = freeBackupName();
        ports::FileResult result = io_.files.replaceAtomically(name, oldBytes_);
        if (!result.ok) {
            reportWriteFailure(io_, owner, "keep the keys.ini it could not read as", name,
                               result.error, nothing);
            return false;
        }
        backupName_.clear();
        oldBytes_ = std::string();
    }
    if (!saveKeys(io_, path_, table, owner,
                  onDisk_ ? std::string(stays) + " " + kFileKept : nothing))
        return false;
    onDisk_ = true;
    return true;
}

std::string KeyFile::freeBackupName() {
    std::string name = path_ + ".bak";
    for (int n = 2; n < 1000 && io_.files.read(name).status != ports::FileContent::Status::Missing;
         ++n)
        name = path_ + "." + std::to_string(n) + ".bak";
    return name;
}

} // namespace omnitap

#pragma once
// keys.ini for the program's run. It keeps the keys in effect outside the edits of Edit
// Configuration: what the file holds, plus a key added or removed whose write failed (the
// user was told that it lasts until Omnitap ends), so that closing a window never takes such
// a key back. A file that yielded no key is kept aside as keys.ini.bak (keys.ini.2.bak and so
// on after an earlier one) before the first save over it.

#include "keys/keys_ini.h"

#include <string>
#include <string_view>

namespace omnitap {

class KeyFile {
  public:
    explicit KeyFile(KeyFileIo io) : io_(io) {}

    // Reads `iniPath` into `table` (see loadKeys); from now on the file is that one.
    LoadResult load(const std::string& iniPath, KeyTable& table);
    // The name the file that yielded no key will be kept under; empty for any other file.
    const std::string& backupName() const { return backupName_; }
    // Whether a file can be created beside keys.ini: one is created and removed again.
    ports::FileResult probeFolder() { return io_.files.probeBeside(path_); }

    // Writes `table` whole ("Save && Close"); once it is written, it is what is kept.
    bool save(const KeyTable& table, ports::WindowId owner);
    // The keys kept. A key added or removed is made here and written with saveKept(), so that
    // edits under way elsewhere stay unsaved; it stays kept whether the write works or not.
    KeyTable& kept() { return kept_; }
    const KeyTable& kept() const { return kept_; }
    bool saveKept(ports::WindowId owner);

  private:
    bool write(const KeyTable& table, ports::WindowId owner, std::string_view stays);
    std::string freeBackupName();

    KeyFileIo io_;
    std::string path_;
    KeyTable kept_;
    bool onDisk_ = false;    // a keys.ini with content exists: read at start or written since
    std::string backupName_; // see backupName()
    std::string oldBytes_;   // the file that yielded no key, until it is kept aside
};

} // namespace omnitap

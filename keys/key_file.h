#pragma once
// keys.ini for the program's run. It keeps the keys in effect outside the edits of Edit
// Configuration: what the file holds, plus a key added or removed whose write failed (the
// user was told that it lasts until Omnitap ends), so that closing a window never takes such
// a key back.
//
// Nothing a file says is lost unseen. A file whose save would drop some of it (no key could be
// read from it, key blocks beyond its count, keys Omnitap does not use) is kept aside as
// keys.ini.bak (keys.ini.2.bak and so on after an earlier one) before the first save over it.
// A file changed by another program since Omnitap read or wrote it is written over only when
// the user says so, and kept aside the same way; or its keys are taken instead.

#include "keys/keys_ini.h"

#include <string>
#include <string_view>
#include <vector>

namespace omnitap {

class KeyFile {
  public:
    enum class Saved {
        Written,
        NotWritten, // the user was told why, or chose so
        Loaded,     // the file had changed, and the user chose its keys: they are kept() now
    };

    explicit KeyFile(KeyFileIo io) : io_(io) {}

    // Reads `iniPath` into `table` (see loadKeys); from now on the file is that one.
    LoadResult load(const std::string& iniPath, KeyTable& table);
    // The name the file will be kept under if a save would drop some of it; empty otherwise.
    const std::string& backupName() const { return backupName_; }
    // Whether a file can be created beside keys.ini: one is created and removed again.
    ports::FileResult probeFolder() { return io_.files.probeBeside(path_); }

    // Writes `table` whole ("Save && Close"); once it is written, it is what is kept.
    Saved save(const KeyTable& table, ports::WindowId owner);
    // The keys kept. A key added or removed is made here and written with saveKept(), so that
    // edits under way elsewhere stay unsaved; it stays kept whether the write works or not.
    // `editsElsewhere`: taking a changed file's keys would drop edits not in kept().
    KeyTable& kept() { return kept_; }
    const KeyTable& kept() const { return kept_; }
    Saved saveKept(ports::WindowId owner, bool editsElsewhere);

  private:
    Saved write(const KeyTable& table, ports::WindowId owner, std::string_view stays,
                bool editsElsewhere);
    // Whether the file may be written: unchanged since read, or the user said so.
    Saved askIfChanged(const KeyTable& table, ports::WindowId owner, std::string_view nothing,
                       bool editsElsewhere);
    void take(std::string bytes, const KeyTable& table, bool whole);
    std::string freeBackupName();

    KeyFileIo io_;
    std::string path_;
    KeyTable kept_;
    std::string known_;               // the bytes Omnitap read from the file or wrote to it
    std::vector<std::string> toKeep_; // files to keep aside before the next write, in turn
    std::string backupName_;          // see backupName()
};

} // namespace omnitap
